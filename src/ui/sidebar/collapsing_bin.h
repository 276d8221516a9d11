#pragma once

#include "ui/design/motion.h"

#include <gtkmm/widget.h>

#include <functional>
#include <memory>

namespace kovi {

// Holds a row that has left the list and plays its way out: the row fades while the room it
// takes shrinks to nothing, so the rows below glide up instead of jumping. The row stays at its
// full height, clipped; it takes no input meanwhile.
class CollapsingBin : public Gtk::Widget {
public:
    // Takes `child`, which must have no parent.
    explicit CollapsingBin(Gtk::Widget& child);
    ~CollapsingBin() override;

    // The row, until the bin goes.
    Gtk::Widget* child() const { return m_child; }
    // Runs the collapse with `motion`; `done` runs once it is over (then the bin may go).
    void collapse(const KoviDesign::Motion& motion, std::function<void()> done);

protected:
    Gtk::SizeRequestMode get_request_mode_vfunc() const override;
    void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                       int& minimumBaseline, int& naturalBaseline) const override;
    void size_allocate_vfunc(int width, int height, int baseline) override;

private:
    void setFraction(double fraction);
    void releaseChild();

    Gtk::Widget* m_child;
    double m_fraction = 1; // the share of the row's height still taken
    std::unique_ptr<MotionValue> m_motion;
};

} // namespace kovi
