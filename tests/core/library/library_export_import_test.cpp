#include "core/library/browser_library.h"

#include "core/support/date.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace kovi {
namespace {

using test::TempDir;

const std::string kInvalid = "Choose a valid Kovi library export containing web URLs.";

Url url(const std::string& text)
{
    return *Url::parse(text);
}

class LibraryExportImportTest : public ::testing::Test {
protected:
    std::string folder(const std::string& name = "main") const { return m_dir.file(name); }

    // A library with pages in both collections and two workspaces, one of them read and pinned.
    void fill(BrowserLibrary& library)
    {
        library.save(url("https://a.example/"), "A", "Bookmarks");
        m_clock.advance(10.125);
        library.save(url("https://b.example/"), "B", "Reading List");
        SavedPage read = library.archive().pages[0];
        read.isRead = true;
        library.update(read);
        library.saveWorkspace("Research", {{url("https://r1.example/"), "R1", true}, {url("https://r2.example/"), "", false}});
        library.saveWorkspace("Empty name?", {{url("https://e.example/"), "E", false}});
        ASSERT_FALSE(library.errorMessage());
    }

    TempDir m_dir;
    ManualClock m_clock{Date(725760000.0)};
    Clock::Override m_clockOverride{m_clock};
};

TEST_F(LibraryExportImportTest, ExportIsCompactWithSortedKeysAndIsItselfAValidLibrary)
{
    BrowserLibrary library(folder());
    fill(library);
    auto exported = library.exportedData();
    ASSERT_TRUE(exported);
    EXPECT_EQ(exported->find('\n'), std::string::npos);
    EXPECT_EQ(exported->size(), m_dir.read("main/library.json").size());
    auto page = exported->find("\"collection\"");
    ASSERT_NE(page, std::string::npos);
    const char* keys[] = {"\"collection\"", "\"createdAt\"", "\"id\"", "\"isRead\"", "\"title\"", "\"url\""};
    std::size_t previous = page;
    for (const char* key : keys) {
        std::size_t at = exported->find(key, page);
        ASSERT_NE(at, std::string::npos) << key;
        EXPECT_GE(at, previous) << key;
        previous = at;
    }
    EXPECT_LT(exported->find("\"pages\""), exported->find("\"version\""));
    EXPECT_LT(exported->find("\"version\""), exported->find("\"workspaces\""));

    auto decoded = BrowserLibrary::decode(*exported);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, library.archive());
    EXPECT_FALSE(library.errorMessage());
}

TEST_F(LibraryExportImportTest, ImportIntoEmptyLibraryReproducesEverythingWithNewIdentifiers)
{
    BrowserLibrary source(folder("source"));
    fill(source);
    auto exported = source.exportedData();
    ASSERT_TRUE(exported);

    BrowserLibrary target(folder("target"));
    int changes = 0;
    target.archiveChanged.connect([&] { ++changes; });
    ASSERT_TRUE(target.importData(*exported));
    EXPECT_EQ(changes, 1);

    const LibraryArchive& a = source.archive();
    const LibraryArchive& b = target.archive();
    ASSERT_EQ(b.pages.size(), a.pages.size());
    ASSERT_EQ(b.workspaces.size(), a.workspaces.size());
    for (std::size_t i = 0; i < a.pages.size(); ++i) {
        SavedPage expected = a.pages[i];
        EXPECT_NE(b.pages[i].id, expected.id);
        expected.id = b.pages[i].id;
        EXPECT_EQ(b.pages[i], expected);
    }
    for (std::size_t i = 0; i < a.workspaces.size(); ++i) {
        WorkspaceSnapshot expected = a.workspaces[i];
        EXPECT_NE(b.workspaces[i].id, expected.id);
        expected.id = b.workspaces[i].id;
        EXPECT_EQ(b.workspaces[i], expected);
    }
    EXPECT_EQ(BrowserLibrary(folder("target")).archive(), b);
}

