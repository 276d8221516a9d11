#include "core/sidebar/sidebar_drop.h"
#include "core/sidebar/sidebar_sections.h"
#include "sidebar_fixture.h"

#include <gtest/gtest.h>

namespace kovi::test {
namespace {

using Kind = SidebarDrop::Kind;

// Drop rules against a real browser state: the decision, then its effect on the stored order.
class DropTest : public SidebarStateTest {
protected:
    void SetUp() override
    {
        start();
        a = open("https://a.example/");
        b = open("https://b.example/");
        c = open("https://c.example/");
        d = open("https://d.example/");
    }

    // Decides with the sidebar's current view of the state, like the views do.
    template <class F>
    SidebarDrop decide(F&& rule)
    {
        SidebarSections sections = buildSidebarSections(*state, clock.now());
        std::vector<SidebarItem> stored = state->sidebarItemsForCurrentSpace();
        SidebarDropContext context{state->tabs(), state->folders(), state->currentSpaceId(), sections.shownItems, stored};
        return rule(context);
    }
    // Decides and applies; returns whether the drop was taken.
    template <class F>
    bool drop(F&& rule)
    {
        SidebarDrop decision = decide(rule);
        applySidebarDrop(*state, decision);
        return decision.accepted();
    }
    static DraggedItem tab(const Uuid& id) { return {id, false}; }
    static DraggedItem folder(const Uuid& id) { return {id, true}; }
    static SidebarItem T(const Uuid& id) { return SidebarItem::tab(id); }

