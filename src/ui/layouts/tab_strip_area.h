#pragma once

#include <gtkmm/scrolledwindow.h>
#include <gtkmm/widget.h>

#include <functional>
#include <vector>

namespace kovi {

// The middle of the horizontal tab bar: the scrolling strip of tabs, the new-tab button right
// after the last tab shown, and the free room after that. While the tabs overflow, the strip
// shows whole tabs only: it rests with a tab's edge at its start, and ends at the last edge that
// fits, the rest going to the free room. A tab is thus in view or out of it, never half hidden
// under the controls beside the strip. Main thread only.
class TabStripArea : public Gtk::Widget {
public:
    // Where one item of the strip lies along the content, from `start` to `end`.
    struct Span {
        double start = 0;
        double end = 0;
    };
    // The strip's items at their least widths, from the start of the content in its reading
    // direction, and the content's least length.
    struct Layout {
        std::vector<Span> items;
        double length = 0;
    };

    // `strip`, `button` and `free` (the free room) become children; `strip`'s child is the
    // content `layout` describes.
    TabStripArea(Gtk::ScrolledWindow& strip, Gtk::Widget& button, Gtk::Widget& free, std::function<Layout()> layout);
    ~TabStripArea() override;

    // The most the strip may be wide now: it changes with the window, not with scrolling.
    int room() const { return m_room; }
    // Scrolls by the least move that shows the content from `start` to `end` (x in the
    // content's own coordinates) wholly.
    void reveal(double start, double end);
    // Scrolls by about `pixels`, to the tab edge nearest; false when there is nothing to scroll.
    bool scrollBy(double pixels);

    // After an allocation that changed room().
    sigc::signal<void()> roomChanged;

protected:
    Gtk::SizeRequestMode get_request_mode_vfunc() const override;
    void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural, int& minimumBaseline,
                       int& naturalBaseline) const override;
    void size_allocate_vfunc(int width, int height, int baseline) override;

private:
    struct Window {
        double start = 0;
        double width = 0;
    };
    // Where a shown part may start and end, in the content's coordinates left to right; the
    // content's whole length (a closed tab may have left it held longer) is the last end.
    struct Edges {
        std::vector<double> starts, ends;
        double length = 0; // of the items, without held room
    };
    Edges edges() const;
    // What the strip shows, while the tabs overflow, when asked to start at `start`.
    Window windowFrom(const Edges& edges, double start) const;
    void scrollTo(double start);
    void release();

    Gtk::ScrolledWindow& m_strip;
    Gtk::Widget& m_button;
    Gtk::Widget& m_free;
    std::function<Layout()> m_layout;
    int m_room = 0; // the most the strip may take
    double m_wheel = 0;      // where the wheel is taking the strip: moves short of a tab add up
    double m_wheelFrom = -1; // where the strip was when the wheel last moved it
    bool m_allocating = false;
    sigc::connection m_scrolled;
};

} // namespace kovi
