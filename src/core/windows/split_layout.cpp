#include "core/windows/split_layout.h"

#include <algorithm>
#include <cmath>

namespace kovi {

namespace {

// The width both panes share in an area of `width`.
double paneWidth(double width)
{
    return std::max(0.0, width - 2 * SplitLayout::padding - SplitLayout::dividerColumn);
}

} // namespace

std::optional<double> SplitLayout::clampedRatio(double ratio)
{
    if (!std::isfinite(ratio))
        return std::nullopt;
    return std::clamp(ratio, minimumRatio, maximumRatio);
}

SplitLayout SplitLayout::compute(double width, double height, double ratio, double minimumPane)
{
    const double r = clampedRatio(ratio).value_or(0.5);
    width = std::isfinite(width) ? std::max(0.0, width) : 0.0;
    height = std::isfinite(height) ? std::max(0.0, height) : 0.0;
    const double panes = paneWidth(width);
    const double innerHeight = std::max(0.0, height - 2 * padding);
    // Whole pixels, so the two panes and the divider always add up to the area.
    double leftWidth = std::round(panes * r);
    if (std::isfinite(minimumPane) && minimumPane > 0) {
        const double least = std::min(std::ceil(minimumPane), std::floor(panes / 2));
        leftWidth = std::clamp(leftWidth, least, panes - least);
    }

    SplitLayout layout;
    layout.left = {padding, padding, leftWidth, innerHeight};
    const double columnX = padding + leftWidth;
    layout.right = {columnX + dividerColumn, padding, panes - leftWidth, innerHeight};
    const double centreX = columnX + dividerColumn / 2;
    const double centreY = height / 2;
    layout.divider = {centreX - capsuleWidth / 2, centreY - capsuleHeight / 2, capsuleWidth, capsuleHeight};
    layout.dividerHit = {centreX - activeCapsuleWidth / 2 - hitOutset, centreY - capsuleHeight / 2 - hitOutset,
                         activeCapsuleWidth + 2 * hitOutset, capsuleHeight + 2 * hitOutset};
    return layout;
}

std::optional<double> SplitLayout::ratioForPointer(double x, double width)
{
    const double panes = paneWidth(width);
    if (!std::isfinite(x) || !std::isfinite(width) || panes <= 0)
        return std::nullopt;
    return clampedRatio((x - padding - dividerColumn / 2) / panes);
}

} // namespace kovi
