#include "core/model/tab.h"

#include "core/model/hashing.h"

namespace kovi {

std::string Tab::defaultTitle(const Url& url)
{
    if (auto host = url.host())
        return *host;
    return "New Tab";
}

Tab::Tab(Uuid id, Url url, std::optional<std::string> title, bool isPinned, bool isAutoArchiveExcluded,
         std::optional<Uuid> spaceId, std::optional<Uuid> folderId)
    : id(id)
    , url(std::move(url))
    , isPinned(isPinned)
    , isAutoArchiveExcluded(isAutoArchiveExcluded)
    , spaceId(spaceId)
    , folderId(folderId)
{
    this->title = title ? std::move(*title) : defaultTitle(this->url);
    createdAt = Date::now();
    lastAccessedAt = Date::now();
}

Tab Tab::fromJson(const Json& object)
{
    json::requireObject(object, "Tab");
    Tab tab(json::requireUuid(object, "id"), json::requireUrl(object, "url"), json::requireString(object, "title"),
            false, false, std::nullopt, std::nullopt);
    tab.favicon = json::optional(object, "favicon", json::asBytes);
    tab.isPinned = json::requireBool(object, "isPinned");
    tab.isAutoArchiveExcluded = json::optional(object, "isAutoArchiveExcluded", json::asBool).value_or(false);
    tab.spaceId = json::optional(object, "spaceId", json::asUuid);
    tab.folderId = json::optional(object, "folderId", json::asUuid);
    tab.createdAt = json::requireDate(object, "createdAt");
    tab.lastAccessedAt = json::requireDate(object, "lastAccessedAt");
    tab.isLoading = json::requireBool(object, "isLoading");
    tab.loadingProgress = json::requireDouble(object, "loadingProgress");
    tab.canGoBack = json::requireBool(object, "canGoBack");
    tab.canGoForward = json::requireBool(object, "canGoForward");
    return tab;
}

Json toJson(const Tab& tab)
{
    Json object = Json::object();
    object["id"] = json::uuid(tab.id);
    object["url"] = tab.url.string();
    object["title"] = tab.title;
    if (tab.favicon)
        object["favicon"] = json::bytes(*tab.favicon);
    object["isPinned"] = tab.isPinned;
    object["isAutoArchiveExcluded"] = tab.isAutoArchiveExcluded;
    if (tab.spaceId)
        object["spaceId"] = json::uuid(*tab.spaceId);
    if (tab.folderId)
        object["folderId"] = json::uuid(*tab.folderId);
    object["createdAt"] = json::date(tab.createdAt);
    object["lastAccessedAt"] = json::date(tab.lastAccessedAt);
    object["isLoading"] = tab.isLoading;
    object["loadingProgress"] = json::number(tab.loadingProgress);
    object["canGoBack"] = tab.canGoBack;
    object["canGoForward"] = tab.canGoForward;
    return object;
}

std::size_t hashValue(const Tab& tab)
{
    std::size_t seed = 0;
    hashing::add(seed, tab.id);
    hashing::add(seed, tab.url);
    hashing::add(seed, tab.title);
    hashing::combine(seed, tab.favicon.has_value());
    if (tab.favicon)
        hashing::addBytes(seed, *tab.favicon);
    hashing::add(seed, tab.isPinned);
    hashing::add(seed, tab.isAutoArchiveExcluded);
    hashing::addOptional(seed, tab.spaceId);
    hashing::addOptional(seed, tab.folderId);
    hashing::addDate(seed, tab.createdAt);
    hashing::addDate(seed, tab.lastAccessedAt);
    hashing::add(seed, tab.isLoading);
    hashing::addDouble(seed, tab.loadingProgress);
    hashing::add(seed, tab.canGoBack);
    hashing::add(seed, tab.canGoForward);
    return seed;
}

} // namespace kovi
