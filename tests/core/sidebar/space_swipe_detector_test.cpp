#include "core/sidebar/space_swipe_detector.h"

#include <gtest/gtest.h>

#include <vector>

namespace kovi {
namespace {

using Phase = SpaceSwipeDetector::Phase;

class SwipeTest : public ::testing::Test {
protected:
    // Feeds one event 10 ms after the previous one; returns the step it reported (0 for none).
    int feed(double dx, double dy = 0, Phase phase = Phase::changed)
    {
        SpaceSwipeDetector::Event event = base;
        event.dx = dx;
        event.dy = dy;
        event.phase = phase;
        event.time = (time += 0.01);
        auto step = detector.handle(event);
        return step.value_or(0);
    }
    std::vector<int> feedAll(const std::vector<double>& deltas)
    {
        std::vector<int> steps;
        for (double dx : deltas) {
            if (int step = feed(dx))
                steps.push_back(step);
        }
        return steps;
    }

    SpaceSwipeDetector detector;
    SpaceSwipeDetector::Event base;
    double time = 100;
};

TEST_F(SwipeTest, OneStepPerGestureAfterFourteenPoints)
{
    EXPECT_EQ(feed(5, 0, Phase::began), 0);
    EXPECT_EQ(feed(5), 0);
    EXPECT_EQ(feed(4), 1);
    EXPECT_EQ(feedAll({5, 5, 5, 5, 5, 5, 5, 5}), std::vector<int>{}) << "a slow, long swipe still steps once";
    feed(5, 0, Phase::ended);
    EXPECT_EQ(feedAll({-7, -7}), std::vector<int>{-1}) << "the next gesture steps again, leftwards";
}

TEST_F(SwipeTest, SmallAndDiagonalDeltasDoNotCountButKeepTheGestureAlive)
{
    EXPECT_EQ(feedAll({0.79, 0.79, 0.79, 0.79, 0.79, 0.79, 0.79, 0.79, 0.79, 0.79, 0.79, 0.79, 0.79, 0.79, 0.79, 0.79, 0.79, 0.79, 0.79}),
              std::vector<int>{});
    EXPECT_DOUBLE_EQ(detector.accumulatedX(), 0);
    EXPECT_EQ(feed(10, 7), 0) << "|dy| x 1.5 > |dx|";
    EXPECT_EQ(feed(10, 6), 0) << "|dy| x 1.5 <= |dx| counts";
    EXPECT_DOUBLE_EQ(detector.accumulatedX(), 10);
    // Tiny events refresh the idle timer without resetting the sum.
    for (int i = 0; i < 50; ++i)
        feed(0.1);
    EXPECT_EQ(feed(4), 1);
}

TEST_F(SwipeTest, PausesMomentumLowAreaAndSheetsReportNothing)
{
    feed(10);
    time += 0.25; // longer than the idle reset
    EXPECT_EQ(feed(10), 0) << "the pause started a fresh gesture";

    SpaceSwipeDetector fresh;
    SpaceSwipeDetector::Event e;
    e.dx = 30;
    e.time = 1;
    e.isMomentum = true;
    EXPECT_FALSE(fresh.handle(e));
    e.isMomentum = false;
    e.heightAboveBottom = 120;
    EXPECT_FALSE(fresh.handle(e));
    e.heightAboveBottom = 121;
    e.isSheetOpen = true;
    EXPECT_FALSE(fresh.handle(e));
    e.isSheetOpen = false;
    e.isOverView = false;
    EXPECT_FALSE(fresh.handle(e));
    e.isOverView = true;
    EXPECT_EQ(fresh.handle(e), 1);
}

TEST_F(SwipeTest, InvertedDirectionNegatesTheDelta)
{
    base.isDirectionInverted = true;
    EXPECT_EQ(feed(20), -1);
    base.isDirectionInverted = false;
    detector.gestureEnded();
    EXPECT_EQ(feed(20), 1);
}

} // namespace
} // namespace kovi
