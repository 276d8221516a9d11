#pragma once

#include "core/support/json_coding.h"
#include "core/support/uuid.h"

#include <cstddef>
#include <functional>
#include <string>

namespace kovi {

// One top-level entry of a space's sidebar: a tab outside any folder, or a folder.
class SidebarItem {
public:
    enum class Kind { tab, folder };

    static SidebarItem tab(const Uuid& id) { return SidebarItem(Kind::tab, id); }
    static SidebarItem folder(const Uuid& id) { return SidebarItem(Kind::folder, id); }

    Kind kind() const { return m_kind; }
    bool isTab() const { return m_kind == Kind::tab; }
    bool isFolder() const { return m_kind == Kind::folder; }
    const Uuid& uuid() const { return m_uuid; } // the tab's or folder's id

    // Row identity: "tab-<UUID>" or "folder-<UUID>", so a tab and a folder never collide.
    std::string id() const;

    bool operator==(const SidebarItem&) const = default;

    // {"tab":{"_0":"<UUID>"}} or {"folder":{"_0":"<UUID>"}}; throws DecodeError, with
    // "Invalid number of keys found, expected one." unless exactly one case key is present.
    static SidebarItem fromJson(const Json& object);

private:
    SidebarItem(Kind kind, const Uuid& id) : m_kind(kind), m_uuid(id) {}

    Kind m_kind;
    Uuid m_uuid;
};

Json toJson(const SidebarItem& item);
std::size_t hashValue(const SidebarItem& item);

} // namespace kovi

template <>
struct std::hash<kovi::SidebarItem> {
    std::size_t operator()(const kovi::SidebarItem& item) const noexcept { return kovi::hashValue(item); }
};
