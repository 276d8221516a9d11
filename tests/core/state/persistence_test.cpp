#include "state_fixture.h"

#include "core/state/persisted_state.h"
#include "support/file_size_limit.h"

#include <glib.h>

#include <filesystem>

namespace kovi::test {
namespace {

using PersistenceTest = StateTest;

const char* const spaceText = "6F9619FF-8B86-D011-B42D-00C04FC964FF";
const char* const tabText = "1B4E28BA-2FA1-11D2-883F-0016D3CCA427";
const char* const folderText = "0E984725-C51C-4BF4-9960-E1C80E27ABA0";

std::string lower(std::string text)
{
    for (char& ch : text)
        ch = static_cast<char>(g_ascii_tolower(ch));
    return text;
}

TEST_F(PersistenceTest, FirstLaunchCreatesTheFolderAndAPersonalSpace)
{
    std::string folder = dir.path() + "/nested/state";
    auto other = coreAt(folder);
    BrowserState& fresh = other->state();
    EXPECT_EQ(fresh.storageDirectory(), folder); // used as given, nothing appended
    ASSERT_EQ(fresh.spaces().size(), 1u);
    const Space& personal = fresh.spaces()[0];
    EXPECT_EQ(personal.name, "Personal");
    EXPECT_EQ(personal.color, SpaceColor::blue);
    EXPECT_EQ(personal.icon, "person.fill");
    EXPECT_EQ(fresh.currentSpaceId(), personal.id);
    EXPECT_TRUE(fresh.tabs().empty());
    EXPECT_FALSE(fresh.activeTabId());
    EXPECT_TRUE(files::exists(folder + "/browser_state.json"));
    EXPECT_FALSE(files::exists(folder + "/history.json"));
}

TEST_F(PersistenceTest, ARestartGivesBackTheSameState)
{
    start();
    Uuid home = currentSpace();
    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    Uuid c = open("https://c.example/");
    open("https://p.example/", true);
    state->updateTabFavicon(a, Bytes{1, 2, 3, 4});
    state->createFolder("Reading", {b});
    state->toggleAutoArchiveExcluded(c);
    state->createNewSpace("Work", SpaceColor::orange, "briefcase.fill");
    open("https://w.example/");
    state->setCurrentSpaceId(home);
    state->moveSidebarItem(SidebarItem::tab(c), 0);

    auto tabs = state->tabs();
    auto folders = state->folders();
    auto spaces = state->spaces();
    auto current = state->currentSpaceId();
    auto active = state->activeTabId();
    auto history = state->history();
    restart();
    EXPECT_EQ(state->tabs(), tabs);
    EXPECT_EQ(state->folders(), folders);
    EXPECT_EQ(state->spaces(), spaces);
    EXPECT_EQ(state->currentSpaceId(), current);
    EXPECT_EQ(state->activeTabId(), active);
    EXPECT_EQ(state->history(), history);
}

TEST_F(PersistenceTest, NavigationSurvivesWhenTheApplicationSavesAtShutdown)
{
    start();
    Uuid a = open("https://a.example/");
    state->updateTabURL(a, url("https://a.example/deeper"));
    state->updateTabTitle(a, "Deeper");
    state->updateTabLoading(a, true, 0.4);
    state->updateTabNavigation(a, true, true);
    state->saveState(); // what the application does when it quits in order
    restart();
    Tab tab = *state->tab(a);
    EXPECT_EQ(tab.url, url("https://a.example/deeper"));
    EXPECT_EQ(tab.title, "Deeper");
    // Restored tabs are idle until their page is shown again.
    EXPECT_FALSE(tab.isLoading);
    EXPECT_EQ(tab.loadingProgress, 0);
    EXPECT_FALSE(tab.canGoBack);
    EXPECT_FALSE(tab.canGoForward);
}

// A tab opened for an address that turned out to be a download stayed in browser_state.json
// until it closed: a quit or crash in between brought it back at every start, and every start
// downloaded the file again.
TEST_F(PersistenceTest, ATabLeftForADownloadIsNeverSavedAndAnyOtherTabIs)
{
    start();
    Uuid page = open("https://a.example/");
    Uuid pinned = open("https://p.example/file.bin", true);
    Uuid sentElsewhere = open("https://b.example/file.bin");
    Uuid download = open("https://a.example/file.bin");
    state->createFolder("Files", {download});
    for (const Uuid& id : {pinned, download, sentElsewhere})
        state->leaveForDownload(id);
    state->endFirstNavigation(sentElsewhere); // it shows a page of its own after all

    EXPECT_TRUE(state->isLeavingForDownload(download));
    EXPECT_FALSE(state->isLeavingForDownload(pinned)) << "a pinned tab stays whatever its address gives";
    const std::string written = dir.read(BrowserState::stateFileName);
    EXPECT_EQ(written.find(download.toString()), std::string::npos) << written;
    for (const auto& event : state->history())
        EXPECT_NE(event.url, url("https://a.example/file.bin")) << "the visit shown was of no page";

    restart();
    EXPECT_FALSE(state->tab(download));
    EXPECT_TRUE(state->tab(page) && state->tab(pinned) && state->tab(sentElsewhere));
    EXPECT_TRUE(state->folders().begin()->second.tabIds.empty());
    EXPECT_EQ(state->activeTabId(), sentElsewhere) << "the space's most recent tab is shown";
}

// With a full disk, a read-only data folder or browser_state.json replaced by a folder, the tabs
// and the history were gone at the next start, and only standard output had said so.
TEST_F(PersistenceTest, FailedSavesAreReportedOncePerFileUntilTheyWorkAgain)
{
    using SavedData = BrowserState::SavedData;
    start();
    int reports = 0;
    state->saveFailed.connect([&] { ++reports; });
    auto failing = [&] {
        std::vector<SavedData> data;
        for (const auto& failure : state->saveFailures())
            data.push_back(failure.data);
        return data;
    };
    testing::internal::CaptureStdout();
    {
        FileSizeLimit full(16);
        open("https://a.example/"); // both files fail in one operation: one report
        open("https://b.example/");
    }
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(failing(), (std::vector<SavedData>{SavedData::tabs, SavedData::history}));
    EXPECT_NE(state->saveFailures()[0].reason.find(stateFile()), std::string::npos) << state->saveFailures()[0].reason;

    open("https://c.example/"); // the next change saves both
    EXPECT_TRUE(failing().empty());
    EXPECT_EQ(json::parse(dir.read(BrowserState::historyFileName)).size(), 3u);
    {
        FileSizeLimit full(16);
        state->removeHistoryItem(state->history().front().id);
    }
    EXPECT_EQ(reports, 2); // failing again after it worked is told again
    EXPECT_EQ(failing(), std::vector<SavedData>{SavedData::history});

    // A state file that can be neither read nor copied aside is never written over: told from the
    // start, and not again with each change.
    std::filesystem::remove(stateFile());
    std::filesystem::create_directory(stateFile());
    restart();
    reports = 0;
    state->saveFailed.connect([&] { ++reports; });
    open("https://d.example/");
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(reports, 0);
    EXPECT_EQ(failing(), std::vector<SavedData>{SavedData::tabs});
    EXPECT_NE(state->saveFailures()[0].reason.find("could not be kept aside"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(stateFile()));
}

TEST_F(PersistenceTest, TheStateFileHasItsExactForm)
{
    // Hand-written: lower-case UUIDs, escaped slashes, keys in another order, unknown keys, a
    // loading tab.
    std::string handWritten = std::string(R"({"spaces":[{"createdAt":725760000,"tabOrder":[")") + lower(tabText) +
                              R"("],"icon":"person.fill","color":"blue","name":"Personal","id":")" + lower(spaceText) +
                              R"(","sidebarOrder":[{"folder":{"_0":")" + folderText + R"("}}],"lastActiveTabId":")" +
                              tabText + R"("}],"activeTabId":")" + lower(tabText) + R"(","currentSpaceId":")" +
                              spaceText + R"(","tabs":[")" + tabText + R"(",{"url":"https:\/\/example.com\/a","id":")" +
                              lower(tabText) + R"(","title":"A","isPinned":false,"spaceId":")" + spaceText +
                              R"(","folderId":")" + folderText +
                              R"(","createdAt":725760000,"lastAccessedAt":725760000,"isLoading":true,)"
                              R"("loadingProgress":0.5,"canGoBack":true,"canGoForward":false,"zoom":2}],"folders":[")" +
                              folderText + R"(",{"id":")" + folderText + R"(","name":"F","spaceId":")" + spaceText +
                              R"(","tabIds":[")" + tabText +
                              R"("],"isExpanded":false,"createdAt":725760000.25}],"version":3})";
    dir.write(BrowserState::stateFileName, handWritten);
    start();
    std::string expected =
        std::string(R"({"tabs":[")") + tabText + R"(",{"id":")" + tabText +
        R"(","url":"https://example.com/a","title":"A","isPinned":false,"isAutoArchiveExcluded":false,"spaceId":")" +
        spaceText + R"(","folderId":")" + folderText +
        R"(","createdAt":725760000,"lastAccessedAt":725760000,"isLoading":false,"loadingProgress":0,)"
        R"("canGoBack":false,"canGoForward":false}],"folders":[")" +
        folderText + R"(",{"id":")" + folderText + R"(","name":"F","spaceId":")" + spaceText + R"(","tabIds":[")" +
        tabText + R"("],"isExpanded":false,"createdAt":725760000.25}],"spaces":[{"id":")" + spaceText +
        R"(","name":"Personal","color":"blue","icon":"person.fill","tabOrder":[")" + tabText +
        R"("],"sidebarOrder":[{"folder":{"_0":")" + folderText + R"("}}],"lastActiveTabId":")" + tabText +
        R"(","createdAt":725760000}],"currentSpaceId":")" + spaceText + R"(","activeTabId":")" + tabText + R"("})";
    EXPECT_EQ(dir.read(BrowserState::stateFileName), expected);
}

