#pragma once

#include <gtkmm/window.h>
#include <sigc++/connection.h>

#include <functional>
#include <vector>

namespace kovi {

class BrowserState;

// Keeps the keyboard focus of a window where typing is expected. The toolkit gives a new
// window's focus to its first button (the window's own close button) and drops it when its
// widget goes away, so Return or Space could close the window. The focus goes instead to
// `focusTypingTarget` (the page, or the start page's field) when the window is shown, when the
// focus lands on a window control other than by Tab, and when the shown tab changes while
// nothing holds the focus. Window controls are the buttons inside a Gtk::WindowControls. Main
// thread only.
class WindowFocus {
public:
    // `focusTypingTarget` returns whether it placed the focus.
    WindowFocus(Gtk::Window& window, BrowserState& state, std::function<bool()> focusTypingTarget);
    ~WindowFocus();
    WindowFocus(const WindowFocus&) = delete;
    WindowFocus& operator=(const WindowFocus&) = delete;

    static bool isWindowControl(Gtk::Widget* widget);

private:
    void focusChanged();
    void schedule();
    void place();

    Gtk::Window& m_window;
    std::function<bool()> m_focusTypingTarget;
    bool m_tabbing = false;
    bool m_showing = false;
    std::vector<sigc::connection> m_connections;
    sigc::connection m_idle;
};

} // namespace kovi
