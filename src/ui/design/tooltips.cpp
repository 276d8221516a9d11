#include "ui/design/tooltips.h"

#include <gtkmm/menubutton.h>
#include <gtkmm/popover.h>

namespace kovi {

namespace {

void watchPopover(Gtk::MenuButton& button)
{
    Gtk::Popover* popover = button.get_popover();
    if (!popover)
        return;
    // The popover belongs to the button, so neither handler outlives it.
    popover->signal_show().connect([&button] {
        button.set_has_tooltip(false);
        button.trigger_tooltip_query(); // takes down a tooltip already shown
    });
    popover->signal_hide().connect([&button] { button.set_has_tooltip(true); });
}

} // namespace

void hideTooltipWhileMenuOpen(Gtk::MenuButton& button)
{
    watchPopover(button);
    button.property_popover().signal_changed().connect([&button] { watchPopover(button); });
}

} // namespace kovi
