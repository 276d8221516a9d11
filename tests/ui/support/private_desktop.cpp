#include "private_desktop.h"

#include <glib.h>

#include <csignal>
#include <cstdlib>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

// Last: the X headers' macros clash with other names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace kovi::test {

namespace {

Display* xOf(void* x)
{
    return static_cast<Display*>(x);
}

// Windows come and go between two questions about them: while one lives, errors about a window
// that is gone are answers ("no such window"), not failures. The previous handler (the toolkit's)
// comes back after it.
class IgnoreXErrors {
public:
    explicit IgnoreXErrors(Display* x) : m_x(x), m_previous(XSetErrorHandler(+[](Display*, XErrorEvent*) { return 0; }))
    {
    }
    ~IgnoreXErrors()
    {
        if (m_x)
            XSync(m_x, False);
        XSetErrorHandler(m_previous);
    }
    IgnoreXErrors(const IgnoreXErrors&) = delete;
    IgnoreXErrors& operator=(const IgnoreXErrors&) = delete;

private:
    Display* m_x;
    XErrorHandler m_previous;
};

// Starts `argv` with DISPLAY set to `display` (unless empty); it ends with the test process.
pid_t start(const std::vector<std::string>& argv, const std::string& display, int keepFd = -1)
{
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (!display.empty())
        setenv("DISPLAY", display.c_str(), 1);
    // Quiet: their own notices are not test output.
    if (!freopen("/dev/null", "w", stderr) || !freopen("/dev/null", "w", stdout))
        _exit(127);
    for (int fd = 3; fd < 256; ++fd) {
        if (fd != keepFd)
            close(fd);
    }
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

void stop(int& pid)
{
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    pid = -1;
}

// Waits up to `seconds` for `done`.
template <class F>
bool waitFor(F done, double seconds)
{
    const gint64 end = g_get_monotonic_time() + gint64(seconds * G_USEC_PER_SEC);
    while (!done()) {
        if (g_get_monotonic_time() > end)
            return false;
        g_usleep(20000);
    }
    return true;
}

std::vector<Window> windowList(Display* x, const char* property)
{
    std::vector<Window> windows;
    Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(x, DefaultRootWindow(x), XInternAtom(x, property, False), 0, 4096, False, XA_WINDOW, &type,
                           &format, &count, &after, &data) == Success
        && data && format == 32) {
        auto* list = reinterpret_cast<unsigned long*>(data);
        windows.assign(list, list + count);
    }
    if (data)
        XFree(data);
    return windows;
}

} // namespace

PrivateDesktop::PrivateDesktop(bool windowManager) : m_windowManager(windowManager)
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    m_server = start({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"},
                     "", fds[1]);
    close(fds[1]);
    std::string number;
    char c;
    while (m_server > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty())
        return;
    m_display = ":" + number;
    Display* x = XOpenDisplay(m_display.c_str());
    if (!x)
        return;
    m_x = x;
    if (m_windowManager) {
        m_manager = start({"openbox"}, m_display);
        // Ready once it has announced itself on the root window.
        const bool announced = waitFor(
            [&] {
                XSync(x, False);
                return !windowList(x, "_NET_SUPPORTING_WM_CHECK").empty();
            },
            20);
        if (!announced)
            return;
    }
    m_ready = true;
}

PrivateDesktop::~PrivateDesktop()
{
    if (m_x)
        XCloseDisplay(xOf(m_x));
    stop(m_manager);
    stop(m_server);
}

std::vector<unsigned long> PrivateDesktop::windowsBottomToTop()
{
    Display* x = xOf(m_x);
    IgnoreXErrors ignore(xOf(m_x));
    std::vector<unsigned long> shown;
    if (!x)
        return shown;
    XSync(x, False);
    if (m_windowManager) {
        for (Window window : windowList(x, "_NET_CLIENT_LIST_STACKING"))
            shown.push_back(window);
        return shown;
    }
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count))
        return shown;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(x, children[i], &attributes) && attributes.map_state == IsViewable
            && !attributes.override_redirect && attributes.width > 1)
            shown.push_back(children[i]);
    }
    if (children)
        XFree(children);
    return shown;
}

std::string PrivateDesktop::title(unsigned long window)
{
    IgnoreXErrors ignore(xOf(m_x));
    char* name = nullptr;
    std::string title;
    if (m_x && XFetchName(xOf(m_x), window, &name) && name)
        title = name;
    if (name)
        XFree(name);
    return title;
}

unsigned long PrivateDesktop::transientFor(unsigned long window)
{
    IgnoreXErrors ignore(xOf(m_x));
    Window parent = 0;
    if (!m_x || !XGetTransientForHint(xOf(m_x), window, &parent))
        return 0;
    return parent;
}

bool PrivateDesktop::geometry(unsigned long window, int& x, int& y, int& width, int& height)
{
    Display* display = xOf(m_x);
    IgnoreXErrors ignore(xOf(m_x));
    XWindowAttributes attributes;
    Window child;
    if (!display || !XGetWindowAttributes(display, window, &attributes)
        || !XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child))
        return false;
    width = attributes.width;
    height = attributes.height;
    return true;
}

unsigned long PrivateDesktop::activeWindow()
{
    IgnoreXErrors ignore(xOf(m_x));
    if (!m_x)
        return 0;
    XSync(xOf(m_x), False);
    const auto active = windowList(xOf(m_x), "_NET_ACTIVE_WINDOW");
    return active.empty() ? 0 : active.front();
}

std::vector<long> PrivateDesktop::frameExtents(unsigned long window)
{
    IgnoreXErrors ignore(xOf(m_x));
    std::vector<long> extents;
    Display* x = xOf(m_x);
    Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char* data = nullptr;
    if (x
        && XGetWindowProperty(x, window, XInternAtom(x, "_NET_FRAME_EXTENTS", False), 0, 4, False, XA_CARDINAL, &type,
                              &format, &count, &after, &data) == Success
        && data && format == 32 && count == 4) {
        auto* values = reinterpret_cast<long*>(data);
        extents.assign(values, values + 4);
    }
    if (data)
        XFree(data);
    return extents;
}

bool PrivateDesktop::xdo(const std::string& arguments)
{
    return std::system(("DISPLAY=" + m_display + " xdotool " + arguments).c_str()) == 0;
}

bool PrivateDesktop::screenshot(const std::string& path)
{
    return std::system(("import -display " + m_display + " -window root " + path).c_str()) == 0;
}

} // namespace kovi::test
