// What a downloads-panel row shows for a download.
#include "library_views_fixture.h"

#include "core/libraryviews/download_row_texts.h"

#include <limits>

namespace kovi::test {
namespace {

DownloadItem download(DownloadStatus status, std::int64_t downloaded, std::int64_t total)
{
    return DownloadItem{Uuid::random(), *Url::parse("https://example.com/file.bin"), "file.bin", std::nullopt,
                        total, downloaded, status, Date(), std::nullopt};
}

TEST(DownloadRowTexts, TheFileTypeSymbolComesFromTheExtensionAlone)
{
    const std::pair<const char*, const char*> cases[] = {
        {"REPORT.PDF", "doc.fill"}, {"archive.tar.gz", "doc.zipper"}, {"song.FLAC", "music.note"},
        {"clip.MKV", "film"}, {"image.webp", "photo"}, {"Installer.dmg", "shippingbox"}, {"Tool.app", "app"},
        {"notes.txt", "doc"}, {"README", "doc"}, {".pdf", "doc"}, {"trailing.", "doc"}, {"dir.zip/inner", "doc"},
        {"", "doc"},
    };
    for (const auto& [name, symbol] : cases)
        EXPECT_EQ(downloadSymbol(name), symbol) << name;
}

TEST(DownloadRowTexts, StatusWordsAndColours)
{
    using S = DownloadStatus;
    EXPECT_EQ(downloadStatusText(S::pending), "Waiting...");
    EXPECT_EQ(downloadStatusText(S::downloading), "Downloading...");
    EXPECT_EQ(downloadStatusText(S::paused), "Paused");
    EXPECT_EQ(downloadStatusText(S::completed), "Completed");
    EXPECT_EQ(downloadStatusText(S::failed), "Failed");
    EXPECT_EQ(downloadStatusText(S::cancelled), "Cancelled");
    EXPECT_EQ(downloadStatusStyle(S::pending), "secondary");
    EXPECT_EQ(downloadStatusStyle(S::downloading), "blue");
    EXPECT_EQ(downloadStatusStyle(S::paused), "orange");
    EXPECT_EQ(downloadStatusStyle(S::completed), "green");
    EXPECT_EQ(downloadStatusStyle(S::failed), "red");
    EXPECT_EQ(downloadStatusStyle(S::cancelled), "secondary");
}

TEST(DownloadRowTexts, SizesAndProgress)
{
    using S = DownloadStatus;
    // The desktop's decimal units, with a no-break space before the unit.
    EXPECT_EQ(downloadSizeText(download(S::downloading, 1'500'000, 3'000'000)), "1.5\u00A0MB / 3.0\u00A0MB");
    EXPECT_EQ(downloadSizeText(download(S::completed, 3'000'000, 3'000'000)), "3.0\u00A0MB");
    EXPECT_EQ(downloadSizeText(download(S::completed, 12, 12)), "12 bytes");
    for (S status : {S::pending, S::paused, S::failed, S::cancelled})
        EXPECT_FALSE(downloadSizeText(download(status, 10, 20)));
    EXPECT_EQ(downloadSizeText(download(S::downloading, -1, 0)), "-1 byte / 0 bytes");

    EXPECT_DOUBLE_EQ(downloadProgress(download(S::downloading, 50, 200)), 0.25);
    EXPECT_DOUBLE_EQ(downloadProgress(download(S::downloading, 50, 0)), 0.0);
    EXPECT_DOUBLE_EQ(downloadProgress(download(S::downloading, 500, 200)), 1.0);
    EXPECT_DOUBLE_EQ(downloadProgress(download(S::downloading, -5, 200)), 0.0);
    constexpr auto most = std::numeric_limits<std::int64_t>::max();
    EXPECT_DOUBLE_EQ(downloadProgress(download(S::downloading, most, most)), 1.0);
    EXPECT_FALSE(downloadSizeText(download(S::downloading, std::numeric_limits<std::int64_t>::min(), 1))->empty());
}

TEST(DownloadRowTexts, ClearCompletedAndMissingFiles)
{
    using S = DownloadStatus;
    EXPECT_FALSE(hasCompletedDownload({}));
    EXPECT_FALSE(hasCompletedDownload({download(S::failed, 0, 0), download(S::downloading, 1, 2)}));
    EXPECT_TRUE(hasCompletedDownload({download(S::failed, 0, 0), download(S::completed, 2, 2)}));

    TempDir dir;
    dir.write("here.txt", "x");
    DownloadItem item = download(S::completed, 1, 1);
    EXPECT_FALSE(isDownloadedFileMissing(item)); // no file recorded: nothing to say
    item.localPath = Url::fromFilePath(dir.file("here.txt"));
    EXPECT_FALSE(isDownloadedFileMissing(item));
    item.localPath = Url::fromFilePath(dir.file("moved away.txt"));
    EXPECT_TRUE(isDownloadedFileMissing(item));
}

} // namespace
} // namespace kovi::test
