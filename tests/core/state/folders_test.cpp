#include "state_fixture.h"

namespace kovi::test {
namespace {

using FoldersTest = StateTest;

std::vector<SidebarItem> tabItems(std::initializer_list<Uuid> ids)
{
    std::vector<SidebarItem> items;
    for (const Uuid& id : ids)
        items.push_back(SidebarItem::tab(id));
    return items;
}

TEST_F(FoldersTest, PinningTakesATabOutOfTheOrdersAndUnpinningPutsItFirst)
{
    start();
    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    Uuid c = open("https://c.example/");
    state->pinTab(b);
    EXPECT_EQ(shownSpace().tabOrder, (std::vector<Uuid>{a, c}));
    EXPECT_EQ(shownSpace().sidebarOrder, tabItems({a, c}));
    EXPECT_EQ(ids(state->pinnedTabs()), (std::vector<Uuid>{b}));

    forget(stateFile());
    state->pinTab(b); // again: orders unchanged, saved again
    EXPECT_TRUE(written(stateFile()));
    EXPECT_EQ(shownSpace().tabOrder, (std::vector<Uuid>{a, c}));

    state->unpinTab(b);
    EXPECT_EQ(shownSpace().tabOrder, (std::vector<Uuid>{b, a, c}));
    EXPECT_EQ(shownSpace().sidebarOrder, tabItems({b, a, c}));
    EXPECT_TRUE(state->pinnedTabs().empty());
}

TEST_F(FoldersTest, PinningATabWithoutASpaceGivesItTheCurrentOne)
{
    start();
    Tab loose(Uuid::random(), url("https://loose.example/"), std::nullopt, false, false, std::nullopt, std::nullopt);
    state->addTab(loose);
    state->pinTab(loose.id);
    EXPECT_EQ(state->tab(loose.id)->spaceId, currentSpace());
    EXPECT_TRUE(state->tab(loose.id)->isPinned);
}

// Unpinning a tab that was not pinned used to list it a second time at the front.
TEST_F(FoldersTest, UnpinningAnUnpinnedTabChangesNothing)
{
    start();
    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    forget(stateFile());
    state->unpinTab(b);
    EXPECT_EQ(shownSpace().tabOrder, (std::vector<Uuid>{a, b}));
    EXPECT_EQ(shownSpace().sidebarOrder, tabItems({a, b}));
    EXPECT_FALSE(written(stateFile()));
}

TEST_F(FoldersTest, APinnedFolderTabReturnsToItsFolder)
{
    start();
    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    state->createFolder("F", {a, b});
    Uuid folder = *state->tab(a)->folderId;
    state->pinTab(a);
    EXPECT_EQ(state->tab(a)->folderId, folder);
    EXPECT_EQ(state->folders().at(folder).tabIds, (std::vector<Uuid>{a, b}));
    state->unpinTab(a);
    EXPECT_EQ(ids(state->tabsInFolder(folder)), (std::vector<Uuid>{a, b}));
    EXPECT_EQ(state->sidebarItemsForCurrentSpace(), (std::vector<SidebarItem>{SidebarItem::folder(folder)}));
}

TEST_F(FoldersTest, CreatingAFolderGathersTheTabs)
{
    start();
    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    Uuid c = open("https://c.example/");
    state->createFolder("New Folder", {a, b});
    ASSERT_EQ(state->folders().size(), 1u);
    const TabFolder& folder = state->folders().begin()->second;
    EXPECT_EQ(folder.name, "New Folder");
    EXPECT_TRUE(folder.isExpanded);
    EXPECT_EQ(folder.spaceId, currentSpace());
    EXPECT_EQ(shownSpace().sidebarOrder,
              (std::vector<SidebarItem>{SidebarItem::tab(c), SidebarItem::folder(folder.id)}));
    EXPECT_EQ(ids(state->tabsInFolder(folder.id)), (std::vector<Uuid>{a, b}));
    EXPECT_EQ(shownSpace().tabOrder, (std::vector<Uuid>{a, b, c}));
    EXPECT_EQ(ids(state->tabsForCurrentSpace()), (std::vector<Uuid>{c}));
}

// A new folder used to leave its tabs listed by their previous folder too, so they showed twice.
TEST_F(FoldersTest, ANewFolderTakesItsTabsOutOfTheirOldFolder)
{
    start();
    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    state->createFolder("Old", {a, b});
    Uuid old = *state->tab(a)->folderId;
    state->createFolder("New", {a, a});
    Uuid fresh = *state->tab(a)->folderId;
    EXPECT_NE(fresh, old);
    EXPECT_EQ(state->folders().at(old).tabIds, (std::vector<Uuid>{b}));
    EXPECT_EQ(state->folders().at(fresh).tabIds, (std::vector<Uuid>{a}));
}

TEST_F(FoldersTest, AddingToAFolder)
{
    start();
    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    state->createFolder("F", {});
    state->createFolder("G", {});
    Uuid f, g;
    for (const auto& [id, folder] : state->folders())
        (folder.name == "F" ? f : g) = id;

    state->addTabToFolder(a, f);
    EXPECT_EQ(state->folders().at(f).tabIds, (std::vector<Uuid>{a}));
    EXPECT_EQ(state->sidebarItemsForCurrentSpace(),
              (std::vector<SidebarItem>{SidebarItem::tab(b), SidebarItem::folder(f), SidebarItem::folder(g)}));

    forget(stateFile());
    state->addTabToFolder(a, f); // already there
    EXPECT_FALSE(written(stateFile()));

    state->addTabToFolder(a, g);
    EXPECT_TRUE(state->folders().at(f).tabIds.empty());
    EXPECT_EQ(state->folders().at(g).tabIds, (std::vector<Uuid>{a}));
    EXPECT_EQ(shownSpace().tabOrder, (std::vector<Uuid>{a, b}));
    state->addTabToFolder(a, Uuid::random());
    state->addTabToFolder(Uuid::random(), g);
    EXPECT_EQ(state->folders().at(g).tabIds, (std::vector<Uuid>{a}));
}

TEST_F(FoldersTest, RemovingFromAFolderPlacesTheTabLast)
{
    start();
    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    Uuid c = open("https://c.example/");
    state->createFolder("F", {a});
    Uuid f = *state->tab(a)->folderId;
    state->removeTabFromFolder(a);
    EXPECT_FALSE(state->tab(a)->folderId);
    EXPECT_TRUE(state->folders().at(f).tabIds.empty());
    EXPECT_EQ(shownSpace().sidebarOrder,
              (std::vector<SidebarItem>{SidebarItem::tab(b), SidebarItem::tab(c), SidebarItem::folder(f),
                                        SidebarItem::tab(a)}));
    forget(stateFile());
    state->removeTabFromFolder(a);
    EXPECT_FALSE(written(stateFile()));
}

TEST_F(FoldersTest, DeletingAFolderKeepsItsTabsOpenInOrder)
{
    start();
    Uuid x = open("https://x.example/");
    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    Uuid c = open("https://c.example/");
    state->createFolder("F", {a, b, c});
    Uuid f = *state->tab(a)->folderId;
    Uuid y = open("https://y.example/");
    state->deleteFolder(f);
    EXPECT_FALSE(state->folders().count(f));
    EXPECT_EQ(shownSpace().sidebarOrder, tabItems({x, y, a, b, c}));
    EXPECT_EQ(state->tabs().size(), 5u);
}

TEST_F(FoldersTest, RenamingAndCollapsingAreSaved)
{
    start();
    state->createFolder("F", {});
    Uuid f = state->folders().begin()->first;
    forget(stateFile());
    state->renameFolder(f, "");
    EXPECT_EQ(state->folders().at(f).name, "");
    EXPECT_TRUE(written(stateFile()));
    state->toggleFolderExpanded(f);
    EXPECT_FALSE(state->folders().at(f).isExpanded);
    restart();
    EXPECT_FALSE(state->folders().at(f).isExpanded);
    forget(stateFile());
    state->renameFolder(Uuid::random(), "x");
    state->toggleFolderExpanded(Uuid::random());
    EXPECT_FALSE(written(stateFile()));
}

TEST_F(FoldersTest, QueriesApplyTheirFilters)
{
    start();
    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    state->createFolder("F", {b, Uuid::random()});
    Uuid f = *state->tab(b)->folderId;
    EXPECT_EQ(ids(state->tabsInFolder(f)), (std::vector<Uuid>{b}));
    EXPECT_TRUE(state->tabsInFolder(Uuid::random()).empty());
    EXPECT_EQ(ids(state->unpinnedTabs()), (std::vector<Uuid>{a, b}));
    EXPECT_EQ(ids(state->tabsForCurrentSpace()), (std::vector<Uuid>{a}));
}

} // namespace
} // namespace kovi::test
