#include "ui/windows/split_view_divider.h"

#include "core/state/browser_state.h"
#include "ui/design/styles.h"

#include <gtkmm/eventcontrollermotion.h>

namespace kovi {

SplitViewDivider::SplitViewDivider(BrowserState& state) : m_state(state)
{
    add_css_class("kovi-split-divider");
    set_cursor(Gdk::Cursor::create("col-resize"));
    m_capsule.add_css_class("kovi-split-divider-capsule");
    m_capsule.set_halign(Gtk::Align::CENTER);
    m_capsule.set_valign(Gtk::Align::CENTER);
    m_capsule.set_hexpand(true);
    m_capsule.set_vexpand(true);
    m_capsule.set_can_target(false);
    append(m_capsule);

    auto motion = Gtk::EventControllerMotion::create();
    motion->signal_enter().connect([this](double, double) { setHovered(true); });
    motion->signal_leave().connect([this] { setHovered(false); });
    add_controller(motion);

    m_doubleClick = Gtk::GestureClick::create();
    m_doubleClick->set_button(GDK_BUTTON_PRIMARY);
    m_doubleClick->signal_pressed().connect([this](int count, double, double) {
        if (count == 2)
            m_state.setSplitRatio(0.5);
    });
    add_controller(m_doubleClick);
}

void SplitViewDivider::setHovered(bool hovered)
{
    if (hovered == m_isHovered)
        return;
    m_isHovered = hovered;
    refreshLook();
}

void SplitViewDivider::setDragging(bool dragging)
{
    if (dragging == m_isDragging)
        return;
    m_isDragging = dragging;
    refreshLook();
}

void SplitViewDivider::refreshLook()
{
    setClass(m_capsule, "active", m_isHovered || m_isDragging);
}

} // namespace kovi
