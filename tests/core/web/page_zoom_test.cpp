#include "core/support/notification_names.h"
#include "core/web/page_zoom.h"
#include "core/web/zoom_badge_model.h"
#include "support/manual_delayed_task.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kovi {
namespace {

TEST(PageZoomTest, StepsAreUnroundedAndClampedAtBothEnds)
{
    double zoom = 1.0;
    zoom = PageZoom::adjusted(zoom, PageZoom::step);
    EXPECT_DOUBLE_EQ(zoom, 1.12);
    zoom = PageZoom::adjusted(zoom, PageZoom::step);
    EXPECT_DOUBLE_EQ(zoom, 1.24);
    EXPECT_DOUBLE_EQ(PageZoom::adjusted(4.95, 0.12), 5.0);
    EXPECT_DOUBLE_EQ(PageZoom::adjusted(0.3, -0.12), 0.25);
    EXPECT_DOUBLE_EQ(PageZoom::adjusted(std::nan(""), 0.12), 1.12);
    EXPECT_DOUBLE_EQ(PageZoom::adjusted(1.0, std::numeric_limits<double>::infinity()), 1.0);
}

TEST(PageZoomTest, PercentRoundsHalvesAwayFromZero)
{
    EXPECT_EQ(PageZoom::percent(1.1), 110);
    EXPECT_EQ(PageZoom::percent(0.25), 25);
    EXPECT_EQ(PageZoom::percent(1.125), 113);
    EXPECT_EQ(PageZoom::percent(1.12 + 0.12 + 0.12), 136);
    EXPECT_EQ(PageZoom::percent(5.0), 500);
    EXPECT_EQ(PageZoom::percent(std::nan("")), 100);
}

Notification zoomNote(std::optional<Uuid> tab, UserInfo info)
{
    return Notification{notifications::webViewZoomChanged, tab, std::move(info)};
}

TEST(ZoomBadgeModelTest, StaysUntilOnePointEightSecondsAfterTheLastChange)
{
    test::ManualDelayedTask hideTask;
    Uuid tab = Uuid::random();
    ZoomBadgeModel badge(tab, hideTask);
    EXPECT_FALSE(badge.isVisible());
    EXPECT_EQ(badge.zoomPercent(), 100);

    int changes = 0;
    badge.changed.connect([&] { ++changes; });
    for (double zoom : {1.12, 1.24, 1.36}) {
        EXPECT_TRUE(badge.handle(zoomNote(tab, {{"zoom", zoom}})));
        EXPECT_TRUE(badge.isVisible());
        hideTask.advance(0.5);
        EXPECT_TRUE(badge.isVisible());
    }
    EXPECT_EQ(badge.zoomPercent(), 136);
    EXPECT_EQ(hideTask.starts, 3); // each change replaced the pending hide
    EXPECT_TRUE(hideTask.isPending());
    hideTask.advance(1.2);
    EXPECT_TRUE(badge.isVisible());
    hideTask.advance(0.11);
    EXPECT_FALSE(badge.isVisible());
    EXPECT_EQ(badge.zoomPercent(), 136);
    EXPECT_EQ(changes, 4);
}

TEST(ZoomBadgeModelTest, IgnoresOtherTabsMissingObjectsAndWrongTypes)
{
    test::ManualDelayedTask hideTask;
    Uuid tab = Uuid::random();
    ZoomBadgeModel badge(tab, hideTask);
    EXPECT_FALSE(badge.handle(zoomNote(Uuid::random(), {{"zoom", 2.0}})));
    EXPECT_FALSE(badge.handle(zoomNote(std::nullopt, {{"zoom", 2.0}})));
    EXPECT_FALSE(badge.handle(zoomNote(tab, {{"zoom", std::string("2.0")}})));
    EXPECT_FALSE(badge.handle(zoomNote(tab, {})));
    EXPECT_FALSE(badge.handle(Notification{notifications::webViewZoomIn, tab, {{"zoom", 2.0}}}));
    EXPECT_FALSE(badge.isVisible());
    EXPECT_EQ(badge.zoomPercent(), 100);
    EXPECT_FALSE(hideTask.isPending());
}

TEST(ZoomBadgeModelTest, DestroyingTheBadgeCancelsItsHideTask)
{
    test::ManualDelayedTask hideTask;
    Uuid tab = Uuid::random();
    {
        ZoomBadgeModel badge(tab, hideTask);
        badge.handle(zoomNote(tab, {{"zoom", 0.25}}));
        EXPECT_EQ(badge.zoomPercent(), 25);
        EXPECT_TRUE(hideTask.isPending());
    }
    EXPECT_FALSE(hideTask.isPending());
    hideTask.advance(5); // nothing runs against the destroyed badge
}

} // namespace
} // namespace kovi
