#include "ui/design/held_length_bin.h"

#include <algorithm>

namespace kovi {

HeldLengthBin::HeldLengthBin(Gtk::Orientation orientation, Gtk::Widget& area)
    : Glib::ObjectBase("KoviHeldLengthBin"), m_orientation(orientation), m_area(area)
{
    m_motion = Gtk::EventControllerMotion::create();
    m_motion->signal_enter().connect([this](double, double) {
        m_pointerInside = true;
        m_held = std::max(m_held, m_orientation == Gtk::Orientation::VERTICAL ? get_height() : get_width());
    });
    m_motion->signal_leave().connect([this] { release(); });
    m_area.add_controller(m_motion);
    // Scrolling moves the rows under the pointer anyway: the held room would only show as a gap.
    m_scroll = Gtk::EventControllerScroll::create();
    m_scroll->set_flags(Gtk::EventControllerScroll::Flags::BOTH_AXES);
    m_scroll->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    m_scroll->signal_scroll().connect(
        [this](double, double) {
            if (m_pointerInside && m_heldRoom > 0) {
                m_held = 0; // holding again from the length it has now
                queue_resize();
            }
            return false;
        },
        false);
    m_area.add_controller(m_scroll);
    signal_unmap().connect([this] { release(); });
    // A managed bin is finalised before its destructor runs: the child goes when it is disposed.
    signal_destroy().connect([this] {
        if (m_child)
            m_child->unparent();
        m_child = nullptr;
    });
}

HeldLengthBin::~HeldLengthBin()
{
    if (m_area.gobj()) { // not when the list goes with its window
        m_area.remove_controller(m_motion);
        m_area.remove_controller(m_scroll);
    }
    if (m_child)
        m_child->unparent();
}

void HeldLengthBin::setChild(Gtk::Widget& child)
{
    if (m_child)
        m_child->unparent();
    m_child = &child;
    m_child->set_parent(*this);
    queue_resize();
}

void HeldLengthBin::release()
{
    if (!m_pointerInside && m_held == 0)
        return;
    m_pointerInside = false;
    m_held = 0;
    queue_resize();
}


Gtk::SizeRequestMode HeldLengthBin::get_request_mode_vfunc() const
{
    return m_child ? m_child->get_request_mode() : Gtk::SizeRequestMode::CONSTANT_SIZE;
}

void HeldLengthBin::measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                                  int& minimumBaseline, int& naturalBaseline) const
{
    minimum = natural = 0;
    minimumBaseline = naturalBaseline = -1;
    if (m_child && m_child->get_visible())
        m_child->measure(orientation, forSize, minimum, natural, minimumBaseline, naturalBaseline);
    if (orientation == m_orientation && m_pointerInside) {
        minimum = std::max(minimum, m_held);
        natural = std::max(natural, m_held);
    }
}

void HeldLengthBin::size_allocate_vfunc(int width, int height, int baseline)
{
    if (!m_child || !m_child->get_visible())
        return;
    const bool vertical = m_orientation == Gtk::Orientation::VERTICAL;
    const int length = vertical ? height : width;
    m_heldRoom = 0;
    if (!m_pointerInside) {
        m_child->size_allocate(Gtk::Allocation(0, 0, width, height), baseline);
        return;
    }
    m_held = std::max(m_held, length);
    // The content gets what the view would give it unheld (its minimum, or the whole view when
    // that is longer), from the start; the held room stays empty after it.
    int minimum = 0, natural = 0, b1 = -1, b2 = -1;
    m_child->measure(m_orientation, vertical ? width : height, minimum, natural, b1, b2);
    const Gtk::Widget* view = get_parent();
    const int viewLength = view ? (vertical ? view->get_height() : view->get_width()) : length;
    const int own = std::min(length, std::max(minimum, viewLength));
    m_heldRoom = length - own;
    if (vertical) {
        m_child->size_allocate(Gtk::Allocation(0, 0, width, own), baseline);
        return;
    }
    const int x = get_direction() == Gtk::TextDirection::RTL ? width - own : 0;
    m_child->size_allocate(Gtk::Allocation(x, 0, own, height), baseline);
}

} // namespace kovi
