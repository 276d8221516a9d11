#include "core/windows/split_divider_drag.h"

#include "core/windows/split_layout.h"

#include <cmath>

namespace kovi {

void SplitDividerDrag::begin(double x, double y)
{
    m_startX = x;
    m_startY = y;
    m_isActive = std::isfinite(x) && std::isfinite(y);
    m_isDragging = false;
}

std::optional<double> SplitDividerDrag::update(double offsetX, double offsetY, double areaWidth)
{
    if (!m_isActive || !std::isfinite(offsetX) || !std::isfinite(offsetY))
        return std::nullopt;
    if (!m_isDragging && std::hypot(offsetX, offsetY) < SplitLayout::dragThreshold)
        return std::nullopt;
    m_isDragging = true;
    return SplitLayout::ratioForPointer(m_startX + offsetX, areaWidth);
}

void SplitDividerDrag::end()
{
    m_isActive = false;
    m_isDragging = false;
}

} // namespace kovi
