#pragma once

namespace Gtk {
class Widget;
}

namespace kovi {

// Takes the keyboard focus away from `widget` and everything inside it, before it is hidden or
// removed. GTK 4.8 moves the focus of such a widget only at its next frame, keeping a reference
// to the widget until then; when a second widget around the focus goes in the same frame (a page
// hidden, then its view and the page removed), the first reference is never given back and the
// whole page stays in memory. Whoever keeps the focus in place (the window's focus keeper) sees
// it go and places it again.
void releaseFocusWithin(Gtk::Widget& widget);

} // namespace kovi
