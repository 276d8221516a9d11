#include "ui/design/still_pointer_hover.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>

namespace kovi {

namespace {

constexpr auto buttonMasks =
    GDK_BUTTON1_MASK | GDK_BUTTON2_MASK | GDK_BUTTON3_MASK | GDK_BUTTON4_MASK | GDK_BUTTON5_MASK;

} // namespace

StillPointerHover::StillPointerHover(Gtk::Widget& area) : m_area(area)
{
    m_controller = Gtk::EventControllerMotion::create();
    // Ahead of the children, which may stop the motion.
    m_controller->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    auto note = [this](double, double) {
        auto event = m_controller->get_current_event();
        remember(event ? event->gobj() : nullptr);
    };
    m_controller->signal_enter().connect(note);
    m_controller->signal_motion().connect(note);
    m_controller->signal_leave().connect([this] { forget(); });
    m_area.add_controller(m_controller);
    // A replay waits in the queue for the next frame, and a press may overtake it. Played
    // while the toolkit holds a button down on a widget of the area, it would reach that widget
    // as a motion without the button, and its click would be lost: it is dropped (the release
    // picks anew).
    m_late = Gtk::EventControllerLegacy::create();
    m_late->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    m_late->signal_event().connect(
        [this](const Glib::RefPtr<const Gdk::Event>& event) {
            GdkEvent* e = event ? const_cast<GdkEvent*>(event->gobj()) : nullptr;
            if (!e)
                return false;
            switch (gdk_event_get_event_type(e)) {
            case GDK_BUTTON_PRESS: ++m_pressed; return false;
            case GDK_BUTTON_RELEASE: m_pressed = std::max(0, m_pressed - 1); return false;
            default:
                if (!m_replaying || e != m_motion)
                    return false;
                m_replaying = false;
                return m_pressed > 0;
            }
        },
        false);
    m_area.add_controller(m_late);
    m_unrealize = m_area.signal_unrealize().connect([this] { forget(); });
}

StillPointerHover::~StillPointerHover()
{
    m_unrealize.disconnect();
    forget();
    if (m_area.gobj()) { // not when the widget goes with its window
        m_area.remove_controller(m_controller);
        m_area.remove_controller(m_late);
    }
}

void StillPointerHover::remember(const GdkEvent* event)
{
    auto* motion = const_cast<GdkEvent*>(event);
    if (!motion || motion == m_motion)
        return; // nothing new, or our own replay
    const GdkEventType type = gdk_event_get_event_type(motion);
    if (type != GDK_MOTION_NOTIFY && type != GDK_ENTER_NOTIFY)
        return;
    GdkDevice* device = gdk_event_get_device(motion);
    if (!device || gdk_device_get_source(device) == GDK_SOURCE_TOUCHSCREEN)
        return; // a finger hovers nothing
    if (m_motion)
        gdk_event_unref(m_motion);
    m_motion = gdk_event_ref(motion);
    m_replaying = false;
    // A release the area never saw (taken by a menu, say) ends there too.
    if (!(gdk_event_get_modifier_state(motion) & buttonMasks))
        m_pressed = 0;
    setReplayed(nullptr);
    if (!m_clock && m_area.get_realized()) {
        m_clock = gtk_widget_get_frame_clock(m_area.gobj());
        m_afterPaint = g_signal_connect_swapped(m_clock, "after-paint",
                                                G_CALLBACK(+[](StillPointerHover* self) { self->afterFrame(); }), this);
    }
}

void StillPointerHover::forget()
{
    if (m_clock)
        g_signal_handler_disconnect(m_clock, m_afterPaint);
    m_clock = nullptr;
    m_afterPaint = 0;
    setReplayed(nullptr);
    if (m_motion)
        gdk_event_unref(m_motion);
    m_motion = nullptr;
    m_pressed = 0;
    m_replaying = false;
}

void StillPointerHover::setReplayed(GtkWidget* widget)
{
    if (widget == m_replayed)
        return;
    if (m_replayed)
        g_object_remove_weak_pointer(G_OBJECT(m_replayed), reinterpret_cast<gpointer*>(&m_replayed));
    m_replayed = widget;
    if (m_replayed)
        g_object_add_weak_pointer(G_OBJECT(m_replayed), reinterpret_cast<gpointer*>(&m_replayed));
}

void StillPointerHover::afterFrame()
{
    GtkNative* native = gtk_widget_get_native(m_area.gobj());
    if (!m_motion || !native || m_pressed > 0)
        return;
    GdkSurface* surface = gdk_event_get_surface(m_motion);
    double x = 0, y = 0, nx = 0, ny = 0;
    if (surface != gtk_native_get_surface(native) || !gdk_event_get_position(m_motion, &x, &y))
        return;
    gtk_native_get_surface_transform(native, &nx, &ny);
    GtkWidget* under = gtk_widget_pick(GTK_WIDGET(native), x - nx, y - ny, GTK_PICK_DEFAULT);
    // The toolkit marks the widget it holds under the pointer (and its ancestors) as hovered.
    if (!under || (gtk_widget_get_state_flags(under) & GTK_STATE_FLAG_PRELIGHT) || under == m_replayed)
        return;
    // Only for a pointer that is still where it was and holds no button.
    double px = 0, py = 0;
    GdkModifierType mask{};
    if (!gdk_surface_get_device_position(surface, gdk_event_get_device(m_motion), &px, &py, &mask) ||
        (mask & buttonMasks) || std::abs(px - x) > 0.5 || std::abs(py - y) > 0.5)
        return;
    setReplayed(under);
    m_replaying = true;
    gdk_display_put_event(gdk_event_get_display(m_motion), m_motion);
    // A motion waits in the queue for the next frame's flush; ask for one.
    gdk_frame_clock_request_phase(m_clock, GDK_FRAME_CLOCK_PHASE_FLUSH_EVENTS);
}

} // namespace kovi