    Uuid a, b, c, d;
};

TEST_F(DropTest, RowDropPlacesBeforeAfterOrFoldsByHeight)
{
    // Rows: a0 b1 c2 d3. Dropping d on b.
    EXPECT_EQ(decide([&](auto& cx) { return decideTabRowDrop(tab(d), b, 1, 9, cx); }).kind, Kind::moveTab);
    EXPECT_EQ(decide([&](auto& cx) { return decideTabRowDrop(tab(d), b, 1, 9.01, cx); }).kind, Kind::createFolder);
    EXPECT_EQ(decide([&](auto& cx) { return decideTabRowDrop(tab(d), b, 1, 24.99, cx); }).kind, Kind::createFolder);
    EXPECT_EQ(decide([&](auto& cx) { return decideTabRowDrop(tab(d), b, 1, 25, cx); }).kind, Kind::moveTab);

    ASSERT_TRUE(drop([&](auto& cx) { return decideTabRowDrop(tab(d), b, 1, 2, cx); }));
    EXPECT_EQ(order(), (std::vector{T(a), T(d), T(b), T(c)}));
    ASSERT_TRUE(drop([&](auto& cx) { return decideTabRowDrop(tab(a), c, 3, 30, cx); }));
    EXPECT_EQ(order(), (std::vector{T(d), T(b), T(c), T(a)}));

    ASSERT_TRUE(drop([&](auto& cx) { return decideTabRowDrop(tab(a), b, 1, 15, cx); }));
    ASSERT_EQ(state->folders().size(), 1u);
    const TabFolder& made = state->folders().begin()->second;
    EXPECT_EQ(made.name, "New Folder");
    EXPECT_EQ(made.tabIds, (std::vector{b, a})) << "the row's tab first, then the dropped one";
    EXPECT_EQ(order(), (std::vector{T(d), T(c), SidebarItem::folder(made.id)}));
}

TEST_F(DropTest, ForeignSelfAndPinnedDropsAreRefusedEverywhere)
{
    Uuid stranger = Uuid::random();
    state->createFolder("F", {c});
    Uuid f = state->folders().begin()->first;
    state->pinTab(d);
    auto before = order();

    for (const DraggedItem& item : {tab(stranger), tab(d), folder(stranger), folder(f)}) {
        SCOPED_TRACE(item.encodedString());
        EXPECT_FALSE(decide([&](auto& cx) { return decideTabRowDrop(item, a, 0, 15, cx); }).accepted());
        EXPECT_FALSE(decide([&](auto& cx) { return decideFolderHeaderDrop(item, f, cx); }).accepted());
        EXPECT_FALSE(decide([&](auto& cx) { return decideFolderZoneDrop(item, f, 0, cx); }).accepted());
        EXPECT_FALSE(decide([&](auto& cx) { return decideFolderTabRowDrop(item, f, c, cx); }).accepted());
    }
    // Top-level zones take folders, but not unknown ones or tabs that cannot move.
    for (const DraggedItem& item : {tab(stranger), tab(d), folder(stranger)})
        EXPECT_FALSE(decide([&](auto& cx) { return decideDropZoneDrop(item, 0, cx); }).accepted());
    // Onto itself, and to the place it already has.
    EXPECT_FALSE(decide([&](auto& cx) { return decideTabRowDrop(tab(a), a, 0, 15, cx); }).accepted());
    EXPECT_FALSE(decide([&](auto& cx) { return decideDropZoneDrop(tab(a), 0, cx); }).accepted());
    EXPECT_FALSE(decide([&](auto& cx) { return decideDropZoneDrop(tab(a), 1, cx); }).accepted());
    EXPECT_FALSE(decide([&](auto& cx) { return decideTabRowDrop(tab(a), b, 1, 2, cx); }).accepted());
    EXPECT_FALSE(decide([&](auto& cx) { return decideFolderTabRowDrop(tab(c), f, c, cx); }).accepted());
    EXPECT_EQ(order(), before);
}

TEST_F(DropTest, TabsOfAnotherSpaceAreRefused)
{
    Uuid home = *state->currentSpaceId();
    state->createNewSpace("Work", SpaceColor::red, "folder.fill");
    Uuid elsewhere = open("https://elsewhere.example/");
    state->setCurrentSpaceId(home);
    EXPECT_FALSE(decide([&](auto& cx) { return decideDropZoneDrop(tab(elsewhere), 0, cx); }).accepted());
    EXPECT_FALSE(decide([&](auto& cx) { return decideTabRowDrop(tab(elsewhere), a, 0, 2, cx); }).accepted());
}

// Kept tabs are not in the shown list, so shown positions differ from stored ones; a drop must
// land where the user let go.
TEST_F(DropTest, ShownPositionsAreTranslatedPastKeptTabs)
{
    state->toggleAutoArchiveExcluded(a);
    state->toggleAutoArchiveExcluded(c);
    // Stored: a b c d; shown: b0 d1.
    ASSERT_TRUE(drop([&](auto& cx) { return decideDropZoneDrop(tab(d), 0, cx); }));
    auto sections = buildSidebarSections(*state, clock.now());
    EXPECT_EQ(sections.shownItems, (std::vector{T(d), T(b)}));
    ASSERT_TRUE(drop([&](auto& cx) { return decideTabRowDrop(tab(d), b, 1, 30, cx); }));
    sections = buildSidebarSections(*state, clock.now());
    EXPECT_EQ(sections.shownItems, (std::vector{T(b), T(d)}));
    EXPECT_EQ(storedSidebarIndex(2, sections.shownItems, order()), 3);
    EXPECT_EQ(storedSidebarIndex(0, {}, order()), 0);
}

TEST_F(DropTest, FolderZonesReorderInsideOrAddFromOutside)
{
    state->createFolder("F", {a, b, c});
    Uuid f = state->folders().begin()->first;
    auto folderTabs = [&] { return state->folders().at(f).tabIds; };

    // a two zones down: one place lower.
    ASSERT_TRUE(drop([&](auto& cx) { return decideFolderZoneDrop(tab(a), f, 2, cx); }));
    EXPECT_EQ(folderTabs(), (std::vector{b, a, c}));
    // A top-level tab to zone 0 becomes the folder's first tab.
    ASSERT_TRUE(drop([&](auto& cx) { return decideFolderZoneDrop(tab(d), f, 0, cx); }));
    EXPECT_EQ(folderTabs(), (std::vector{d, b, a, c}));
    // Out of the folder onto a top-level zone.
    ASSERT_TRUE(drop([&](auto& cx) { return decideDropZoneDrop(tab(c), 0, cx); }));
    EXPECT_EQ(folderTabs(), (std::vector{d, b, a}));
    EXPECT_EQ(order().front(), T(c));
    // The header takes a tab of the same folder (nothing changes) and others.
    EXPECT_EQ(decide([&](auto& cx) { return decideFolderHeaderDrop(tab(a), f, cx); }).kind, Kind::addToFolder);
    ASSERT_TRUE(drop([&](auto& cx) { return decideFolderHeaderDrop(tab(c), f, cx); }));
    EXPECT_EQ(folderTabs(), (std::vector{d, b, a, c}));
    // A folder moves between top-level zones.
    Uuid e = open("https://e.example/");
    ASSERT_TRUE(drop([&](auto& cx) { return decideDropZoneDrop(folder(f), 2, cx); }));
    EXPECT_EQ(order(), (std::vector{T(e), SidebarItem::folder(f)}));
}

} // namespace
} // namespace kovi::test
