#include "core/state/sidebar_order.h"

#include <gtest/gtest.h>

namespace kovi::test {
namespace {

class SidebarOrderTest : public ::testing::Test {
protected:
    Uuid add(bool pinned = false, std::optional<Uuid> folderId = std::nullopt, std::optional<Uuid> spaceId = {})
    {
        Tab tab(Uuid::random(), *Url::parse("https://example.com/"), std::nullopt, pinned, false,
                spaceId ? spaceId : std::optional(space.id), folderId);
        tabs.insert_or_assign(tab.id, tab);
        return tab.id;
    }

    Space space{Uuid::random(), "S", SpaceColor::blue, "globe", {}, {}, std::nullopt, Date(1)};
    SidebarOrder::TabMap tabs;
    SidebarOrder::FolderMap folders;
    SidebarOrder order{tabs, folders};
};

TEST_F(SidebarOrderTest, TheTabOrderFollowsTheRowsAndKeepsEveryTabOfAFolder)
{
    const Uuid f = Uuid::random(), gone = Uuid::random();
    const Uuid a = add(), b = add(false, f), c = add(false, f), pinned = add(true, f), stale = add(false, gone),
               foreign = add(false, f, Uuid::random()), unknown = Uuid::random();
    folders.insert_or_assign(f, TabFolder{f, "F", space.id, {c, pinned, foreign, b, a}, true, Date(1)});
    space.tabOrder = {stale, b, unknown, a, c};
    space.sidebarOrder = {SidebarItem::folder(f), SidebarItem::tab(a), SidebarItem::folder(gone)};

    // The folder's own tabs where it sits (not its pinned one, not another space's, not a tab
    // that names another folder), the rows, then what is left in its old order.
    EXPECT_EQ(order.tabOrderFollowingSidebar(space), (std::vector<Uuid>{c, b, a, stale, unknown}));
}

TEST_F(SidebarOrderTest, ACompletedSidebarOrderShowsEachRowOnce)
{
    const Uuid f = Uuid::random();
    const Uuid a = add(), b = add(), inside = add(false, f), pinned = add(true);
    folders.insert_or_assign(f, TabFolder{f, "F", space.id, {inside}, true, Date(1)});
    space.tabOrder = {a, b, a, inside, pinned};
    space.sidebarOrder = {SidebarItem::tab(b), SidebarItem::tab(inside), SidebarItem::tab(pinned)};
    EXPECT_EQ(order.completed(space),
              (std::vector<SidebarItem>{SidebarItem::tab(b), SidebarItem::folder(f), SidebarItem::tab(a)}));
    EXPECT_EQ(order.repairedTabOrder(space), (std::vector<Uuid>{a, b, inside}));
}

} // namespace
} // namespace kovi::test
