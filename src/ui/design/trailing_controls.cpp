#include "ui/design/trailing_controls.h"

#include "ui/design/styles.h"

namespace kovi {

TrailingControls::TrailingControls(Gtk::Widget& content, Gtk::Widget& controls, int gap)
    : m_content(content), m_controls(controls), m_gap(gap)
{
    add_css_class("kovi-trailing-controls");
    set_hexpand(true);
    set_child(m_content);
    m_controls.add_css_class("kovi-trailing");
    m_controls.set_halign(Gtk::Align::END);
    m_controls.set_valign(Gtk::Align::CENTER);
    add_overlay(m_controls);
    setShown(false);
}

void TrailingControls::setShown(bool shown)
{
    m_shown = shown;
    setClass(m_controls, "shown", shown);
    m_controls.set_can_focus(shown); // no keyboard focus on a control nobody sees
    m_content.set_margin_end(shown ? room() : 0);
}

int TrailingControls::room() const
{
    int minimum = 0, natural = 0, b1 = -1, b2 = -1;
    m_controls.measure(Gtk::Orientation::HORIZONTAL, -1, minimum, natural, b1, b2);
    return natural + m_gap;
}

} // namespace kovi
