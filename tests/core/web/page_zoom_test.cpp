#include "core/support/notification_names.h"
#include "core/web/page_zoom.h"
#include "core/web/zoom_badge_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>

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

// A scheduler whose clock the test moves.
class ManualScheduler : public TaskScheduler {
public:
    TaskId schedule(double seconds, std::function<void()> work) override
    {
        TaskId id = m_next++;
        m_tasks[id] = {m_now + seconds, std::move(work)};
        return id;
    }
    void cancel(TaskId id) override { m_tasks.erase(id); }
    void advance(double seconds)
    {
        m_now += seconds;
        for (auto it = m_tasks.begin(); it != m_tasks.end();) {
            if (it->second.first <= m_now + 1e-9) {
                auto work = std::move(it->second.second);
                it = m_tasks.erase(it);
                work();
            } else {
                ++it;
            }
        }
    }
    std::size_t pending() const { return m_tasks.size(); }

private:
    double m_now = 0;
    TaskId m_next = 1;
    std::map<TaskId, std::pair<double, std::function<void()>>> m_tasks;
};

Notification zoomNote(std::optional<Uuid> tab, UserInfo info)
{
    return Notification{notifications::webViewZoomChanged, tab, std::move(info)};
}

TEST(ZoomBadgeModelTest, StaysUntilOnePointEightSecondsAfterTheLastChange)
{
    ManualScheduler scheduler;
    Uuid tab = Uuid::random();
    ZoomBadgeModel badge(tab, scheduler);
    EXPECT_FALSE(badge.isVisible());
    EXPECT_EQ(badge.zoomPercent(), 100);

    int changes = 0;
    badge.changed.connect([&] { ++changes; });
    for (double zoom : {1.12, 1.24, 1.36}) {
        EXPECT_TRUE(badge.handle(zoomNote(tab, {{"zoom", zoom}})));
        EXPECT_TRUE(badge.isVisible());
        scheduler.advance(0.5);
        EXPECT_TRUE(badge.isVisible());
    }
    EXPECT_EQ(badge.zoomPercent(), 136);
    EXPECT_EQ(scheduler.pending(), 1u); // each change replaced the pending hide
    scheduler.advance(1.2);
    EXPECT_TRUE(badge.isVisible());
    scheduler.advance(0.11);
    EXPECT_FALSE(badge.isVisible());
    EXPECT_EQ(badge.zoomPercent(), 136);
    EXPECT_EQ(changes, 4);
}

TEST(ZoomBadgeModelTest, IgnoresOtherTabsMissingObjectsAndWrongTypes)
{
    ManualScheduler scheduler;
    Uuid tab = Uuid::random();
    ZoomBadgeModel badge(tab, scheduler);
    EXPECT_FALSE(badge.handle(zoomNote(Uuid::random(), {{"zoom", 2.0}})));
    EXPECT_FALSE(badge.handle(zoomNote(std::nullopt, {{"zoom", 2.0}})));
    EXPECT_FALSE(badge.handle(zoomNote(tab, {{"zoom", std::string("2.0")}})));
    EXPECT_FALSE(badge.handle(zoomNote(tab, {})));
    EXPECT_FALSE(badge.handle(Notification{notifications::webViewZoomIn, tab, {{"zoom", 2.0}}}));
    EXPECT_FALSE(badge.isVisible());
    EXPECT_EQ(badge.zoomPercent(), 100);
    EXPECT_EQ(scheduler.pending(), 0u);
}

TEST(ZoomBadgeModelTest, DestroyingTheBadgeCancelsItsHideTask)
{
    ManualScheduler scheduler;
    Uuid tab = Uuid::random();
    {
        ZoomBadgeModel badge(tab, scheduler);
        badge.handle(zoomNote(tab, {{"zoom", 0.25}}));
        EXPECT_EQ(badge.zoomPercent(), 25);
        EXPECT_EQ(scheduler.pending(), 1u);
    }
    EXPECT_EQ(scheduler.pending(), 0u);
    scheduler.advance(5); // nothing runs against the destroyed badge
}

} // namespace
} // namespace kovi
