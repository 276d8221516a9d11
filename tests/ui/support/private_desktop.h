#pragma once

// A desktop of a test's own: a private X server, with or without a window manager (openbox), for
// starting the program on it and looking at its windows from outside as a user would see them.
// The test's own windows stay on the test display; this one is for another process.

#include <string>
#include <vector>

namespace kovi::test {

class PrivateDesktop {
public:
    explicit PrivateDesktop(bool windowManager);
    ~PrivateDesktop();
    PrivateDesktop(const PrivateDesktop&) = delete;
    PrivateDesktop& operator=(const PrivateDesktop&) = delete;

    // Whether the server (and the window manager, when asked for) runs.
    bool ready() const { return m_ready; }
    // The value of DISPLAY for a program to be shown here (":N").
    const std::string& display() const { return m_display; }

    // The shown top-level windows of the programs, bottom to top: the window manager's stacking
    // order when one runs, else the server's.
    std::vector<unsigned long> windowsBottomToTop();
    std::string title(unsigned long window);
    // The window this one is a dialog of; 0 when none.
    unsigned long transientFor(unsigned long window);
    // Where the window lies on the screen.
    bool geometry(unsigned long window, int& x, int& y, int& width, int& height);
    // The window the window manager has given the keyboard; 0 when it does not say.
    unsigned long activeWindow();
    // What the window manager draws around the window (left, right, top, bottom); empty when it
    // does not say.
    std::vector<long> frameExtents(unsigned long window);
    // Runs xdotool here with these arguments (keys and pointer as a user's).
    bool xdo(const std::string& arguments);
    // Captures the screen into `path` (PNG), for looking at by hand.
    bool screenshot(const std::string& path);

private:
    bool m_ready = false;
    bool m_windowManager = false;
    std::string m_display;
    int m_server = -1;
    int m_manager = -1;
    void* m_x = nullptr;
};

} // namespace kovi::test
