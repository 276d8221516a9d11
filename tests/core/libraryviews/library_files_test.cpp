// Reopening saved workspaces, import and export through the sheet, and the "Library" alert.
#include "library_views_fixture.h"

#include "core/libraryviews/library_sheet_model.h"
#include "core/libraryviews/saved_page_actions.h"
#include "support/file_size_limit.h"
#include "support/main_loop.h"

#include <sys/stat.h>

#include <glibmm/main.h>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace kovi::test {
namespace {

constexpr const char* kInvalid = "Choose a valid Kovi library export containing web URLs.";
constexpr const char* kUnreadable = "The existing library is unreadable. Back it up and repair it before saving new items.";

class LibraryFilesTest : public LibraryViewsTest {
protected:
    LibrarySheetModel& sheet()
    {
        if (!model)
            model = std::make_unique<LibrarySheetModel>(*library, *state);
        return *model;
    }
    void fillLibrary()
    {
        library->save(url("https://a.example/1"), "First", kBookmarksCollection);
        clock.advance(1);
        library->save(url("https://b.example/2"), "Second", kReadingListCollection);
        library->update([&] {
            SavedPage page = library->archive().pages[0];
            page.isRead = true;
            return page;
        }());
        library->saveWorkspace("Trip", {{url("https://c.example/"), "C", true}, {url("https://d.example/"), "", false}});
    }
    // The file is read off the main loop: its outcome comes while the loop runs.
    static void importFile(LibrarySheetModel& sheet, const std::string& path)
    {
        sheet.importFile(path);
        EXPECT_TRUE(runUntil([&] { return !sheet.isImporting(); }, 30)) << path;
    }
    std::unique_ptr<LibrarySheetModel> model;
};

TEST_F(LibraryFilesTest, RestoringAWorkspaceMakesABlueSpaceWithItsPagesInOrder)
{
    open("https://start.example/");
    const Uuid firstSpace = *state->currentSpaceId();
    library->saveWorkspace("Trip", {{url("https://one.example/"), "One", false},
                                    {url("https://two.example/"), "Two", true},
                                    {url("https://three.example/"), "", false}});
    const WorkspaceSnapshot workspace = library->archive().workspaces[0];
    int dismissals = 0;
    sheet().dismissRequested.connect([&] { ++dismissals; });

    sheet().restore(workspace.id);
    EXPECT_EQ(dismissals, 1);
    ASSERT_EQ(state->spaces().size(), 2u);
    const Space& space = state->spaces()[1];
    EXPECT_EQ(space.name, "Trip");
    EXPECT_EQ(space.color, SpaceColor::blue);
    EXPECT_EQ(space.icon, "square.stack.3d.up");
    EXPECT_EQ(state->currentSpaceId(), space.id);

    // The pinned page is pinned once: in the pinned list, not also in the tab order.
    auto pinned = state->pinnedTabs();
    ASSERT_EQ(pinned.size(), 1u);
    EXPECT_EQ(pinned[0].url.string(), "https://two.example/");
    auto unpinned = state->unpinnedTabs();
    ASSERT_EQ(unpinned.size(), 2u);
    EXPECT_EQ(unpinned[0].title, "One");
    EXPECT_EQ(unpinned[1].title, ""); // stored titles are used as they are
    EXPECT_EQ(space.tabOrder.size(), 2u);
    EXPECT_EQ(state->activeTab()->url.string(), "https://three.example/"); // the last page
    EXPECT_TRUE(state->space(firstSpace)); // the snapshot stays, and so does the old space
    EXPECT_EQ(library->archive().workspaces.size(), 1u);

    sheet().restore(workspace.id); // twice: two spaces
    EXPECT_EQ(state->spaces().size(), 3u);
}

TEST_F(LibraryFilesTest, AWorkspaceWithABlankNameOpensAsWorkspace)
{
    open("https://start.example/");
    const Uuid firstSpace = *state->currentSpaceId();
    const std::size_t tabsBefore = state->tabs().size();
    library->saveWorkspace("  \n", {{url("https://one.example/"), "One", false}});
    sheet().restore(library->archive().workspaces[0].id);
    ASSERT_EQ(state->spaces().size(), 2u);
    EXPECT_EQ(state->spaces()[1].name, "Workspace");
    EXPECT_NE(state->currentSpaceId(), firstSpace); // not poured into the shown space
    EXPECT_EQ(state->tabs().size(), tabsBefore + 1);
}

TEST_F(LibraryFilesTest, ExportThenImportIntoAFreshProfileGivesTheSameEntries)
{
    fillLibrary();
    const std::string file = files.file("Kovi Library.json");
    sheet().exportFile(file);
    EXPECT_FALSE(sheet().alertMessage()); // success says nothing

    TempDir fresh;
    BrowserLibrary other(fresh.path());
    LibrarySheetModel otherSheet(other, *state);
    importFile(otherSheet, file);
    EXPECT_EQ(otherSheet.alertMessage(), std::string(LibrarySheetModel::importedMessage));
    ASSERT_EQ(other.archive().pages.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const SavedPage& a = library->archive().pages[i];
        const SavedPage& b = other.archive().pages[i];
        EXPECT_EQ(std::tie(a.url, a.title, a.collection, a.isRead, a.createdAt),
                  std::tie(b.url, b.title, b.collection, b.isRead, b.createdAt));
    }
    ASSERT_EQ(other.archive().workspaces.size(), 1u);
    EXPECT_EQ(other.archive().workspaces[0].pages, library->archive().workspaces[0].pages);

    otherSheet.dismissAlert();
    EXPECT_FALSE(otherSheet.alertMessage());
    // Importing it again: the same message, nothing added.
    importFile(otherSheet, file);
    EXPECT_EQ(otherSheet.alertMessage(), std::string(LibrarySheetModel::importedMessage));
    EXPECT_EQ(other.archive().pages.size(), 2u);
    EXPECT_EQ(other.archive().workspaces.size(), 1u);
}

TEST_F(LibraryFilesTest, BadImportsShowTheirMessageAndLeaveTheLibraryOnDiskAsItWas)
{
    fillLibrary();
    const std::string before = libraryFileBytes();
    const LibraryArchive archiveBefore = library->archive();
    auto importShows = [&](const std::string& path) {
        sheet().dismissAlert();
        importFile(sheet(), path);
        EXPECT_EQ(libraryFileBytes(), before) << path;
        EXPECT_EQ(library->archive(), archiveBefore) << path;
        return sheet().alertMessage().value_or("");
    };

    files.write("notes.json", "this is not JSON");
    const std::string notJson = importShows(files.file("notes.json"));
    EXPECT_NE(notJson, "");
    EXPECT_NE(notJson, kInvalid);
    EXPECT_NE(notJson, LibrarySheetModel::importedMessage);

    files.write("shape.json", R"({"version":1,"pages":{},"workspaces":[]})");
    EXPECT_NE(importShows(files.file("shape.json")), LibrarySheetModel::importedMessage);
    files.write("v2.json", R"({"version":2,"pages":[],"workspaces":[]})");
    EXPECT_EQ(importShows(files.file("v2.json")), kInvalid);

    {
        std::ofstream big(files.file("big.json"), std::ios::binary);
        big << std::string(10'000'001, ' ');
    }
    EXPECT_EQ(importShows(files.file("big.json")),
              "“big.json” is too large to import: a library export holds at most 10,000,000 bytes.");

    ASSERT_EQ(::mkfifo(files.file("pipe.json").c_str(), 0600), 0);
    EXPECT_NE(importShows(files.file("pipe.json")).find("not a regular file"), std::string::npos);

    // Chosen, then gone before it was read.
    files.write("gone.json", "{}");
    std::filesystem::remove(files.file("gone.json"));
    EXPECT_NE(importShows(files.file("gone.json")).find("no such file"), std::string::npos);
}

// A 10 MB import (under the limit) with one object of many keys had not finished after ten
// minutes, and the window stood still all that time.
TEST_F(LibraryFilesTest, ALargeImportReadsOffTheMainLoopInSeconds)
{
    std::string file = R"({"version":1,"workspaces":[],"pages":[{"id":"11111111-1111-1111-1111-111111111111",)"
                       R"("url":"https://many.example/","title":"Many keys","collection":"Bookmarks",)"
                       R"("isRead":false,"createdAt":0)";
    for (int i = 0; file.size() < 9'990'000; ++i)
        file += ",\"extra" + std::to_string(i) + "\":" + std::to_string(i);
    file += "}]}";
    files.write("large.json", file);

    sheet().importFile(files.file("large.json"));
    EXPECT_TRUE(sheet().isImporting()); // returns at once; the outcome comes later
    EXPECT_FALSE(sheet().alertMessage());

    // The loop keeps turning: a 10 ms timer is never held up for long.
    auto lastTick = std::chrono::steady_clock::now();
    double longestPause = 0;
    sigc::connection ticker = Glib::signal_timeout().connect([&] {
        const auto now = std::chrono::steady_clock::now();
        longestPause = std::max(longestPause, std::chrono::duration<double>(now - lastTick).count());
        lastTick = now;
        return true;
    }, 10);
    // Reading in quadratic time took over ten minutes; the bound leaves room for a sanitizer
    // build on a busy machine.
    ASSERT_TRUE(runUntil([&] { return !sheet().isImporting(); }, 120));
    ticker.disconnect();
    EXPECT_LT(longestPause, 2.0);
    EXPECT_EQ(sheet().alertMessage(), std::string(LibrarySheetModel::importedMessage));
    ASSERT_EQ(library->archive().pages.size(), 1u);
    EXPECT_EQ(library->archive().pages[0].title, "Many keys");
}

TEST_F(LibraryFilesTest, ImportingDuplicatesKeepsExistingEntries)
{
    fillLibrary();
    files.write("dup.json", R"({"version":1,"workspaces":[],"pages":[
        {"id":"11111111-1111-1111-1111-111111111111","url":"https://a.example/1","title":"Renamed",
         "collection":"Bookmarks","isRead":true,"createdAt":0},
        {"id":"22222222-2222-2222-2222-222222222222","url":"https://a.example/1","title":"Other list",
         "collection":"Reading List","isRead":false,"createdAt":0}]})");
    importFile(sheet(), files.file("dup.json"));
    EXPECT_EQ(sheet().alertMessage(), std::string(LibrarySheetModel::importedMessage));
    ASSERT_EQ(library->archive().pages.size(), 3u);
    EXPECT_EQ(library->archive().pages[1].title, "First"); // kept as it was
    EXPECT_EQ(library->archive().pages[2].title, "Other list"); // the other collection is added
}