TEST_F(PersistenceTest, HistoryDownloadsAndCanvasFilesHaveTheirExactForms)
{
    std::string history = std::string(R"([{"title":"A","url":"https://a.example/","visitedAt":725760000.5,"id":")") +
                          lower(tabText) + R"(","favicon":"AQID","spaceId":")" + spaceText + R"(","x":1}])";
    std::string downloads = std::string(R"([{"id":")") + tabText +
                            R"(","url":"https://a.example/f.zip","filename":"f.zip","localPath":"file:\/\/\/tmp\/f.zip",)"
                            R"("totalBytes":3,"downloadedBytes":3,"status":"completed","startedAt":1,"completedAt":2.5}])";
    std::string canvases = std::string(R"([{"id":")") + folderText +
                           R"(","name":"C","items":[{"id":")" + tabText +
                           R"(","type":{"note":{"text":"hi","color":"pink"}},"position":[1.5,-2],"size":[100,50],)"
                           R"("zIndex":-1,"createdAt":3}],"backgroundColor":"default","createdAt":1,"lastModifiedAt":2}])";
    dir.write(BrowserState::historyFileName, history);
    dir.write(BrowserState::downloadsFileName, downloads);
    dir.write(BrowserState::canvasesFileName, canvases);
    start();
    // Loading rewrites downloads.json at once.
    EXPECT_EQ(dir.read(BrowserState::downloadsFileName),
              std::string(R"([{"id":")") + tabText +
                  R"(","url":"https://a.example/f.zip","filename":"f.zip","localPath":"file:///tmp/f.zip",)"
                  R"("totalBytes":3,"downloadedBytes":3,"status":"completed","startedAt":1,"completedAt":2.5}])");
    state->removeHistoryItem(Uuid::random());
    EXPECT_EQ(dir.read(BrowserState::historyFileName),
              std::string(R"([{"id":")") + tabText +
                  R"(","url":"https://a.example/","title":"A","visitedAt":725760000.5,"favicon":"AQID","spaceId":")" +
                  spaceText + R"("}])");

    state->createNewSpace("Spare", SpaceColor::gray, "globe");
    state->removeSpace(currentSpace()); // writes canvases.json; the board has no space and stays
    EXPECT_EQ(dir.read(BrowserState::canvasesFileName),
              std::string(R"([{"id":")") + folderText + R"(","name":"C","items":[{"id":")" + tabText +
                  R"(","type":{"note":{"text":"hi","color":"pink"}},"position":[1.5,-2],"size":[100,50],)"
                  R"("zIndex":-1,"createdAt":3}],"backgroundColor":"default","createdAt":1,"lastModifiedAt":2}])");
}

