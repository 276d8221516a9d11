#pragma once

namespace Gtk {
class Entry;
}

namespace kovi {

// Makes a click into `entry` while it does not have the keys select its whole text, so typing
// replaces it, as in any address field. A click into the field that has the keys places the
// caret, and a drag selects what it passes over, as usual.
void selectAllOnFirstClick(Gtk::Entry& entry);

} // namespace kovi
