#include "state_fixture.h"

#include "core/settings/auth_manager.h"
#include "core/state/persisted_state.h"
#include "support/file_size_limit.h"
#include "support/stuck_reader_guard.h"

#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>

namespace kovi::test {
namespace {

using BadInputTest = StateTest;

// The copies kept aside for `name`, with their contents.
std::vector<std::string> keptCopies(const TempDir& dir, const std::string& name)
{
    std::vector<std::string> copies;
    if (GDir* folder = g_dir_open(dir.path().c_str(), 0, nullptr)) {
        while (const gchar* entry = g_dir_read_name(folder)) {
            if (std::string_view(entry).rfind(name + ".unreadable-", 0) == 0)
                copies.push_back(dir.read(entry));
        }
        g_dir_close(folder);
    }
    return copies;
}

const char* const validState =
    R"({"tabs":["1B4E28BA-2FA1-11D2-883F-0016D3CCA427",{"id":"1B4E28BA-2FA1-11D2-883F-0016D3CCA427",)"
    R"("url":"https://example.com/","title":"E","favicon":"AQID","isPinned":false,"isAutoArchiveExcluded":true,)"
    R"("spaceId":"6F9619FF-8B86-D011-B42D-00C04FC964FF","createdAt":1,"lastAccessedAt":2,"isLoading":false,)"
    R"("loadingProgress":0,"canGoBack":false,"canGoForward":false}],"folders":["0E984725-C51C-4BF4-9960-E1C80E27ABA0",)"
    R"({"id":"0E984725-C51C-4BF4-9960-E1C80E27ABA0","name":"F","spaceId":"6F9619FF-8B86-D011-B42D-00C04FC964FF",)"
    R"("tabIds":[],"isExpanded":true,"createdAt":1}],"spaces":[{"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF",)"
    R"("name":"S","color":"green","icon":"globe","tabOrder":["1B4E28BA-2FA1-11D2-883F-0016D3CCA427"],)"
    R"("sidebarOrder":[{"tab":{"_0":"1B4E28BA-2FA1-11D2-883F-0016D3CCA427"}}],"createdAt":1}],)"
    R"("currentSpaceId":"6F9619FF-8B86-D011-B42D-00C04FC964FF","activeTabId":"1B4E28BA-2FA1-11D2-883F-0016D3CCA427"})";

// The invariants every start must leave, whatever the files held.
void expectUsable(const BrowserState& state)
{
    ASSERT_FALSE(state.spaces().empty());
    ASSERT_TRUE(state.currentSpaceId());
    bool current = false;
    for (const Space& space : state.spaces())
        current = current || space.id == *state.currentSpaceId();
    EXPECT_TRUE(current);
    if (auto active = state.activeTab()) {
        EXPECT_EQ(active->spaceId, state.currentSpaceId());
    }
}

TEST_F(BadInputTest, DamagedStateFileIsKeptAsideAndReplaced)
{
    const std::string damaged = std::string(validState).substr(0, 200); // truncated
    dir.write(BrowserState::stateFileName, damaged);
    testing::internal::CaptureStdout();
    start();
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("unreadable"), std::string::npos);
    EXPECT_EQ(keptCopies(dir, BrowserState::stateFileName), (std::vector<std::string>{damaged}));
    expectUsable(*state);
    EXPECT_EQ(state->spaces()[0].name, "Personal");
    EXPECT_NO_THROW(storedState()); // a fresh, readable state replaced it
}

TEST_F(BadInputTest, WrongShapesAreRefusedWhole)
{
    for (const std::string& text :
         {std::string(R"({"tabs":{},"spaces":[]})"), std::string(R"({"spaces":[]})"), std::string(R"([])"),
          std::string(R"("tabs")"), std::string(R"({"tabs":["1B4E28BA-2FA1-11D2-883F-0016D3CCA427"],"spaces":[]})"),
          std::string(validState).replace(std::string(validState).find("\"green\""), 7, "\"Green\""),
          std::string(validState).replace(std::string(validState).find("\"isLoading\":false"), 17, "\"isLoading\":0"),
          std::string("{\"tabs\":[],\"spaces\":[],\"x\":\"\xff\xfe\"}"), std::string(1, '\0')}) {
        dir.write(BrowserState::stateFileName, text);
        testing::internal::CaptureStdout();
        restart();
        testing::internal::GetCapturedStdout();
        expectUsable(*state);
        EXPECT_TRUE(state->tabs().empty()) << text;
    }
}

TEST_F(BadInputTest, AnEmptyOrMissingFileIsAQuietFirstLaunch)
{
    dir.write(BrowserState::stateFileName, "");
    dir.write(BrowserState::historyFileName, "");
    testing::internal::CaptureStdout();
    start();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(keptCopies(dir, BrowserState::stateFileName).empty());
    EXPECT_TRUE(keptCopies(dir, BrowserState::historyFileName).empty());
}

TEST_F(BadInputTest, DamagedHistoryDownloadsAndCanvasesAreKeptAside)
{
    dir.write(BrowserState::historyFileName, R"([{"id":"x"}])");
    dir.write(BrowserState::downloadsFileName, R"([{"status":"done"}])");
    dir.write(BrowserState::canvasesFileName, R"([{"id":)");
    testing::internal::CaptureStdout();
    start();
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(state->history().empty());
    EXPECT_TRUE(state->downloads().empty());
    EXPECT_TRUE(state->canvases().empty());
    EXPECT_EQ(keptCopies(dir, BrowserState::historyFileName), (std::vector<std::string>{R"([{"id":"x"}])"}));
    EXPECT_EQ(keptCopies(dir, BrowserState::downloadsFileName), (std::vector<std::string>{R"([{"status":"done"}])"}));
    EXPECT_EQ(keptCopies(dir, BrowserState::canvasesFileName), (std::vector<std::string>{R"([{"id":)"}));
    // An unreadable downloads file is not rewritten at start-up.
    EXPECT_EQ(dir.read(BrowserState::downloadsFileName), R"([{"status":"done"}])");
    open("https://a.example/"); // the next visit writes a fresh history
    EXPECT_EQ(json::parse(dir.read(BrowserState::historyFileName)).size(), 1u);
}

TEST_F(BadInputTest, AFileThatCannotBeKeptAsideIsNeverReplaced)
{
    // A folder where the state file belongs can be neither read nor copied.
    ASSERT_TRUE(files::ensureDirectory(dir.file(BrowserState::stateFileName)));
    dir.write(std::string(BrowserState::stateFileName) + "/inside", "precious");
    testing::internal::CaptureStdout();
    start();
    open("https://a.example/");
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("Failed to save state: "), std::string::npos);
    EXPECT_EQ(dir.read(std::string(BrowserState::stateFileName) + "/inside"), "precious");
    expectUsable(*state);
}

