#include "core/model/tab_folder.h"

#include "core/model/hashing.h"

namespace kovi {

TabFolder TabFolder::fromJson(const Json& object)
{
    json::requireObject(object, "TabFolder");
    TabFolder folder;
    folder.id = json::requireUuid(object, "id");
    folder.name = json::requireString(object, "name");
    folder.spaceId = json::optional(object, "spaceId", json::asUuid);
    folder.tabIds = json::requireUuidArray(object, "tabIds");
    folder.isExpanded = json::requireBool(object, "isExpanded");
    folder.createdAt = json::requireDate(object, "createdAt");
    return folder;
}

Json toJson(const TabFolder& folder)
{
    Json object = Json::object();
    object["id"] = json::uuid(folder.id);
    object["name"] = folder.name;
    if (folder.spaceId)
        object["spaceId"] = json::uuid(*folder.spaceId);
    object["tabIds"] = json::uuidArray(folder.tabIds);
    object["isExpanded"] = folder.isExpanded;
    object["createdAt"] = json::date(folder.createdAt);
    return object;
}

std::size_t hashValue(const TabFolder& folder)
{
    std::size_t seed = 0;
    hashing::add(seed, folder.id);
    hashing::add(seed, folder.name);
    hashing::addOptional(seed, folder.spaceId);
    hashing::addList(seed, folder.tabIds);
    hashing::add(seed, folder.isExpanded);
    hashing::addDate(seed, folder.createdAt);
    return seed;
}

} // namespace kovi
