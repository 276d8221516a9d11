#include "core/state/download_log.h"
#include "core/state/storage_folder.h"
#include "support/manual_delayed_task.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>

namespace kovi::test {
namespace {

class DownloadLogTest : public ::testing::Test {
protected:
    DownloadLogTest()
    {
        log = std::make_unique<DownloadLog>(folder, flush, [this] {
            ++saves;
            log->saving();
            log->write();
        });
    }

    std::string file() const { return dir.read(DownloadLog::fileName); }
    bool fileHas(const std::string& part) const { return file().find(part) != std::string::npos; }

    // A report as the download handling sends it, written when the log asks for it.
    void report(std::optional<std::int64_t> bytes, std::optional<DownloadStatus> status = std::nullopt)
    {
        if (log->update(id, bytes, 100, status, std::nullopt).save) {
            log->saving();
            log->write();
        }
    }

    TempDir dir;
    StorageFolder folder{dir.path()};
    ManualDelayedTask flush;
    ManualClock clock{Date(1000)};
    Clock::Override useClock{clock};
    int saves = 0;
    std::unique_ptr<DownloadLog> log;
    Uuid id = Uuid::random();
};

TEST_F(DownloadLogTest, ProgressWaitsForTheSecondAndAStatusIsWrittenAtOnce)
{
    log->set({DownloadItem{id, *Url::parse("https://example.com/f.zip"), "f.zip", std::nullopt, 0, 0,
                           DownloadStatus::downloading, clock.now(), std::nullopt}});
    report(1);
    EXPECT_TRUE(fileHas("\"downloadedBytes\":1,"));

    clock.advance(0.5);
    report(2);
    report(3);
    EXPECT_TRUE(fileHas("\"downloadedBytes\":1,"));
    EXPECT_TRUE(flush.isPending());
    EXPECT_EQ(flush.starts, 1); // one postponed write, not one per report
    EXPECT_DOUBLE_EQ(flush.seconds(), DownloadLog::progressWriteInterval);
    flush.fire();
    EXPECT_EQ(saves, 1);
    EXPECT_TRUE(fileHas("\"downloadedBytes\":3,"));

    // The postponed write counts as the last one.
    clock.advance(0.5);
    report(4);
    EXPECT_TRUE(fileHas("\"downloadedBytes\":3,"));
    // A status does not wait, and makes the postponed write needless.
    report(100, DownloadStatus::completed);
    EXPECT_TRUE(fileHas("\"completed\""));
    EXPECT_FALSE(flush.isPending());
    EXPECT_EQ(saves, 1);

    // A clock that went back does not hold progress for ever.
    DownloadItem second{Uuid::random(), *Url::parse("https://example.com/g.zip"), "g.zip", std::nullopt, 0, 0,
                        DownloadStatus::downloading, clock.now(), std::nullopt};
    log->set({second});
    EXPECT_TRUE(log->update(second.id, 1, 2, std::nullopt, std::nullopt).save);
    clock.set(Date(10));
    EXPECT_TRUE(log->update(second.id, 2, 2, std::nullopt, std::nullopt).save);
}

TEST_F(DownloadLogTest, DestroyingTheLogCancelsThePostponedWrite)
{
    log->set({DownloadItem{id, *Url::parse("https://example.com/f.zip"), "f.zip", std::nullopt, 0, 0,
                           DownloadStatus::downloading, clock.now(), std::nullopt}});
    report(1);
    report(2);
    ASSERT_TRUE(flush.isPending());
    log.reset();
    EXPECT_FALSE(flush.isPending());
}

} // namespace
} // namespace kovi::test
