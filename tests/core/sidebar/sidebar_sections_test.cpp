#include "core/sidebar/sidebar_sections.h"
#include "sidebar_fixture.h"

#include <gtest/gtest.h>

namespace kovi::test {
namespace {

using Kind = SidebarEntry::Kind;

class SectionsTest : public ::testing::Test {
protected:
    Tab& add(double age, bool keep = false, bool pinned = false, std::optional<Uuid> folder = std::nullopt)
    {
        Tab tab = makeTab(space, now, age, keep, pinned, folder);
        spaceTabs.push_back(tab);
        if (!pinned && !folder)
            items.push_back(SidebarItem::tab(tab.id));
        return tabs.emplace(tab.id, tab).first->second;
    }
    Uuid addFolder()
    {
        TabFolder folder;
        folder.id = Uuid::random();
        folder.spaceId = space;
        folders.emplace(folder.id, folder);
        items.push_back(SidebarItem::folder(folder.id));
        return folder.id;
    }
    SidebarSections build() const { return buildSidebarSections(items, spaceTabs, tabs, folders, now); }

    // The list as a compact text: Z<i> zones, H:<title> headers, T/F rows with their index, E.
    std::string layout() const
    {
        std::string text;
        for (const SidebarEntry& e : build().entries) {
            switch (e.kind) {
            case Kind::emptyMessage: text += "E "; break;
            case Kind::header: text += "H:" + e.title + " "; break;
            case Kind::tabRow: text += "T" + std::to_string(e.index) + " "; break;
            case Kind::folderRow: text += "F" + std::to_string(e.index) + " "; break;
            case Kind::dropZone: text += "Z" + std::to_string(e.index) + " "; break;
            }
        }
        return text;
    }

    Uuid space = Uuid::random();
    Date now{725760000};
    std::vector<SidebarItem> items;
    std::vector<Tab> spaceTabs;
    std::unordered_map<Uuid, Tab> tabs;
    std::unordered_map<Uuid, TabFolder> folders;
};

const double day = sidebarTodayWindowSeconds;

TEST_F(SectionsTest, EmptyAndKeepOnlySpaces)
{
    add(10, false, true); // pinned only: the message and one zone
    EXPECT_EQ(layout(), "E Z0 ");

    add(10, true); // a Keep tab: no message, still one zone
    auto sections = build();
    EXPECT_EQ(layout(), "Z0 ");
    ASSERT_EQ(sections.keepTabs.size(), 1u);
    EXPECT_TRUE(sections.shownItems.empty());
    EXPECT_EQ(sections.entries[0].totalItems, 0);
}

TEST_F(SectionsTest, HeadersMarkWhereNewTabsBeginAndOlderEntriesResume)
{
    add(2 * day);
    add(3 * day);
    EXPECT_EQ(layout(), "Z0 T0 Z1 T1 Z2 ") << "no new tab: no headers at all";

    items.clear();
    spaceTabs.clear();
    add(5);
    add(day); // exactly a day old still counts as today
    EXPECT_EQ(layout(), "Z0 H:Today T0 Z1 T1 Z2 ") << "all new: no Earlier";

    items.clear();
    spaceTabs.clear();
    add(2 * day);
    add(10);
    addFolder(); // between two new tabs: under Today
    add(20);
    addFolder(); // after the last new tab: first under Earlier
    add(day + 1);
    EXPECT_EQ(layout(), "Z0 T0 Z1 H:Today T1 Z2 F2 Z3 T3 Z4 H:Earlier F4 Z5 T5 Z6 ");
}

TEST_F(SectionsTest, KeepTabsLeaveTheListButFoldersAndFolderTabsDoNot)
{
    Uuid folder = addFolder();
    Tab& inFolder = add(5, true, false, folder); // kept but in a folder: only inside the folder
    add(2 * day, true);
    add(2 * day);
    auto sections = build();
    ASSERT_EQ(sections.keepTabs.size(), 1u);
    EXPECT_NE(sections.keepTabs[0].id, inFolder.id);
    EXPECT_EQ(layout(), "Z0 F0 Z1 T1 Z2 ");
    EXPECT_FALSE(sidebarTodayTabIds(spaceTabs, now).contains(inFolder.id));
}

TEST_F(SectionsTest, MissingEntriesKeepTheirDropZones)
{
    add(2 * day);
    items.push_back(SidebarItem::tab(Uuid::random()));
    items.push_back(SidebarItem::folder(Uuid::random()));
    add(2 * day);
    EXPECT_EQ(layout(), "Z0 T0 Z1 Z2 Z3 T3 Z4 ");
    for (const SidebarEntry& e : build().entries)
        EXPECT_EQ(e.totalItems, 4);
}

TEST_F(SectionsTest, RowKeysAreTheItemIdentities)
{
    Tab& tab = add(2 * day);
    Uuid folder = addFolder();
    auto entries = build().entries;
    EXPECT_EQ(entries[1].key, "tab-" + tab.id.toString());
    EXPECT_EQ(entries[3].key, "folder-" + folder.toString());
}

} // namespace
} // namespace kovi::test
