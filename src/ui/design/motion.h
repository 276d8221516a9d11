#pragma once

#include "ui/design/kovi_design.h"

#include <sigc++/connection.h>

#include <functional>

namespace Gtk {
class Widget;
}

typedef struct _GdkFrameClock GdkFrameClock;
typedef struct _GtkWidget GtkWidget;

namespace kovi {

// One animated number, stepped on the animated widget's frame clock: timed curves (ease-out,
// ease-in-out) and springs (damping ratio, mass 1, stiffness (2π / response)²). Every frame
// calls `apply` with the current value. Owned by the widget it animates; destruction stops it,
// so a frame never reaches a destroyed view. Purely cosmetic: logic never waits on it. A widget
// that is not on screen, or disabled animations, jump straight to the target.
class MotionValue {
public:
    MotionValue(Gtk::Widget& widget, double initial, std::function<void(double)> apply);
    ~MotionValue();
    MotionValue(const MotionValue&) = delete;
    MotionValue& operator=(const MotionValue&) = delete;

    double value() const { return m_value; }
    double target() const { return m_target; }
    bool isRunning() const { return m_tickId != 0; }
    // Animates from the current value to `target`; a running animation is replaced (its `done`
    // is not called). `done` runs once the value has arrived, from an idle callback, so it may
    // hide or remove the animated widget.
    void animateTo(double target, const KoviDesign::Motion& motion, std::function<void()> done = {});
    // Sets the value at once.
    void jumpTo(double value);

    // The value of `motion` going from 0 to 1 after `seconds`, and whether it has settled.
    static double progressAt(const KoviDesign::Motion& motion, double seconds, bool& finished);

private:
    static int onTick(GtkWidget* widget, GdkFrameClock* clock, void* self);
    void stop();
    void finish();

    Gtk::Widget& m_widget;
    std::function<void(double)> m_apply;
    std::function<void()> m_done;
    sigc::connection m_doneIdle;
    KoviDesign::Motion m_motion = KoviDesign::Animation::fast;
    unsigned m_tickId = 0;
    long long m_startTime = -1; // frame time in microseconds; -1 until the first frame
    double m_from = 0;
    double m_value = 0;
    double m_target = 0;
};

} // namespace kovi
