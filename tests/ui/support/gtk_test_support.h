#pragma once

// Helpers for tests that drive real widgets: a toolkit set up once per process, waiting on the
// main loop for a condition, real input through xdotool on the test's own X display, and screen
// captures. Without a window manager a window sits at (0,0), so widget coordinates relative to
// the window are screen coordinates.

#include <giomm/menumodel.h>
#include <gtkmm/widget.h>

#include <functional>
#include <string>
#include <vector>

namespace Gtk {
class Window;
}

namespace kovi::test {

// Initialises GTK and libadwaita and loads the bundled stylesheets and icons (once).
// Fails the calling test when there is no display.
void ensureGtk();

// Runs the main loop until `done` holds or `timeoutSeconds` pass; returns whether it held.
// Checks at least every 20 ms, so conditions outside the loop (files, processes) are seen.
bool runUntilGtk(const std::function<bool()>& done, double timeoutSeconds = 30);
// Lets pending work (idle handlers, layout, drawing) run for about `milliseconds`.
void settle(int milliseconds = 100);
// Waits until the window is mapped and has been drawn once.
bool waitForWindow(Gtk::Window& window, double timeoutSeconds = 30);

// Runs xdotool with these arguments on $DISPLAY. The main loop keeps turning until it ends, so
// the program answers what the input starts (a drag asks its source for data while it moves).
bool xdo(const std::vector<std::string>& arguments);
// Keys use xdotool's names; several are separated by spaces ("ctrl+k", "ctrl+plus ctrl+plus").
bool xdoKey(const std::string& keys);
bool xdoType(const std::string& text);
bool xdoClickAt(int x, int y, int button = 1);
bool xdoMoveTo(int x, int y);
// Double-clicks where the pointer is until `done` holds (5 s after each try, three tries): two
// clicks sent 60 ms apart can reach the window further apart than the desktop's double-click
// time on a busy machine, as two single clicks.
bool xdoDoubleClickUntil(const std::function<bool()>& done);
// The screen position of the point (x, y) of `widget`; false when it is not laid out.
bool widgetPoint(Gtk::Widget& widget, double x, double y, int& screenX, int& screenY);
// Centre of `widget` in screen coordinates; false when not laid out.
bool widgetCenter(Gtk::Widget& widget, int& x, int& y);
// A click at the centre of `widget` (or at its point (x, y) when both are given), once the widget
// is mapped, laid out and on top there; false (and a failure) when it never is.
bool xdoClickWidget(Gtk::Widget& widget, int button = 1, double x = -1, double y = -1);
// The pointer to the centre of `widget` (or to its point (x, y)), once the widget is mapped and
// laid out there, on top or not; false (and a failure) when it never is.
bool xdoMoveToWidget(Gtk::Widget& widget, double x = -1, double y = -1);
// Shows the window and gives it keyboard focus at the X level, so key presses reach it.
bool xdoFocusWindow(Gtk::Window& window);
// Resizes the window the way a window manager would.
bool xdoResizeWindow(Gtk::Window& window, int width, int height);
// Whether a window manager would draw its own title bar (and buttons) on the window: false when
// the window draws its frame itself and tells the desktop to add none.
bool getsDesktopTitleBar(Gtk::Window& window);
// Asks an X window (of any process) to close the way a window manager's close button does: a
// WM_DELETE_WINDOW message. No window manager runs on the test display to send it.
bool xSendCloseRequest(unsigned long xid);

// The labels of a menu model, sections flattened ("-" between sections), submenus as "name>".
std::vector<std::string> menuLabels(const Glib::RefPtr<Gio::MenuModel>& model);
// The item showing `label` in an open menu built from a menu model (searched under `menu`, a
// popover); nullptr when there is none.
Gtk::Widget* findMenuItem(Gtk::Widget& menu, const std::string& label);
// The first widget of type T at or below `root` (depth first) that `accept` takes, or nullptr.
template <class T>
T* findWidget(Gtk::Widget& root, const std::function<bool(T&)>& accept = {})
{
    if (auto* found = dynamic_cast<T*>(&root); found && (!accept || accept(*found)))
        return found;
    for (Gtk::Widget* child = root.get_first_child(); child; child = child->get_next_sibling()) {
        if (T* found = findWidget<T>(*child, accept))
            return found;
    }
    return nullptr;
}
// The tooltip up over `window` (the toolkit shows it as a child of the window), if one is.
Gtk::Widget* shownTooltip(Gtk::Window& window);
bool tooltipShown(Gtk::Window& window);
// Waits until the window of `widget` has drawn `frames` more frames (each one is asked for), so
// whatever the last change set off has been laid out and drawn.
bool waitForFrames(Gtk::Widget& widget, int frames = 3, double timeoutSeconds = 30);

// Captures the whole screen into `path` (PNG) with ImageMagick's import.
bool screenshot(const std::string& path);
// For looking at by hand: when KOVI_SCREENSHOT_DIR is set, lets the window draw and captures the
// screen as <that folder>/<name>.png.
void screenshotIfAsked(const std::string& name);

} // namespace kovi::test
