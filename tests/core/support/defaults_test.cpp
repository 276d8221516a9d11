#include "core/support/defaults.h"

#include "core/support/json_coding.h"
#include "support/file_size_limit.h"
#include "support/stuck_reader_guard.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace kovi {
namespace {

TEST(DefaultsTest, TypedValuesSurviveARestart)
{
    test::TempDir dir;
    std::string path = dir.file("config/defaults.json");
    {
        Defaults defaults(path);
        defaults.setBool("flag", true);
        defaults.setNumber("hours", 12.5);
        defaults.setString("mode", "vertical");
        defaults.setBytes("blob", {1, 2, 3});
        defaults.setDate("when", Date(725760000.25));
    }
    Defaults again(path);
    EXPECT_EQ(again.boolValue("flag"), true);
    EXPECT_EQ(again.numberValue("hours"), 12.5);
    EXPECT_EQ(again.stringValue("mode"), "vertical");
    EXPECT_EQ(again.bytesValue("blob"), (Defaults::Bytes{1, 2, 3}));
    EXPECT_EQ(again.dateValue("when"), Date(725760000.25));
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(DefaultsTest, AbsentAndWrongTypeStayDistinguishable)
{
    Defaults defaults;
    defaults.setString("isDarkMode", "no");
    EXPECT_TRUE(defaults.contains("isDarkMode"));
    EXPECT_FALSE(defaults.boolValue("isDarkMode"));
    EXPECT_FALSE(defaults.boolValue("missing"));
    EXPECT_FALSE(defaults.contains("missing"));
}

TEST(DefaultsTest, LenientReadsCoerceLikeASettingsStore)
{
    Defaults defaults;
    defaults.setNumber("n", 2);
    defaults.setString("yes", "YES");
    defaults.setString("hours", "36");
    defaults.setBool("t", true);
    EXPECT_TRUE(defaults.boolForKey("n"));
    EXPECT_TRUE(defaults.boolForKey("yes"));
    EXPECT_FALSE(defaults.boolForKey("missing"));
    EXPECT_EQ(defaults.doubleForKey("hours"), 36);
    EXPECT_EQ(defaults.doubleForKey("t"), 1);
    EXPECT_EQ(defaults.doubleForKey("missing"), 0);
}

TEST(DefaultsTest, DamagedFileIsKeptAsideAndValuesStartEmpty)
{
    test::TempDir dir;
    dir.write("defaults.json", "{not json");
    Defaults defaults(dir.file("defaults.json"));
    EXPECT_FALSE(defaults.contains("anything"));
    bool keptAside = false;
    for (const auto& name : {std::string("defaults.json")})
        keptAside = dir.read(name) == "{not json";
    EXPECT_TRUE(keptAside);
    // Entries of an unknown type or a mismatched value are skipped, the rest load.
    dir.write("partial.json", R"({"a":{"type":"bool","value":1},"b":{"type":"bool","value":true},"c":{"type":"x"}})");
    Defaults partial(dir.file("partial.json"));
    EXPECT_FALSE(partial.contains("a"));
    EXPECT_EQ(partial.boolValue("b"), true);
}

// Entries the program could not decode (an unknown type, a damaged account record) were dropped
// from the file at the next change of any setting.
TEST(DefaultsTest, EntriesThatCannotBeDecodedAreWrittenBackAsTheyWere)
{
    test::TempDir dir;
    const std::string kept = R"({"z-later":{"type":"url","value":{"href":"https://a.example/","n":[1,2.5]}},)"
                             R"("koviCurrentUser":{"type":"bytes","value":"not base64!"},)"
                             R"("odd":[1,"two"],"b":{"type":"bool","value":1}})";
    dir.write("defaults.json", kept);
    {
        Defaults defaults(dir.file("defaults.json"));
        EXPECT_FALSE(defaults.contains("koviCurrentUser"));
        defaults.setBool("isDarkMode", false);
    }
    const Json written = json::parse(dir.read("defaults.json"));
    const Json before = json::parse(kept);
    for (const char* key : {"z-later", "koviCurrentUser", "odd", "b"})
        EXPECT_EQ(written.at(key), before.at(key)) << key;
    EXPECT_EQ(written.at("isDarkMode"), json::parse(R"({"type":"bool","value":false})"));
    EXPECT_EQ(written.begin().key(), "b"); // keys stay in order

    // Setting or removing such a key replaces it like any other.
    {
        Defaults defaults(dir.file("defaults.json"));
        defaults.setString("odd", "fixed");
        defaults.remove("koviCurrentUser");
    }
    Defaults again(dir.file("defaults.json"));
    EXPECT_EQ(again.stringValue("odd"), "fixed");
    EXPECT_FALSE(json::parse(dir.read("defaults.json")).contains("koviCurrentUser"));
    EXPECT_TRUE(json::parse(dir.read("defaults.json")).contains("z-later"));
}

// A setting that could not be saved looked saved: the failure went to standard output only.
TEST(DefaultsTest, AFailingSaveIsReportedOnceUntilItWorksAgain)
{
    test::TempDir dir;
    Defaults defaults(dir.file("defaults.json"));
    std::vector<std::string> reports;
    defaults.signalSaveFailed().connect([&](const std::string& reason) { reports.push_back(reason); });
    testing::internal::CaptureStdout();
    {
        test::FileSizeLimit full(8); // a full disk
        defaults.setBool("a", true);
        defaults.setBool("b", true);
        defaults.setBool("a", false);
    }
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("defaults.json"), std::string::npos) << reports[0];
    EXPECT_TRUE(defaults.isSaveFailing());
    EXPECT_EQ(defaults.boolValue("a"), false); // kept for the run

    defaults.setBool("c", true); // works again
    EXPECT_FALSE(defaults.isSaveFailing());
    {
        test::FileSizeLimit full(8);
        defaults.setBool("d", true);
        defaults.setBool("e", true);
    }
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(reports.size(), 2u);
    EXPECT_EQ(Defaults(dir.file("defaults.json")).boolValue("c"), true);
}

// An unreadable settings file whose copy failed (a full disk) was replaced at the next change:
// the API key and every setting were gone, with no copy anywhere.
TEST(DefaultsTest, AnUnreadableFileThatCouldNotBeKeptAsideIsNeverReplaced)
{
    test::TempDir dir;
    const std::string path = dir.file("defaults.json");
    const std::string damaged = R"({"aiApiKey":{"type":"string","value":"sk-secret"},)" + std::string(200, ' ');
    dir.write("defaults.json", damaged);
    std::optional<Defaults> defaults;
    testing::internal::CaptureStdout();
    {
        test::FileSizeLimit full(16); // no room for the copy
        defaults.emplace(path);
    }
    std::vector<std::string> reports;
    defaults->signalSaveFailed().connect([&](const std::string& reason) { reports.push_back(reason); });
    defaults->setBool("hasCompletedOnboarding", true);
    defaults->setString("browserLayoutMode", "vertical");
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(dir.read("defaults.json"), damaged);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find(path + " could not be kept aside"), std::string::npos) << reports[0];
    EXPECT_TRUE(defaults->isSaveFailing());
    EXPECT_EQ(defaults->stringValue("browserLayoutMode"), "vertical"); // kept for the run
    for (auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find(".unreadable-"), std::string::npos) << e.path();

