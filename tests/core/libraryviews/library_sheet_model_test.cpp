// The library sheet's lists, empty states, footer, row actions, import, export and alert, without
// widgets.
#include "library_views_fixture.h"

#include "core/commands/command_ids.h"
#include "core/libraryviews/library_sheet_model.h"

namespace kovi::test {
namespace {

class LibrarySheetModelTest : public LibraryViewsTest {
protected:
    LibrarySheetModel& sheet()
    {
        if (!model)
            model = std::make_unique<LibrarySheetModel>(*library, *state);
        return *model;
    }
    std::vector<std::string> titles()
    {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < sheet().rowCount(); ++i)
            out.push_back(sheet().listsWorkspaces() ? sheet().workspaceAt(i).name : sheet().pageAt(i).title);
        return out;
    }
    void save(const std::string& address, const std::string& title, const char* collection = kBookmarksCollection)
    {
        clock.advance(1);
        library->save(url(address), title, collection);
    }
    std::unique_ptr<LibrarySheetModel> model;
};

using Titles = std::vector<std::string>;

TEST_F(LibrarySheetModelTest, SearchMatchesTitleOrAddressIgnoringCaseWithinTheSection)
{
    save("https://news.example/today", "Morning paper");
    save("https://recipes.example/pancakes", "Weekend breakfast");
    save("https://paper.example/", "Stationery", kReadingListCollection);
    library->saveWorkspace("Paper research", {{url("https://other.example/"), "Other", false}});
    library->saveWorkspace("Trip", {{url("https://paper.example/trip"), "Paper trip", false}});

    EXPECT_EQ(titles(), (Titles{"Weekend breakfast", "Morning paper"})); // newest first
    sheet().setQuery("PAPER");
    EXPECT_EQ(titles(), Titles{"Morning paper"});
    sheet().setQuery("PANCAKES"); // only in the address
    EXPECT_EQ(titles(), Titles{"Weekend breakfast"});

    // Switching the section keeps the query; workspaces are found by name only.
    sheet().setQuery("paper");
    sheet().setSection(LibrarySection::readingList);
    EXPECT_EQ(titles(), Titles{"Stationery"});
    sheet().setSection(LibrarySection::workspaces);
    EXPECT_EQ(sheet().query(), "paper");
    EXPECT_EQ(titles(), Titles{"Paper research"});

    // The query is not trimmed: a blank finds only texts that hold one.
    sheet().setSection(LibrarySection::bookmarks);
    sheet().setQuery(" ");
    EXPECT_EQ(titles(), (Titles{"Weekend breakfast", "Morning paper"}));
    sheet().setQuery(" paper ");
    EXPECT_TRUE(titles().empty());
}

TEST_F(LibrarySheetModelTest, SearchTextIsTakenLiterally)
{
    save("https://a.example/", "C++ (draft) [v2] \"quoted\" 50% off \u2014 caf\u00E9 \U0001F680");
    save("https://b.example/", "Plain page");
    for (const std::string query : {"C++ (draft)", "[v2]", "\"quoted\"", "50% off", "\U0001F680", "CAF\u00C9"}) {
        sheet().setQuery(query);
        EXPECT_EQ(titles().size(), 1u) << query;
    }
    for (const std::string& query : {std::string(".*"), std::string("P.ain"), std::string("^Plain"), std::string("a|b"), std::string("\\w+"), std::string("%"), std::string(1000, 'x')}) {
        sheet().setQuery(query);
        EXPECT_TRUE(titles().empty() || titles() == Titles{"C++ (draft) [v2] \"quoted\" 50% off \u2014 caf\u00E9 \U0001F680"})
            << query;
        EXPECT_NE(titles(), Titles{"Plain page"}) << "no pattern matching: " << query;
    }
}

TEST_F(LibrarySheetModelTest, EmptyStatesFollowTheSectionAndTheQuery)
{
    auto empty = sheet().emptyState();
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->title, "Nothing saved here yet");
    EXPECT_EQ(empty->detail, "Save a page with Ctrl+D, or add it to your reading list.");
    sheet().setQuery("zzz");
    EXPECT_EQ(sheet().emptyState()->title, "No matches");
    EXPECT_EQ(sheet().emptyState()->detail, "Save a page with Ctrl+D, or add it to your reading list.");

