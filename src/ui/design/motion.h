#pragma once

#include "ui/design/kovi_design.h"

#include <functional>

typedef struct _AdwAnimation AdwAnimation;

namespace Gtk {
class Widget;
}

namespace kovi {

// One animated number driven by libadwaita's timed or spring animations. Every frame calls
// `apply` with the current value. Owned by the widget it animates; stopping is implicit on
// destruction, so a frame never reaches a destroyed view. Purely cosmetic: logic never waits on it.
class MotionValue {
public:
    MotionValue(Gtk::Widget& widget, double initial, std::function<void(double)> apply);
    ~MotionValue();
    MotionValue(const MotionValue&) = delete;
    MotionValue& operator=(const MotionValue&) = delete;

    double value() const { return m_value; }
    double target() const { return m_target; }
    // Animates from the current value to `target`; a running animation is replaced (its `done`
    // is not called). `done` runs once the value has arrived.
    void animateTo(double target, const KoviDesign::Motion& motion, std::function<void()> done = {});
    // Sets the value at once.
    void jumpTo(double value);

private:
    static void onFrame(double value, void* self);
    static void onDone(AdwAnimation* animation, void* self);
    void stop();

    Gtk::Widget& m_widget;
    std::function<void(double)> m_apply;
    std::function<void()> m_done;
    AdwAnimation* m_animation = nullptr;
    double m_value = 0;
    double m_target = 0;
};

} // namespace kovi
