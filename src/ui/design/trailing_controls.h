#pragma once

#include <gtkmm/overlay.h>

namespace kovi {

// Controls lying over the end of some content, shown only while asked (a hovered row or tab).
// Hidden, they leave the content its whole width, yet keep their place and take clicks there,
// so a click on the spot of a control never reaches the row beneath it; shown, the content
// ends short of them. Main thread only.
class TrailingControls : public Gtk::Overlay {
public:
    // `content` and `controls` become children; `gap` lies between them while shown.
    TrailingControls(Gtk::Widget& content, Gtk::Widget& controls, int gap);

    void setShown(bool shown);
    bool isShown() const { return m_shown; }
    // What the shown controls take from the content's end, the gap included.
    int room() const;

private:
    Gtk::Widget& m_content;
    Gtk::Widget& m_controls;
    int m_gap;
    bool m_shown = false;
};

} // namespace kovi