TEST_F(LibraryExportImportTest, ReimportingTheOwnExportAddsNothingButStillRewrites)
{
    BrowserLibrary library(folder());
    fill(library);
    const LibraryArchive before = library.archive();
    auto exported = library.exportedData();
    ASSERT_TRUE(exported);
    ::unlink((folder() + "/library.json").c_str());

    ASSERT_TRUE(library.importData(*exported));
    EXPECT_EQ(library.archive(), before);
    EXPECT_TRUE(m_dir.exists("main/library.json"));
}

TEST_F(LibraryExportImportTest, MergeMatchesPagesByAddressAndCollectionAndAppendsInFileOrder)
{
    BrowserLibrary library(folder());
    library.save(url("https://same.example/"), "Mine", "Bookmarks");
    library.saveWorkspace("W", {{url("https://w.example/"), "W", false}});

    const std::string file = R"({"version":1,"pages":[
        {"id":"11111111-1111-4111-8111-111111111111","url":"https://same.example/","title":"Theirs","collection":"Bookmarks","isRead":true,"createdAt":5},
        {"id":"22222222-2222-4222-8222-222222222222","url":"https://same.example/","title":"Other list","collection":"Reading List","isRead":true,"createdAt":6},
        {"id":"33333333-3333-4333-8333-333333333333","url":"https://new.example/","title":"New first","collection":"Bookmarks","isRead":false,"createdAt":7},
        {"id":"44444444-4444-4444-8444-444444444444","url":"https://new.example/","title":"New again","collection":"Bookmarks","isRead":true,"createdAt":8}],
      "workspaces":[
        {"id":"55555555-5555-4555-8555-555555555555","name":"W","pages":[{"url":"https://w.example/","title":"W","isPinned":false}],"createdAt":1},
        {"id":"66666666-6666-4666-8666-666666666666","name":"W","pages":[{"url":"https://w.example/","title":"W","isPinned":true}],"createdAt":2},
        {"id":"77777777-7777-4777-8777-777777777777","name":"w","pages":[{"url":"https://w.example/","title":"W","isPinned":false}],"createdAt":3},
        {"id":"88888888-8888-4888-8888-888888888888","name":"w","pages":[{"url":"https://w.example/","title":"W","isPinned":false}],"createdAt":4}]})";
    ASSERT_TRUE(library.importData(file));

    const auto& pages = library.archive().pages;
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].title, "Mine");
    EXPECT_EQ(pages[1].title, "Other list");
    EXPECT_EQ(pages[1].createdAt, Date(6));
    EXPECT_TRUE(pages[1].isRead);
    EXPECT_EQ(pages[2].title, "New first");
    EXPECT_NE(pages[2].id, *Uuid::parse("33333333-3333-4333-8333-333333333333"));

    const auto& workspaces = library.archive().workspaces;
    ASSERT_EQ(workspaces.size(), 3u);
    EXPECT_TRUE(workspaces[1].pages[0].isPinned);
    EXPECT_EQ(workspaces[2].name, "w");
    EXPECT_EQ(workspaces[2].createdAt, Date(3));
}

