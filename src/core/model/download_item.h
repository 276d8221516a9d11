#pragma once

#include "core/support/date.h"
#include "core/support/json_coding.h"
#include "core/support/url.h"
#include "core/support/uuid.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kovi {

// The state of one download. The raw value is the case's name.
enum class DownloadStatus { pending, downloading, paused, completed, failed, cancelled };

NameTable<DownloadStatus> rawValueNames(DownloadStatus);

// One file download: its source, the name shown and given to the file, where the file was put,
// the byte counts as last reported, and its status. Progress is derived from the byte counts.
struct DownloadItem {
    Uuid id;
    Url url;
    std::string filename;
    std::optional<Url> localPath; // a file URL
    std::int64_t totalBytes = 0;
    std::int64_t downloadedBytes = 0;
    DownloadStatus status = DownloadStatus::downloading;
    Date startedAt;
    std::optional<Date> completedAt;

    bool operator==(const DownloadItem&) const = default;

    static DownloadItem fromJson(const Json& object); // throws DecodeError
};

Json toJson(const DownloadItem& item);
std::size_t hashValue(const DownloadItem& item);

} // namespace kovi

template <>
struct std::hash<kovi::DownloadItem> {
    std::size_t operator()(const kovi::DownloadItem& item) const noexcept { return kovi::hashValue(item); }
};
