#pragma once

namespace Gtk {
class MenuButton;
}

namespace kovi {

// Keeps a menu button's tooltip away while its menu is open: the toolkit would otherwise leave
// it (or show it again) on top of the menu the button just opened. The tooltip comes back when
// the menu closes. Follows a menu or popover set on the button later too.
void hideTooltipWhileMenuOpen(Gtk::MenuButton& button);

} // namespace kovi
