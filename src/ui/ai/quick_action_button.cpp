#include "ui/ai/quick_action_button.h"

#include "ui/design/symbols.h"

#include <gtkmm/box.h>
#include <gtkmm/eventcontrollermotion.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>

namespace kovi {

QuickActionButton::QuickActionButton(const char* title, const char* symbol)
{
    add_css_class("kovi-ai-quick-action");
    set_has_frame(false);
    // A click leaves the keyboard in the chat's field.
    set_focus_on_click(false);
    auto* row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
    auto* icon = makeSymbolImage(symbol, 12);
    icon->add_css_class("kovi-ai-purple");
    row->append(*icon);
    auto* label = Gtk::make_managed<Gtk::Label>(title);
    label->add_css_class("title");
    label->set_hexpand(true);
    label->set_xalign(0);
    row->append(*label);
    auto* arrow = makeSymbolImage("arrow.right", 10);
    arrow->add_css_class("kovi-tertiary");
    row->append(*arrow);
    set_child(*row);

    // The fill follows the pointer at once (no transition).
    auto motion = Gtk::EventControllerMotion::create();
    motion->signal_enter().connect([this](double, double) {
        m_isHovered = true;
        add_css_class("hovered");
    });
    motion->signal_leave().connect([this] {
        m_isHovered = false;
        remove_css_class("hovered");
    });
    add_controller(motion);
}

} // namespace kovi
