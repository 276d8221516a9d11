#pragma once

#include <optional>

namespace kovi {

// Decides when sideways two-finger scrolling over the sidebar is a request to switch spaces:
// at most one step (-1 or +1) per gesture. Fed one scroll event at a time; keeps no timer of its
// own (the event carries its time). Main thread only.
class SpaceSwipeDetector {
public:
    enum class Phase { none, mayBegin, began, changed, ended, cancelled };

    struct Event {
        double dx = 0;              // horizontal delta, in points
        double dy = 0;
        bool isDirectionInverted = false;
        Phase phase = Phase::none;
        bool isMomentum = false;    // inertial scrolling after the fingers lifted
        bool isOverView = true;     // the pointer is inside the sidebar, in its window
        bool isSheetOpen = false;   // a modal sheet covers the window
        double heightAboveBottom = 1e9; // pointer distance above the sidebar's bottom edge
        double time = 0;            // seconds, monotonic
    };

    static constexpr double minimumDelta = 0.8;
    static constexpr double minimumAccumulated = 14;
    static constexpr double horizontalDominance = 1.5;
    static constexpr double idleResetSeconds = 0.24;
    static constexpr double bottomExclusion = 120;

    // The step this event completes, if any.
    std::optional<int> handle(const Event& event);
    // The fingers lifted (a toolkit that reports the end of a gesture as its own signal, with
    // no deltas).
    void gestureEnded() { reset(); }

    double accumulatedX() const { return m_accumulatedX; }
    bool hasTriggeredThisGesture() const { return m_hasTriggered; }

private:
    void reset();

    double m_accumulatedX = 0;
    std::optional<double> m_lastEventAt;
    bool m_hasTriggered = false;
};

} // namespace kovi
