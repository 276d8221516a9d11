#include "core/model/download_item.h"

#include "core/model/hashing.h"

namespace kovi {

NameTable<DownloadStatus> rawValueNames(DownloadStatus)
{
    static constexpr NamedCase<DownloadStatus> names[] = {
        {DownloadStatus::pending, "pending"},
        {DownloadStatus::downloading, "downloading"},
        {DownloadStatus::paused, "paused"},
        {DownloadStatus::completed, "completed"},
        {DownloadStatus::failed, "failed"},
        {DownloadStatus::cancelled, "cancelled"},
    };
    return names;
}

DownloadItem DownloadItem::fromJson(const Json& object)
{
    json::requireObject(object, "DownloadItem");
    const auto status = json::requireRawValue<DownloadStatus>(object, "status", "DownloadStatus");
    return DownloadItem{
        .id = json::requireUuid(object, "id"),
        .url = json::requireUrl(object, "url"),
        .filename = json::requireString(object, "filename"),
        .localPath = json::optional(object, "localPath", json::asUrl),
        .totalBytes = json::requireInt64(object, "totalBytes"),
        .downloadedBytes = json::requireInt64(object, "downloadedBytes"),
        .status = status,
        .startedAt = json::requireDate(object, "startedAt"),
        .completedAt = json::optional(object, "completedAt", json::asDate),
    };
}

Json toJson(const DownloadItem& item)
{
    Json object = Json::object();
    object["id"] = json::uuid(item.id);
    object["url"] = item.url.string();
    object["filename"] = item.filename;
    if (item.localPath)
        object["localPath"] = item.localPath->string();
    object["totalBytes"] = item.totalBytes;
    object["downloadedBytes"] = item.downloadedBytes;
    object["status"] = toJson(item.status);
    object["startedAt"] = json::date(item.startedAt);
    if (item.completedAt)
        object["completedAt"] = json::date(*item.completedAt);
    return object;
}

std::size_t hashValue(const DownloadItem& item)
{
    std::size_t seed = 0;
    hashing::add(seed, item.id);
    hashing::add(seed, item.url);
    hashing::add(seed, item.filename);
    hashing::addOptional(seed, item.localPath);
    hashing::add(seed, item.totalBytes);
    hashing::add(seed, item.downloadedBytes);
    hashing::add(seed, std::string_view(rawValue(item.status)));
    hashing::addDate(seed, item.startedAt);
    hashing::combine(seed, item.completedAt.has_value());
    if (item.completedAt)
        hashing::addDate(seed, *item.completedAt);
    return seed;
}

} // namespace kovi
