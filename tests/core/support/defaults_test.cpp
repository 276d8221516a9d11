#include "core/support/defaults.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

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

} // namespace
} // namespace kovi