TEST_F(LibraryExportImportTest, RefusedImportsChangeNothing)
{
    BrowserLibrary library(folder());
    fill(library);
    const LibraryArchive before = library.archive();
    const std::string file = m_dir.read("main/library.json");

    const std::string valid = R"({"url":"https://ok.example/","title":"Ok","collection":"Bookmarks","isRead":false,"createdAt":0,"id":"11111111-1111-4111-8111-111111111111"})";
    const std::string cases[] = {
        R"({"version":2,"pages":[)" + valid + R"(],"workspaces":[]})",
        R"({"version":1,"pages":[)" + valid + R"(],"workspaces":[{"id":"11111111-1111-4111-8111-111111111112","name":"E","pages":[],"createdAt":0}]})",
        R"({"version":1,"pages":[)" + valid + R"(,{"url":"https://x.example/","title":"X","collection":"Archive","isRead":false,"createdAt":0,"id":"11111111-1111-4111-8111-111111111113"}],"workspaces":[]})",
    };
    for (const auto& text : cases) {
        auto result = library.importData(text);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error().message, kInvalid);
    }
    auto notJson = library.importData("<html>");
    ASSERT_FALSE(notJson);
    EXPECT_NE(notJson.error().message, kInvalid);
    EXPECT_FALSE(library.importData(R"({"version":1,"pages":[{"url":"https://ok.example/"}],"workspaces":[]})"));

    EXPECT_EQ(library.archive(), before);
    EXPECT_EQ(m_dir.read("main/library.json"), file);
    EXPECT_FALSE(library.errorMessage()) << "import reports to its caller only";
}

TEST_F(LibraryExportImportTest, MergeThatWouldPassTheLimitFailsAtTheWrite)
{
    std::string pages;
    for (int i = 0; i < 10000; ++i)
        pages += std::string(i ? "," : "") + R"({"id":")" + Uuid::random().toString() + R"(","url":"https://p.example/)"
            + std::to_string(i) + R"(","title":"T","collection":"Bookmarks","isRead":false,"createdAt":0})";
    const std::string full = R"({"version":1,"pages":[)" + pages + R"(],"workspaces":[]})";

    BrowserLibrary empty(folder("empty"));
    ASSERT_TRUE(empty.importData(full));
    EXPECT_EQ(empty.archive().pages.size(), 10000u);

    BrowserLibrary library(folder());
    library.save(url("https://elsewhere.example/"), "E", "Bookmarks");
    auto result = library.importData(full);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().message,
              "Importing the file would take the library past its limit of 10,000 pages. Nothing was imported.");
    EXPECT_EQ(library.archive().pages.size(), 1u);
}

// A 10,000-page library exported to 10,087,835 bytes (indented), over the import's limit: a
// backup that looked made but could not be restored.
TEST_F(LibraryExportImportTest, TheLargestLibraryTheStoreAcceptsExportsAndImportsBack)
{
    LibraryArchive archive;
    for (std::size_t i = 0; i < BrowserLibrary::maxPages; ++i)
        archive.pages.push_back(SavedPage{Uuid::random(), url("https://p.example/" + std::to_string(i)), "T",
                                          i % 2 ? kBookmarksCollection : kReadingListCollection, i % 3 == 0,
                                          Date(725760000.5 + static_cast<double>(i))});
    archive.workspaces.push_back(WorkspaceSnapshot{Uuid::random(), "W", {{url("https://w.example/"), "W", true}},
                                                   Date(725760000.25)});
    // Titles grown until the library's own file is exactly at its limit.
    const std::size_t base = json::dump(toJson(archive)).size();
    const std::size_t spare = BrowserLibrary::maxArchiveBytes - base;
    for (std::size_t i = 0; i < archive.pages.size(); ++i)
        archive.pages[i].title += std::string(spare / archive.pages.size() + (i == 0 ? spare % archive.pages.size() : 0), 'x');
    const std::string full = json::dump(toJson(archive));
    ASSERT_EQ(full.size(), BrowserLibrary::maxArchiveBytes);

    BrowserLibrary library(folder());
    ASSERT_TRUE(library.importData(full)); // the store takes it
    ASSERT_EQ(m_dir.read("main/library.json").size(), BrowserLibrary::maxArchiveBytes);
    const std::string exportPath = m_dir.file("Kovi Library.json");
    ASSERT_TRUE(library.exportToFile(exportPath));

    BrowserLibrary restored(folder("restored"));
    auto imported = restored.importFile(exportPath);
    ASSERT_TRUE(imported) << imported.error().message;
    ASSERT_EQ(restored.archive().pages.size(), BrowserLibrary::maxPages);
    for (std::size_t i = 0; i < BrowserLibrary::maxPages; i += 997) {
        SavedPage expected = library.archive().pages[i];
        expected.id = restored.archive().pages[i].id;
        EXPECT_EQ(restored.archive().pages[i], expected);
    }
    EXPECT_EQ(restored.archive().workspaces[0].pages, library.archive().workspaces[0].pages);
}

