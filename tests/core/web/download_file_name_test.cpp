#include "core/web/download_file_name.h"

#include "support/temp_dir.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

namespace kovi {
namespace {

TEST(DownloadFileNameTest, KeepsOnlyTheLastPathComponent)
{
    EXPECT_EQ(DownloadFileName::safeName("a/b/c.zip"), "c.zip");
    EXPECT_EQ(DownloadFileName::safeName("../../etc/passwd"), "passwd");
    EXPECT_EQ(DownloadFileName::safeName("/abs/path/"), "path");
    EXPECT_EQ(DownloadFileName::safeName("report.pdf"), "report.pdf");
}

TEST(DownloadFileNameTest, EmptyAndDotNamesBecomeTheFallback)
{
    for (const char* name : {"", ".", "..", "/", "///", "...", "  ", " . ", "\x01\x02"})
        EXPECT_EQ(DownloadFileName::safeName(name), "Download") << '"' << name << '"';
}

TEST(DownloadFileNameTest, HostileCharactersAreRemoved)
{
    EXPECT_EQ(DownloadFileName::safeName(std::string("evil\0name.txt", 13)), "evilname.txt");
    EXPECT_EQ(DownloadFileName::safeName("line\nbreak\r\t.txt"), "linebreak.txt");
    EXPECT_EQ(DownloadFileName::safeName(".bashrc"), "bashrc");
    EXPECT_EQ(DownloadFileName::safeName("  .. hidden.sh  "), "hidden.sh");
    EXPECT_EQ(DownloadFileName::safeName("bad\xff\xfe.bin"), "bad.bin");
    EXPECT_EQ(DownloadFileName::safeName("x\xc2\x85y"), "xy"); // a C1 control character
    EXPECT_EQ(DownloadFileName::safeName("résumé 📄.pdf"), "résumé 📄.pdf");
}

TEST(DownloadFileNameTest, LongNamesFitIn255BytesKeepingTheExtension)
{
    std::string longName(300, 'a');
    EXPECT_EQ(DownloadFileName::safeName(longName).size(), 255u);
    std::string withExt = std::string(400, 'b') + ".tar";
    std::string safe = DownloadFileName::safeName(withExt);
    EXPECT_LE(safe.size(), 255u);
    EXPECT_TRUE(safe.ends_with(".tar"));
    // Multi-byte characters are never cut in half.
    std::string wide;
    for (int i = 0; i < 200; ++i)
        wide += "é";
    safe = DownloadFileName::safeName(wide + ".txt");
    EXPECT_LE(safe.size(), 255u);
    EXPECT_TRUE(g_utf8_validate(safe.c_str(), -1, nullptr));
    // The numbered variant still fits.
    std::string numbered = DownloadFileName::candidate(DownloadFileName::safeName(withExt), 12);
    EXPECT_LE(numbered.size(), 255u);
    EXPECT_TRUE(numbered.ends_with(" (12).tar"));
}

TEST(DownloadFileNameTest, NumberedCandidatesGoBeforeTheExtension)
{
    EXPECT_EQ(DownloadFileName::candidate("report.pdf", 0), "report.pdf");
    EXPECT_EQ(DownloadFileName::candidate("report.pdf", 1), "report (1).pdf");
    EXPECT_EQ(DownloadFileName::candidate("README", 2), "README (2)");
    EXPECT_EQ(DownloadFileName::candidate("archive.tar.gz", 1), "archive.tar (1).gz");
    EXPECT_EQ(DownloadFileName::candidate("file.", 1), "file. (1)");
}

class DownloadMoveTest : public testing::Test {
protected:
    test::TempDir dir;
    std::string downloads() const { return dir.file("Downloads"); }
    std::string partial(const std::string& contents)
    {
        std::string name = "part" + std::to_string(m_count++);
        dir.write(name, contents);
        return dir.file(name);
    }

private:
    int m_count = 0;
};

TEST_F(DownloadMoveTest, TakesTheFirstFreeNameAndNeverReplacesAFile)
{
    auto first = DownloadFileName::moveToFreeName(partial("one"), downloads(), "report.pdf");
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, downloads() + "/report.pdf");
    auto second = DownloadFileName::moveToFreeName(partial("two"), downloads(), "report.pdf");
    auto third = DownloadFileName::moveToFreeName(partial("three"), downloads(), "report.pdf");
    ASSERT_TRUE(second);
    ASSERT_TRUE(third);
    EXPECT_EQ(*second, downloads() + "/report (1).pdf");
    EXPECT_EQ(*third, downloads() + "/report (2).pdf");
    EXPECT_EQ(dir.read("Downloads/report.pdf"), "one");
    EXPECT_EQ(dir.read("Downloads/report (1).pdf"), "two");
    EXPECT_EQ(dir.read("Downloads/report (2).pdf"), "three");

    auto readme = DownloadFileName::moveToFreeName(partial("r"), downloads(), "README");
    auto readme2 = DownloadFileName::moveToFreeName(partial("r2"), downloads(), "README");
    ASSERT_TRUE(readme2);
    EXPECT_EQ(*readme2, downloads() + "/README (1)");
}

TEST_F(DownloadMoveTest, ADanglingLinkOrFolderWithTheNameIsSkippedNotFollowed)
{
    ASSERT_TRUE(DownloadFileName::moveToFreeName(partial("x"), downloads(), "seed").ok());
    ASSERT_EQ(symlink("/nonexistent/target", (downloads() + "/a.txt").c_str()), 0);
    ASSERT_EQ(mkdir((downloads() + "/a (1).txt").c_str(), 0755), 0);
    auto moved = DownloadFileName::moveToFreeName(partial("data"), downloads(), "a.txt");
    ASSERT_TRUE(moved);
    EXPECT_EQ(*moved, downloads() + "/a (2).txt");
}

TEST_F(DownloadMoveTest, AMissingSourceFailsAndCreatesNothing)
{
    auto moved = DownloadFileName::moveToFreeName(dir.file("nope"), downloads(), "x.bin");
    EXPECT_FALSE(moved);
    EXPECT_FALSE(dir.exists("Downloads/x.bin"));
}

} // namespace
} // namespace kovi
