#include "core/web/page_zoom.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kovi {

double PageZoom::adjusted(double current, double delta)
{
    if (!std::isfinite(current))
        current = 1.0;
    if (!std::isfinite(delta))
        delta = 0;
    return std::min(std::max(current + delta, minimum), maximum);
}

int PageZoom::percent(double zoom)
{
    if (!std::isfinite(zoom))
        return 100;
    double value = std::round(zoom * 100.0);
    value = std::clamp(value, double(std::numeric_limits<int>::min()), double(std::numeric_limits<int>::max()));
    return static_cast<int>(value);
}

} // namespace kovi
