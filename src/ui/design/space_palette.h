#pragma once

#include "core/model/space.h"
#include "ui/design/kovi_design.h"

#include <string>

namespace Gtk {
class Widget;
}

namespace kovi {

// The eight space colours, for light and dark appearance: the one table the views and the
// stylesheet take them from.
struct SpacePaletteColor {
    SpaceColor color;
    Rgb light;
    Rgb dark;
};
const std::array<SpacePaletteColor, 8>& spacePalette();

// What a colour class paints: the background, with text and symbols on it in black or white,
// whichever reads ("space-bg-<raw>"); the text and symbols ("space-fg-<raw>"); a 1-px inner ring
// ("space-border-<raw>"); or, inside a list, the selected row (class "space-highlight-row") and
// its badge ("space-highlight-badge") ("space-highlight-<raw>").
enum class SpaceColorRole { fill, text, border, highlight };
std::string spaceColorClass(SpaceColorRole role, SpaceColor color);
// Removes every colour class of the role, then adds the one for `color`.
void setSpaceColorClass(Gtk::Widget& widget, SpaceColorRole role, SpaceColor color);

// The stylesheet of every colour class, light and (under .kovi-dark) dark; loaded with the
// bundled stylesheets.
std::string spacePaletteCss();

} // namespace kovi
