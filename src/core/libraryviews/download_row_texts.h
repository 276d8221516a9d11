#pragma once

#include "core/model/download_item.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a row of the downloads panel shows for one download.
namespace kovi {

// The file-type symbol, from the file name's extension alone ("doc.fill" for pdf, "doc" when
// unknown or absent).
std::string_view downloadSymbol(std::string_view filename);
// "Waiting...", "Downloading...", "Paused", "Completed", "Failed", "Cancelled".
std::string_view downloadStatusText(DownloadStatus status);
// The status word's colour as a style class: "secondary", "blue", "orange", "green", "red".
std::string_view downloadStatusStyle(DownloadStatus status);
// "1.2 MB / 3.4 MB" while downloading, the total once completed, nothing otherwise.
std::optional<std::string> downloadSizeText(const DownloadItem& item);
// downloaded ÷ total within 0…1; 0 when the total is unknown (below 1).
double downloadProgress(const DownloadItem& item);
// "Clear Completed" is offered while one of these holds.
bool hasCompletedDownload(const std::vector<DownloadItem>& downloads);
// The file it was saved to is no longer there (Open and Show in Folder say so rather than fail
// silently). False when no file was recorded.
bool isDownloadedFileMissing(const DownloadItem& item);

} // namespace kovi
