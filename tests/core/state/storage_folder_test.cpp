#include "core/state/storage_folder.h"
#include "core/support/files.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kovi::test {
namespace {

std::size_t count(const std::string& text, const std::string& part)
{
    std::size_t found = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++found;
    return found;
}

int decodeNumber(const Json& value)
{
    return value.get<int>();
}

TEST(StorageFolderTest, AFailedWriteIsKeptAndWrittenByALaterRetry)
{
    TempDir dir;
    StorageFolder folder(dir.path());
    ASSERT_TRUE(folder.write("a.json", "1", "Failed a: "));
    {
        FileSizeLimit full(4); // a full disk
        EXPECT_FALSE(folder.write("a.json", "123456", "Failed a: "));
        folder.retryFailedWrites();
    }
    EXPECT_EQ(dir.read("a.json"), "1"); // the old file is whole
    EXPECT_TRUE(folder.hasFailedWrites());

    // Folders in the way make writes fail too; a retry that fails again says nothing more.
    dir.write("b.json/x", "");
    dir.write("c.json/x", "");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(folder.write("b.json", "2", "Failed b: "));
    EXPECT_FALSE(folder.write("c.json", "3", "Failed c: "));
    folder.retryFailedWrites({"a.json"}); // the caller has just written a.json anew
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(count(printed, "Failed b: "), 1u) << printed;
    EXPECT_EQ(count(printed, "Failed c: "), 1u) << printed;

    EXPECT_EQ(dir.read("a.json"), "1");

    std::filesystem::remove_all(dir.file("b.json"));
    std::filesystem::remove_all(dir.file("c.json"));
    folder.retryFailedWrites({"a.json", "c.json"});
    EXPECT_EQ(dir.read("a.json"), "1");
    EXPECT_EQ(dir.read("b.json"), "2");
    EXPECT_FALSE(dir.exists("c.json"));
    folder.retryFailedWrites();
    EXPECT_EQ(dir.read("a.json"), "123456");
    EXPECT_EQ(dir.read("c.json"), "3");
    EXPECT_FALSE(folder.hasFailedWrites());

    // A later successful write replaces what was waiting.
    {
        FileSizeLimit full(4);
        folder.write("a.json", "stale-text", "Failed a: ");
    }
    folder.write("a.json", "2", "Failed a: ");
    folder.retryFailedWrites();
    EXPECT_EQ(dir.read("a.json"), "2");
}

// A storage folder that could not be made printed "Could not keep a copy of the unreadable file"
// once per file and then refused every save of the session, though no file was unreadable.
TEST(StorageFolderTest, AFolderThatCannotBeMadeIsReportedOnceAndSavedIntoLater)
{
    TempDir dir;
    dir.write("blocker", "a file where the folder's parent should be");
    StorageFolder folder(dir.file("blocker/KoviBrowser"));
    testing::internal::CaptureStdout();
    for (const char* name : {"a.json", "b.json", "c.json", "d.json"})
        EXPECT_FALSE(folder.read(name, decodeNumber));
    EXPECT_FALSE(folder.write("a.json", "1", "Failed a: "));
    EXPECT_FALSE(folder.write("b.json", "2", "Failed b: "));
    folder.retryFailedWrites();
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(count(printed, "\n"), 1u) << printed;
    EXPECT_NE(printed.find("Could not create the folder " + dir.file("blocker/KoviBrowser")), std::string::npos);
    EXPECT_EQ(printed.find("unreadable"), std::string::npos);
    EXPECT_EQ(dir.read("blocker"), "a file where the folder's parent should be");

    // Once the folder can be made, the waiting files are written and nothing is refused.
    std::remove(dir.file("blocker").c_str());
    folder.retryFailedWrites();
    EXPECT_EQ(dir.read("blocker/KoviBrowser/a.json"), "1");
    EXPECT_EQ(dir.read("blocker/KoviBrowser/b.json"), "2");
    EXPECT_TRUE(folder.write("c.json", "3", "Failed c: "));
    EXPECT_EQ(folder.read("c.json", decodeNumber), 3);
}

TEST(StorageFolderTest, AnUnreadableFileIsKeptAsideOrElseNeverReplaced)
{
    TempDir dir;
    StorageFolder folder(dir.path());
    dir.write("damaged.json", "{");
    dir.write("empty.json", "");
    ASSERT_TRUE(files::ensureDirectory(dir.file("locked.json")));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(folder.read("damaged.json", decodeNumber));
    EXPECT_FALSE(folder.read("empty.json", decodeNumber));
    EXPECT_FALSE(folder.read("missing.json", decodeNumber));
    EXPECT_FALSE(folder.read("locked.json", decodeNumber)); // a folder: neither read nor copied
    EXPECT_TRUE(folder.write("damaged.json", "1", "Failed: "));
    EXPECT_FALSE(folder.write("locked.json", "1", "Failed: "));
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("Failed: the unreadable file"), std::string::npos);
    EXPECT_FALSE(folder.hasFailedWrites()); // a refusal is not retried
    EXPECT_EQ(dir.read("damaged.json"), "1");
    EXPECT_TRUE(files::isDirectory(dir.file("locked.json")));
}

} // namespace
} // namespace kovi::test
