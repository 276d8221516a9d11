#include "core/windows/floating_window_placement.h"

#include <algorithm>

namespace kovi {

namespace {

constexpr double screenMargin = 20;

} // namespace

ScreenPoint placeAtPointer(ScreenPoint pointer, double width, double height, const ScreenRect& area)
{
    const double right = area.x + area.width;
    const double bottom = area.y + area.height;
    const double x = std::min(pointer.x, right - (width + screenMargin));
    const double windowBottom = std::min(pointer.y + height + screenMargin, bottom - screenMargin);
    return {x, windowBottom - height};
}

ScreenPoint placeCentred(double width, double height, const ScreenRect& area)
{
    return {area.x + (area.width - width) / 2, area.y + (area.height - height) / 2};
}

} // namespace kovi