// Each refusal read "Choose a valid Kovi library export containing web URLs.", and a file that
// was not UTF-8 showed the parser's own text with the file's raw bytes.
TEST_F(LibraryExportImportTest, ARefusedImportSaysWhatIsWrongAndNamesTheFile)
{
    BrowserLibrary library(folder());
    fill(library);
    const LibraryArchive before = library.archive();
    const std::string stored = m_dir.read("main/library.json");
    auto refusal = [&](const std::string& name) {
        auto result = library.importFile(m_dir.file(name));
        EXPECT_FALSE(result) << name;
        EXPECT_EQ(library.archive(), before) << name;
        EXPECT_EQ(m_dir.read("main/library.json"), stored) << name;
        return result ? std::string() : result.error().message;
    };
    auto pagesFile = [](std::size_t count, const std::string& title) {
        std::string pages;
        for (std::size_t i = 0; i < count; ++i)
            pages += std::string(i ? "," : "") + R"({"id":")" + Uuid::random().toString()
                + R"(","url":"https://p.example/)" + std::to_string(i) + R"(","title":")" + title
                + R"(","collection":"Bookmarks","isRead":false,"createdAt":0})";
        return R"({"version":1,"pages":[)" + pages + R"(],"workspaces":[]})";
    };

    m_dir.write("big.json", std::string(BrowserLibrary::maxArchiveBytes + 1, ' '));
    EXPECT_EQ(refusal("big.json"),
              "“big.json” is too large to import: a library export holds at most 10,000,000 bytes.");
    m_dir.write("many.json", pagesFile(10'001, "T"));
    EXPECT_EQ(refusal("many.json"), "“many.json” holds 10,001 pages; a library holds at most 10,000.");
    m_dir.write("full.json", pagesFile(10'000, "T"));
    EXPECT_EQ(refusal("full.json"),
              "Importing “full.json” would take the library past its limit of 10,000 pages. Nothing was imported.");
    m_dir.write("latin1.json", pagesFile(1, "Caf\xe9 \xab secret \xbb"));
    const std::string latin1 = refusal("latin1.json");
    EXPECT_EQ(latin1, "“latin1.json” could not be read: the data is not valid JSON.");
    m_dir.write("deep.json", std::string(100'000, '[') + std::string(100'000, ']'));
    EXPECT_NE(refusal("deep.json").find("“deep.json” could not be read: the data is nested"), std::string::npos);
    m_dir.write("shape.json", R"({"version":1,"pages":{},"workspaces":[]})");
    EXPECT_EQ(refusal("shape.json").rfind("“shape.json” is not in the correct format.", 0), 0u);
    // What the existing message was meant for: a file that is no library export of web pages.
    m_dir.write("v2.json", R"({"version":2,"pages":[],"workspaces":[]})");
    EXPECT_EQ(refusal("v2.json"), kInvalid);
    ASSERT_EQ(::mkfifo(m_dir.file("pipe.json").c_str(), 0600), 0);
    EXPECT_EQ(refusal("pipe.json"), "“pipe.json” could not be read: it is not a regular file.");
    EXPECT_EQ(refusal("missing.json"), "“missing.json” could not be read: no such file or directory.");
}

TEST_F(LibraryExportImportTest, ImportFileReadsOnlyBoundedRegularFiles)
{
    BrowserLibrary source(folder("source"));
    fill(source);
    const std::string exportPath = m_dir.file("Kovi Library.json");
    ASSERT_TRUE(source.exportToFile(exportPath));

    BrowserLibrary library(folder());
    ASSERT_TRUE(library.importFile(exportPath));
    EXPECT_EQ(library.archive().pages.size(), 2u);

    EXPECT_FALSE(library.importFile(m_dir.file("missing.json")));
    EXPECT_FALSE(library.importFile(m_dir.path()));
    ASSERT_EQ(::mkfifo(m_dir.file("pipe.json").c_str(), 0600), 0);
    EXPECT_FALSE(library.importFile(m_dir.file("pipe.json")));

    m_dir.write("huge.json", std::string(BrowserLibrary::maxArchiveBytes + 1, ' '));
    auto huge = library.importFile(m_dir.file("huge.json"));
    ASSERT_FALSE(huge);
    EXPECT_EQ(huge.error().code, ErrorCode::TooLarge);
    EXPECT_EQ(library.archive().pages.size(), 2u);
}

} // namespace
} // namespace kovi
