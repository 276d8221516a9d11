#pragma once

#include <optional>

namespace kovi {

// One drag of the split view's divider. Nothing moves until the pointer has gone 10 px from
// where it was pressed; from then on each movement gives the ratio that puts the divider under
// the pointer, clamped to 0.2…0.8. Positions are in the split area's coordinates, which do not
// move while the divider does.
class SplitDividerDrag {
public:
    void begin(double x, double y);
    // The new ratio, or nothing while under the threshold, before begin() or for a movement
    // that gives no usable ratio (non-finite numbers, an area with no room for panes).
    std::optional<double> update(double offsetX, double offsetY, double areaWidth);
    // Whether the divider is being dragged (past the threshold).
    bool isDragging() const { return m_isDragging; }
    bool isActive() const { return m_isActive; }
    void end();

private:
    double m_startX = 0;
    double m_startY = 0;
    bool m_isActive = false;
    bool m_isDragging = false;
};

} // namespace kovi
