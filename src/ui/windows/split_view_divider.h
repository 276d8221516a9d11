#pragma once

#include <gtkmm/box.h>
#include <gtkmm/gestureclick.h>

namespace kovi {

class BrowserState;

// The divider between the split panes: a capsule 80 px tall, 4 px wide and faint at rest, 6 px
// and in the accent colour while hovered or dragged. The widget is the capsule's hit area, 10 px
// larger on every side and lying over the panes' edges. A double click gives the panes equal
// widths; the drag itself is followed by the split view, whose coordinates stay put while the
// divider moves. Main thread only.
class SplitViewDivider : public Gtk::Box {
public:
    explicit SplitViewDivider(BrowserState& state);

    bool isHovered() const { return m_isHovered; }
    bool isDragging() const { return m_isDragging; }
    void setDragging(bool dragging);
    Gtk::Widget& capsule() { return m_capsule; }

private:
    void setHovered(bool hovered);
    void refreshLook();

    BrowserState& m_state;
    Gtk::Box m_capsule;
    Glib::RefPtr<Gtk::GestureClick> m_doubleClick;
    bool m_isHovered = false;
    bool m_isDragging = false;
};

} // namespace kovi
