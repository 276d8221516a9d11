#pragma once

#include <string>
#include <string_view>

namespace Gtk {
class Image;
}

namespace kovi {

// Stored data and views name pictures by symbol names ("person.fill", "books.vertical"). This is
// the one table that turns them into symbolic icon names: Adwaita's where one fits, else the
// project's own SVGs under data/icons (found through the resource icon path). An unknown symbol
// gives an empty string.
std::string iconNameForSymbol(std::string_view symbol);

// A managed image of the symbol at `pixelSize` (a missing-icon image for unknown symbols).
Gtk::Image* makeSymbolImage(std::string_view symbol, int pixelSize = 16);

} // namespace kovi
