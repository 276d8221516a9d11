#include "ui/layouts/tab_strip_area.h"

#include <gtkmm/adjustment.h>

#include <algorithm>
#include <cmath>

namespace kovi {

namespace {

constexpr double slack = 0.5; // edges come from whole pixels

int naturalWidth(const Gtk::Widget& widget)
{
    int minimum = 0, natural = 0, b1 = -1, b2 = -1;
    widget.measure(Gtk::Orientation::HORIZONTAL, -1, minimum, natural, b1, b2);
    return natural;
}

} // namespace

TabStripArea::TabStripArea(Gtk::ScrolledWindow& strip, Gtk::Widget& button, Gtk::Widget& free,
                           std::function<Layout()> layout)
    : Glib::ObjectBase("KoviTabStripArea"), m_strip(strip), m_button(button), m_free(free), m_layout(std::move(layout))
{
    set_hexpand(true);
    m_strip.set_parent(*this);
    m_button.set_parent(*this);
    m_free.set_parent(*this);
    // What the strip shows depends on where it starts.
    m_scrolled = m_strip.get_hadjustment()->signal_value_changed().connect([this] {
        if (!m_allocating)
            queue_allocate();
    });
    // A managed area is finalised before its destructor runs: the children go when it is disposed.
    signal_destroy().connect(sigc::mem_fun(*this, &TabStripArea::release));
}

TabStripArea::~TabStripArea()
{
    release();
}

void TabStripArea::release()
{
    m_scrolled.disconnect();
    for (Gtk::Widget* child : std::initializer_list<Gtk::Widget*>{&m_strip, &m_button, &m_free}) {
        if (child->get_parent())
            child->unparent();
    }
}

Gtk::SizeRequestMode TabStripArea::get_request_mode_vfunc() const
{
    return Gtk::SizeRequestMode::CONSTANT_SIZE;
}

void TabStripArea::measure_vfunc(Gtk::Orientation orientation, int, int& minimum, int& natural, int& minimumBaseline,
                                 int& naturalBaseline) const
{
    minimum = natural = 0;
    minimumBaseline = naturalBaseline = -1;
    for (const Gtk::Widget* child : std::initializer_list<const Gtk::Widget*>{&m_strip, &m_button, &m_free}) {
        int childMin = 0, childNat = 0, b1 = -1, b2 = -1;
        child->measure(orientation, -1, childMin, childNat, b1, b2);
        if (orientation == Gtk::Orientation::HORIZONTAL) {
            minimum += childMin;
            natural += childNat;
        } else {
            minimum = std::max(minimum, childMin);
            natural = std::max(natural, childNat);
        }
    }
}

TabStripArea::Edges TabStripArea::edges() const
{
    const Layout layout = m_layout();
    Edges edges;
    edges.length = layout.length;
    // The content may be held longer than the tabs (a tab closed under the pointer).
    double total = layout.length;
    if (const Gtk::Widget* content = m_strip.get_child()) {
        int minimum = 0, natural = 0, b1 = -1, b2 = -1;
        content->measure(Gtk::Orientation::HORIZONTAL, -1, minimum, natural, b1, b2);
        total = std::max(total, static_cast<double>(minimum));
    }
    edges.starts.push_back(0);
    if (get_direction() == Gtk::TextDirection::RTL) {
        // The items run from the right end.
        for (auto it = layout.items.rbegin(); it != layout.items.rend(); ++it) {
            edges.starts.push_back(total - it->end);
            edges.ends.push_back(total - it->start);
        }
    } else {
        for (const Span& item : layout.items) {
            edges.starts.push_back(item.start);
            edges.ends.push_back(item.end);
        }
    }
    edges.ends.push_back(total);
    return edges;
}

TabStripArea::Window TabStripArea::windowFrom(const Edges& edges, double start) const
{
    const double room = m_room + slack;
    const double total = edges.ends.back();
    // From the last start at or before `start`; near the end, from the first one that still
    // shows the end.
    double from = 0;
    for (double edge : edges.starts) {
        if (edge <= start + slack)
            from = std::max(from, edge);
    }
    if (total - from <= room) {
        for (double edge : edges.starts) {
            if (total - edge <= room) {
                from = edge;
                break;
            }
        }
    }
    double to = from;
    for (double edge : edges.ends) {
        if (edge > from && edge - from <= room)
            to = std::max(to, edge);
    }
    // A single tab wider than the room shows its start.
    return {from, to > from ? to - from : static_cast<double>(m_room)};
}

void TabStripArea::scrollTo(double start)
{
    const Edges all = edges();
    const Window window = windowFrom(all, start);
    auto adjustment = m_strip.get_hadjustment();
    // The page the strip will have, so the value is not clamped to the one it has now.
    adjustment->configure(window.start, 0, all.ends.back(), adjustment->get_step_increment(),
                          adjustment->get_page_increment(), window.width);
    queue_allocate();
}

void TabStripArea::reveal(double start, double end)
{
    const Edges all = edges();
    if (all.length <= m_room + slack)
        return; // all in view
    const Window now = windowFrom(all, m_strip.get_hadjustment()->get_value());
    if (start < now.start - slack) {
        scrollTo(start);
        return;
    }
    if (end <= now.start + now.width + slack)
        return;
    for (double edge : all.starts) {
        if (end - edge <= m_room + slack) {
            scrollTo(std::min(edge, start));
            return;
        }
    }
}

bool TabStripArea::scrollBy(double pixels)
{
    const Edges all = edges();
    if (all.length <= m_room + slack)
        return false;
    const double value = m_strip.get_hadjustment()->get_value();
    if (std::abs(value - m_wheelFrom) > slack)
        m_wheel = value; // moved by something else since
    const double last = windowFrom(all, all.ends.back()).start;
    m_wheel = std::clamp(m_wheel + pixels, 0.0, last);
    const double nearest = *std::min_element(all.starts.begin(), all.starts.end(), [this](double a, double b) {
        return std::abs(a - m_wheel) < std::abs(b - m_wheel);
    });
    const double start = windowFrom(all, nearest).start;
    if (std::abs(start - value) > slack) {
        m_wheel = start; // what is left of the move below half a tab goes with it
        scrollTo(start);
    }
    m_wheelFrom = start;
    return true;
}

void TabStripArea::size_allocate_vfunc(int width, int height, int baseline)
{
    m_allocating = true;
    const int buttonWidth = naturalWidth(m_button);
    const int room = std::max(0, width - buttonWidth);
    const bool changed = room != m_room;
    m_room = room;

    const bool rtl = get_direction() == Gtk::TextDirection::RTL;
    const Edges all = edges();
    auto adjustment = m_strip.get_hadjustment();
    int shown = 0;
    if (all.length <= room + slack) {
        // The tabs fit: all of them from the start, whatever room a closed tab left held (which
        // lies before them from the right).
        shown = std::min(room, naturalWidth(m_strip));
        const double from = rtl ? std::max(0.0, all.ends.back() - shown) : 0;
        if (adjustment->get_value() != from)
            adjustment->configure(from, 0, std::max(all.ends.back(), static_cast<double>(shown)),
                                  adjustment->get_step_increment(), adjustment->get_page_increment(), shown);
    } else {
        const Window window = windowFrom(all, adjustment->get_value());
        shown = static_cast<int>(std::lround(window.width));
        if (adjustment->get_value() != window.start || adjustment->get_page_size() != window.width)
            adjustment->configure(window.start, 0, all.ends.back(), adjustment->get_step_increment(),
                                  adjustment->get_page_increment(), window.width);
    }

    const int rest = std::max(0, width - shown - buttonWidth);
    if (rtl) {
        m_strip.size_allocate(Gtk::Allocation(width - shown, 0, shown, height), baseline);
        m_button.size_allocate(Gtk::Allocation(width - shown - buttonWidth, 0, buttonWidth, height), baseline);
        m_free.size_allocate(Gtk::Allocation(0, 0, rest, height), baseline);
    } else {
        m_strip.size_allocate(Gtk::Allocation(0, 0, shown, height), baseline);
        m_button.size_allocate(Gtk::Allocation(shown, 0, buttonWidth, height), baseline);
        m_free.size_allocate(Gtk::Allocation(shown + buttonWidth, 0, rest, height), baseline);
    }
    m_allocating = false;
    if (changed)
        roomChanged.emit();
}

} // namespace kovi
