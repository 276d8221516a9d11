#include "ui/design/tooltips.h"

#include <gtkmm/popover.h>

namespace kovi {

void hideTooltipWhileOpen(Gtk::Widget& owner, Gtk::Popover& popover)
{
    popover.signal_show().connect([&owner] {
        owner.set_has_tooltip(false);
        // Takes down a tooltip already shown.
        owner.trigger_tooltip_query();
    });
    popover.signal_hide().connect([&owner] { owner.set_has_tooltip(true); });
}

} // namespace kovi
