#include "ui/design/clicks_beside.h"

#include <glibmm/main.h>
#include <gtkmm/root.h>
#include <gtkmm/widget.h>

namespace kovi {

ClicksBeside::ClicksBeside(Gtk::Widget& inside, std::function<void()> onClick)
    : m_inside(inside), m_onClick(std::move(onClick))
{
    if (m_inside.get_root())
        watch();
    else
        m_mapped = m_inside.signal_map().connect([this] { watch(); });
}

ClicksBeside::~ClicksBeside()
{
    m_mapped.disconnect();
    m_pending.disconnect();
    stopWatching();
}

void ClicksBeside::watch()
{
    m_mapped.disconnect();
    Gtk::Root* root = m_inside.get_root();
    if (m_controller || !root)
        return;
    m_window = GTK_WIDGET(root->gobj());
    g_object_add_weak_pointer(G_OBJECT(m_window), reinterpret_cast<gpointer*>(&m_window));
    // Before any widget of the window: a press that one of them claims is still seen.
    m_controller = gtk_event_controller_legacy_new();
    gtk_event_controller_set_propagation_phase(m_controller, GTK_PHASE_CAPTURE);
    g_signal_connect(m_controller, "event", G_CALLBACK(&ClicksBeside::onEvent), this);
    gtk_widget_add_controller(m_window, m_controller);
}

void ClicksBeside::stopWatching()
{
    if (!m_window)
        return;
    g_object_remove_weak_pointer(G_OBJECT(m_window), reinterpret_cast<gpointer*>(&m_window));
    gtk_widget_remove_controller(m_window, m_controller);
    m_window = nullptr;
    m_controller = nullptr;
}

bool ClicksBeside::beginsBeside(GdkEvent* event) const
{
    // A popup of the window has a surface of its own; its clicks are not beside anything here.
    GtkNative* native = GTK_NATIVE(m_window);
    if (gdk_event_get_surface(event) != gtk_native_get_surface(native))
        return false;
    double x = 0, y = 0, left = 0, top = 0;
    if (!gdk_event_get_position(event, &x, &y))
        return false;
    gtk_native_get_surface_transform(native, &left, &top);
    graphene_rect_t bounds;
    const graphene_point_t point = GRAPHENE_POINT_INIT(float(x - left), float(y - top));
    return !gtk_widget_compute_bounds(m_inside.gobj(), m_window, &bounds)
           || !graphene_rect_contains_point(&bounds, &point);
}

int ClicksBeside::onEvent(GtkEventController*, GdkEvent* event, void* data)
{
    auto* self = static_cast<ClicksBeside*>(data);
    switch (gdk_event_get_event_type(event)) {
    case GDK_BUTTON_PRESS:
        self->m_pressedBeside = self->beginsBeside(event);
        break;
    case GDK_BUTTON_RELEASE:
        if (self->m_pressedBeside && !self->m_pending.connected()) {
            // After the release has reached what was clicked (a button that closes the same
            // thing has closed it by then, and `onClick` finds nothing left to do), and before
            // anything the click set off elsewhere can answer.
            self->m_pending = Glib::signal_idle().connect([self] {
                const auto onClick = self->m_onClick; // may end this watch
                onClick();
                return false;
            }, Glib::PRIORITY_HIGH);
        }
        self->m_pressedBeside = false;
        break;
    default:
        break;
    }
    return FALSE; // the event goes on to what is under the pointer
}

} // namespace kovi
