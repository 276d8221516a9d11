#include "gtk_test_support.h"

#include "support/main_loop.h"
#include "ui/design/theme.h"

#include <adwaita.h>
#include <glib.h>
#include <gdkmm/frameclock.h>
#include <gtkmm/init.h>
#include <gtkmm/native.h>
#include <gtkmm/window.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

namespace kovi::test {

namespace {

// The X window of a surface; 0 when the display is not X11 (defined at the end of the file,
// after the X headers, whose macros clash with the test framework's names).
unsigned long surfaceXid(GdkSurface* surface);
// A round trip to the X server on the toolkit's own connection: what this process asked for
// (a popover's ungrab, a window's unmap) has been done, and every event the server made before
// it is queued here. Does nothing when the display is not X11.
void syncWithServer();
// Where the surface's top-left corner is on the screen; (0, 0) when the display is not X11.
void surfaceOrigin(GdkSurface* surface, int& x, int& y);

} // namespace

void ensureGtk()
{
    static bool ready = false;
    if (ready)
        return;
    if (!gtk_init_check()) {
        ADD_FAILURE() << "No display: UI tests need one (run them under scripts/headless)";
        return;
    }
    Gtk::init_gtkmm_internals();
    // Animations still run, but short: tests wait on their results, not their frames.
    adw_init();
    Theme::installResources();
    ready = true;
}

bool runUntilGtk(const std::function<bool()>& done, double timeoutSeconds)
{
    // Conditions outside the loop (files, other processes) wake nothing: poll as well.
    const guint poll = g_timeout_add(20, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
    const bool held = runUntil(done, timeoutSeconds);
    g_source_remove(poll);
    return held;
}

void settle(int milliseconds)
{
    // One event at a time, so that a window that keeps drawing cannot hold it past its end.
    const gint64 end = g_get_monotonic_time() + gint64(milliseconds) * 1000;
    while (g_get_monotonic_time() < end) {
        if (!g_main_context_iteration(nullptr, FALSE))
            g_usleep(2000);
    }
}

bool waitForWindow(Gtk::Window& window, double timeoutSeconds)
{
    return runUntil([&] { return window.get_mapped() && window.get_width() > 0; }, timeoutSeconds);
}

bool xdo(const std::vector<std::string>& arguments)
{
    // The input must meet the screen as this process last left it (a closed popover no longer
    // holding the pointer), and the test goes on only once the input has been handled here.
    syncWithServer();
    drainMainLoop();
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> raw;
    for (auto& a : argv)
        raw.push_back(a.data());
    raw.push_back(nullptr);
    GPid pid = 0;
    GError* error = nullptr;
    if (!g_spawn_async(nullptr, raw.data(), nullptr,
                       GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_STDOUT_TO_DEV_NULL),
                       nullptr, nullptr, &pid, &error)) {
        ADD_FAILURE() << "xdotool: " << (error ? error->message : "");
        g_clear_error(&error);
        return false;
    }
    struct Wait {
        bool finished = false;
        int status = 0;
    };
    // Left behind if xdotool hangs, so a late exit never writes into a finished frame.
    auto* wait = new Wait;
    g_child_watch_add(
        pid,
        [](GPid child, gint status, gpointer data) {
            auto* w = static_cast<Wait*>(data);
            w->finished = true;
            w->status = status;
            g_spawn_close_pid(child);
        },
        wait);
    if (!runUntil([&] { return wait->finished; }))
        return false;
    const bool ok = g_spawn_check_wait_status(wait->status, nullptr);
    delete wait;
    // xdotool closed its connection, so the server has made every event of its input.
    syncWithServer();
    drainMainLoop();
    return ok;
}

bool xdoKey(const std::string& keys)
{
    std::vector<std::string> arguments{"key", "--clearmodifiers"};
    std::istringstream words(keys);
    for (std::string key; words >> key;)
        arguments.push_back(key);
    return xdo(arguments);
}

bool xdoType(const std::string& text)
{
    return xdo({"type", "--delay", "15", text});
}

bool xdoClickAt(int x, int y, int button)
{
    return xdo({"mousemove", std::to_string(x), std::to_string(y), "click", std::to_string(button)});
}

bool xdoDoubleClickUntil(const std::function<bool()>& done)
{
    for (int tries = 0; tries < 3; ++tries) {
        if (!xdo({"click", "--repeat", "2", "--delay", "60", "1"}))
            return false;
        if (runUntilGtk(done, 5))
            return true;
    }
    return false;
}

bool xdoMoveTo(int x, int y)
{
    return xdo({"mousemove", std::to_string(x), std::to_string(y)});
}

bool widgetPoint(Gtk::Widget& widget, double x, double y, int& screenX, int& screenY)
{
    // Measured from the widget's own surface: its window's, or a popover's.
    auto* native = widget.get_native();
    auto* nativeWidget = dynamic_cast<Gtk::Widget*>(native);
    if (!nativeWidget || widget.get_width() <= 0)
        return false;
    graphene_point_t in = GRAPHENE_POINT_INIT(static_cast<float>(x), static_cast<float>(y));
    graphene_point_t out;
    if (!gtk_widget_compute_point(widget.gobj(), nativeWidget->gobj(), &in, &out))
        return false;
    // The surface includes the client-side shadow; widget coordinates start inside it. A window
    // placed by the program itself, or a popover, is not at (0, 0).
    double sx = 0, sy = 0;
    int originX = 0, originY = 0;
    native->get_surface_transform(sx, sy);
    if (auto surface = native->get_surface())
        surfaceOrigin(surface->gobj(), originX, originY);
    screenX = static_cast<int>(out.x + sx) + originX;
    screenY = static_cast<int>(out.y + sy) + originY;
    return true;
}

bool widgetCenter(Gtk::Widget& widget, int& x, int& y)
{
    return widgetPoint(widget, widget.get_width() / 2.0, widget.get_height() / 2.0, x, y);
}

namespace {

// Where the point (x, y) of `widget` (its centre when either is negative) is on the screen, when
// the widget is mapped and laid out and, if `onTop`, is or holds the topmost widget there that
// takes the pointer; `picked` names what is there instead.
bool pickablePoint(Gtk::Widget& widget, double x, double y, bool onTop, int& screenX, int& screenY,
                   std::string& picked)
{
    auto* nativeWidget = dynamic_cast<Gtk::Widget*>(widget.get_native());
    picked = !nativeWidget || !widget.get_mapped() ? "nothing: it is not mapped" : "nothing: it has no size";
    if (!nativeWidget || !widget.get_mapped() || widget.get_width() <= 0 || widget.get_height() <= 0)
        return false;
    if (x < 0 || y < 0) {
        x = widget.get_width() / 2.0;
        y = widget.get_height() / 2.0;
    }
    graphene_point_t in = GRAPHENE_POINT_INIT(static_cast<float>(x), static_cast<float>(y));
    graphene_point_t out;
    if (!gtk_widget_compute_point(widget.gobj(), nativeWidget->gobj(), &in, &out))
        return false;
    if (!onTop)
        return widgetPoint(widget, x, y, screenX, screenY);
    // Insensitive widgets count: a click on a disabled button is still a click on it.
    GtkWidget* hit = gtk_widget_pick(nativeWidget->gobj(), out.x, out.y, GTK_PICK_INSENSITIVE);
    picked = hit ? G_OBJECT_TYPE_NAME(hit) : "nothing there";
    if (!hit || (hit != widget.gobj() && !gtk_widget_is_ancestor(hit, widget.gobj())))
        return false;
    return widgetPoint(widget, x, y, screenX, screenY);
}

// Waits until that point of `widget` is on the screen (and, if `onTop`, a click there would reach
// the widget), and has stayed put over a drawn frame, the work pending after it and the frame that
// lays out what that work changed (a view that arranges itself for its size does so once it has
// one), so the pointer cannot miss on a machine that is slow to lay out and draw.
bool waitUntilPlaced(Gtk::Widget& widget, double x, double y, bool onTop, int& screenX, int& screenY)
{
    const gint64 deadline = g_get_monotonic_time() + 30 * G_USEC_PER_SEC;
    std::string picked;
    while (g_get_monotonic_time() < deadline) {
        auto left = [&] { return double(deadline - g_get_monotonic_time()) / G_USEC_PER_SEC; };
        if (!runUntilGtk([&] { return pickablePoint(widget, x, y, onTop, screenX, screenY, picked); }, left()))
            break;
        const int firstX = screenX, firstY = screenY;
        if (!waitForFrames(widget, 1, left()))
            break;
        drainMainLoop();
        if (!waitForFrames(widget, 1, left()))
            break;
        if (pickablePoint(widget, x, y, onTop, screenX, screenY, picked) && screenX == firstX && screenY == firstY)
            return true;
    }
    ADD_FAILURE() << "the pointer aimed at " << G_OBJECT_TYPE_NAME(widget.gobj()) << " would reach " << picked;
    return false;
}

} // namespace

bool xdoClickWidget(Gtk::Widget& widget, int button, double x, double y)
{
    int sx = 0, sy = 0;
    return waitUntilPlaced(widget, x, y, true, sx, sy) && xdoClickAt(sx, sy, button);
}

bool xdoMoveToWidget(Gtk::Widget& widget, double x, double y)
{
    int sx = 0, sy = 0;
    // Not necessarily on top: a test may move the pointer over something covered on purpose.
    return waitUntilPlaced(widget, x, y, false, sx, sy) && xdoMoveTo(sx, sy);
}

bool xdoFocusWindow(Gtk::Window& window)
{
    // Without a window manager nobody gives the keyboard focus: set it on the X window.
    window.present();
    if (!waitForWindow(window))
        return false;
    auto surface = window.get_surface();
    const unsigned long xid = surface ? surfaceXid(surface->gobj()) : 0;
    if (!xid)
        return false;
    const bool ok = xdo({"windowfocus", "--sync", std::to_string(xid)});
    // Key presses reach the focused X window even when the toolkit never calls it active (a
    // transient dialog without a window manager): waiting for that is only a courtesy here.
    runUntil([&] { return window.is_active(); }, 2);
    return ok;
}

bool xdoResizeWindow(Gtk::Window& window, int width, int height)
{
    auto surface = window.get_surface();
    const unsigned long xid = surface ? surfaceXid(surface->gobj()) : 0;
    return xid && xdo({"windowsize", std::to_string(xid), std::to_string(width), std::to_string(height)});
}

std::vector<std::string> menuLabels(const Glib::RefPtr<Gio::MenuModel>& model)
{
    std::vector<std::string> result;
    for (int i = 0; i < model->get_n_items(); ++i) {
        if (auto section = model->get_item_link(i, Gio::MenuModel::Link::SECTION)) {
            if (!result.empty())
                result.push_back("-");
            auto inner = menuLabels(section);
            result.insert(result.end(), inner.begin(), inner.end());
            continue;
        }
        auto value = model->get_item_attribute(i, Gio::MenuModel::Attribute::LABEL, Glib::VARIANT_TYPE_STRING);
        std::string text = Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(value).get();
        if (model->get_item_link(i, Gio::MenuModel::Link::SUBMENU))
            text += ">";
        result.push_back(text);
    }
    return result;
}

Gtk::Widget* findMenuItem(Gtk::Widget& menu, const std::string& label)
{
    // The toolkit's menu items are model buttons, their label in the "text" property.
    if (g_str_equal(G_OBJECT_TYPE_NAME(menu.gobj()), "GtkModelButton")) {
        gchar* text = nullptr;
        g_object_get(menu.gobj(), "text", &text, nullptr);
        const bool match = text && label == text;
        g_free(text);
        if (match)
            return &menu;
    }
    for (auto* child = menu.get_first_child(); child; child = child->get_next_sibling()) {
        if (auto* found = findMenuItem(*child, label))
            return found;
    }
    return nullptr;
}

Gtk::Widget* shownTooltip(Gtk::Window& window)
{
    for (Gtk::Widget* child = window.get_first_child(); child; child = child->get_next_sibling()) {
        if (g_str_equal(gtk_widget_get_css_name(child->gobj()), "tooltip") && child->get_mapped())
            return child;
    }
    return nullptr;
}

bool tooltipShown(Gtk::Window& window)
{
    return shownTooltip(window) != nullptr;
}

bool waitForFrames(Gtk::Widget& widget, int frames, double timeoutSeconds)
{
    auto clock = widget.get_frame_clock();
    if (!clock)
        return false;
    int drawn = 0;
    auto counter = clock->signal_paint().connect([&] { ++drawn; });
    const bool done = runUntil([&] {
        if (drawn < frames)
            widget.queue_draw();
        return drawn >= frames;
    }, timeoutSeconds);
    counter.disconnect();
    return done;
}

bool screenshot(const std::string& path)
{
    return std::system(("import -window root '" + path + "' 2>/dev/null").c_str()) == 0;
}

void screenshotIfAsked(const std::string& name)
{
    const char* folder = std::getenv("KOVI_SCREENSHOT_DIR");
    if (!folder)
        return;
    settle(150);
    if (!screenshot(std::string(folder) + "/" + name + ".png"))
        ADD_FAILURE() << "screen capture failed";
}

} // namespace kovi::test