// Saves reuse the text of unchanged records; the file must still be the plain encoding of the
// whole state after every kind of change.
TEST_F(PersistenceTest, ReusedRecordTextNeverGoesStale)
{
    start();
    auto expectPlainEncoding = [&] {
        std::string plain = json::dump(toJson(PersistedState{
            {state->tabs().begin(), state->tabs().end()},
            std::vector<std::pair<Uuid, TabFolder>>{state->folders().begin(), state->folders().end()},
            state->spaces(), state->currentSpaceId(), state->activeTabId()}));
        EXPECT_EQ(dir.read(BrowserState::stateFileName), plain);
        Json history = Json::array();
        for (const HistoryItem& item : state->history())
            history.push_back(toJson(item));
        EXPECT_EQ(dir.read(BrowserState::historyFileName), json::dump(history));
    };
    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    expectPlainEncoding();
    state->updateTabTitle(a, "Changed \"quoted\" / title");
    state->updateTabFavicon(b, Bytes(5000, 7));
    state->saveState();
    expectPlainEncoding();
    state->setActiveTabId(a);
    expectPlainEncoding();
    state->removeTab(b);
    expectPlainEncoding();
    std::vector<HistoryItem> history = state->history();
    history.front().title = "Edited by the panel";
    state->setHistory(history);
    state->saveHistory();
    expectPlainEncoding();
    // Two visits under one id (a hand-edited file) keep their own contents.
    HistoryItem twin = state->history().front();
    twin.title = "Twin";
    history = state->history();
    history.push_back(twin);
    state->setHistory(history);
    state->saveHistory();
    expectPlainEncoding();
    std::reverse(history.begin(), history.end());
    state->setHistory(history);
    state->saveHistory();
    expectPlainEncoding();
    state->setHistory({});
    state->saveHistory();
    expectPlainEncoding();
}

