// The list under a pointer that does not move: every click on a close button held still closes a
// tab (the row that slides under the pointer takes the next one), and no such click activates a
// tab. Real clicks.
#include "sidebar_ui_fixture.h"

namespace kovi::test {
namespace {

class SidebarPointerTest : public SidebarWindowTest {
protected:
    // Clicks `times` where the pointer is, a person's pace apart, waiting after each for one tab
    // fewer; fails on the first click that closed nothing, or when the active tab changed.
    void closeInPlace(int times, const char* where)
    {
        const Uuid active = *state->activeTabId();
        for (int i = 0; i < times; ++i) {
            const std::size_t before = state->tabs().size();
            ASSERT_TRUE(xdo({"mousedown", "1"}));
            settle(80);
            ASSERT_TRUE(xdo({"mouseup", "1"}));
            if (!runUntilGtk([&] { return state->tabs().size() == before - 1; }, 5)) {
                ADD_FAILURE() << where << ": click " << i + 1 << " of " << times << " closed nothing";
                return;
            }
            ASSERT_EQ(state->activeTabId(), active) << where << ": click " << i + 1 << " activated a tab";
            catchUp(300);
        }
    }
};

TEST_F(SidebarPointerTest, EveryClickOnACloseButtonHeldStillClosesATab)
{
    std::vector<Uuid> tabs;
    for (int i = 0; i < 8; ++i)
        tabs.push_back(open("https://site" + std::to_string(i) + ".example/", "Site " + std::to_string(i)));
    catchUp();
    // The list's rows: the first one's ×, with the last tab active.
    SidebarTabRow* first = list().topLevelRow(tabs.front());
    ASSERT_TRUE(first);
    ASSERT_TRUE(hover(*first));
    ASSERT_TRUE(runUntilGtk([&] { return first->closeButton() && first->closeButton()->get_width() > 0; }, 5));
    ASSERT_TRUE(xdoMoveToWidget(*first->closeButton()));
    catchUp(200);
    ASSERT_NO_FATAL_FAILURE(closeInPlace(5, "list"));
    SidebarTabRow* under = list().topLevelRow(tabs[5]);
    ASSERT_TRUE(under);
    EXPECT_TRUE(under->isHovered()) << "the row that slid under the pointer shows its buttons";

    // Straight from the page onto the place of a row's ×, never hovered before: one click
    // closes that tab.
    int closeX = 0, closeY = 0, rowX = 0, rowY = 0;
    ASSERT_TRUE(widgetCenter(*under->closeButton(), closeX, closeY));
    ASSERT_TRUE(widgetCenter(*list().topLevelRow(tabs[6]), rowX, rowY));
    ASSERT_TRUE(xdoMoveToWidget(*page));
    catchUp(200);
    ASSERT_TRUE(xdoMoveTo(closeX, rowY));
    ASSERT_NO_FATAL_FAILURE(closeInPlace(1, "a row's × reached straight"));
    EXPECT_FALSE(state->tabs().contains(tabs[6]));

    // The kept rows: the same with the first kept row's ×.
    state->toggleAutoArchiveExcluded(tabs[5]);
    for (int i = 0; i < 3; ++i)
        state->toggleAutoArchiveExcluded(open("https://kept" + std::to_string(i) + ".example/", "Kept"));
    state->setActiveTabId(tabs.back());
    catchUp();
    SidebarTabRow* kept = list().keepRow(tabs[5]);
    ASSERT_TRUE(kept);
    ASSERT_TRUE(hover(*kept));
    ASSERT_TRUE(xdoMoveToWidget(*kept->closeButton()));
    catchUp(200);
    ASSERT_NO_FATAL_FAILURE(closeInPlace(4, "kept rows"));
}

} // namespace
} // namespace kovi::test
