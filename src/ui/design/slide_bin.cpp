#include "ui/design/slide_bin.h"

#include "ui/design/shifted_allocation.h"

namespace kovi {

SlideBin::SlideBin() : Glib::ObjectBase("KoviSlideBin")
{
}

SlideBin::~SlideBin()
{
    if (m_child)
        m_child->unparent();
}

void SlideBin::setChild(Gtk::Widget* child)
{
    if (m_child)
        m_child->unparent();
    m_child = child;
    if (m_child)
        m_child->set_parent(*this);
    queue_resize();
}

void SlideBin::setOffset(double offset)
{
    if (m_offset == offset)
        return;
    m_offset = offset;
    queue_allocate();
}

void SlideBin::setScale(double scale)
{
    if (m_scale == scale)
        return;
    m_scale = scale;
    queue_allocate();
}

Gtk::SizeRequestMode SlideBin::get_request_mode_vfunc() const
{
    return m_child ? m_child->get_request_mode() : Gtk::SizeRequestMode::CONSTANT_SIZE;
}

void SlideBin::measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                             int& minimumBaseline, int& naturalBaseline) const
{
    minimum = natural = 0;
    minimumBaseline = naturalBaseline = -1;
    if (m_child && m_child->get_visible())
        m_child->measure(orientation, forSize, minimum, natural, minimumBaseline, naturalBaseline);
}

void SlideBin::size_allocate_vfunc(int width, int height, int baseline)
{
    if (!m_child || !m_child->get_visible())
        return;
    allocateShifted(*m_child, width, height, baseline, m_offset, m_scale);
}

} // namespace kovi
