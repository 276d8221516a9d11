#pragma once

// The one table of look-and-feel constants shared by every view. Lengths are in pixels (one
// pixel per point). The stylesheets of data/css repeat the numbers they need; keep them in step.
namespace kovi {

// An opaque sRGB colour.
struct Rgb {
    int red, green, blue; // 0...255
};

namespace KoviDesign {

namespace Spacing {
inline constexpr double sm = 8;
inline constexpr double md = 12;
inline constexpr double lg = 16;
} // namespace Spacing

namespace Radius {
inline constexpr double sm = 6;
inline constexpr double md = 8;
inline constexpr double lg = 10;
inline constexpr double panel = 16;
inline constexpr double card = 12;
inline constexpr double button = 8;
inline constexpr double input = 10;
} // namespace Radius

namespace ButtonSize {
inline constexpr double md = 32;
} // namespace ButtonSize

// A timed curve or a spring. Springs map onto AdwSpringAnimation with damping ratio = damping,
// mass 1 and stiffness (2π / response)².
struct Motion {
    enum class Kind { easeOut, easeInOut, spring };
    Kind kind;
    double duration = 0;  // seconds, timed curves
    double response = 0;  // seconds, springs
    double damping = 1;   // fraction, springs

    static constexpr Motion easeOut(double seconds) { return {Kind::easeOut, seconds, 0, 1}; }
    static constexpr Motion easeInOut(double seconds) { return {Kind::easeInOut, seconds, 0, 1}; }
    static constexpr Motion springOf(double response, double damping) { return {Kind::spring, 0, response, damping}; }
    // Spring stiffness for mass 1.
    constexpr double stiffness() const
    {
        constexpr double twoPi = 6.283185307179586;
        return (twoPi / response) * (twoPi / response);
    }
};

namespace Animation {
inline constexpr Motion instant = Motion::easeOut(0.1);
inline constexpr Motion fast = Motion::easeOut(0.15);
inline constexpr Motion spring = Motion::springOf(0.35, 0.8);
inline constexpr Motion springSmooth = Motion::springOf(0.4, 0.85);
} // namespace Animation

// The text colours besides the primary foreground, one set per look (opaque sRGB). Each reaches
// 4.5:1 against every surface text sits on in its look: the window, views, chrome, controls,
// settings sections and the hover fills over them. The stylesheets use them as the named colours
// kovi_text_secondary, kovi_text_tertiary, kovi_text_success and kovi_text_warning.
struct TextColors {
    Rgb secondary;
    Rgb tertiary;
    Rgb success;
    Rgb warning;
};
inline constexpr TextColors lightText{{0x59, 0x59, 0x59}, {0x5e, 0x5e, 0x5e}, {0x18, 0x73, 0x46}, {0xa3, 0x52, 0x00}};
inline constexpr TextColors darkText{{0xb3, 0xb3, 0xb3}, {0xa3, 0xa3, 0xa3}, {0x8f, 0xf0, 0xa4}, {0xff, 0xa3, 0x48}};

namespace Sidebar {
inline constexpr double minWidth = 220;
inline constexpr double maxWidth = 320;
} // namespace Sidebar

// Clamps a sidebar width into the allowed range; non-finite input gives the minimum.
constexpr double clampSidebarWidth(double width)
{
    if (!(width == width)) // NaN
        return Sidebar::minWidth;
    return width < Sidebar::minWidth ? Sidebar::minWidth : (width > Sidebar::maxWidth ? Sidebar::maxWidth : width);
}

} // namespace KoviDesign
} // namespace kovi
