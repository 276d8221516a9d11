#pragma once

#include <gtkmm/widget.h>

namespace kovi {

// A row of a main part between a group at its start and a group at its end (the window's own
// buttons, on the sides the desktop names). Where the row is too narrow for all three side by
// side, the two groups take a line of their own above the main part, each at its own side, so
// nothing is cut off. It asks for no more width than its widest line needs: it takes the width it
// is given (a sidebar's own) rather than widening it.
class EdgeGroupsRow : public Gtk::Widget {
public:
    explicit EdgeGroupsRow(int spacing);
    ~EdgeGroupsRow() override;

    void setMain(Gtk::Widget& main);
    void setStartGroup(Gtk::Widget& group);
    void setEndGroup(Gtk::Widget& group);
    // Whether the groups have a line of their own now.
    bool isWrapped() const { return m_wrapped; }

protected:
    Gtk::SizeRequestMode get_request_mode_vfunc() const override;
    void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                       int& minimumBaseline, int& naturalBaseline) const override;
    void size_allocate_vfunc(int width, int height, int baseline) override;

private:
    void adopt(Gtk::Widget*& slot, Gtk::Widget& child);
    // The natural width of a shown child, 0 for none.
    int width(const Gtk::Widget* child, bool natural = true) const;
    int height(const Gtk::Widget* child) const;
    int oneLineWidth() const;
    void release();

    int m_spacing;
    Gtk::Widget* m_main = nullptr;
    Gtk::Widget* m_start = nullptr;
    Gtk::Widget* m_end = nullptr;
    bool m_wrapped = false;
};

} // namespace kovi
