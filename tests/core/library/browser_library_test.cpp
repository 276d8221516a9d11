#include "core/library/browser_library.h"

#include "core/support/date.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

namespace kovi {
namespace {

using test::TempDir;

const std::string kCouldNotBeRead = "The library could not be read. Your saved file has been preserved. ";
const std::string kInvalid = "Choose a valid Kovi library export containing web URLs.";
const std::string kUnreadable = "The existing library is unreadable. Back it up and repair it before saving new items.";

Url url(const std::string& text)
{
    return *Url::parse(text);
}

std::string pageJson(const std::string& address, const std::string& title = "Title",
                     const std::string& collection = "Bookmarks")
{
    return R"({"id":")" + Uuid::random().toString() + R"(","url":")" + address + R"(","title":")" + title
        + R"(","collection":")" + collection + R"(","isRead":false,"createdAt":725760000.5})";
}

std::string workspaceJson(const std::string& name, std::size_t pageCount, const std::string& address = "https://a.example/")
{
    std::string pages;
    for (std::size_t i = 0; i < pageCount; ++i)
        pages += std::string(i ? "," : "") + R"({"url":")" + address + R"(","title":"","isPinned":false})";
    return R"({"id":")" + Uuid::random().toString() + R"(","name":")" + name + R"(","pages":[)" + pages
        + R"(],"createdAt":1.25})";
}

std::string archiveJson(const std::vector<std::string>& pages, const std::vector<std::string>& workspaces = {},
                        int version = 1)
{
    std::string text = R"({"version":)" + std::to_string(version) + R"(,"pages":[)";
    for (std::size_t i = 0; i < pages.size(); ++i)
        text += (i ? "," : "") + pages[i];
    text += R"(],"workspaces":[)";
    for (std::size_t i = 0; i < workspaces.size(); ++i)
        text += (i ? "," : "") + workspaces[i];
    return text + "]}";
}

std::vector<std::string> manyPages(std::size_t count, const std::string& prefix = "https://p.example/")
{
    std::vector<std::string> pages;
    for (std::size_t i = 0; i < count; ++i)
        pages.push_back(pageJson(prefix + std::to_string(i)));
    return pages;
}

class BrowserLibraryTest : public ::testing::Test {
protected:
    std::string folder() const { return m_dir.file("KoviBrowser"); }
    std::string libraryFile() const { return folder() + "/library.json"; }
    void writeLibrary(const std::string& contents) const
    {
        ::mkdir(folder().c_str(), 0700);
        m_dir.write("KoviBrowser/library.json", contents);
    }
    std::string readLibrary() const { return m_dir.read("KoviBrowser/library.json"); }

    TempDir m_dir;
    ManualClock m_clock{Date(725760000.25)};
    Clock::Override m_clockOverride{m_clock};
};

TEST_F(BrowserLibraryTest, FreshFolderIsEmptyAndFirstSaveCreatesFolderAndFile)
{
    BrowserLibrary library(folder());
    EXPECT_TRUE(library.canWrite());
    EXPECT_EQ(library.archive(), LibraryArchive{});
    EXPECT_FALSE(library.errorMessage());
    EXPECT_FALSE(m_dir.exists("KoviBrowser"));

    int changes = 0;
    library.archiveChanged.connect([&] { ++changes; });
    library.save(url("https://example.com/a"), "A", "Bookmarks");
    EXPECT_EQ(changes, 1);
    ASSERT_TRUE(m_dir.exists("KoviBrowser/library.json"));
    ASSERT_EQ(library.archive().pages.size(), 1u);
    const SavedPage& page = library.archive().pages[0];
    EXPECT_EQ(page.title, "A");
    EXPECT_EQ(page.collection, "Bookmarks");
    EXPECT_FALSE(page.isRead);
    EXPECT_EQ(page.createdAt, Date(725760000.25));
}

TEST_F(BrowserLibraryTest, WrittenLibraryReadsBackEqual)
{
    LibraryArchive written;
    {
        BrowserLibrary library(folder());
        library.save(url("https://one.example/"), "One", "Bookmarks");
        m_clock.advance(1.5);
        library.save(url("https://two.example/x?y#z"), "  Two  ", "Reading List");
        library.saveWorkspace("Work", {{url("https://w.example/"), "", true}, {url("http://v.example/"), "V", false}});
        SavedPage read = library.archive().pages[1];
        read.isRead = true;
        library.update(read);
        written = library.archive();
    }
    BrowserLibrary reopened(folder());
    EXPECT_TRUE(reopened.canWrite());
    EXPECT_EQ(reopened.archive(), written);
    ASSERT_EQ(written.pages.size(), 2u);
    EXPECT_EQ(written.pages[0].title, "  Two  ");
    EXPECT_EQ(written.pages[0].createdAt, Date(725760001.75));
    EXPECT_TRUE(written.pages[1].isRead);
}

