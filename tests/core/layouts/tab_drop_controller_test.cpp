// The drag records of the horizontal tab strip, driven through the events a drop target sees,
// with the real browser state doing the reorder.
#include "core/app/browser_core.h"
#include "core/layouts/tab_drop_controller.h"
#include "core/state/browser_state.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace kovi::test {
namespace {

class TabDropControllerTest : public ::testing::Test {
protected:
    TabDropControllerTest()
    {
        for (const char* name : {"a", "b", "c", "d"}) {
            Tab tab(Uuid::random(), *Url::parse(std::string("https://") + name + ".example/"), std::string(name), false,
                    false, state.currentSpaceId(), std::nullopt);
            state.addTab(tab);
            ids.push_back(tab.id);
        }
    }
    std::vector<std::string> order() const
    {
        std::vector<std::string> titles;
        for (const Tab& tab : state.unpinnedTabs())
            titles.push_back(tab.title);
        return titles;
    }
    // A whole drag of tab `from` over `over`, dropped on `onto` with the payload GTK carries.
    bool dragAndDrop(int from, int onto, std::optional<std::string> payload = std::nullopt)
    {
        drops.beginDrag(ids[from]);
        drops.dropEntered(ids[onto]);
        const bool done = drops.performDrop(ids[onto], payload.value_or(ids[from].toString()));
        drops.endDrag(ids[from]);
        return done;
    }

    TempDir dir;
    BrowserCore core{{.dataDirectory = dir.path(), .defaultsPath = "", .updateFeedUrl = "http://127.0.0.1:9/"}};
    BrowserState& state = core.state();
    std::vector<Uuid> ids;
    TabDropController drops{[this](const Uuid& tab, const Uuid& before) { state.reorderTab(tab, before); }};
};

TEST_F(TabDropControllerTest, DropLandsTheTabBeforeTheTargetFromEitherSide)
{
    EXPECT_TRUE(dragAndDrop(0, 2)); // a onto c: between b and c
    EXPECT_EQ(order(), (std::vector<std::string>{"b", "a", "c", "d"}));
    EXPECT_TRUE(dragAndDrop(2, 0)); // c onto a, from the right: in front of a
    EXPECT_EQ(order(), (std::vector<std::string>{"b", "c", "a", "d"}));
    EXPECT_FALSE(drops.draggedTabId());
    EXPECT_FALSE(drops.currentDropTarget());
}

TEST_F(TabDropControllerTest, OnlyAnotherTabOfARecordedDragQualifies)
{
    EXPECT_FALSE(drops.validateDrop(ids[1])); // nothing recorded: text from elsewhere
    EXPECT_FALSE(drops.dropEntered(ids[1]));
    EXPECT_FALSE(drops.performDrop(ids[1], ids[0].toString()));
    drops.beginDrag(ids[0]);
    EXPECT_FALSE(drops.validateDrop(ids[0])); // onto itself: no indicator, no move
    EXPECT_FALSE(drops.dropEntered(ids[0]));
    EXPECT_FALSE(drops.currentDropTarget());
    EXPECT_FALSE(drops.performDrop(ids[0], ids[0].toString()));
    EXPECT_EQ(order(), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_FALSE(drops.draggedTabId()) << "a drop returns to idle even when it moves nothing";
}

TEST_F(TabDropControllerTest, ForeignTextIsRefusedEvenDuringATabDrag)
{
    EXPECT_FALSE(dragAndDrop(0, 2, "https://evil.example/"));
    EXPECT_FALSE(dragAndDrop(0, 2, ids[3].toString())); // another tab's id is not this drag's
    EXPECT_FALSE(dragAndDrop(0, 2, ""));
    EXPECT_FALSE(dragAndDrop(0, 2, std::string(10000, 'x')));
    EXPECT_EQ(order(), (std::vector<std::string>{"a", "b", "c", "d"}));
    // The payload may come in lower case or with a line feed from other toolkits.
    std::string lower = ids[0].toString();
    for (char& ch : lower)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_TRUE(dragAndDrop(0, 2, lower + "\n"));
}

TEST_F(TabDropControllerTest, ACancelledDragLeavesNoRecord)
{
    // Regression: a drag cancelled with Escape left its tab recorded, so a later drop of any
    // text onto a tab moved it.
    drops.beginDrag(ids[0]);
    drops.dropEntered(ids[2]);
    drops.endDrag(ids[0]);
    EXPECT_FALSE(drops.draggedTabId());
    EXPECT_FALSE(drops.currentDropTarget());
    EXPECT_FALSE(drops.validateDrop(ids[2]));
    EXPECT_FALSE(drops.performDrop(ids[2], ids[0].toString()));
    EXPECT_EQ(order(), (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST_F(TabDropControllerTest, LeavingAnEarlierTargetKeepsTheNewOne)
{
    int changes = 0;
    drops.changed.connect([&] { ++changes; });
    drops.beginDrag(ids[0]);
    EXPECT_TRUE(drops.dropEntered(ids[1]));
    EXPECT_TRUE(drops.dropEntered(ids[2]));
    drops.dropExited(ids[1]);
    EXPECT_EQ(drops.currentDropTarget(), ids[2]);
    drops.dropExited(ids[2]);
    EXPECT_FALSE(drops.currentDropTarget());
    EXPECT_EQ(changes, 4);
    // The end of an older drag does not clear a newer one.
    drops.beginDrag(ids[3]);
    drops.endDrag(ids[0]);
    EXPECT_EQ(drops.draggedTabId(), ids[3]);
}

TEST_F(TabDropControllerTest, AClosedDraggedTabMovesNothing)
{
    drops.beginDrag(ids[0]);
    state.removeTab(ids[0]);
    EXPECT_TRUE(drops.performDrop(ids[2], ids[0].toString())) << "the reorder was asked for";
    EXPECT_EQ(order(), (std::vector<std::string>{"b", "c", "d"}));
}

} // namespace
} // namespace kovi::test
