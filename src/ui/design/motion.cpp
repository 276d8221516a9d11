#include "ui/design/motion.h"

#include <glibmm/main.h>
#include <gtk/gtk.h>
#include <gtkmm/widget.h>

#include <cmath>

namespace kovi {

namespace {

bool animationsEnabled(GtkWidget* widget)
{
    gboolean enabled = TRUE;
    g_object_get(gtk_widget_get_settings(widget), "gtk-enable-animations", &enabled, nullptr);
    return enabled;
}

} // namespace

MotionValue::MotionValue(Gtk::Widget& widget, double initial, std::function<void(double)> apply)
    : m_widget(widget), m_apply(std::move(apply)), m_value(initial), m_target(initial)
{
}

MotionValue::~MotionValue()
{
    m_doneIdle.disconnect();
    stop();
}

double MotionValue::progressAt(const KoviDesign::Motion& motion, double t, bool& finished)
{
    using Kind = KoviDesign::Motion::Kind;
    if (motion.kind != Kind::spring) {
        const double d = motion.duration > 0 ? motion.duration : 0.001;
        const double x = std::min(1.0, std::max(0.0, t / d));
        finished = x >= 1.0;
        if (motion.kind == Kind::easeOut)
            return 1 - std::pow(1 - x, 3);
        return x < 0.5 ? 4 * x * x * x : 1 - std::pow(-2 * x + 2, 3) / 2;
    }
    // Released from rest at 0 towards 1: the closed form of a damped spring.
    const double omega = 2 * M_PI / motion.response;
    const double zeta = motion.damping;
    double displacement;
    double velocity;
    if (zeta < 1) {
        const double wd = omega * std::sqrt(1 - zeta * zeta);
        const double envelope = std::exp(-zeta * omega * t);
        displacement = envelope * (std::cos(wd * t) + (zeta * omega / wd) * std::sin(wd * t));
        velocity = envelope * (omega * omega / wd) * std::sin(wd * t);
    } else {
        const double envelope = std::exp(-omega * t);
        displacement = envelope * (1 + omega * t);
        velocity = envelope * omega * omega * t;
    }
    finished = (std::abs(displacement) < 0.001 && std::abs(velocity) < 0.01) || t > 10;
    return finished ? 1.0 : 1 - displacement;
}

void MotionValue::stop()
{
    // A widget destroyed by its container has dropped its GTK object, and its tick callbacks
    // with it, before its members go.
    if (m_tickId && m_widget.gobj())
        gtk_widget_remove_tick_callback(m_widget.gobj(), m_tickId);
    m_tickId = 0;
    m_done = nullptr;
}

int MotionValue::onTick(GtkWidget*, GdkFrameClock* clock, void* self)
{
    auto* motion = static_cast<MotionValue*>(self);
    const long long now = gdk_frame_clock_get_frame_time(clock);
    if (motion->m_startTime < 0)
        motion->m_startTime = now;
    bool finished = false;
    const double p = progressAt(motion->m_motion, (now - motion->m_startTime) / 1e6, finished);
    motion->m_value = finished ? motion->m_target : motion->m_from + (motion->m_target - motion->m_from) * p;
    if (motion->m_apply)
        motion->m_apply(motion->m_value);
    if (!finished)
        return G_SOURCE_CONTINUE;
    motion->m_tickId = 0; // removed by returning G_SOURCE_REMOVE
    motion->finish();
    return G_SOURCE_REMOVE;
}

void MotionValue::finish()
{
    if (!m_done)
        return;
    // Outside the frame, so `done` may hide or remove the animated widget.
    m_doneIdle.disconnect();
    m_doneIdle = Glib::signal_idle().connect([this] {
        auto done = std::move(m_done);
        m_done = nullptr;
        if (done)
            done();
        return false;
    });
}

void MotionValue::animateTo(double target, const KoviDesign::Motion& motion, std::function<void()> done)
{
    stop();
    m_doneIdle.disconnect();
    m_target = target;
    m_done = std::move(done);
    GtkWidget* widget = m_widget.gobj();
    if (m_value == target || !gtk_widget_get_mapped(widget) || !animationsEnabled(widget)) {
        m_value = target;
        if (m_apply)
            m_apply(target);
        finish();
        return;
    }
    m_motion = motion;
    m_from = m_value;
    m_startTime = -1;
    m_tickId = gtk_widget_add_tick_callback(widget, &MotionValue::onTick, this, nullptr);
}

void MotionValue::jumpTo(double value)
{
    stop();
    m_doneIdle.disconnect();
    m_target = value;
    m_value = value;
    if (m_apply)
        m_apply(value);
}

} // namespace kovi
