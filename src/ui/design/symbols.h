#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace Gtk {
class Button;
class Image;
} // namespace Gtk

namespace kovi {

// Stored data and views name pictures by symbol names ("person.fill", "books.vertical"). This is
// the one table that turns them into symbolic icon names: Adwaita's where one fits, else the
// project's own SVGs under data/icons (found through the resource icon path).

// The icon for a symbol; an unknown symbol gives an empty string.
std::string iconNameForSymbol(std::string_view symbol);
// The icon for a symbol, or `fallback` for an unknown one. Views use this: stored data can name
// any symbol, and a view always needs a picture.
std::string iconNameForSymbol(std::string_view symbol, std::string_view fallback);

// A managed image of the symbol at `pixelSize` (a missing-icon image for unknown symbols).
Gtk::Image* makeSymbolImage(std::string_view symbol, int pixelSize = 16);
// Shows the symbol in `image` at `pixelSize`, or `fallback` for an unknown symbol (stored data
// can name any: a space's icon falls back to a plain folder).
void setSymbol(Gtk::Image& image, std::string_view symbol, int pixelSize,
               std::string_view fallback = "image-missing-symbolic");
// Shows another symbol in a button made around a symbol image, at the image's size.
void setSymbol(Gtk::Button& button, std::string_view symbol);

// Every symbol of the table, in table order.
std::vector<std::string_view> knownSymbols();

// Symbols that views asked for with a fallback but the table did not know, each once, in the
// order first asked. A typo in a view or an icon missing from the table shows up here.
std::vector<std::string> unknownSymbolsRequested();

} // namespace kovi