TEST_F(BrowserLibraryTest, SaveKeepsOneEntryPerCollectionAndPutsNewestFirst)
{
    BrowserLibrary library(folder());
    library.save(url("https://example.com/"), "First", "Bookmarks");
    library.save(url("https://example.com/"), "Again", "Bookmarks");
    ASSERT_EQ(library.archive().pages.size(), 1u);
    EXPECT_EQ(library.archive().pages[0].title, "First");

    library.save(url("https://example.com/"), "Later", "Reading List");
    library.save(url("https://other.example/"), "Other", "Bookmarks");
    ASSERT_EQ(library.archive().pages.size(), 3u);
    EXPECT_EQ(library.archive().pages[0].title, "Other");
    EXPECT_EQ(library.archive().pages[1].collection, "Reading List");
    EXPECT_FALSE(library.errorMessage());
}

TEST_F(BrowserLibraryTest, SaveFallsBackToHostThenPlaceholderForEmptyOrBlankTitles)
{
    BrowserLibrary library(folder());
    library.save(url("https://news.example/story"), "", "Bookmarks");
    EXPECT_EQ(library.archive().pages[0].title, "news.example");
    // Regression: a title of blanks used to be stored as is and showed as an empty row.
    library.save(url("https://blank.example/"), " \t ", "Bookmarks");
    EXPECT_EQ(library.archive().pages[0].title, "blank.example");
}

TEST_F(BrowserLibraryTest, OnlyWebAddressesAreSavedAndOthersAreIgnoredSilently)
{
    EXPECT_TRUE(BrowserLibrary::isWebURL(url("HTTPS://Example.com/")));
    EXPECT_TRUE(BrowserLibrary::isWebURL(url("http://127.0.0.1:8080/")));
    EXPECT_FALSE(BrowserLibrary::isWebURL(url("file:///etc/passwd")));
    EXPECT_FALSE(BrowserLibrary::isWebURL(url("about:blank")));
    EXPECT_FALSE(BrowserLibrary::isWebURL(url("https:///path-only")));
    EXPECT_FALSE(BrowserLibrary::isWebURL(url("ftp://example.com/")));

    BrowserLibrary library(folder());
    library.save(url("file:///tmp/x.html"), "File", "Bookmarks");
    library.save(url("about:blank"), "Blank", "Bookmarks");
    library.saveWorkspace("None", {{url("about:blank"), "", false}});
    EXPECT_TRUE(library.archive().pages.empty());
    EXPECT_TRUE(library.archive().workspaces.empty());
    EXPECT_FALSE(library.errorMessage());
    EXPECT_FALSE(m_dir.exists("KoviBrowser"));

    library.save(url("HTTPS://EXAMPLE.COM/"), "Caps", "Bookmarks");
    EXPECT_EQ(library.archive().pages.size(), 1u);
}

TEST_F(BrowserLibraryTest, UnknownCollectionIsRefusedWithTheInvalidArchiveMessage)
{
    BrowserLibrary library(folder());
    library.save(url("https://example.com/"), "Ok", "Bookmarks");
    std::string before = readLibrary();
    int messages = 0;
    library.errorMessageChanged.connect([&] { ++messages; });

    library.save(url("https://example.com/b"), "B", "bookmarks");
    EXPECT_EQ(library.errorMessage(), kInvalid);
    EXPECT_EQ(messages, 1);

    SavedPage moved = library.archive().pages[0];
    moved.collection = "Favourites";
    library.update(moved);
    EXPECT_EQ(library.archive().pages[0].collection, "Bookmarks");
    EXPECT_EQ(readLibrary(), before);

    // A later success leaves the message for the window to dismiss.
    library.save(url("https://example.com/c"), "C", "Reading List");
    EXPECT_EQ(library.errorMessage(), kInvalid);
    library.setErrorMessage(std::nullopt);
    EXPECT_FALSE(library.errorMessage());
}

TEST_F(BrowserLibraryTest, ToggleBookmarkAddsThenRemovesAndLeavesReadingListAlone)
{
    BrowserLibrary library(folder());
    library.save(url("https://example.com/"), "Later", "Reading List");
    LibraryArchive before = library.archive();

    library.toggleBookmark(url("https://example.com/"), "Page");
    EXPECT_TRUE(library.isBookmarked(url("https://example.com/")));
    EXPECT_EQ(library.archive().pages.size(), 2u);

    library.toggleBookmark(url("https://example.com/"), "Page");
    EXPECT_FALSE(library.isBookmarked(url("https://example.com/")));
    EXPECT_EQ(library.archive(), before);
}