class RepairTest : public StateTest {
protected:
    RepairTest() { clock.set(Date(100)); } // near the records' dates, so nothing is archived

    // A tab record for hand-written files.
    static std::string tab(const Uuid& id, const Uuid& spaceId, double createdAt, bool pinned = false,
                           bool withSpace = true)
    {
        Tab tab(id, *Url::parse("https://" + id.toString().substr(0, 8) + ".example/"), std::nullopt, pinned, false,
                withSpace ? std::optional(spaceId) : std::nullopt, std::nullopt);
        tab.createdAt = Date(createdAt);
        tab.lastAccessedAt = Date(createdAt);
        return json::uuid(id).dump() + "," + json::dump(toJson(tab));
    }
    static std::string spaceRecord(const Uuid& id, const std::vector<Uuid>& order, const std::string& extra = "")
    {
        return R"({"id":")" + id.toString() + R"(","name":"S","color":"red","icon":"globe","tabOrder":)" +
               json::dump(json::uuidArray(order)) + R"(,"createdAt":1)" + extra + "}";
    }

    Uuid s1 = Uuid::random(), s2 = Uuid::random();
    Uuid a = Uuid::random(), b = Uuid::random(), c = Uuid::random(), d = Uuid::random(), p = Uuid::random(),
         foreign = Uuid::random();
};

TEST_F(RepairTest, TabOrdersAreRepairedOnLoad)
{
    dir.write(BrowserState::stateFileName,
              "{\"tabs\":[" + tab(a, s1, 10) + "," + tab(b, s1, 30) + "," + tab(c, s1, 20) + "," + tab(p, s1, 5, true) +
                  "," + tab(foreign, s2, 1) + "," + tab(d, s1, 40, true, false) + "],\"spaces\":[" +
                  spaceRecord(s1, {a, a, Uuid::random(), p, foreign}) + "," + spaceRecord(s2, {}) + "],\"currentSpaceId\":\"" +
                  s1.toString() + "\",\"activeTabId\":\"" + foreign.toString() + "\"}");
    start();
    // First occurrences of valid ids, then the unlisted tabs oldest first.
    EXPECT_EQ(space(s1).tabOrder, (std::vector<Uuid>{a, c, b}));
    EXPECT_EQ(space(s1).sidebarOrder,
              (std::vector<SidebarItem>{SidebarItem::tab(a), SidebarItem::tab(c), SidebarItem::tab(b)}));
    EXPECT_EQ(space(s2).tabOrder, (std::vector<Uuid>{foreign}));
    // A pinned tab without a space joins the current one.
    EXPECT_EQ(state->tab(d)->spaceId, s1);
    // The stored active tab belongs to another space: the current space's newest tab instead.
    EXPECT_EQ(state->currentSpaceId(), s1);
    EXPECT_EQ(state->activeTabId(), d);
}

