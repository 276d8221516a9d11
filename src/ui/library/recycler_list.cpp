#include "ui/library/recycler_list.h"

#include <glibmm/main.h>
#include <gtkmm/adjustment.h>
#include <gtkmm/viewport.h>

#include <algorithm>

namespace kovi {

// The scrolled content: as tall as every row together, laying out only the rows that exist.
class RecyclerList::Canvas : public Gtk::Widget {
public:
    explicit Canvas(RecyclerList& list) : m_list(list) { set_overflow(Gtk::Overflow::HIDDEN); }

protected:
    Gtk::SizeRequestMode get_request_mode_vfunc() const override { return Gtk::SizeRequestMode::CONSTANT_SIZE; }

    void measure_vfunc(Gtk::Orientation orientation, int, int& minimum, int& natural, int& minimumBaseline,
                       int& naturalBaseline) const override
    {
        minimumBaseline = naturalBaseline = -1;
        if (orientation == Gtk::Orientation::VERTICAL) {
            minimum = natural = m_list.m_offsets.empty() ? 0 : m_list.m_offsets.back() + m_list.m_padding;
            return;
        }
        minimum = natural = 0;
        for (const auto& [index, row] : m_list.m_shown) {
            int rowMinimum = 0, rowNatural = 0, b1 = 0, b2 = 0;
            row->measure(Gtk::Orientation::HORIZONTAL, -1, rowMinimum, rowNatural, b1, b2);
            minimum = std::max(minimum, rowMinimum + 2 * m_list.m_padding);
        }
        natural = minimum;
    }

    void size_allocate_vfunc(int width, int, int) override
    {
        const int rowWidth = std::max(0, width - 2 * m_list.m_padding);
        for (const auto& [index, row] : m_list.m_shown) {
            const int top = m_list.m_offsets[index];
            const int height = m_list.m_offsets[index + 1] - top - m_list.m_spacing;
            row->size_allocate(Gtk::Allocation(m_list.m_padding, top, rowWidth, height), -1);
        }
    }

private:
    RecyclerList& m_list;
};

RecyclerList::RecyclerList(Rows rows, int spacing, int padding)
    : m_rows(std::move(rows)), m_spacing(spacing), m_padding(padding)
{
    set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    m_canvas = Gtk::make_managed<Canvas>(*this);
    m_canvas->set_hexpand(true);
    // A focused row may be taken out of view and used for another; following the focus would
    // scroll back to wherever it went.
    auto* viewport = Gtk::make_managed<Gtk::Viewport>(Glib::RefPtr<Gtk::Adjustment>(), Glib::RefPtr<Gtk::Adjustment>());
    viewport->set_scroll_to_focus(false);
    m_hold = Gtk::make_managed<HeldLengthBin>(Gtk::Orientation::VERTICAL, *this);
    m_hold->setChild(*m_canvas);
    viewport->set_child(*m_hold);
    set_child(*viewport);
    auto adjustment = get_vadjustment();
    // Scrolling rebinds at once; a new page size arrives during layout, so that waits a turn.
    m_connections.add(adjustment->signal_value_changed().connect([this] { updateShown(); }));
    m_connections.add(adjustment->signal_changed().connect([this] { scheduleUpdate(); }));
}

RecyclerList::~RecyclerList()
{
    m_connections.clear();
    m_idle.disconnect();
    for (auto& [index, row] : m_shown)
        row->unparent();
    for (auto& [kind, rows] : m_spare) {
        for (Gtk::Widget* row : rows)
            row->unparent();
    }
}

Gtk::Widget* RecyclerList::makeRow(int kind)
{
    Gtk::Widget* row = m_rows.make(kind);
    row->set_parent(*m_canvas);
    m_kinds[row] = kind;
    return row;
}

void RecyclerList::release(Gtk::Widget* row)
{
    row->set_visible(false);
    m_spare[m_kinds[row]].push_back(row);
}

int RecyclerList::heightOf(int kind, std::size_t sample)
{
    auto it = m_heights.find(kind);
    if (it != m_heights.end())
        return it->second;
    // Measured once, on the first row of the kind: rows are one line high whatever they show.
    Gtk::Widget* row = makeRow(kind);
    m_rows.bind(*row, sample);
    int minimum = 0, natural = 0, b1 = 0, b2 = 0;
    row->measure(Gtk::Orientation::VERTICAL, -1, minimum, natural, b1, b2);
    release(row);
    return m_heights[kind] = std::max(minimum, natural);
}

void RecyclerList::setCount(std::size_t count)
{
    m_count = count;
    m_offsets.assign(count + 1, 0);
    int y = m_padding;
    for (std::size_t i = 0; i < count; ++i) {
        m_offsets[i] = y;
        y += heightOf(kindAt(i), i) + m_spacing;
    }
    m_offsets[count] = y;
    // A row in view keeps its widget and is bound again in place. Hiding the widget under the
    // pointer would hand the pointer to the list until it moves (GTK picks again only on motion
    // or release), and the next click there would be lost.
    for (auto it = m_shown.begin(); it != m_shown.end();) {
        Gtk::Widget* row = it->second;
        if (it->first < count && kindAt(it->first) == m_kinds[row]) {
            m_rows.bind(*row, it->first);
            ++it;
            continue;
        }
        release(row);
        it = m_shown.erase(it);
    }
    updateShown();
    m_canvas->queue_resize();
}

void RecyclerList::scheduleUpdate()
{
    if (m_idle.connected())
        return;
    m_idle = Glib::signal_idle().connect([this] {
        updateShown();
        return false;
    });
}

void RecyclerList::updateShown()
{
    auto adjustment = get_vadjustment();
    const double top = adjustment->get_value();
    // Before the first layout the page size is unknown: a screenful of a usual height.
    const double page = adjustment->get_page_size() > 0 ? adjustment->get_page_size() : 800;
    std::size_t first = 0, last = 0;
    if (m_count > 0) {
        auto begin = std::upper_bound(m_offsets.begin(), m_offsets.end() - 1, static_cast<int>(top));
        first = begin == m_offsets.begin() ? 0 : static_cast<std::size_t>(begin - m_offsets.begin() - 1);
        auto end = std::lower_bound(m_offsets.begin(), m_offsets.end() - 1, static_cast<int>(top + page));
        last = std::min(m_count, static_cast<std::size_t>(end - m_offsets.begin()) + 1);
    }
    for (auto it = m_shown.begin(); it != m_shown.end();) {
        if (it->first >= first && it->first < last) {
            ++it;
            continue;
        }
        release(it->second);
        it = m_shown.erase(it);
    }
    for (std::size_t index = first; index < last; ++index) {
        if (m_shown.count(index))
            continue;
        const int kind = kindAt(index);
        auto& spare = m_spare[kind];
        Gtk::Widget* row = nullptr;
        if (!spare.empty()) {
            row = spare.back();
            spare.pop_back();
        } else {
            row = makeRow(kind);
        }
        m_rows.bind(*row, index);
        row->set_visible(true);
        m_shown.emplace(index, row);
    }
    m_canvas->queue_allocate();
}

std::vector<Gtk::Widget*> RecyclerList::shownRows() const
{
    std::vector<Gtk::Widget*> rows;
    for (const auto& [index, row] : m_shown)
        rows.push_back(row);
    return rows;
}

} // namespace kovi