TEST_F(BrowserLibraryTest, ToggleBookmarkRemovesEveryBookmarkOfThePage)
{
    // Regression: with two bookmark entries of one page (a hand-edited file), unstarring removed
    // only the first and the star stayed lit.
    writeLibrary(archiveJson({pageJson("https://dup.example/"), pageJson("https://keep.example/"),
                              pageJson("https://dup.example/"), pageJson("https://dup.example/", "R", "Reading List")}));
    BrowserLibrary library(folder());
    ASSERT_TRUE(library.canWrite());
    library.toggleBookmark(url("https://dup.example/"), "Dup");
    EXPECT_FALSE(library.isBookmarked(url("https://dup.example/")));
    ASSERT_EQ(library.archive().pages.size(), 2u);
    EXPECT_EQ(library.archive().pages[0].url, url("https://keep.example/"));
    EXPECT_EQ(library.archive().pages[1].collection, "Reading List");
}

TEST_F(BrowserLibraryTest, UpdateReplacesInPlaceAndIgnoresBlankTitlesAndUnknownIds)
{
    BrowserLibrary library(folder());
    library.save(url("https://a.example/"), "A", "Bookmarks");
    library.save(url("https://b.example/"), "B", "Bookmarks");
    SavedPage page = library.archive().pages[1];

    page.title = "  \n ";
    library.update(page);
    EXPECT_EQ(library.archive().pages[1].title, "A");

    page.title = "  Renamed  ";
    page.collection = "Reading List";
    library.update(page);
    EXPECT_EQ(library.archive().pages[1], page);

    SavedPage stranger = page;
    stranger.id = Uuid::random();
    stranger.title = "Stranger";
    library.update(stranger);
    EXPECT_EQ(library.archive().pages.size(), 2u);
    EXPECT_EQ(library.archive().pages[1].title, "  Renamed  ");

    SavedPage local = page;
    local.url = url("file:///tmp/x");
    library.update(local);
    EXPECT_EQ(library.archive().pages[1].url, url("https://a.example/"));
    EXPECT_FALSE(library.errorMessage());
}

TEST_F(BrowserLibraryTest, RemoveRewritesTheFileEvenWhenNothingMatches)
{
    BrowserLibrary library(folder());
    library.save(url("https://a.example/"), "A", "Bookmarks");
    library.saveWorkspace("W", {{url("https://w.example/"), "W", false}});
    ::unlink(libraryFile().c_str());

    library.remove(Uuid::random());
    EXPECT_TRUE(m_dir.exists("KoviBrowser/library.json"));
    EXPECT_EQ(library.archive().pages.size(), 1u);

    library.removeWorkspace(library.archive().workspaces[0].id);
    library.remove(library.archive().pages[0].id);
    EXPECT_EQ(library.archive(), LibraryArchive{});
    EXPECT_EQ(BrowserLibrary(folder()).archive(), LibraryArchive{});
}

TEST_F(BrowserLibraryTest, SaveWorkspaceKeepsOnlyWebPagesInOrderUpToTheLimit)
{
    BrowserLibrary library(folder());
    library.saveWorkspace("", {{url("https://a.example/"), "A", true},
                               {url("about:blank"), "Blank", false},
                               {url("https://b.example/"), "", false}});
    ASSERT_EQ(library.archive().workspaces.size(), 1u);
    const WorkspaceSnapshot& saved = library.archive().workspaces[0];
    EXPECT_EQ(saved.name, "");
    ASSERT_EQ(saved.pages.size(), 2u);
    EXPECT_EQ(saved.pages[0], (WorkspaceSnapshot::Page{url("https://a.example/"), "A", true}));
    EXPECT_EQ(saved.pages[1].url, url("https://b.example/"));

    std::vector<WorkspaceSnapshot::Page> pages(1000, {url("https://many.example/"), "M", false});
    library.saveWorkspace("Thousand", pages);
    EXPECT_EQ(library.archive().workspaces.size(), 2u);
    EXPECT_EQ(library.archive().workspaces[0].name, "Thousand");
    EXPECT_FALSE(library.errorMessage());

    pages.push_back(pages.back());
    library.saveWorkspace("Too many", pages);
    EXPECT_EQ(library.archive().workspaces.size(), 2u);
    EXPECT_EQ(library.errorMessage(), kInvalid);
}

