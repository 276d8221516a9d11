#include "core/model/history_item.h"

#include "core/model/hashing.h"

namespace kovi {

HistoryItem HistoryItem::fromJson(const Json& object)
{
    json::requireObject(object, "HistoryItem");
    return HistoryItem{
        .id = json::requireUuid(object, "id"),
        .url = json::requireUrl(object, "url"),
        .title = json::requireString(object, "title"),
        .visitedAt = json::requireDate(object, "visitedAt"),
        .favicon = json::optional(object, "favicon", json::asBytes),
        .spaceId = json::optional(object, "spaceId", json::asUuid),
    };
}

Json toJson(const HistoryItem& item)
{
    Json object = Json::object();
    object["id"] = json::uuid(item.id);
    object["url"] = item.url.string();
    object["title"] = item.title;
    object["visitedAt"] = json::date(item.visitedAt);
    if (item.favicon)
        object["favicon"] = json::bytes(*item.favicon);
    if (item.spaceId)
        object["spaceId"] = json::uuid(*item.spaceId);
    return object;
}

std::size_t hashValue(const HistoryItem& item)
{
    std::size_t seed = 0;
    hashing::add(seed, item.id);
    hashing::add(seed, item.url);
    hashing::add(seed, item.title);
    hashing::addDate(seed, item.visitedAt);
    hashing::combine(seed, item.favicon.has_value());
    if (item.favicon)
        hashing::addBytes(seed, *item.favicon);
    hashing::addOptional(seed, item.spaceId);
    return seed;
}

} // namespace kovi
