#pragma once

#include <string>

namespace Gtk {
class Widget;
class Window;
} // namespace Gtk

namespace kovi::test {

// What the command-bar tests add to the shared helpers (support/gtk_test_support.h): the
// keyboard given to one window through the X server, typed text, points inside a widget and
// resizing the window the way a window manager would.
class UiDriver {
public:
    explicit UiDriver(Gtk::Window& window);

    // Waits until the window is on screen and gives it the keyboard.
    bool showAndFocus();
    void key(const std::string& keys);
    void type(const std::string& text);
    // A click at the point (x, y) of `widget` (the centre when negative).
    void click(Gtk::Widget& widget, double x = -1, double y = -1);
    void moveTo(Gtk::Widget& widget, double x = -1, double y = -1);
    void resizeWindow(int width, int height);

private:
    std::string windowPoint(Gtk::Widget& widget, double x, double y);
    void run(const std::string& arguments);

    Gtk::Window& m_window;
    unsigned long m_xid = 0;
};

} // namespace kovi::test