    // Once a copy can be made, the file is kept aside and saving works again.
    defaults.reset();
    testing::internal::CaptureStdout();
    Defaults again(path);
    again.setBool("hasCompletedOnboarding", true);
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(again.isSaveFailing());
    EXPECT_EQ(Defaults(path).boolValue("hasCompletedOnboarding"), true);
    int copies = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path()))
        copies += e.path().filename().string().find(".unreadable-") != std::string::npos;
    EXPECT_EQ(copies, 1);
}

// defaults.json as a link to /dev/zero filled the disk with its kept copy; as a link to a FIFO it
// hung the start.
TEST(DefaultsTest, ASettingsFileThatIsNoRegularFileIsRefusedUnread)
{
    test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    test::FileSizeLimit disk(1 << 20);
    test::StuckReaderGuard guard({dir.file("fifo")}, 10);
    for (const char* target : {"/dev/zero", "fifo"}) {
        const std::string link = dir.file(std::string("defaults-") + (target[0] == '/' ? "zero" : "fifo") + ".json");
        ASSERT_EQ(::symlink(target[0] == '/' ? target : dir.file(target).c_str(), link.c_str()), 0);
        testing::internal::CaptureStdout();
        Defaults defaults(link);
        const std::string printed = testing::internal::GetCapturedStdout();
        EXPECT_NE(printed.find("is not a regular file"), std::string::npos) << printed;
        EXPECT_FALSE(defaults.contains("isDarkMode"));
    }
    EXPECT_FALSE(guard.released()) << "the start waited on the FIFO";
    for (auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find(".unreadable-"), std::string::npos) << e.path();
}

} // namespace
} // namespace kovi
