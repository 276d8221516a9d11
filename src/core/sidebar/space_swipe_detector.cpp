#include "core/sidebar/space_swipe_detector.h"

#include <cmath>

namespace kovi {

void SpaceSwipeDetector::reset()
{
    m_accumulatedX = 0;
    m_hasTriggered = false;
}

std::optional<int> SpaceSwipeDetector::handle(const Event& event)
{
    if (!event.isOverView || event.isSheetOpen || event.isMomentum)
        return std::nullopt;
    if (event.heightAboveBottom <= bottomExclusion)
        return std::nullopt;

    // Every event that gets this far refreshes the idle timer, counting or not.
    if (!m_lastEventAt || event.time - *m_lastEventAt > idleResetSeconds)
        reset();
    m_lastEventAt = event.time;

    const double dx = std::abs(event.dx);
    if (!(dx >= minimumDelta && std::abs(event.dy) * horizontalDominance <= dx))
        return std::nullopt;

    if (event.phase == Phase::began || event.phase == Phase::mayBegin)
        reset();
    m_accumulatedX += event.isDirectionInverted ? -event.dx : event.dx;

    std::optional<int> step;
    if (std::abs(m_accumulatedX) >= minimumAccumulated && !m_hasTriggered) {
        step = m_accumulatedX < 0 ? -1 : 1;
        m_hasTriggered = true;
        m_accumulatedX = 0;
    }
    if (event.phase == Phase::ended)
        reset();
    return step;
}

} // namespace kovi