// A second damaged state file within the same second overwrote the first one's kept copy.
TEST_F(BadInputTest, TwoDamagedFilesWithinOneSecondAreBothKept)
{
    testing::internal::CaptureStdout();
    dir.write(BrowserState::stateFileName, "{\"first");
    start();
    dir.write(BrowserState::stateFileName, "{\"second");
    restart();
    testing::internal::GetCapturedStdout();
    std::vector<std::string> copies = keptCopies(dir, BrowserState::stateFileName);
    std::sort(copies.begin(), copies.end());
    EXPECT_EQ(copies, (std::vector<std::string>{"{\"first", "{\"second"}));
}

// A storage folder that could not be made printed "Could not keep a copy of the unreadable file"
// four times and then blocked every save of the session.
TEST_F(BadInputTest, AStorageFolderThatCannotBeMadeIsReportedOnceAndSavedIntoLater)
{
    dir.write("blocker", "a file");
    const std::string folder = dir.file("blocker/KoviBrowser");
    testing::internal::CaptureStdout();
    std::unique_ptr<BrowserCore> blockedCore = coreAt(folder);
    BrowserState* blocked = &blockedCore->state();
    blocked->createNewTab(url("https://a.example/"));
    blocked->createNewTab(url("https://b.example/"));
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
    EXPECT_NE(printed.find("Could not create the folder " + folder), std::string::npos);
    EXPECT_EQ(printed.find("unreadable"), std::string::npos);
    expectUsable(*blocked);

    // Once the folder can be made, the next change saves everything.
    std::remove(dir.file("blocker").c_str());
    blocked->createNewTab(url("https://c.example/"));
    EXPECT_EQ(json::parse(dir.read("blocker/KoviBrowser/history.json")).size(), 3u);
    blockedCore.reset();
    EXPECT_EQ(coreAt(folder)->state().tabs().size(), 3u);
}

