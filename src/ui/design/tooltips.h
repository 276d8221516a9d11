#pragma once

#include <string_view>

namespace Gtk {
class MenuButton;
class Widget;
}

namespace kovi {

// Keeps a menu button's tooltip away while its menu is open: the toolkit would otherwise leave
// it (or show it again) on top of the menu the button just opened. The tooltip comes back when
// the menu closes. Follows a menu or popover set on the button later too.
void hideTooltipWhileMenuOpen(Gtk::MenuButton& button);

// Shows text a page chose (a title, an address) as the widget's tooltip, as text::shownText
// gives it; none when it is empty. The toolkit's own tooltip breaks lines between words only, so
// one long word (a title of thousands of letters, an address) would make it wider than the
// screen, even past what the GL renderer can draw (it aborts); this one breaks inside words too.
void setTextTooltip(Gtk::Widget& widget, std::string_view text);

} // namespace kovi
