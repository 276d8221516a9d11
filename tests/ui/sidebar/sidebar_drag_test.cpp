#include "sidebar_ui_fixture.h"

#include "core/sidebar/sidebar_text.h"

namespace kovi::test {
namespace {

using T = SidebarItem;

class SidebarDragTest : public SidebarWindowTest {
protected:
    void SetUp() override
    {
        SidebarWindowTest::SetUp();
        a = open("https://alpha.example/", "Alpha");
        b = open("https://beta.example/", "Beta");
        c = open("https://gamma.example/", "Gamma");
        d = open("https://delta.example/", "Delta");
        e = open("https://epsilon.example/", "Epsilon");
        state->createFolder("Reading", {e});
        folder = state->folders().begin()->first;
        catchUp();
    }
    SidebarTabRow& row(const Uuid& id)
    {
        SidebarTabRow* found = list().topLevelRow(id);
        if (!found)
            throw std::runtime_error("no row");
        return *found;
    }

    Uuid a, b, c, d, e, folder;
};

TEST_F(SidebarDragTest, PointerDragsReorderFoldAndSurviveARestart)
{
    screenshotIfAsked("sidebar-light-or-dark-docked");
    ASSERT_EQ(order(), (std::vector{T::tab(a), T::tab(b), T::tab(c), T::tab(d), T::folder(folder)}));

    // To a new position: d onto the top edge of a's row goes before a.
    SidebarTabRow* dragged = &row(d);
    ASSERT_TRUE(drag(row(d), row(a), 0.5, 0, 3));
    EXPECT_EQ(order(), (std::vector{T::tab(d), T::tab(a), T::tab(b), T::tab(c), T::folder(folder)}));
    EXPECT_EQ(list().topLevelRow(d), dragged) << "the dragged row is moved, not rebuilt";

    // Into a folder: a onto the folder's header.
    FolderRow* folderRow = list().folderRow(folder);
    ASSERT_TRUE(folderRow);
    ASSERT_TRUE(drag(row(a), folderRow->header()));
    EXPECT_EQ(state->folders().at(folder).tabIds, (std::vector{e, a}));
    EXPECT_EQ(state->tabs().at(a).folderId, folder);

    // Out of a folder: e (a row inside the folder) onto the list's first drop zone.
    SidebarTabRow* inside = list().folderRow(folder)->rowFor(e);
    ASSERT_TRUE(inside);
    ASSERT_TRUE(drag(*inside, *list().dropZone(0)));
    EXPECT_FALSE(state->tabs().at(e).folderId);
    EXPECT_EQ(order().front(), T::tab(e));

    // Onto another tab's middle: the two become "New Folder", the target first.
    ASSERT_TRUE(drag(row(b), row(c), 0.5, 0.5));
    ASSERT_EQ(state->folders().size(), 2u);
    Uuid made;
    for (const auto& [id, f] : state->folders())
        if (id != folder)
            made = id;
    EXPECT_EQ(state->folders().at(made).name, "New Folder");
    EXPECT_EQ(state->folders().at(made).tabIds, (std::vector{c, b}));

    const auto expected = order();
    const auto folderTabs = state->folders().at(folder).tabIds;
    screenshotIfAsked("sidebar-after-drags");
    restartState();
    EXPECT_EQ(order(), expected);
    EXPECT_EQ(state->folders().at(folder).tabIds, folderTabs);
    EXPECT_EQ(state->folders().at(made).tabIds, (std::vector{c, b}));
    EXPECT_NE(stateFileText().find("New Folder"), std::string::npos);
}

TEST_F(SidebarDragTest, ThePinnedGridTakesNoDrops)
{
    state->pinTab(c);
    catchUp(150);
    PinnedTabIcon* tile = list().pinnedTile(c);
    ASSERT_TRUE(tile);
    const std::string before = stateFileText();
    ASSERT_TRUE(drag(row(a), *tile));
    EXPECT_FALSE(state->tabs().at(a).isPinned);
    EXPECT_EQ(stateFileText(), before);
    EXPECT_EQ(state->pinnedTabs().size(), 1u);
}

TEST_F(SidebarDragTest, DroppingARowOnItselfChangesNothing)
{
    const std::string before = stateFileText();
    int drops = 0;
    auto counter = view().environment().dropped.connect([&](const SidebarDrop&) { ++drops; });
    ASSERT_TRUE(drag(row(a), row(a), 0.7, 0.5));
    counter.disconnect();
    EXPECT_EQ(drops, 1) << "the drop reached the row";
    EXPECT_FALSE(view().environment().lastDrop.accepted());
    EXPECT_EQ(stateFileText(), before);
    EXPECT_TRUE(state->folders().size() == 1u);
}

// Text from other programs, malformed or unknown payloads, self-drops and folders into
// folders are all refused by every target, and the stored state stays byte for byte.
TEST_F(SidebarDragTest, ForeignAndInvalidDropsAreRefused)
{
    const std::string before = stateFileText();
    FolderRow* folderRow = list().folderRow(folder);
    ASSERT_TRUE(folderRow);
    const std::string unknown = "tab:" + Uuid::random().toString();
    std::vector<std::pair<Gtk::Widget*, std::string>> drops = {
        {&row(a), "https://other.example/page"},
        {&row(a), "tab:not-a-uuid"},
        {&row(a), unknown},
        {&row(a), "tab:" + a.toString()},
        {&row(a), "folder:" + folder.toString()},
        {&row(a), "window:" + b.toString()},
        {&row(a), "tab:" + b.toString() + "\nsecond line"},
        {list().dropZone(0), unknown},
        {list().dropZone(0), "folder:" + Uuid::random().toString()},
        {list().dropZone(1), "tab:" + a.toString()},
        {&folderRow->header(), "folder:" + folder.toString()},
        {&folderRow->header(), unknown},
        {folderRow->zoneAt(0), "folder:" + folder.toString()},
        {folderRow->zoneAt(0), "tab:" + e.toString()},
        {folderRow->rowFor(e), "tab:" + e.toString()},
        {folderRow->rowFor(e), "folder:" + folder.toString()},
    };
    for (auto& [widget, text] : drops) {
        SCOPED_TRACE(text);
        ASSERT_TRUE(widget);
        EXPECT_FALSE(emitTextDrop(*widget, text, 10, 17));
    }
    catchUp();
    EXPECT_EQ(stateFileText(), before);

    // The same path takes a valid payload.
    EXPECT_TRUE(emitTextDrop(*list().dropZone(0), "tab:" + d.toString(), 10, 4));
    EXPECT_EQ(order().front(), T::tab(d));
}

// A title change touches one label; a move reorders widgets without rebuilding them.
TEST_F(SidebarDragTest, RowsKeepTheirWidgetsWhileDataChanges)
{
    std::map<Uuid, SidebarTabRow*> before;
    for (Uuid id : {a, b, c, d})
        before[id] = &row(id);
    state->updateTabTitle(b, "Beta, renamed");
    catchUp();
    EXPECT_EQ(row(b).titleLabel().get_text(), "Beta, renamed");
    state->moveTab(a, 4);
    catchUp();
    for (Uuid id : {a, b, c, d})
        EXPECT_EQ(&row(id), before[id]);
    EXPECT_EQ(row(a).index(), 3);
}

} // namespace
} // namespace kovi::test