// 100,000 nested arrays in any file read at start overflowed the stack, at every start, since
// the file was never kept aside.
TEST_F(BadInputTest, DeeplyNestedFilesAreUnreadableNotFatal)
{
    const std::string deep = std::string(100'000, '[') + std::string(100'000, ']');
    const char* stateFiles[] = {BrowserState::stateFileName, BrowserState::historyFileName,
                                BrowserState::downloadsFileName, BrowserState::canvasesFileName};
    for (const char* name : stateFiles)
        dir.write(name, deep);
    dir.write(BrowserLibrary::fileName, deep);
    configDir.write("defaults.json", deep);
    testing::internal::CaptureStdout();
    start();
    testing::internal::GetCapturedStdout();
    expectUsable(*state);
    for (const char* name : stateFiles)
        EXPECT_EQ(keptCopies(dir, name), (std::vector<std::string>{deep})) << name;
    EXPECT_EQ(keptCopies(configDir, "defaults.json"), (std::vector<std::string>{deep}));
    EXPECT_FALSE(library().canWrite()); // refused, and left as it is
    EXPECT_TRUE(library().errorMessage());
    EXPECT_EQ(dir.read(BrowserLibrary::fileName), deep);

    // The account record inside a readable settings file: no account, the record kept.
    const std::string record = json::base64Encode(Bytes(deep.begin(), deep.end()));
    configDir.write("defaults.json", R"({"koviCurrentUser":{"type":"bytes","value":")" + record + R"("}})");
    testing::internal::CaptureStdout();
    restart();
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(core->auth().currentUser());
    preferences().set(prefs::hasCompletedOnboarding, true);
    EXPECT_EQ(json::parse(configDir.read("defaults.json"))["koviCurrentUser"]["value"], record);
}

// A state file that was a link to /dev/zero was copied aside until the disk was full; a link to
// a FIFO hung the start before the main loop ran (so SIGTERM went unanswered).
TEST_F(BadInputTest, StateFilesThatAreNoRegularFilesAreRefusedUnread)
{
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    const std::pair<const char*, std::string> links[] = {
        {BrowserState::stateFileName, "/dev/zero"},
        {BrowserState::historyFileName, dir.file("fifo")},
        {BrowserState::downloadsFileName, dir.file("fifo")},
        {BrowserState::canvasesFileName, "/dev/zero"},
    };
    for (const auto& [name, target] : links)
        ASSERT_EQ(::symlink(target.c_str(), dir.file(name).c_str()), 0);
    std::string printed;
    {
        FileSizeLimit disk(1 << 20); // a runaway copy stops here instead of filling the disk
        StuckReaderGuard guard({dir.file("fifo")}, 10);
        testing::internal::CaptureStdout();
        start();
        open("https://a.example/");
        printed = testing::internal::GetCapturedStdout();
        EXPECT_FALSE(guard.released()) << "the start waited on the FIFO";
    }
    expectUsable(*state);
    EXPECT_NE(printed.find("is not a regular file"), std::string::npos) << printed;
    for (const auto& [name, target] : links) {
        EXPECT_TRUE(keptCopies(dir, name).empty()) << name;
        EXPECT_TRUE(std::filesystem::is_symlink(dir.file(name))) << name << " was written over";
    }
}

TEST_F(BadInputTest, LargeAndDeeplyNestedFilesDoNotHurt)
{
    std::string deep(200000, '[');
    dir.write(BrowserState::stateFileName, deep);
    std::string many = "[";
    for (int i = 0; i < 500000; ++i)
        many += i ? ",1" : "1";
    many += "]";
    dir.write(BrowserState::historyFileName, many);
    testing::internal::CaptureStdout();
    start();
    testing::internal::GetCapturedStdout();
    expectUsable(*state);
    EXPECT_TRUE(state->history().empty());
    EXPECT_EQ(keptCopies(dir, BrowserState::historyFileName).size(), 1u);
}

// Random damage to a valid file: every start ends usable and never loses the original bytes.
TEST_F(BadInputTest, MutatedStateFilesNeverCrashOrLoseTheFile)
{
    std::mt19937 random(20240103);
    const std::string original = validState;
    const std::string alphabet = "{}[]\",:0123456789.-eE \\/ntrufalsAF\x7f\xc3";
    clock.set(Date(10));
    for (int round = 0; round < 300; ++round) {
        std::string text = original;
        int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            std::size_t at = random() % text.size();
            switch (random() % 4) {
            case 0: text[at] = alphabet[random() % alphabet.size()]; break;
            case 1: text.erase(at, 1 + random() % 8); break;
            case 2: text.insert(at, 1, alphabet[random() % alphabet.size()]); break;
            case 3: text.resize(at); break;
            }
            if (text.empty())
                text = "{";
        }
        TempDir roundDir;
        roundDir.write(BrowserState::stateFileName, text);
        testing::internal::CaptureStdout();
        {
            auto roundCore = coreAt(roundDir.path());
            BrowserState& mutated = roundCore->state();
            expectUsable(mutated);
            // The state must go on working.
            mutated.createNewTab(url("https://after.example/"));
            ASSERT_TRUE(mutated.activeTab());
        }
        testing::internal::GetCapturedStdout();

        bool decodes = true;
        try {
            PersistedState::fromJson(json::parse(text));
        } catch (const std::exception&) {
            decodes = false;
        }
        if (!decodes) {
            EXPECT_EQ(keptCopies(roundDir, BrowserState::stateFileName), (std::vector<std::string>{text}));
        }
    }
}

