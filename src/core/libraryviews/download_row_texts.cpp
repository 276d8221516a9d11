#include "core/libraryviews/download_row_texts.h"

#include "core/libraryviews/display_format.h"

#include <glib.h>

#include <algorithm>
#include <array>
#include <utility>

namespace kovi {

namespace {

// The text after the last full stop of the last path component, lower-cased; a name that only
// starts with a full stop (".profile") has none.
std::string extensionOf(std::string_view filename)
{
    if (auto slash = filename.rfind('/'); slash != std::string_view::npos)
        filename.remove_prefix(slash + 1);
    const auto dot = filename.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return {};
    std::string extension(filename.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(g_ascii_tolower(static_cast<gchar>(c))); });
    return extension;
}

constexpr auto symbolsByExtension = std::to_array<std::pair<std::string_view, std::string_view>>({
    {"pdf", "doc.fill"},
    {"zip", "doc.zipper"}, {"rar", "doc.zipper"}, {"7z", "doc.zipper"}, {"tar", "doc.zipper"}, {"gz", "doc.zipper"},
    {"mp3", "music.note"}, {"wav", "music.note"}, {"aac", "music.note"}, {"flac", "music.note"},
    {"mp4", "film"}, {"mov", "film"}, {"avi", "film"}, {"mkv", "film"},
    {"jpg", "photo"}, {"jpeg", "photo"}, {"png", "photo"}, {"gif", "photo"}, {"webp", "photo"},
    {"dmg", "shippingbox"}, {"pkg", "shippingbox"},
    {"app", "app"},
});

} // namespace

std::string_view downloadSymbol(std::string_view filename)
{
    const std::string extension = extensionOf(filename);
    for (const auto& [name, symbol] : symbolsByExtension) {
        if (name == extension)
            return symbol;
    }
    return "doc";
}

std::string_view downloadStatusText(DownloadStatus status)
{
    switch (status) {
    case DownloadStatus::pending: return "Waiting...";
    case DownloadStatus::downloading: return "Downloading...";
    case DownloadStatus::paused: return "Paused";
    case DownloadStatus::completed: return "Completed";
    case DownloadStatus::failed: return "Failed";
    case DownloadStatus::cancelled: return "Cancelled";
    }
    return "Failed";
}

std::string_view downloadStatusStyle(DownloadStatus status)
{
    switch (status) {
    case DownloadStatus::downloading: return "blue";
    case DownloadStatus::paused: return "orange";
    case DownloadStatus::completed: return "green";
    case DownloadStatus::failed: return "red";
    case DownloadStatus::pending:
    case DownloadStatus::cancelled: return "secondary";
    }
    return "secondary";
}

std::optional<std::string> downloadSizeText(const DownloadItem& item)
{
    if (item.status == DownloadStatus::downloading)
        return display::byteCount(item.downloadedBytes) + " / " + display::byteCount(item.totalBytes);
    if (item.status == DownloadStatus::completed)
        return display::byteCount(item.totalBytes);
    return std::nullopt;
}

double downloadProgress(const DownloadItem& item)
{
    if (item.totalBytes < 1)
        return 0;
    const double fraction = static_cast<double>(item.downloadedBytes) / static_cast<double>(item.totalBytes);
    return std::clamp(fraction, 0.0, 1.0);
}

bool hasCompletedDownload(const std::vector<DownloadItem>& downloads)
{
    return std::any_of(downloads.begin(), downloads.end(),
                       [](const DownloadItem& item) { return item.status == DownloadStatus::completed; });
}

bool isDownloadedFileMissing(const DownloadItem& item)
{
    if (!item.localPath)
        return false;
    auto path = item.localPath->filePath();
    return !path || !g_file_test(path->c_str(), G_FILE_TEST_EXISTS);
}

} // namespace kovi
