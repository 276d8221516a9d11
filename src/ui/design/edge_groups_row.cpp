#include "ui/design/edge_groups_row.h"

#include <algorithm>

namespace kovi {

EdgeGroupsRow::EdgeGroupsRow(int spacing) : Glib::ObjectBase("KoviEdgeGroupsRow"), m_spacing(spacing)
{
    signal_destroy().connect(sigc::mem_fun(*this, &EdgeGroupsRow::release));
}

EdgeGroupsRow::~EdgeGroupsRow()
{
    release();
}

void EdgeGroupsRow::release()
{
    for (Gtk::Widget** child : {&m_start, &m_main, &m_end}) {
        if (*child)
            (*child)->unparent();
        *child = nullptr;
    }
}

void EdgeGroupsRow::adopt(Gtk::Widget*& slot, Gtk::Widget& child)
{
    if (slot)
        slot->unparent();
    slot = &child;
    child.set_parent(*this);
    queue_resize();
}

void EdgeGroupsRow::setMain(Gtk::Widget& main)
{
    adopt(m_main, main);
}

void EdgeGroupsRow::setStartGroup(Gtk::Widget& group)
{
    adopt(m_start, group);
}

void EdgeGroupsRow::setEndGroup(Gtk::Widget& group)
{
    adopt(m_end, group);
}

int EdgeGroupsRow::width(const Gtk::Widget* child, bool natural) const
{
    if (!child || !child->get_visible())
        return 0;
    int minimum = 0, nat = 0, b1 = -1, b2 = -1;
    child->measure(Gtk::Orientation::HORIZONTAL, -1, minimum, nat, b1, b2);
    return natural ? nat : minimum;
}

int EdgeGroupsRow::height(const Gtk::Widget* child) const
{
    if (!child || !child->get_visible())
        return 0;
    int minimum = 0, natural = 0, b1 = -1, b2 = -1;
    child->measure(Gtk::Orientation::VERTICAL, -1, minimum, natural, b1, b2);
    return natural;
}

int EdgeGroupsRow::oneLineWidth() const
{
    int total = width(m_main);
    for (const Gtk::Widget* group : {m_start, m_end}) {
        if (const int w = width(group))
            total += w + m_spacing;
    }
    return total;
}

Gtk::SizeRequestMode EdgeGroupsRow::get_request_mode_vfunc() const
{
    return Gtk::SizeRequestMode::HEIGHT_FOR_WIDTH;
}

void EdgeGroupsRow::measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                                  int& minimumBaseline, int& naturalBaseline) const
{
    minimumBaseline = naturalBaseline = -1;
    // The groups' own line holds both, a space apart.
    auto groupsLine = [this](bool nat) {
        const int start = width(m_start, nat), end = width(m_end, nat);
        return start + end + (start && end ? m_spacing : 0);
    };
    if (orientation == Gtk::Orientation::HORIZONTAL) {
        minimum = std::max(width(m_main, false), groupsLine(false));
        natural = std::max(width(m_main), groupsLine(true));
        return;
    }
    const int groups = std::max(height(m_start), height(m_end));
    const bool wrapped = groups > 0 && forSize >= 0 && forSize < oneLineWidth();
    minimum = natural = wrapped ? groups + height(m_main) : std::max(groups, height(m_main));
}

void EdgeGroupsRow::size_allocate_vfunc(int rowWidth, int rowHeight, int)
{
    const bool rtl = get_direction() == Gtk::TextDirection::RTL;
    const int start = std::min(rowWidth, width(m_start));
    const int end = std::min(rowWidth, width(m_end));
    m_wrapped = (start || end) && rowWidth < oneLineWidth();
    const int groupsHeight = m_wrapped ? std::max(height(m_start), height(m_end)) : rowHeight;
    // Leading and trailing edges, mirrored for right-to-left text.
    auto place = [&](Gtk::Widget* child, int x, int y, int w, int h) {
        if (child && child->get_visible())
            child->size_allocate(Gtk::Allocation(rtl ? rowWidth - x - w : x, y, w, h), -1);
    };
    place(m_start, 0, 0, start, groupsHeight);
    place(m_end, rowWidth - end, 0, end, groupsHeight);
    if (m_wrapped) {
        place(m_main, 0, groupsHeight, rowWidth, std::max(0, rowHeight - groupsHeight));
        return;
    }
    const int mainX = start ? start + m_spacing : 0;
    const int mainEnd = end ? rowWidth - end - m_spacing : rowWidth;
    place(m_main, mainX, 0, std::max(0, mainEnd - mainX), rowHeight);
}

} // namespace kovi
