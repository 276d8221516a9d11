#include "gtk_test_support.h"

#include "support/main_loop.h"
#include "ui/design/theme.h"

#include <adwaita.h>
#include <glib.h>
#include <gtkmm/init.h>
#include <gtkmm/native.h>
#include <gtkmm/window.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace kovi::test {

namespace {

// The X window of a surface; 0 when the display is not X11 (defined at the end of the file,
// after the X headers, whose macros clash with the test framework's names).
unsigned long surfaceXid(GdkSurface* surface);

bool run(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

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
    const gint64 end = g_get_monotonic_time() + gint64(milliseconds) * 1000;
    while (g_get_monotonic_time() < end) {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        g_usleep(2000);
    }
}

bool waitForWindow(Gtk::Window& window, double timeoutSeconds)
{
    return runUntil([&] { return window.get_mapped() && window.get_width() > 0; }, timeoutSeconds);
}

bool xdoKey(const std::string& keys)
{
    return run("xdotool key --clearmodifiers " + keys);
}

bool xdoClickAt(int x, int y, int button)
{
    return run("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click " +
               std::to_string(button));
}

bool xdoMoveTo(int x, int y)
{
    return run("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
}

bool widgetCenter(Gtk::Widget& widget, int& x, int& y)
{
    auto* root = widget.get_root();
    if (!root || widget.get_width() <= 0)
        return false;
    auto* rootWidget = dynamic_cast<Gtk::Widget*>(root);
    if (!rootWidget)
        return false;
    graphene_point_t in = GRAPHENE_POINT_INIT(widget.get_width() / 2.f, widget.get_height() / 2.f);
    graphene_point_t out;
    if (!gtk_widget_compute_point(widget.gobj(), rootWidget->gobj(), &in, &out))
        return false;
    // The surface includes the client-side shadow; widget coordinates start inside it.
    double sx = 0, sy = 0;
    if (auto* native = dynamic_cast<Gtk::Native*>(rootWidget))
        native->get_surface_transform(sx, sy);
    x = static_cast<int>(out.x + sx);
    y = static_cast<int>(out.y + sy);
    return true;
}

bool xdoClickWidget(Gtk::Widget& widget)
{
    int x = 0, y = 0;
    return widgetCenter(widget, x, y) && xdoClickAt(x, y);
}

bool xdoFocusWindow(Gtk::Window& window)
{
    // Without a window manager nobody gives the keyboard focus: set it on the X window.
    window.present();
    settle(50);
    auto surface = window.get_surface();
    const unsigned long xid = surface ? surfaceXid(surface->gobj()) : 0;
    if (!xid)
        return false;
    const bool ok = run("xdotool windowfocus --sync " + std::to_string(xid));
    runUntil([&] { return window.is_active(); }, 2);
    return ok;
}

bool screenshot(const std::string& path)
{
    return run("import -window root '" + path + "' 2>/dev/null");
}

} // namespace kovi::test

#include <gdk/x11/gdkx.h>

namespace kovi::test {
namespace {

unsigned long surfaceXid(GdkSurface* surface)
{
    return GDK_IS_X11_SURFACE(surface) ? gdk_x11_surface_get_xid(surface) : 0;
}

} // namespace
} // namespace kovi::test
