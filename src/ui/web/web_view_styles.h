#pragma once

#include <string_view>

namespace Gtk {
class Image;
class Widget;
} // namespace Gtk

namespace kovi {

// The symbols the page views draw, as icons at a pixel size.
Gtk::Image* webSymbolImage(std::string_view symbol, int pixelSize);
// The primary, medium text button of the design system.
void applyWebButtonStyle(Gtk::Widget& button);

} // namespace kovi
