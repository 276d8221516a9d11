#include "core/model/sidebar_item.h"

#include "core/model/hashing.h"

namespace kovi {

std::string SidebarItem::id() const
{
    return (m_kind == Kind::tab ? "tab-" : "folder-") + m_uuid.toString();
}

SidebarItem SidebarItem::fromJson(const Json& object)
{
    auto [name, payload] = json::oneCase(object, {"tab", "folder"});
    json::requireObject(*payload, "SidebarItem payload");
    Uuid id = json::requireUuid(*payload, "_0");
    return name == "tab" ? tab(id) : folder(id);
}

Json toJson(const SidebarItem& item)
{
    Json payload = Json::object();
    payload["_0"] = json::uuid(item.uuid());
    Json object = Json::object();
    object[item.isTab() ? "tab" : "folder"] = std::move(payload);
    return object;
}

std::size_t hashValue(const SidebarItem& item)
{
    std::size_t seed = 0;
    hashing::combine(seed, item.isTab() ? 0 : 1);
    hashing::add(seed, item.uuid());
    return seed;
}

} // namespace kovi
