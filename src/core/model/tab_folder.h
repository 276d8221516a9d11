#pragma once

#include "core/support/date.h"
#include "core/support/json_coding.h"
#include "core/support/uuid.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kovi {

// A named, collapsible group of tabs inside one space's sidebar. `tabIds` is the display order;
// each member tab names the folder in its `folderId`.
struct TabFolder {
    Uuid id;
    std::string name;
    std::optional<Uuid> spaceId;
    std::vector<Uuid> tabIds;
    bool isExpanded = true;
    Date createdAt;

    bool operator==(const TabFolder&) const = default;

    static TabFolder fromJson(const Json& object); // throws DecodeError
};

Json toJson(const TabFolder& folder);
std::size_t hashValue(const TabFolder& folder);

} // namespace kovi

template <>
struct std::hash<kovi::TabFolder> {
    std::size_t operator()(const kovi::TabFolder& folder) const noexcept { return kovi::hashValue(folder); }
};
