#include "ui/sidebar/collapsing_bin.h"

#include <algorithm>
#include <cmath>

namespace kovi {

CollapsingBin::CollapsingBin(Gtk::Widget& child) : Glib::ObjectBase("KoviCollapsingBin"), m_child(&child)
{
    set_overflow(Gtk::Overflow::HIDDEN);
    set_can_target(false);
    m_child->set_parent(*this);
    m_motion = std::make_unique<MotionValue>(*this, 1.0, [this](double v) { setFraction(v); });
    // A bin its container drops is disposed before this object is deleted: the row must be
    // let go while the bin is still whole.
    signal_destroy().connect([this] { releaseChild(); });
}

CollapsingBin::~CollapsingBin()
{
    m_motion.reset();
    releaseChild();
}

void CollapsingBin::releaseChild()
{
    if (!m_child)
        return;
    Gtk::Widget* child = m_child;
    m_child = nullptr;
    child->unparent();
}

void CollapsingBin::collapse(const KoviDesign::Motion& motion, std::function<void()> done)
{
    m_motion->animateTo(0.0, motion, std::move(done));
}

void CollapsingBin::setFraction(double fraction)
{
    // A spring overshoots a little past the end; the row never takes negative room.
    m_fraction = std::clamp(fraction, 0.0, 1.0);
    set_opacity(m_fraction);
    queue_resize();
}

Gtk::SizeRequestMode CollapsingBin::get_request_mode_vfunc() const
{
    return Gtk::SizeRequestMode::HEIGHT_FOR_WIDTH;
}

void CollapsingBin::measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                                  int& minimumBaseline, int& naturalBaseline) const
{
    minimum = natural = 0;
    minimumBaseline = naturalBaseline = -1;
    if (!m_child)
        return;
    int childBaseline = -1;
    m_child->measure(orientation, forSize, minimum, natural, childBaseline, childBaseline);
    if (orientation == Gtk::Orientation::VERTICAL)
        minimum = natural = static_cast<int>(std::lround(natural * m_fraction));
}

void CollapsingBin::size_allocate_vfunc(int width, int, int)
{
    if (!m_child)
        return;
    // The row keeps its own height and is cut off at the bin's edge.
    int minimum = 0, natural = 0, baseline = -1;
    m_child->measure(Gtk::Orientation::VERTICAL, width, minimum, natural, baseline, baseline);
    m_child->size_allocate(Gtk::Allocation(0, 0, width, std::max(minimum, natural)), -1);
}

} // namespace kovi
