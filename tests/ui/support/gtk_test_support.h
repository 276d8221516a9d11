#pragma once

// Helpers for tests that drive real widgets: a toolkit set up once per process, waiting on the
// main loop for a condition, real input through xdotool on the test's own X display, and screen
// captures. Without a window manager a window sits at (0,0), so widget coordinates relative to
// the window are screen coordinates.

#include <functional>
#include <string>

namespace Gtk {
class Widget;
class Window;
} // namespace Gtk

namespace kovi::test {

// Initialises GTK and libadwaita and loads the bundled stylesheets and icons (once).
// Fails the calling test when there is no display.
void ensureGtk();

// Runs the main loop until `done` holds or `timeoutSeconds` pass; returns whether it held.
// Checks at least every 20 ms, so conditions outside the loop (files, processes) are seen.
bool runUntilGtk(const std::function<bool()>& done, double timeoutSeconds = 10);
// Lets pending work (idle handlers, layout, drawing) run for about `milliseconds`.
void settle(int milliseconds = 100);
// Waits until the window is mapped and has been drawn once.
bool waitForWindow(Gtk::Window& window, double timeoutSeconds = 10);

// Real input through xdotool on $DISPLAY. Keys use xdotool's names ("ctrl+k", "ctrl+alt+2").
bool xdoKey(const std::string& keys);
bool xdoClickAt(int x, int y, int button = 1);
bool xdoMoveTo(int x, int y);
// Centre of `widget` in screen coordinates (its window at 0,0); false when not laid out.
bool widgetCenter(Gtk::Widget& widget, int& x, int& y);
bool xdoClickWidget(Gtk::Widget& widget);
// Gives the window keyboard focus at the X level, so key presses reach it.
bool xdoFocusWindow(Gtk::Window& window);

// Captures the whole screen into `path` (PNG) with ImageMagick's import.
bool screenshot(const std::string& path);

} // namespace kovi::test
