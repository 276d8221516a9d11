#pragma once

namespace kovi {

// Page zoom steps: the factor moves by a fixed step within fixed limits, unrounded.
class PageZoom {
public:
    static constexpr double minimum = 0.25;
    static constexpr double maximum = 5.0;
    static constexpr double step = 0.12;

    // current + delta, raised to the minimum and then lowered to the maximum. A current value
    // that is not a number counts as 1.0.
    static double adjusted(double current, double delta);
    // The percentage shown for a factor: factor × 100 rounded half away from zero.
    static int percent(double zoom);
};

} // namespace kovi
