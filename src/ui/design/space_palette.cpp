#include "ui/design/space_palette.h"

#include <gtkmm/widget.h>

#include <cmath>
#include <sstream>

namespace kovi {

namespace {

const char* roleName(SpaceColorRole role)
{
    switch (role) {
    case SpaceColorRole::fill: return "bg";
    case SpaceColorRole::text: return "fg";
    case SpaceColorRole::border: return "border";
    case SpaceColorRole::highlight: return "highlight";
    }
    return "bg";
}

std::string css(Rgb c)
{
    return "rgb(" + std::to_string(c.red) + ", " + std::to_string(c.green) + ", " + std::to_string(c.blue) + ")";
}

// Relative luminance of an sRGB colour, as contrast ratios define it.
double luminance(Rgb c)
{
    auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red) + 0.7152 * channel(c.green) + 0.0722 * channel(c.blue);
}

// Text and symbols on a fill: white where it reads (4.5:1), else black. The saturated space
// colours are all too light for white text.
Rgb inkOn(Rgb fill)
{
    const double onWhite = 1.05 / (luminance(fill) + 0.05);
    return onWhite >= 4.5 ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
}

} // namespace

const std::array<SpacePaletteColor, 8>& spacePalette()
{
    // The desktop's usual saturated palette; the dark variants are slightly lighter.
    static const std::array<SpacePaletteColor, 8> palette{{
        {SpaceColor::red, {255, 59, 48}, {255, 69, 58}},
        {SpaceColor::orange, {255, 149, 0}, {255, 159, 10}},
        {SpaceColor::yellow, {255, 204, 0}, {255, 214, 10}},
        {SpaceColor::green, {40, 205, 65}, {50, 215, 75}},
        {SpaceColor::blue, {0, 122, 255}, {10, 132, 255}},
        {SpaceColor::purple, {175, 82, 222}, {191, 90, 242}},
        {SpaceColor::pink, {255, 45, 85}, {255, 55, 95}},
        {SpaceColor::gray, {142, 142, 147}, {152, 152, 157}},
    }};
    return palette;
}

std::string spaceColorClass(SpaceColorRole role, SpaceColor color)
{
    return std::string("space-") + roleName(role) + "-" + std::string(rawValue(color));
}

void setSpaceColorClass(Gtk::Widget& widget, SpaceColorRole role, SpaceColor color)
{
    for (SpaceColor c : allSpaceColors)
        widget.remove_css_class(spaceColorClass(role, c));
    widget.add_css_class(spaceColorClass(role, color));
}

std::string spacePaletteCss()
{
    std::ostringstream out;
    for (const SpacePaletteColor& entry : spacePalette()) {
        const std::string raw(rawValue(entry.color));
        const std::string light = css(entry.light), dark = css(entry.dark);
        const std::string bg = ".space-bg-" + raw, fg = ".space-fg-" + raw, border = ".space-border-" + raw;
        // "button" too, to win over the buttons' own backgrounds.
        out << bg << ", button" << bg << " { background-color: " << light << "; color: " << css(inkOn(entry.light))
            << "; }\n"
            << ".kovi-dark " << bg << ", .kovi-dark button" << bg << " { background-color: " << dark
            << "; color: " << css(inkOn(entry.dark)) << "; }\n"
            << fg << " { color: " << light << "; }\n"
            << ".kovi-dark " << fg << " { color: " << dark << "; }\n"
            << border << " { box-shadow: inset 0 0 0 1px alpha(" << light << ", 0.4); }\n"
            << ".kovi-dark " << border << " { box-shadow: inset 0 0 0 1px alpha(" << dark << ", 0.4); }\n";
        // The selection tint keeps the light colour in both appearances.
        const std::string row = ".space-highlight-" + raw + " .space-highlight-row.selected";
        out << row << " { background-color: alpha(" << light << ", 0.22); }\n"
            << row << " .space-highlight-badge { background-color: alpha(" << light << ", 0.2); }\n";
    }
    return out.str();
}

} // namespace kovi
