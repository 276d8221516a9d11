#include "ui/windows/x11_window_placement.h"

#include "core/support/gobject_ptr.h"

#include <gtkmm/window.h>

#include <gdk/x11/gdkx.h>
#include <X11/Xlib.h>

#include <cmath>

namespace kovi::x11 {

namespace {

GdkDisplay* x11Display(Gtk::Window& window)
{
    GdkDisplay* display = gtk_widget_get_display(GTK_WIDGET(window.gobj()));
    return display && GDK_IS_X11_DISPLAY(display) ? display : nullptr;
}

// The device pixels per toolkit pixel of the display's windows.
int scaleOf(Gtk::Window& window)
{
    GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(window.gobj()));
    return surface ? std::max(1, gdk_surface_get_scale_factor(surface)) : 1;
}

} // namespace

std::optional<ScreenPoint> pointerPosition(Gtk::Window& window)
{
    GdkDisplay* display = x11Display(window);
    if (!display)
        return std::nullopt;
    Display* xdisplay = gdk_x11_display_get_xdisplay(display);
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(xdisplay, DefaultRootWindow(xdisplay), &root, &child, &rootX, &rootY, &x, &y, &mask))
        return std::nullopt;
    const double scale = scaleOf(window);
    return ScreenPoint{rootX / scale, rootY / scale};
}

std::optional<ScreenRect> monitorArea(Gtk::Window& window)
{
    GdkDisplay* display = x11Display(window);
    if (!display)
        return std::nullopt;
    GdkMonitor* monitor = nullptr;
    if (GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(window.gobj())))
        monitor = gdk_display_get_monitor_at_surface(display, surface);
    if (!monitor) {
        // Not shown yet: the monitor under the pointer.
        auto pointer = pointerPosition(window);
        GListModel* monitors = gdk_display_get_monitors(display);
        for (guint i = 0; pointer && i < g_list_model_get_n_items(monitors) && !monitor; ++i) {
            auto candidate =
                GObjectPtr<GdkMonitor>::adopt(static_cast<GdkMonitor*>(g_list_model_get_item(monitors, i)));
            GdkRectangle area;
            gdk_monitor_get_geometry(candidate.get(), &area);
            if (pointer->x >= area.x && pointer->x < area.x + area.width && pointer->y >= area.y
                && pointer->y < area.y + area.height)
                monitor = candidate.get(); // the list keeps it
        }
    }
    if (!monitor)
        return std::nullopt;
    GdkRectangle area;
    gdk_monitor_get_geometry(monitor, &area);
    return ScreenRect{double(area.x), double(area.y), double(area.width), double(area.height)};
}

bool moveWindow(Gtk::Window& window, ScreenPoint topLeft)
{
    GdkDisplay* display = x11Display(window);
    GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(window.gobj()));
    if (!display || !surface || !std::isfinite(topLeft.x) || !std::isfinite(topLeft.y))
        return false;
    Display* xdisplay = gdk_x11_display_get_xdisplay(display);
    // The surface reaches past the window's visible frame by the client-side shadow and resize
    // border.
    double left = 0, top = 0;
    gtk_native_get_surface_transform(GTK_NATIVE(window.gobj()), &left, &top);
    const int scale = scaleOf(window);
    XMoveWindow(xdisplay, gdk_x11_surface_get_xid(surface), static_cast<int>(std::lround((topLeft.x - left) * scale)),
                static_cast<int>(std::lround((topLeft.y - top) * scale)));
    XFlush(xdisplay);
    return true;
}

} // namespace kovi::x11