TEST_F(BrowserLibraryTest, ReaderEnforcesCountLimitsExactlyAtTheBoundary)
{
    EXPECT_TRUE(BrowserLibrary::decode(archiveJson(manyPages(10000))));
    auto pages = BrowserLibrary::decode(archiveJson(manyPages(10001)));
    ASSERT_FALSE(pages);
    EXPECT_EQ(pages.error().message, kInvalid);

    std::vector<std::string> workspaces(500, workspaceJson("W", 1));
    EXPECT_TRUE(BrowserLibrary::decode(archiveJson({}, workspaces)));
    workspaces.push_back(workspaceJson("W", 1));
    EXPECT_EQ(BrowserLibrary::decode(archiveJson({}, workspaces)).error().message, kInvalid);

    EXPECT_TRUE(BrowserLibrary::decode(archiveJson({}, {workspaceJson("W", 1000)})));
    EXPECT_EQ(BrowserLibrary::decode(archiveJson({}, {workspaceJson("W", 1001)})).error().message, kInvalid);
}

TEST_F(BrowserLibraryTest, ReaderAcceptsExactlyTenMillionBytes)
{
    std::string base = archiveJson({pageJson("https://a.example/")});
    std::string atLimit = base + std::string(BrowserLibrary::maxArchiveBytes - base.size(), ' ');
    ASSERT_EQ(atLimit.size(), 10'000'000u);
    EXPECT_TRUE(BrowserLibrary::decode(atLimit));
    EXPECT_EQ(BrowserLibrary::decode(atLimit + " ").error().message, kInvalid);

    writeLibrary(atLimit);
    EXPECT_TRUE(BrowserLibrary(folder()).canWrite());
    writeLibrary(atLimit + " ");
    BrowserLibrary tooLarge(folder());
    EXPECT_FALSE(tooLarge.canWrite());
    EXPECT_EQ(tooLarge.errorMessage()->rfind(kCouldNotBeRead + kInvalid, 0), 0u) << *tooLarge.errorMessage();
}

