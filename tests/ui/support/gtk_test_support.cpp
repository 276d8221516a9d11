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
    return runUntil(done, timeoutSeconds);
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
    // Without a window manager, clicking into the window gives it the keyboard focus.
    window.present();
    settle(50);
    int x = 0, y = 0;
    double sx = 0, sy = 0;
    window.get_surface_transform(sx, sy);
    x = static_cast<int>(sx) + 2;
    y = static_cast<int>(sy) + window.get_height() - 4;
    return run("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
}

bool screenshot(const std::string& path)
{
    return run("import -window root '" + path + "' 2>/dev/null");
}

} // namespace kovi::test