#include <gdk/x11/gdkx.h>

namespace kovi::test {
namespace {

unsigned long surfaceXid(GdkSurface* surface)
{
    return GDK_IS_X11_SURFACE(surface) ? gdk_x11_surface_get_xid(surface) : 0;
}

void syncWithServer()
{
    GdkDisplay* display = gdk_display_get_default();
    if (display && GDK_IS_X11_DISPLAY(display))
        XSync(gdk_x11_display_get_xdisplay(display), False);
}

void surfaceOrigin(GdkSurface* surface, int& x, int& y)
{
    x = y = 0;
    if (!GDK_IS_X11_SURFACE(surface))
        return;
    Display* display = gdk_x11_display_get_xdisplay(gdk_surface_get_display(surface));
    Window child = 0;
    XTranslateCoordinates(display, gdk_x11_surface_get_xid(surface), DefaultRootWindow(display), 0, 0, &x, &y, &child);
}

} // namespace

bool getsDesktopTitleBar(Gtk::Window& window)
{
    auto surface = window.get_surface();
    if (!surface || !GDK_IS_X11_SURFACE(surface->gobj()))
        return true;
    Display* display = gdk_x11_display_get_xdisplay(gdk_surface_get_display(surface->gobj()));
    syncWithServer();
    // The desktop reads what to draw from the window's Motif hints: flags, functions, decorations.
    const Atom hints = XInternAtom(display, "_MOTIF_WM_HINTS", False);
    Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char* data = nullptr;
    bool decorated = true;
    if (XGetWindowProperty(display, gdk_x11_surface_get_xid(surface->gobj()), hints, 0, 5, False, hints, &type,
                           &format, &count, &after, &data) == Success
        && data && format == 32 && count >= 3) {
        const auto* values = reinterpret_cast<unsigned long*>(data);
        const unsigned long decorationsGiven = 1 << 1;
        decorated = !(values[0] & decorationsGiven) || values[2] != 0;
    }
    if (data)
        XFree(data);
    return decorated;
}

bool xSendCloseRequest(unsigned long xid)
{
    GdkDisplay* gdkDisplay = gdk_display_get_default();
    if (!gdkDisplay || !GDK_IS_X11_DISPLAY(gdkDisplay))
        return false;
    Display* display = gdk_x11_display_get_xdisplay(gdkDisplay);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = xid;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, xid, False, NoEventMask, &event);
    XSync(display, False);
    return sent != 0;
}
} // namespace kovi::test
