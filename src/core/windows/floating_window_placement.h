#pragma once

namespace kovi {

// Where a quick-view window opens, in screen coordinates with the origin at the top left.
struct ScreenPoint {
    double x = 0;
    double y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

struct ScreenRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

// A window of width × height at the pointer: its left edge at the pointer's x, but no nearer
// than 20 px to the right edge of `area`; its bottom edge height + 20 below the pointer, but no
// nearer than 20 px to the bottom of `area`. Nothing keeps it from the left or top edge. Gives
// the window's top-left corner.
ScreenPoint placeAtPointer(ScreenPoint pointer, double width, double height, const ScreenRect& area);

// A window of width × height in the middle of `area`.
ScreenPoint placeCentred(double width, double height, const ScreenRect& area);

} // namespace kovi