TEST_F(LibraryFilesTest, AnUnreadableLibraryShowsItsMessageAtOnceAndRefusesExport)
{
    libraryDir.write(BrowserLibrary::fileName, "{broken");
    library = std::make_unique<BrowserLibrary>(libraryDir.path());
    state = std::make_unique<BrowserState>(stateDir.path(), preferences, notifications, *library);
    auto message = sheet().alertMessage();
    ASSERT_TRUE(message);
    EXPECT_EQ(message->rfind("The library could not be read. Your saved file has been preserved. ", 0), 0u);

    int alerts = 0;
    sheet().alertChanged.connect([&] { ++alerts; });
    sheet().dismissAlert(); // "OK" clears the store's message for everyone
    EXPECT_FALSE(library->errorMessage());
    EXPECT_FALSE(sheet().alertMessage());
    EXPECT_GT(alerts, 0);

    // Exporting the empty stand-in would invite overwriting a good backup.
    files.write("backup.json", "good backup");
    sheet().exportFile(files.file("backup.json"));
    EXPECT_EQ(sheet().alertMessage(), std::string(kUnreadable));
    EXPECT_EQ(files.read("backup.json"), "good backup");
    EXPECT_EQ(libraryDir.read(BrowserLibrary::fileName), "{broken");

    // Later changes fail again with the store's message, through the same alert.
    sheet().dismissAlert();
    sheet().removePage(Uuid::random());
    EXPECT_EQ(sheet().alertMessage(), std::string(kUnreadable));
}

TEST_F(LibraryFilesTest, AFailedExportWriteIsReported)
{
    fillLibrary();
    files.write("Kovi Library.json", "older export");
    {
        FileSizeLimit full(16); // a full disk
        sheet().exportFile(files.file("Kovi Library.json"));
    }
    auto message = sheet().alertMessage();
    ASSERT_TRUE(message);
    EXPECT_NE(message->find("Kovi Library.json"), std::string::npos);
    EXPECT_EQ(files.read("Kovi Library.json"), "older export"); // replaced whole or not at all
}

} // namespace
} // namespace kovi::test
