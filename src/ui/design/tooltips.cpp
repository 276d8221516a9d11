#include "ui/design/tooltips.h"

#include <gtkmm/menubutton.h>
#include <gtkmm/popover.h>
#include <sigc++/adaptors/track_obj.h>

namespace kovi {

namespace {

void watchPopover(Gtk::MenuButton& button)
{
    Gtk::Popover* popover = button.get_popover();
    if (!popover)
        return;
    // The popover can outlive its button (a menu left open when the button went): the handlers
    // go with the button.
    popover->signal_show().connect(sigc::track_obj(
        [&button] {
            button.set_has_tooltip(false);
            button.trigger_tooltip_query(); // takes down a tooltip already shown
        },
        button));
    popover->signal_hide().connect(sigc::track_obj([&button] { button.set_has_tooltip(true); }, button));
}

} // namespace

void hideTooltipWhileMenuOpen(Gtk::MenuButton& button)
{
    watchPopover(button);
    button.property_popover().signal_changed().connect([&button] { watchPopover(button); });
}

} // namespace kovi
