#include "core/support/files.h"

#include "support/file_size_limit.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
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

} // namespace
} // namespace kovi