TEST_F(BrowserLibraryTest, ReaderRulesForPagesAndWorkspaces)
{
    auto refused = [](const std::string& json) {
        auto result = BrowserLibrary::decode(json);
        return result ? std::string("accepted") : result.error().message;
    };
    EXPECT_EQ(refused(archiveJson({pageJson("https://a.example/", "   ")})), "accepted");
    EXPECT_EQ(refused(archiveJson({pageJson("https://a.example/", "")})), kInvalid);
    EXPECT_EQ(refused(archiveJson({pageJson("https://a.example/", "T", "Reading list")})), kInvalid);
    EXPECT_EQ(refused(archiveJson({pageJson("file:///x", "T")})), kInvalid);
    EXPECT_EQ(refused(archiveJson({}, {workspaceJson("W", 0)})), kInvalid);
    EXPECT_EQ(refused(archiveJson({}, {workspaceJson("W", 1, "about:blank")})), kInvalid);
    EXPECT_EQ(refused(archiveJson({}, {}, 2)), kInvalid);
    // Decoding failures keep their own description rather than the rules' message.
    EXPECT_NE(refused("{"), kInvalid);
    EXPECT_NE(refused(R"({"version":1,"pages":[]})"), kInvalid);
    EXPECT_NE(refused(R"({"version":"1","pages":[],"workspaces":[]})"), kInvalid);
    EXPECT_NE(refused(archiveJson({R"({"id":"nope","url":"https://a.example/","title":"T","collection":"Bookmarks","isRead":false,"createdAt":0})"})), "accepted");
    // Keys it does not know are ignored.
    EXPECT_EQ(refused(R"({"version":1,"pages":[],"workspaces":[],"extra":{"x":1}})"), "accepted");
}

class UnreadableLibraryTest : public BrowserLibraryTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(UnreadableLibraryTest, BecomesReadOnlyAndNeverTouchesTheFile)
{
    const std::string contents = GetParam();
    writeLibrary(contents);
    BrowserLibrary library(folder());
    EXPECT_FALSE(library.canWrite());
    EXPECT_EQ(library.archive(), LibraryArchive{});
    ASSERT_TRUE(library.errorMessage());
    EXPECT_EQ(library.errorMessage()->rfind(kCouldNotBeRead, 0), 0u) << *library.errorMessage();
    EXPECT_GT(library.errorMessage()->size(), kCouldNotBeRead.size());
    // Where the file is, and what brings a working library back.
    EXPECT_NE(library.errorMessage()->find(libraryFile() + " as it is"), std::string::npos) << *library.errorMessage();
    EXPECT_NE(library.errorMessage()->find("move it elsewhere"), std::string::npos);

    library.toggleBookmark(url("https://example.com/"), "Star");
    EXPECT_EQ(library.errorMessage(), kUnreadable);
    EXPECT_FALSE(library.isBookmarked(url("https://example.com/")));
    library.setErrorMessage(std::nullopt);
    library.save(url("https://example.com/"), "S", "Reading List");
    EXPECT_EQ(library.errorMessage(), kUnreadable);
    library.saveWorkspace("W", {{url("https://example.com/"), "", false}});
    library.remove(Uuid::random());
    library.removeWorkspace(Uuid::random());

    auto imported = library.importData(archiveJson({pageJson("https://i.example/")}));
    ASSERT_FALSE(imported);
    EXPECT_EQ(imported.error().message, kUnreadable);
    // Regression: exporting the empty stand-in invited overwriting a good backup.
    auto exported = library.exportedData();
    ASSERT_FALSE(exported);
    EXPECT_EQ(exported.error().message, kUnreadable);

    EXPECT_EQ(library.archive(), LibraryArchive{});
    EXPECT_EQ(readLibrary(), contents);
}

INSTANTIATE_TEST_SUITE_P(
    BadFiles, UnreadableLibraryTest,
    ::testing::Values(std::string("not json at all"), std::string(""),
                      std::string(100000, '[') + std::string(100000, ']'),
                      archiveJson({pageJson("https://a.example/")}, {}, 2),
                      archiveJson({pageJson("https://a.example/", "T", "Other")}),
                      archiveJson({pageJson("https://a.example/", "")}),
                      archiveJson({}, {workspaceJson("Empty", 0)}),
                      std::string(R"({"version":1,"pages":[]})"),
                      std::string(R"({"version":1,"pages":[{"id":"6A1F3C2E-0000-4000-8000-000000000001","url":"https://a.example/","title":"T","isRead":false,"createdAt":0}],"workspaces":[]})")));

TEST_F(BrowserLibraryTest, FilesThatAreNotRegularMakeItReadOnlyWithoutBlocking)
{
    ::mkdir(folder().c_str(), 0700);
    ASSERT_EQ(::mkfifo(libraryFile().c_str(), 0600), 0);
    BrowserLibrary fifo(folder());
    EXPECT_FALSE(fifo.canWrite());
    fifo.save(url("https://example.com/"), "S", "Bookmarks");
    EXPECT_EQ(fifo.errorMessage(), kUnreadable);
    struct stat st;
    ASSERT_EQ(::lstat(libraryFile().c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    ::unlink(libraryFile().c_str());
    ::mkdir(libraryFile().c_str(), 0700);
    BrowserLibrary directory(folder());
    EXPECT_FALSE(directory.canWrite());
    EXPECT_TRUE(m_dir.exists("KoviBrowser/library.json"));
}

using test::FileSizeLimit;

TEST_F(BrowserLibraryTest, FailedWriteKeepsArchiveAndFileAndReportsTheFailure)
{
    BrowserLibrary library(folder());
    library.save(url("https://a.example/"), "A", "Bookmarks");
    const std::string before = readLibrary();
    const LibraryArchive archive = library.archive();
    int changes = 0;
    library.archiveChanged.connect([&] { ++changes; });
    {
        FileSizeLimit limit(16);
        library.save(url("https://b.example/"), "B", "Bookmarks");
    }
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(library.archive(), archive);
    ASSERT_TRUE(library.errorMessage());
    EXPECT_FALSE(library.errorMessage()->empty());
    EXPECT_NE(library.errorMessage(), kInvalid);
    EXPECT_EQ(readLibrary(), before);
    EXPECT_TRUE(library.canWrite());

    library.save(url("https://b.example/"), "B", "Bookmarks");
    EXPECT_EQ(library.archive().pages.size(), 2u);
}

TEST_F(BrowserLibraryTest, FolderThatCannotBeCreatedIsReported)
{
    m_dir.write("blocker", "a file where a folder should be");
    BrowserLibrary library(m_dir.file("blocker/KoviBrowser"));
    library.save(url("https://a.example/"), "A", "Bookmarks");
    EXPECT_TRUE(library.archive().pages.empty());
    ASSERT_TRUE(library.errorMessage());
    EXPECT_EQ(m_dir.read("blocker"), "a file where a folder should be");
}

} // namespace
} // namespace kovi