    sheet().setSection(LibrarySection::workspaces);
    ASSERT_TRUE(sheet().emptyState());
    EXPECT_EQ(sheet().emptyState()->title, "Save a workspace"); // whatever the query
    EXPECT_EQ(sheet().emptyState()->detail, "Capture this space\u2019s tabs and reopen them together later.");

    library->saveWorkspace("Trip", {{url("https://a.example/"), "A", false}});
    EXPECT_FALSE(sheet().emptyState()); // a query without matches leaves the list blank
    EXPECT_EQ(sheet().rowCount(), 0u);
    sheet().setQuery("");
    EXPECT_EQ(sheet().rowCount(), 1u);
}

TEST_F(LibrarySheetModelTest, RowTextsAndSymbols)
{
    library->saveWorkspace("Trip", {{url("https://a.example/"), "A", false}});
    const WorkspaceSnapshot& one = library->archive().workspaces[0];
    EXPECT_EQ(workspaceSubtitle(one), "1 tabs \u00B7 Mar 14, 2024"); // stays plural

    save("https://a.example/x", "A");
    SavedPage page = library->archive().pages[0];
    EXPECT_EQ(savedPageSubtitle(page), "a.example");
    EXPECT_EQ(savedPageSymbol(page, LibrarySection::bookmarks), "star");
    page.isRead = true;
    EXPECT_EQ(savedPageSymbol(page, LibrarySection::bookmarks), "star");
    EXPECT_EQ(savedPageSymbol(page, LibrarySection::readingList), "checkmark.circle.fill");
    page.isRead = false;
    EXPECT_EQ(savedPageSymbol(page, LibrarySection::readingList), "book");
}

TEST_F(LibrarySheetModelTest, TheSaveButtonRunsTheSectionsCommand)
{
    int footerChanges = 0;
    sheet().footerChanged.connect([&] { ++footerChanges; });
    EXPECT_EQ(sheet().saveButtonTitle(), "Save Current Page");
    EXPECT_STREQ(sheet().saveCommand(), commands::bookmarkPage);
    sheet().setSection(LibrarySection::readingList);
    EXPECT_EQ(sheet().saveButtonTitle(), "Save Current Page");
    EXPECT_STREQ(sheet().saveCommand(), commands::addToReadingList);
    sheet().setSection(LibrarySection::workspaces);
    EXPECT_EQ(sheet().saveButtonTitle(), "Save Current Workspace");
    EXPECT_STREQ(sheet().saveCommand(), commands::saveWorkspace);
    EXPECT_EQ(footerChanges, 2);
}

TEST_F(LibrarySheetModelTest, RowActionsChangeTheLibraryAndOpeningClosesTheSheet)
{
    save("https://a.example/", "A", kReadingListCollection);
    const SavedPage saved = library->archive().pages[0];
    int dismissals = 0;
    sheet().dismissRequested.connect([&] { ++dismissals; });

    sheet().toggleRead(saved.id);
    EXPECT_TRUE(library->archive().pages[0].isRead);
    sheet().toggleRead(saved.id);
    EXPECT_FALSE(library->archive().pages[0].isRead);
    EXPECT_EQ(dismissals, 0);

    sheet().open(saved.id);
    EXPECT_EQ(dismissals, 1);
    auto tab = state->activeTab();
    ASSERT_TRUE(tab);
    EXPECT_EQ(tab->url, saved.url);
    EXPECT_EQ(tab->title, "A");
    EXPECT_EQ(tab->spaceId, state->currentSpaceId());
    EXPECT_FALSE(library->archive().pages[0].isRead); // opening is not reading

    sheet().removePage(saved.id);
    EXPECT_TRUE(library->archive().pages.empty());
    auto onDisk = BrowserLibrary::decode(libraryFileBytes());
    ASSERT_TRUE(onDisk);
    EXPECT_TRUE(onDisk->pages.empty());
}

} // namespace
} // namespace kovi::test