// The record decoders on their own, much faster: nothing but DecodeError may come out.
TEST_F(BadInputTest, MutatedRecordsOnlyEverFailToDecode)
{
    std::mt19937 random(7);
    const std::vector<std::string> samples = {
        validState,
        R"([{"id":"1B4E28BA-2FA1-11D2-883F-0016D3CCA427","url":"https://a.example/","title":"A","visitedAt":1.5,"favicon":"AQID"}])",
        R"([{"id":"1B4E28BA-2FA1-11D2-883F-0016D3CCA427","url":"https://a/f","filename":"f","localPath":"file:///f",)"
        R"("totalBytes":3,"downloadedBytes":3,"status":"completed","startedAt":1,"completedAt":2}])",
        R"([{"id":"0E984725-C51C-4BF4-9960-E1C80E27ABA0","name":"C","items":[{"id":"1B4E28BA-2FA1-11D2-883F-0016D3CCA427",)"
        R"("type":{"link":{"url":"https://a/","title":""}},"position":[1,2],"size":[3,4],"zIndex":0,"createdAt":3}],)"
        R"("backgroundColor":"lines","createdAt":1,"lastModifiedAt":2}])",
    };
    for (int round = 0; round < 8000; ++round) {
        std::size_t which = random() % samples.size();
        std::string text = samples[which];
        for (int e = 0; e < 3; ++e) {
            std::size_t at = random() % text.size();
            if (random() % 2)
                text[at] = static_cast<char>(random() % 128);
            else
                text.erase(at, 1);
        }
        try {
            Json value = json::parse(text);
            switch (which) {
            case 0: PersistedState::fromJson(value); break;
            case 1: for (const Json& item : json::requireArray(value)) HistoryItem::fromJson(item); break;
            case 2: for (const Json& item : json::requireArray(value)) DownloadItem::fromJson(item); break;
            case 3: for (const Json& item : json::requireArray(value)) KoviCanvas::fromJson(item); break;
            }
        } catch (const DecodeError&) {
        }
    }
}

} // namespace
} // namespace kovi::test
