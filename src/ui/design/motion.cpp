#include "ui/design/motion.h"

#include <adwaita.h>
#include <gtkmm/widget.h>

namespace kovi {

MotionValue::MotionValue(Gtk::Widget& widget, double initial, std::function<void(double)> apply)
    : m_widget(widget), m_apply(std::move(apply)), m_value(initial), m_target(initial)
{
}

MotionValue::~MotionValue()
{
    stop();
}

void MotionValue::stop()
{
    if (!m_animation)
        return;
    AdwAnimation* animation = m_animation;
    m_animation = nullptr;
    m_done = nullptr;
    g_signal_handlers_disconnect_by_data(animation, this);
    // Pausing keeps the value where it is (a reset would jump back to the start).
    adw_animation_pause(animation);
    g_object_unref(animation);
}

void MotionValue::onFrame(double value, void* self)
{
    auto* motion = static_cast<MotionValue*>(self);
    motion->m_value = value;
    if (motion->m_apply)
        motion->m_apply(value);
}

void MotionValue::onDone(AdwAnimation*, void* self)
{
    auto* motion = static_cast<MotionValue*>(self);
    auto done = std::move(motion->m_done);
    motion->m_done = nullptr;
    if (done)
        done();
}

void MotionValue::animateTo(double target, const KoviDesign::Motion& motion, std::function<void()> done)
{
    stop();
    m_target = target;
    if (m_value == target) {
        if (m_apply)
            m_apply(target);
        if (done)
            done();
        return;
    }
    m_done = std::move(done);
    AdwAnimationTarget* animationTarget = adw_callback_animation_target_new(&MotionValue::onFrame, this, nullptr);
    GtkWidget* widget = m_widget.gobj();
    if (motion.kind == KoviDesign::Motion::Kind::spring) {
        AdwSpringParams* params = adw_spring_params_new(motion.damping, 1.0, motion.stiffness());
        m_animation = adw_spring_animation_new(widget, m_value, target, params, animationTarget);
        adw_spring_params_unref(params);
        adw_spring_animation_set_clamp(ADW_SPRING_ANIMATION(m_animation), FALSE);
    } else {
        m_animation = adw_timed_animation_new(widget, m_value, target,
                                              static_cast<guint>(motion.duration * 1000), animationTarget);
        adw_timed_animation_set_easing(ADW_TIMED_ANIMATION(m_animation),
                                       motion.kind == KoviDesign::Motion::Kind::easeOut ? ADW_EASE_OUT_CUBIC
                                                                                       : ADW_EASE_IN_OUT_CUBIC);
    }
    g_signal_connect(m_animation, "done", G_CALLBACK(&MotionValue::onDone), this);
    adw_animation_play(m_animation);
}

void MotionValue::jumpTo(double value)
{
    stop();
    m_target = value;
    m_value = value;
    if (m_apply)
        m_apply(value);
}

} // namespace kovi
