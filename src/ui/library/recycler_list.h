#pragma once

#include "core/support/scoped_connections.h"
#include "ui/design/held_length_bin.h"
#include "ui/design/still_pointer_hover.h"

#include <gtkmm/scrolledwindow.h>
#include <gtkmm/widget.h>
#include <sigc++/connection.h>

#include <cstddef>
#include <functional>
#include <map>
#include <vector>

namespace kovi {

// A scrolled list of many single-line rows that builds only the rows in view and binds them
// again as the list scrolls. GTK 4.8's list view keeps 200 rows alive whatever it shows, which
// makes opening a long list or narrowing it by a search slow; here a search rebinds the dozen
// rows on screen. Rows come in a few kinds, each of one height (measured once, on the first row
// of the kind that is shown). A place on screen keeps its row widget while the data changes, so
// a button clicked again and again without moving the pointer gets every click. Main thread only.
class RecyclerList : public Gtk::ScrolledWindow {
public:
    struct Rows {
        std::function<int(std::size_t index)> kindOf;  // nullptr: every row is of kind 0
        std::function<Gtk::Widget*(int kind)> make;   // a new managed row of that kind
        std::function<void(Gtk::Widget& row, std::size_t index)> bind;
    };

    RecyclerList(Rows rows, int spacing, int padding);
    ~RecyclerList() override;

    std::size_t count() const { return m_count; }
    // Shows `count` rows; the rows in view are bound again (the data behind them may differ),
    // each in the widget that already shows its place, so the widget under the pointer stays.
    void setCount(std::size_t count);
    // The built rows in view, top to bottom.
    std::vector<Gtk::Widget*> shownRows() const;

private:
    class Canvas;

    void scheduleUpdate();
    void updateShown();
    Gtk::Widget* makeRow(int kind);
    void release(Gtk::Widget* row);
    int heightOf(int kind, std::size_t sample);
    int kindAt(std::size_t index) const { return m_rows.kindOf ? m_rows.kindOf(index) : 0; }

    Rows m_rows;
    int m_spacing;
    int m_padding;
    std::size_t m_count = 0;
    std::vector<int> m_offsets; // top of each row, and the end as the last entry
    std::map<int, int> m_heights; // by kind
    std::map<std::size_t, Gtk::Widget*> m_shown; // by index
    std::map<int, std::vector<Gtk::Widget*>> m_spare; // built rows out of view, by kind
    std::map<Gtk::Widget*, int> m_kinds;
    Canvas* m_canvas = nullptr;
    HeldLengthBin* m_hold = nullptr; // holds the canvas
    sigc::connection m_idle;
    // Rows rebound, swapped or scrolled under a still pointer hand it the row now there.
    StillPointerHover m_stillPointer{*this};
    ScopedConnections m_connections;
};

} // namespace kovi
