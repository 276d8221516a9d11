#include "state_fixture.h"

namespace kovi::test {
namespace {

class MovesTest : public StateTest {
protected:
    void SetUp() override
    {
        start();
        a = open("https://a.example/");
        b = open("https://b.example/");
        c = open("https://c.example/");
        d = open("https://d.example/");
    }

    std::vector<SidebarItem> order() const { return shownSpace().sidebarOrder; }
    static std::vector<SidebarItem> rows(std::initializer_list<Uuid> ids)
    {
        std::vector<SidebarItem> items;
        for (const Uuid& id : ids)
            items.push_back(SidebarItem::tab(id));
        return items;
    }

    Uuid a, b, c, d;
};

TEST_F(MovesTest, SidebarRowsMoveToDropPositions)
{
    state->moveSidebarItem(SidebarItem::tab(a), 3);
    EXPECT_EQ(order(), rows({b, c, a, d}));
    state->moveSidebarItem(SidebarItem::tab(d), 1);
    EXPECT_EQ(order(), rows({b, d, c, a}));
    state->moveSidebarItem(SidebarItem::tab(b), 99);
    EXPECT_EQ(order(), rows({d, c, a, b}));
    state->moveSidebarItem(SidebarItem::tab(c), -5); // clamped to the front
    EXPECT_EQ(order(), rows({c, d, a, b}));
    EXPECT_EQ(shownSpace().tabOrder, (std::vector<Uuid>{a, b, c, d})); // untouched

    forget(stateFile());
    state->moveSidebarItem(SidebarItem::tab(d), 1); // its own place
    state->moveSidebarItem(SidebarItem::tab(Uuid::random()), 0);
    state->moveSidebarItem(SidebarItem::folder(Uuid::random()), 0);
    EXPECT_FALSE(written(stateFile()));
}

// Moves used to act on tabs of other spaces and on pinned tabs, which then appeared in the
// shown space's orders.
TEST_F(MovesTest, ForeignAndPinnedTabsAreIgnored)
{
    Uuid home = currentSpace();
    state->pinTab(d);
    state->createNewSpace("Other", SpaceColor::red, "globe");
    Uuid other = currentSpace();
    Uuid o = open("https://o.example/");
    state->setCurrentSpaceId(home);
    forget(stateFile());
    state->moveTab(o, 0);
    state->moveTab(d, 0);
    state->moveSidebarItem(SidebarItem::tab(o), 0);
    state->reorderTab(o, a);
    state->reorderTab(d, a);
    state->reorderTab(a, d);
    EXPECT_FALSE(written(stateFile()));
    EXPECT_EQ(state->tab(o)->spaceId, other);
    EXPECT_EQ(order(), rows({a, b, c}));
    EXPECT_EQ(shownSpace().tabOrder, (std::vector<Uuid>{a, b, c}));
}

TEST_F(MovesTest, MovingAFolderTabToTheTopLevelRebuildsTheTabOrder)
{
    state->createFolder("F", {c, d});
    Uuid f = *state->tab(c)->folderId;
    EXPECT_EQ(order(), (std::vector<SidebarItem>{SidebarItem::tab(a), SidebarItem::tab(b), SidebarItem::folder(f)}));
    state->moveTab(d, 0);
    EXPECT_FALSE(state->tab(d)->folderId);
    EXPECT_EQ(order(), (std::vector<SidebarItem>{SidebarItem::tab(d), SidebarItem::tab(a), SidebarItem::tab(b),
                                                 SidebarItem::folder(f)}));
    // The rows in sidebar order, the folder's tabs where the folder sits.
    EXPECT_EQ(shownSpace().tabOrder, (std::vector<Uuid>{d, a, b, c}));
    EXPECT_EQ(state->folders().at(f).tabIds, (std::vector<Uuid>{c}));

    forget(stateFile());
    state->moveTab(d, 0);
    EXPECT_FALSE(written(stateFile()));
    state->moveTab(a, 10);
    EXPECT_EQ(order().back(), SidebarItem::tab(a));
}

// Moving a tab dropped every tab inside a folder from the tab order, so Next/Previous Tab and
// Ctrl+1...9 could not reach them until the next start.
TEST_F(MovesTest, MovingATabKeepsTheTabsInFoldersInTheKeyboardOrder)
{
    state->createFolder("F", {b, c});
    Uuid f = *state->tab(b)->folderId;
    state->moveTab(d, 0);
    state->moveTab(a, 1);
    EXPECT_EQ(order(), (std::vector<SidebarItem>{SidebarItem::tab(d), SidebarItem::tab(a), SidebarItem::folder(f)}));
    EXPECT_EQ(state->orderedTabIdsForKeyboardNavigation(), (std::vector<Uuid>{d, a, b, c}));

    state->setActiveTabId(a);
    std::vector<Uuid> visited;
    for (int i = 0; i < 4; ++i) {
        state->switchActiveTab(1);
        visited.push_back(*state->activeTabId());
    }
    EXPECT_EQ(visited, (std::vector<Uuid>{b, c, d, a}));

    // It lasts across a restart.
    restart();
    EXPECT_EQ(state->orderedTabIdsForKeyboardNavigation(), (std::vector<Uuid>{d, a, b, c}));
}

TEST_F(MovesTest, ReorderingInsideAFolder)
{
    state->createFolder("F", {a, b, c});
    Uuid f = *state->tab(a)->folderId;
    state->moveTabInFolder(a, f, 2);
    EXPECT_EQ(state->folders().at(f).tabIds, (std::vector<Uuid>{b, a, c}));
    state->moveTabInFolder(c, f, 0);
    EXPECT_EQ(state->folders().at(f).tabIds, (std::vector<Uuid>{c, b, a}));
    forget(stateFile());
    state->moveTabInFolder(b, f, 1);
    state->moveTabInFolder(d, f, 0);
    state->moveTabInFolder(a, Uuid::random(), 0);
    EXPECT_FALSE(written(stateFile()));
}

TEST_F(MovesTest, TabBarDropsPlaceTheTabBeforeTheTarget)
{
    state->removeTab(d);
    state->reorderTab(c, a);
    EXPECT_EQ(shownSpace().tabOrder, (std::vector<Uuid>{c, a, b}));
    state->reorderTab(c, b);
    EXPECT_EQ(shownSpace().tabOrder, (std::vector<Uuid>{a, c, b}));
    forget(stateFile());
    state->reorderTab(a, a);
    EXPECT_FALSE(written(stateFile()));
}

} // namespace
} // namespace kovi::test