TEST_F(RepairTest, MissingOrUnknownSpacesFallBack)
{
    dir.write(BrowserState::stateFileName, "{\"tabs\":[" + tab(a, s1, 1) + "],\"spaces\":[]}");
    start();
    ASSERT_EQ(state->spaces().size(), 1u);
    EXPECT_EQ(state->spaces()[0].name, "Personal");
    EXPECT_TRUE(state->tab(a)); // kept, though in no space
    EXPECT_TRUE(state->spaces()[0].tabOrder.empty());
    EXPECT_FALSE(state->activeTabId());

    dir.write(BrowserState::stateFileName, "{\"tabs\":[],\"spaces\":[" + spaceRecord(s1, {}) + "," + spaceRecord(s2, {}) +
                                               "],\"currentSpaceId\":\"" + Uuid::random().toString() + "\"}");
    restart();
    EXPECT_EQ(state->currentSpaceId(), s1);
    Json stored = storedState();
    EXPECT_EQ(stored["folders"], Json::array()); // written although the file had none
    EXPECT_FALSE(stored.contains("activeTabId"));
}

// A state file whose spaces repeated an id: removing that space emptied the space list, read the
// first element of an empty list, and saved a file with no spaces.
TEST_F(RepairTest, ARepeatedSpaceIdKeepsItsFirstRecord)
{
    const std::string first = spaceRecord(s1, {a}), again = spaceRecord(s1, {b}, R"(,"x":1)");
    dir.write(BrowserState::stateFileName, "{\"tabs\":[" + tab(a, s1, 1) + "," + tab(b, s1, 2) + "," + tab(c, s2, 3) +
                                               "],\"spaces\":[" + first + "," + again + "," + spaceRecord(s2, {c}) +
                                               "," + first + "],\"currentSpaceId\":\"" + s1.toString() + "\"}");
    start();
    ASSERT_EQ(state->spaces().size(), 2u);
    EXPECT_EQ(state->spaces()[0].id, s1);
    EXPECT_EQ(state->spaces()[1].id, s2);
    EXPECT_EQ(space(s1).tabOrder, (std::vector<Uuid>{a, b})); // the dropped record's tab joins the first
    EXPECT_EQ(storedState()["spaces"].size(), 2u);

    state->removeSpace(s1);
    ASSERT_EQ(state->spaces().size(), 1u);
    EXPECT_EQ(state->currentSpaceId(), s2);
    state->removeSpace(s2); // the last space stays
    restart();
    ASSERT_EQ(state->spaces().size(), 1u);
    EXPECT_EQ(state->currentSpaceId(), s2);
    EXPECT_TRUE(state->tab(c));

    // Only repeats of one space: one space, shown.
    dir.write(BrowserState::stateFileName,
              "{\"tabs\":[],\"spaces\":[" + first + "," + first + "],\"currentSpaceId\":\"" + s2.toString() + "\"}");
    restart();
    ASSERT_EQ(state->spaces().size(), 1u);
    EXPECT_EQ(state->currentSpaceId(), s1);
    state->removeSpace(s1);
    EXPECT_EQ(state->spaces().size(), 1u);
}

TEST_F(RepairTest, AnEmptySidebarOrderIsRebuiltFoldersFirst)
{
    const Uuid f1 = Uuid::random(), f2 = Uuid::random();
    auto folder = [&](const Uuid& id, double createdAt) {
        return json::uuid(id).dump() + "," +
               json::dump(toJson(TabFolder{id, "F", s1, {}, true, Date(createdAt)}));
    };
    dir.write(BrowserState::stateFileName, "{\"tabs\":[" + tab(a, s1, 1) + "," + tab(b, s1, 2) + "],\"folders\":[" +
                                               folder(f2, 9) + "," + folder(f1, 3) + "],\"spaces\":[" +
                                               spaceRecord(s1, {b, a}, R"(,"sidebarOrder":null)") + "]}");
    start();
    EXPECT_EQ(space(s1).sidebarOrder, (std::vector<SidebarItem>{SidebarItem::folder(f1), SidebarItem::folder(f2),
                                                                SidebarItem::tab(b), SidebarItem::tab(a)}));
}

} // namespace
} // namespace kovi::test
