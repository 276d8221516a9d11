// The library sheet with saved pages and workspaces: search, the editor, removing, reopening a
// workspace, import and export, and the file dialogs, with real keys and clicks.
#include "library_app_fixture.h"

#include "core/settings/appearance_manager.h"
#include "ui/library/library_rows.h"
#include "ui/library/library_sheet.h"

#include <adwaita.h>

namespace kovi::test {
namespace {

class LibrarySheetTest : public LibraryAppTest {
protected:
    void SetUp() override
    {
        LibraryAppTest::SetUp();
        server.on("/pancakes", htmlPage("Pancakes"));
        server.on("/news", htmlPage("News"));
        save(server.url("/news"), "Morning paper");
        save(server.url("/pancakes"), "Weekend breakfast");
        save("https://tea.example/", "Tea notes", kReadingListCollection);
    }
    void save(const std::string& url, const std::string& title, const char* collection = kBookmarksCollection)
    {
        library().save(*Url::parse(url), title, collection);
    }
    LibrarySheet* sheet() { return dynamic_cast<LibrarySheet*>(h->root().librarySheet()); }
    void openSheet()
    {
        ASSERT_TRUE(xdoKey("ctrl+shift+b"));
        ASSERT_TRUE(runUntilGtk([&] { return sheet() && sheet()->get_mapped() && sheet()->get_width() > 0; }));
        settle(100);
    }
    // The bound, shown page rows, top to bottom.
    std::vector<SavedPageRow*> pageRows()
    {
        std::vector<SavedPageRow*> rows;
        for (Gtk::Widget* w : sheet()->shownRows()) {
            auto* row = dynamic_cast<SavedPageRow*>(w);
            if (row && row->get_mapped() && row->pageId())
                rows.push_back(row);
        }
        std::sort(rows.begin(), rows.end(), [&](SavedPageRow* a, SavedPageRow* b) {
            int ax, ay, bx, by;
            widgetCenter(*a, ax, ay);
            widgetCenter(*b, bx, by);
            return ay < by;
        });
        return rows;
    }
    std::vector<std::string> shownTitles()
    {
        std::vector<std::string> titles;
        for (SavedPageRow* row : pageRows())
            titles.push_back(row->titleLabel().get_text());
        return titles;
    }
    SavedPageRow* rowTitled(const std::string& title)
    {
        for (SavedPageRow* row : pageRows()) {
            if (row->titleLabel().get_text() == Glib::ustring(title))
                return row;
        }
        return nullptr;
    }
};

using Titles = std::vector<std::string>;

TEST_F(LibrarySheetTest, TypingInTheSearchNarrowsTheList)
{
    openSheet();
    ASSERT_TRUE(runUntilGtk([&] { return shownTitles() == Titles{"Weekend breakfast", "Morning paper"}; }));
    screenshotIfAsked("library-sheet-dark");

    ASSERT_TRUE(xdoFocusWindow(*sheet()));
    ASSERT_TRUE(click(sheet()->searchEntry(), [&] {
        for (Gtk::Widget* w = sheet()->get_focus(); w; w = w->get_parent()) {
            if (w == &sheet()->searchEntry())
                return true;
        }
        return false;
    }));
    ASSERT_TRUE(xdoType("PANCAKE"));
    ASSERT_TRUE(runUntilGtk([&] { return shownTitles() == Titles{"Weekend breakfast"}; }));
    ASSERT_TRUE(xdoType(".*["));
    ASSERT_TRUE(runUntilGtk([&] { return sheet()->isShowingEmptyState(); }));
    EXPECT_EQ(sheet()->emptyTitle().get_text(), "No matches");

    // The query stays when the section changes.
    ASSERT_TRUE(click(sheet()->sectionButton(LibrarySection::readingList),
                      [&] { return sheet()->model().section() == LibrarySection::readingList; }));
    EXPECT_EQ(sheet()->model().query(), "PANCAKE.*[");
    sheet()->searchEntry().set_text("");
    ASSERT_TRUE(runUntilGtk([&] { return shownTitles() == Titles{"Tea notes"}; }));

    h->ctx().appearance.setIsDarkMode(false);
    settle(200);
    screenshotIfAsked("library-sheet-light");
}

TEST_F(LibrarySheetTest, TheEditorRenamesAPageAndMovesItToTheReadingList)
{
    openSheet();
    ASSERT_TRUE(runUntilGtk([&] { return rowTitled("Morning paper") != nullptr; }));
    SavedPageRow* row = rowTitled("Morning paper");
    ASSERT_TRUE(click(row->editButton(), [&] { return sheet()->editor() && sheet()->editor()->get_mapped(); }));
    SavedPageEditor& editor = *sheet()->editor();
    EXPECT_EQ(editor.get_transient_for(), sheet());
    // Each shows one title bar, its own: the desktop adds none above the heading.
    EXPECT_FALSE(getsDesktopTitleBar(*sheet()));
    EXPECT_FALSE(getsDesktopTitleBar(editor));
    settle(150);
    screenshotIfAsked("saved-page-editor");

    // Blanks alone cannot be saved.
    editor.titleEntry().grab_focus();
    ASSERT_TRUE(xdoKey("ctrl+a"));
    ASSERT_TRUE(xdoType("   "));
    ASSERT_TRUE(runUntilGtk([&] { return !editor.saveButton().get_sensitive(); }));
    ASSERT_TRUE(xdoKey("ctrl+a"));
    ASSERT_TRUE(xdoType(" Evening paper "));
    ASSERT_TRUE(runUntilGtk([&] { return editor.saveButton().get_sensitive(); }));
    editor.collectionPicker().set_selected(1);
    ASSERT_TRUE(click(editor.saveButton(), [&] { return !sheet()->editor(); }));

    const std::string file = readDataFile("library.json");
    EXPECT_NE(file.find("\" Evening paper \""), std::string::npos); // as typed, blanks kept
    auto page = std::find_if(library().archive().pages.begin(), library().archive().pages.end(),
                             [](const SavedPage& p) { return p.title == " Evening paper "; });
    ASSERT_NE(page, library().archive().pages.end());
    EXPECT_EQ(page->collection, kReadingListCollection);
    ASSERT_TRUE(runUntilGtk([&] { return shownTitles() == Titles{"Weekend breakfast"}; }));

    ASSERT_TRUE(click(sheet()->sectionButton(LibrarySection::readingList),
                      [&] { return shownTitles().size() == 2; }));
    EXPECT_EQ(shownTitles(), (Titles{"Tea notes", " Evening paper "})); // the page keeps its place

    // Cancel drops what was typed.
    row = rowTitled("Tea notes");
    ASSERT_TRUE(click(row->editButton(), [&] { return sheet()->editor() && sheet()->editor()->get_mapped(); }));
    sheet()->editor()->titleEntry().set_text("Changed");
    ASSERT_TRUE(click(sheet()->editor()->cancelButton(), [&] { return !sheet()->editor(); }));
    EXPECT_NE(readDataFile("library.json").find("Tea notes"), std::string::npos);
}

// An imported title may hold a NUL, which used to end what was shown of it.
TEST_F(LibrarySheetTest, TitlesWithANulAreShownWhole)
{
    const std::string title("Before\0after", 12);
    const std::string shown = "Before\uFFFDafter";
    save("https://nul.example/", title);
    library().saveWorkspace(title, {{*Url::parse("https://nul.example/"), title}});
    openSheet();
    ASSERT_TRUE(runUntilGtk([&] { return rowTitled(shown) != nullptr; }));
    ASSERT_TRUE(click(rowTitled(shown)->editButton(), [&] { return sheet()->editor() && sheet()->editor()->get_mapped(); }));
    EXPECT_EQ(sheet()->editor()->titleEntry().get_text(), Glib::ustring(shown));
    ASSERT_TRUE(click(sheet()->editor()->cancelButton(), [&] { return !sheet()->editor(); }));

    ASSERT_TRUE(click(sheet()->sectionButton(LibrarySection::workspaces), [&] {
        return findWidget<WorkspaceRow>(*sheet(), [](WorkspaceRow& row) { return row.get_mapped(); }) != nullptr;
    }));
    auto* workspace = findWidget<WorkspaceRow>(*sheet(), [](WorkspaceRow& row) { return row.get_mapped(); });
    EXPECT_EQ(workspace->nameLabel().get_text(), Glib::ustring(shown));
    EXPECT_EQ(library().archive().workspaces.back().name, title) << "the stored name is kept";
}

TEST_F(LibrarySheetTest, RowButtonsMarkReadRemoveAndOpen)
{
    openSheet();
    // The footer runs the menu's command and is enabled when it is: only with a web page open.
    EXPECT_FALSE(sheet()->saveButton().get_sensitive());
    ASSERT_TRUE(click(sheet()->sectionButton(LibrarySection::readingList),
                      [&] { return rowTitled("Tea notes") != nullptr; }));
    SavedPageRow* row = rowTitled("Tea notes");
    EXPECT_TRUE(row->readButton().get_visible());
    EXPECT_EQ(row->readButton().get_tooltip_text(), Glib::ustring("Mark read"));
    ASSERT_TRUE(click(row->readButton(), [&] { return library().archive().pages[0].isRead; }));
    ASSERT_TRUE(runUntilGtk([&] { return rowTitled("Tea notes")->readButton().get_tooltip_text() == "Mark unread"; }));
    ASSERT_TRUE(click(rowTitled("Tea notes")->removeButton(),
                      [&] { return readDataFile("library.json").find("Tea notes") == std::string::npos; }));
    ASSERT_TRUE(runUntilGtk([&] { return sheet()->isShowingEmptyState(); }));
    EXPECT_EQ(sheet()->emptyTitle().get_text(), "Nothing saved here yet");
    state().addTab(makeTab(state(), server.url("/news")));
    ASSERT_TRUE(runUntilGtk([&] { return sheet()->saveButton().get_sensitive(); }));
    const std::size_t saved = library().archive().pages.size();
    ASSERT_TRUE(click(sheet()->saveButton(), [&] { return library().archive().pages.size() == saved + 1; }));
    EXPECT_EQ(library().archive().pages[0].collection, kReadingListCollection);
    EXPECT_EQ(library().archive().pages[0].url.string(), server.url("/news"));
    ASSERT_TRUE(runUntilGtk([&] { return !sheet()->isShowingEmptyState(); }));

    // Bookmarks have no read toggle; a click on the title opens the page and closes the sheet.
    ASSERT_TRUE(click(sheet()->sectionButton(LibrarySection::bookmarks),
                      [&] { return rowTitled("Weekend breakfast") != nullptr; }));
    EXPECT_FALSE(rowTitled("Weekend breakfast")->readButton().get_visible());
    ASSERT_TRUE(click(rowTitled("Weekend breakfast")->openButton(), [&] { return !state().isLibraryVisible(); }));
    ASSERT_TRUE(state().activeTab());
    EXPECT_EQ(state().activeTab()->url.string(), server.url("/pancakes"));
}

TEST_F(LibrarySheetTest, ASavedWorkspaceReopensAsANewSpace)
{
    h->openLoaded(server.url("/news"), "News");
    h->openLoaded(server.url("/pancakes"), "Pancakes");
    openSheet();
    ASSERT_TRUE(click(sheet()->sectionButton(LibrarySection::workspaces),
                      [&] { return sheet()->saveButton().get_label() == "Save Current Workspace"; }));
    EXPECT_EQ(sheet()->emptyTitle().get_text(), "Save a workspace");
    ASSERT_TRUE(click(sheet()->saveButton(), [&] { return library().archive().workspaces.size() == 1; }));
    EXPECT_NE(readDataFile("library.json").find("\"Personal\""), std::string::npos);
    Gtk::Button* restore = nullptr;
    auto openAsSpace = [](Gtk::Button& button) { return button.get_mapped() && button.get_label() == "Open as Space"; };
    ASSERT_TRUE(runUntilGtk([&] { return (restore = findWidget<Gtk::Button>(*sheet(), openAsSpace)) != nullptr; }));
    settle(100);
    screenshotIfAsked("library-workspaces");

    const std::size_t spaces = state().spaces().size();
    ASSERT_TRUE(click(*restore, [&] { return state().spaces().size() == spaces + 1; }));
    ASSERT_TRUE(runUntilGtk([&] { return !state().isLibraryVisible() && !sheet(); }));
    const Space& space = state().spaces().back();
    EXPECT_EQ(state().currentSpaceId(), space.id);
    EXPECT_EQ(space.name, "Personal");
    EXPECT_EQ(space.color, SpaceColor::blue);
    std::vector<std::string> urls;
    for (const Tab& tab : state().unpinnedTabs())
        urls.push_back(tab.url.string());
    EXPECT_EQ(urls, (std::vector<std::string>{server.url("/news"), server.url("/pancakes")}));
    EXPECT_EQ(state().activeTab()->url.string(), server.url("/pancakes"));
}

TEST_F(LibrarySheetTest, ExportAndImportThroughTheSheetAndTheFileDialogs)
{
    openSheet();
    // The dialogs themselves: shown over the sheet, filtered to JSON, the export named.
    ASSERT_TRUE(click(sheet()->exportButton(), [&] { return sheet()->fileChooser() != nullptr; }));
    ASSERT_TRUE(runUntilGtk([&] { return sheet()->fileChooser()->get_visible(); }));
    EXPECT_EQ(sheet()->fileChooser()->get_current_name(), "Kovi Library.json");
    EXPECT_EQ(sheet()->fileChooser()->get_filter()->get_name(), "JSON");
    settle(500);
    screenshotIfAsked("library-export-dialog");
    ASSERT_TRUE(xdoKey("Escape"));
    ASSERT_TRUE(runUntilGtk([&] { return sheet()->fileChooser() == nullptr; }));
    EXPECT_FALSE(sheet()->alert()); // cancelling says nothing

    // What the dialogs hand over.
    const std::string file = dir.file("Kovi Library.json");
    sheet()->model().exportFile(file);
    EXPECT_FALSE(sheet()->alert());
    for (const SavedPage& page : std::vector<SavedPage>(library().archive().pages))
        library().remove(page.id);
    sheet()->model().importFile(file);
    ASSERT_TRUE(runUntilGtk([&] { return sheet()->alert() && sheet()->alert()->isOpen(); }));
    EXPECT_STREQ(adw_message_dialog_get_heading(sheet()->alert()->dialog()), "Library");
    EXPECT_STREQ(adw_message_dialog_get_body(sheet()->alert()->dialog()),
                 "Library imported. Existing items were kept and duplicates were skipped.");
    EXPECT_EQ(library().archive().pages.size(), 3u);
    settle(200);
    screenshotIfAsked("library-import-alert");
    adw_message_dialog_response(sheet()->alert()->dialog(), "ok");
    EXPECT_FALSE(sheet()->model().alertMessage());

    dir.write("broken.json", "[1, 2");
    const std::string before = readDataFile("library.json");
    sheet()->model().importFile(dir.file("broken.json"));
    ASSERT_TRUE(runUntilGtk([&] { return sheet()->alert() && sheet()->alert()->isOpen(); }));
    EXPECT_STRNE(adw_message_dialog_get_body(sheet()->alert()->dialog()),
                 "Library imported. Existing items were kept and duplicates were skipped.");
    EXPECT_EQ(readDataFile("library.json"), before);
}

} // namespace
} // namespace kovi::test
