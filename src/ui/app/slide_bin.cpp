#include "ui/app/slide_bin.h"

#include <gtk/gtk.h>

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
    GskTransform* transform = nullptr;
    graphene_point_t shift = GRAPHENE_POINT_INIT(static_cast<float>(m_offset), 0.f);
    transform = gsk_transform_translate(transform, &shift);
    if (m_scale != 1) {
        graphene_point_t centre = GRAPHENE_POINT_INIT(width / 2.f, height / 2.f);
        graphene_point_t back = GRAPHENE_POINT_INIT(-width / 2.f, -height / 2.f);
        transform = gsk_transform_translate(transform, &centre);
        transform = gsk_transform_scale(transform, static_cast<float>(m_scale), static_cast<float>(m_scale));
        transform = gsk_transform_translate(transform, &back);
    }
    gtk_widget_allocate(m_child->gobj(), width, height, baseline, transform);
}

} // namespace kovi
