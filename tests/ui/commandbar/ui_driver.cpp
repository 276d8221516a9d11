#include "ui_driver.h"

#include "support/gtk_test_support.h"
#include "support/main_loop.h"

#include <gtkmm/window.h>

// After the C++ headers: Xlib's macros clash with them.
#include <gdk/x11/gdkx.h>

#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace kovi::test {

UiDriver::UiDriver(Gtk::Window& window) : m_window(window)
{
}

bool UiDriver::showAndFocus()
{
    m_window.present();
    if (!runUntil([this] { return m_window.get_mapped(); }))
        return false;
    GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(m_window.gobj()));
    if (!surface || !GDK_IS_X11_SURFACE(surface))
        return false;
    m_xid = gdk_x11_surface_get_xid(surface);
    run("windowfocus --sync " + std::to_string(m_xid));
    return runUntil([this] { return m_window.is_active(); }, 5);
}

void UiDriver::run(const std::string& arguments)
{
    const std::string command = "xdotool " + arguments + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("xdotool failed: " + arguments);
}

void UiDriver::key(const std::string& keys)
{
    if (!xdoKey(keys))
        throw std::runtime_error("xdotool failed: key " + keys);
}

void UiDriver::type(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    quoted += "'";
    run("type --delay 15 " + quoted);
}

std::string UiDriver::windowPoint(Gtk::Widget& widget, double x, double y)
{
    if (x < 0 || y < 0) {
        x = widget.get_width() / 2.0;
        y = widget.get_height() / 2.0;
    }
    graphene_point_t in = GRAPHENE_POINT_INIT(static_cast<float>(x), static_cast<float>(y));
    graphene_point_t out;
    if (!gtk_widget_compute_point(widget.gobj(), GTK_WIDGET(m_window.gobj()), &in, &out))
        throw std::runtime_error("widget is not in the window");
    double surfaceX = 0, surfaceY = 0;
    gtk_native_get_surface_transform(GTK_NATIVE(m_window.gobj()), &surfaceX, &surfaceY);
    return std::to_string(std::lround(out.x + surfaceX)) + " " + std::to_string(std::lround(out.y + surfaceY));
}

void UiDriver::moveTo(Gtk::Widget& widget, double x, double y)
{
    run("mousemove --window " + std::to_string(m_xid) + " " + windowPoint(widget, x, y));
}

void UiDriver::click(Gtk::Widget& widget, double x, double y)
{
    run("mousemove --window " + std::to_string(m_xid) + " " + windowPoint(widget, x, y) + " click 1");
}

void UiDriver::resizeWindow(int width, int height)
{
    run("windowsize " + std::to_string(m_xid) + " " + std::to_string(width) + " " + std::to_string(height));
}

} // namespace kovi::test
