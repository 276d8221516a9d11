#pragma once

#include "core/model/sidebar_item.h"
#include "core/support/date.h"
#include "core/support/json_coding.h"
#include "core/support/uuid.h"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kovi {

// The eight colours a space can have, in display order. The raw value is the case's name.
enum class SpaceColor { red, orange, yellow, green, blue, purple, pink, gray };

inline constexpr std::array<SpaceColor, 8> allSpaceColors = {
    SpaceColor::red, SpaceColor::orange, SpaceColor::yellow, SpaceColor::green,
    SpaceColor::blue, SpaceColor::purple, SpaceColor::pink, SpaceColor::gray,
};

NameTable<SpaceColor> rawValueNames(SpaceColor); // the raw value is also the colour's identity

// The catalogue of symbol names offered as space icons, in display order.
struct SpaceIcons {
    static const std::vector<std::string>& all();
};

// A named workspace of tabs. `tabOrder` lists the space's unpinned tabs (those in folders too);
// `sidebarOrder` lists only the top-level entries: tabs outside folders, and folders.
struct Space {
    Uuid id;
    std::string name;
    SpaceColor color = SpaceColor::blue;
    std::string icon;
    std::vector<Uuid> tabOrder;
    std::vector<SidebarItem> sidebarOrder;
    std::optional<Uuid> lastActiveTabId;
    Date createdAt;

    bool operator==(const Space&) const = default;

    static Space fromJson(const Json& object); // throws DecodeError
};

Json toJson(const Space& space);
std::size_t hashValue(const Space& space);

} // namespace kovi

template <>
struct std::hash<kovi::Space> {
    std::size_t operator()(const kovi::Space& space) const noexcept { return kovi::hashValue(space); }
};
