#pragma once

namespace Gtk {
class Widget;
} // namespace Gtk

namespace kovi {

// The primary, medium text button of the design system.
void applyWebButtonStyle(Gtk::Widget& button);

} // namespace kovi
