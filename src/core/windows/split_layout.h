#pragma once

#include <optional>

namespace kovi {

// Where the split view puts its two panes and the divider between them, in the split area's own
// coordinates. The ratio is the left pane's share of the width the panes have together; it is
// kept within 0.2…0.8. Pure arithmetic, no toolkit.
struct SplitLayout {
    static constexpr double minimumRatio = 0.2;
    static constexpr double maximumRatio = 0.8;
    static constexpr double padding = 6;        // around the two panes and the divider
    static constexpr double dividerColumn = 8;  // between the panes: a 1-px gap, the capsule, a 1-px gap
    static constexpr double capsuleWidth = 4;   // at rest
    static constexpr double activeCapsuleWidth = 6; // hovered or dragged
    static constexpr double capsuleHeight = 80;
    static constexpr double hitOutset = 10;     // the divider takes the pointer this far around the capsule
    static constexpr double dragThreshold = 10; // a drag moves the divider once the pointer went this far

    struct Rect {
        double x = 0, y = 0, width = 0, height = 0;
        bool contains(double px, double py) const { return px >= x && px < x + width && py >= y && py < y + height; }
        bool operator==(const Rect&) const = default;
    };

    Rect left;
    Rect right;
    Rect divider;    // the capsule at rest, centred in the divider column
    Rect dividerHit; // where the divider takes hover, clicks and drags

    // The layout for an area of width × height with this ratio (clamped; a non-finite ratio
    // counts as 0.5). Each pane is kept at least `minimumPane` wide while the area has room for
    // two such panes, so a narrow area never squeezes a pane below what its header needs. An
    // area too small for the padding and the divider gives panes of width 0.
    static SplitLayout compute(double width, double height, double ratio, double minimumPane = 0);

    // The ratio that puts the divider's centre at x (measured from the area's left edge),
    // clamped; nothing for a non-finite x or an area with no room for panes.
    static std::optional<double> ratioForPointer(double x, double width);

    // A ratio the split view may hold: clamped to 0.2…0.8; nothing when not finite.
    static std::optional<double> clampedRatio(double ratio);
};

} // namespace kovi
