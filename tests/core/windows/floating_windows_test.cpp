#include "core/windows/floating_page_state.h"
#include "core/windows/floating_window_kind.h"
#include "core/windows/floating_window_placement.h"
#include "core/windows/load_watchdog.h"
#include "support/manual_delayed_task.h"

#include <gtest/gtest.h>

namespace kovi {
namespace {

TEST(FloatingWindowPlacementTest, AtThePointerKeptInsideTheRightAndBottomEdges)
{
    const ScreenRect screen{0, 0, 1280, 1024};
    const auto& kind = FloatingWindowKind::quickView;
    // Elsewhere: the left edge at the pointer, the bottom edge 440 below it.
    EXPECT_EQ(placeAtPointer({300, 200}, kind.width, kind.height, screen), (ScreenPoint{300, 220}));
    // Less than 520 from the right edge: 20 px of screen stay to the right of the window.
    EXPECT_EQ(placeAtPointer({1100, 200}, kind.width, kind.height, screen), (ScreenPoint{760, 220}));
    // Less than 460 above the bottom: the bottom edge 20 px above the screen's.
    EXPECT_EQ(placeAtPointer({300, 700}, kind.width, kind.height, screen), (ScreenPoint{300, 584}));
    // Both, on a second monitor to the right of the first.
    EXPECT_EQ(placeAtPointer({3000, 1000}, kind.width, kind.height, ScreenRect{1280, 0, 1920, 1080}),
              (ScreenPoint{2680, 640}));
    // No clamp at the left or top edge.
    EXPECT_EQ(placeAtPointer({-40, 0}, kind.width, kind.height, screen), (ScreenPoint{-40, 20}));

    EXPECT_EQ(placeCentred(480, 400, screen), (ScreenPoint{400, 312}));
    EXPECT_EQ(placeCentred(480, 400, ScreenRect{1280, 30, 1920, 1050}), (ScreenPoint{2000, 355}));
}

TEST(FloatingWindowKindTest, TheTwoKindsHaveTheirOwnNamesSizesAndPlacement)
{
    const auto& little = FloatingWindowKind::smallWindow;
    const auto& quick = FloatingWindowKind::quickView;
    EXPECT_STREQ(little.title, "Little Kovi");
    EXPECT_STREQ(quick.title, "Quick View");
    EXPECT_EQ(little.width * 1000 + little.height, 480400);
    EXPECT_EQ(quick.width * 1000 + quick.height, 500420);
    EXPECT_EQ(little.placement, FloatingWindowKind::Placement::centred);
    EXPECT_EQ(quick.placement, FloatingWindowKind::Placement::atPointer);
    EXPECT_TRUE(quick.showsBadge);
    EXPECT_FALSE(little.showsBadge);
    for (const char* name : {little.goBack, little.goForward, little.reload, little.openInMain})
        for (const char* other : {quick.goBack, quick.goForward, quick.reload, quick.openInMain})
            EXPECT_STRNE(name, other) << "a command of one kind never reaches the other";
}

TEST(FloatingPageStateTest, StartsLoadingThenFollowsThePageReports)
{
    FloatingPageState page(*Url::parse("https://start.example/"));
    EXPECT_EQ(page.pageTitle, "Loading...");
    EXPECT_TRUE(page.isLoading);
    EXPECT_STREQ(page.reloadSymbol(), "xmark");
    page.titleReported(std::string("News"));
    EXPECT_EQ(page.pageTitle, "News");
    page.titleReported(std::string());
    EXPECT_EQ(page.pageTitle, "") << "an empty title stays empty";
    page.titleReported(std::nullopt);
    EXPECT_EQ(page.pageTitle, "Untitled");
    page.loadFailed();
    EXPECT_EQ(page.pageTitle, "This page couldn\u2019t load");

    page.addressReported(std::string("https://next.example/a?b=1"));
    EXPECT_EQ(page.currentUrl.string(), "https://next.example/a?b=1");
    page.addressReported(std::nullopt);
    page.addressReported(std::string());
    EXPECT_EQ(page.currentUrl.string(), "https://next.example/a?b=1") << "no address leaves the shown one";
    page.isLoading = false;
    EXPECT_STREQ(page.reloadSymbol(), "arrow.clockwise");
}

TEST(LoadWatchdogTest, StopsALoadWithoutProgressForSixtySecondsOnce)
{
    test::ManualDelayedTask scheduler;
    int stops = 0;
    auto watchdog = std::make_unique<LoadWatchdog>(scheduler, [&] { ++stops; });
    watchdog->loadingChanged(true);
    scheduler.advance(59);
    EXPECT_EQ(stops, 0);
    watchdog->progressed(); // the wait starts again
    scheduler.advance(59);
    EXPECT_EQ(stops, 0);
    scheduler.advance(1.5);
    EXPECT_EQ(stops, 1);
    scheduler.advance(200);
    EXPECT_EQ(stops, 1) << "once per wait";

    // A load that finishes in time is left alone; progress outside a load starts nothing.
    watchdog->loadingChanged(true);
    scheduler.advance(30);
    watchdog->loadingChanged(false);
    watchdog->progressed();
    scheduler.advance(100);
    EXPECT_EQ(stops, 1);
    EXPECT_FALSE(watchdog->isWaiting());

    // Gone before the time is up: nothing runs against it.
    watchdog->loadingChanged(true);
    watchdog.reset();
    EXPECT_FALSE(scheduler.isPending());
    scheduler.advance(100);
    EXPECT_EQ(stops, 1);
}

} // namespace
} // namespace kovi
