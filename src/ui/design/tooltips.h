#pragma once

namespace Gtk {
class Popover;
class Widget;
} // namespace Gtk

namespace kovi {

// Keeps `owner`'s tooltip away while `popover` (its menu) is open: the tooltip would lie over
// the menu it names. The popover must not outlive `owner` (it is normally its child).
void hideTooltipWhileOpen(Gtk::Widget& owner, Gtk::Popover& popover);

} // namespace kovi
