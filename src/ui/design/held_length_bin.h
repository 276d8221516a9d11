#pragma once

#include <gtkmm/eventcontrollermotion.h>
#include <gtkmm/eventcontrollerscroll.h>
#include <gtkmm/widget.h>

namespace kovi {

// The content of a scrolled list, which does not get shorter while the pointer rests on the
// list. A row taken away (a tab closed, a visit deleted) then lets the rows after it slide into
// its place under the pointer; without the hold, a list scrolled to its end would scroll back
// and slide everything the other way, putting the row before the closed one (or a header)
// under the pointer, and the next click would hit that. The room is given back once the pointer
// leaves `area` (the list's scrolled window, which outlives the bin) or scrolls it. Main thread
// only.
class HeldLengthBin : public Gtk::Widget {
public:
    HeldLengthBin(Gtk::Orientation orientation, Gtk::Widget& area);
    ~HeldLengthBin() override;

    void setChild(Gtk::Widget& child);
    bool isHolding() const { return m_pointerInside; }

protected:
    Gtk::SizeRequestMode get_request_mode_vfunc() const override;
    void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                       int& minimumBaseline, int& naturalBaseline) const override;
    void size_allocate_vfunc(int width, int height, int baseline) override;

private:
    void release();

    Gtk::Orientation m_orientation;
    Gtk::Widget& m_area;
    Glib::RefPtr<Gtk::EventControllerMotion> m_motion;
    Glib::RefPtr<Gtk::EventControllerScroll> m_scroll;
    Gtk::Widget* m_child = nullptr;
    bool m_pointerInside = false;
    int m_held = 0;     // the longest the list was while the pointer stayed
    int m_heldRoom = 0; // of it, the part the content no longer fills
};

} // namespace kovi
