#include "core/support/date.h"
#include "core/support/files.h"

#include "support/file_size_limit.h"
#include "support/stuck_reader_guard.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

namespace kovi {
namespace {

TEST(FilesTest, AtomicWriteCreatesFoldersAndReplacesWhole)
{
    test::TempDir dir;
    std::string path = dir.file("a/b/state.json");
    ASSERT_TRUE(files::writeAtomically(path, "first").ok());
    ASSERT_TRUE(files::writeAtomically(path, "second").ok());
    EXPECT_EQ(dir.read("a/b/state.json"), "second");
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // No temporary files are left beside it.
    int entries = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.file("a/b")))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(FilesTest, WriteIntoAnImpossibleFolderFails)
{
    test::TempDir dir;
    dir.write("plain", "a file, not a folder");
    EXPECT_FALSE(files::writeAtomically(dir.file("plain/state.json"), "x").ok());
    EXPECT_EQ(dir.read("plain"), "a file, not a folder");
}

TEST(FilesTest, FailedWriteKeepsTheOldFile)
{
    test::TempDir dir;
    dir.write("f/state.json", "old");
    Result<void> result;
    {
        test::FileSizeLimit limit(8);
        result = files::writeAtomically(dir.file("f/state.json"), "new and much longer than eight bytes");
    }
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(dir.read("f/state.json"), "old");
    int entries = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.file("f")))
        ++entries;
    EXPECT_EQ(entries, 1); // no partial temporary file is left behind
}

TEST(FilesTest, BoundedReadsRefuseLargeFilesAndNonRegularOnes)
{
    test::TempDir dir;
    dir.write("exact", std::string(10, 'x'));
    dir.write("over", std::string(11, 'x'));
    EXPECT_EQ(files::readBounded(dir.file("exact"), 10).value(), std::string(10, 'x'));
    EXPECT_EQ(files::readBounded(dir.file("over"), 10).error().code, ErrorCode::TooLarge);
    EXPECT_EQ(files::readBounded(dir.file("missing"), 10).error().code, ErrorCode::NotFound);
    EXPECT_EQ(files::readBounded(dir.path(), 10).error().code, ErrorCode::NotRegular);
    ::mkfifo(dir.file("fifo").c_str(), 0600);
    EXPECT_EQ(files::readBounded(dir.file("fifo"), 10).error().code, ErrorCode::NotRegular);
}

TEST(FilesTest, KeepAsideCopiesAndKeepsTheNewestFive)
{
    test::TempDir dir;
    dir.write("state.json", "damaged");
    for (int i = 0; i < 7; ++i)
        dir.write("state.json.unreadable-2020010" + std::to_string(i) + "-000000", "old");
    auto copy = files::keepAside(dir.file("state.json"));
    ASSERT_TRUE(copy);
    EXPECT_EQ(dir.read("state.json"), "damaged");
    int copies = 0;
    bool newestKept = false;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) {
        std::string name = e.path().filename().string();
        if (name.find(".unreadable-") != std::string::npos)
            ++copies;
        newestKept |= e.path().string() == *copy;
    }
    EXPECT_EQ(copies, 5);
    EXPECT_TRUE(newestKept);
    EXPECT_FALSE(dir.exists("state.json.unreadable-20200100-000000"));
}

// A damaged settings file that was a link to /dev/zero was copied aside until the disk was full;
// one that was a link to a FIFO waited for a writer for ever, before the main loop ran.
TEST(FilesTest, OnlyRegularFilesAreReadOrKeptAside)
{
    test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", dir.file("zero.json").c_str()), 0);
    ASSERT_EQ(::symlink(dir.file("fifo").c_str(), dir.file("pipe.json").c_str()), 0);
    dir.write("real", "damaged");
    ASSERT_EQ(::symlink(dir.file("real").c_str(), dir.file("link.json").c_str()), 0);
    {
        test::FileSizeLimit disk(1 << 20); // a runaway copy stops here instead of filling the disk
        test::StuckReaderGuard guard({dir.file("fifo")}, 10);
        for (const char* name : {"zero.json", "pipe.json", "fifo"}) {
            EXPECT_EQ(files::readBounded(dir.file(name), 100).error().code, ErrorCode::NotRegular) << name;
            testing::internal::CaptureStdout();
            EXPECT_FALSE(files::keepAside(dir.file(name))) << name;
            const std::string printed = testing::internal::GetCapturedStdout();
            EXPECT_NE(printed.find("is not a regular file"), std::string::npos) << printed;
        }
        EXPECT_FALSE(guard.released()) << "keeping the FIFO aside waited for a writer";
    }
    for (auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find(".unreadable-"), std::string::npos) << e.path();

    // A link to a regular file is followed: the copy holds the file's bytes, the link stays.
    testing::internal::CaptureStdout();
    auto copy = files::keepAside(dir.file("link.json"));
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(copy);
    EXPECT_EQ(files::readBounded(*copy, 100).value(), "damaged");
    struct stat st;
    ASSERT_EQ(::lstat(copy->c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

// A second damaged file within the same second replaced the first one's copy.
TEST(FilesTest, KeepAsideNeverReplacesACopyOfTheSameSecond)
{
    test::TempDir dir;
    ManualClock clock(Date::fromUnix(1704067200)); // 2024-01-01 00:00:00 UTC
    Clock::Override use(clock);
    std::vector<std::string> kept;
    for (int i = 1; i <= 12; ++i) {
        dir.write("state.json", "damaged " + std::to_string(i));
        auto copy = files::keepAside(dir.file("state.json"));
        ASSERT_TRUE(copy);
        kept.push_back(*copy);
    }
    EXPECT_EQ(kept[0], dir.file("state.json.unreadable-20240101-000000"));
    EXPECT_EQ(kept[1], dir.file("state.json.unreadable-20240101-000000-2"));
    EXPECT_EQ(kept[11], dir.file("state.json.unreadable-20240101-000000-12"));
    // The newest five stay, ordered by number, not by text ("-12" is newer than "-9").
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(files::exists(kept[static_cast<std::size_t>(i)]), i >= 7) << kept[static_cast<std::size_t>(i)];
    EXPECT_EQ(dir.read("state.json.unreadable-20240101-000000-12"), "damaged 12");

    // A later second sorts after every numbered copy of an earlier one.
    clock.advance(1);
    dir.write("state.json", "later");
    ASSERT_TRUE(files::keepAside(dir.file("state.json")));
    EXPECT_TRUE(dir.exists("state.json.unreadable-20240101-000001"));
    EXPECT_FALSE(files::exists(kept[7]));
    EXPECT_TRUE(files::exists(kept[11]));
}

} // namespace
} // namespace kovi
