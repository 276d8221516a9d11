#pragma once

#include "core/model/sidebar_item.h"
#include "core/model/tab.h"
#include "core/model/tab_folder.h"
#include "core/support/date.h"
#include "core/support/uuid.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace kovi {

class BrowserState;

// A tab counts as new for this long after its creation (the boundary itself included).
inline constexpr double sidebarTodayWindowSeconds = 86400;

// One line of the sidebar's scrolling list, in display order.
struct SidebarEntry {
    enum class Kind { emptyMessage, header, tabRow, folderRow, dropZone };

    Kind kind = Kind::dropZone;
    // Rows: "tab-<UUID>" / "folder-<UUID>"; headers: "header-Today" / "header-Earlier";
    // drop zones: "zone-<index>"; the message: "empty".
    std::string key;
    std::string title;         // headers only ("Today", "Earlier")
    std::optional<Uuid> id;    // rows: the tab or folder
    int index = 0;             // rows: position in the shown list; zones: the drop position
    int totalItems = 0;        // the number of shown items

    bool operator==(const SidebarEntry&) const = default;
};

// What the sidebar shows below the favourites grid: the "Keep" tabs, and the list of the other
// top-level entries with its headers and drop zones.
struct SidebarSections {
    std::vector<Tab> keepTabs;
    std::vector<SidebarItem> shownItems; // the space's entries without the kept tabs
    std::vector<SidebarEntry> entries;
};

// Tabs excluded from auto-archive, in no folder and not pinned, in the order given.
std::vector<Tab> sidebarKeepTabs(const std::vector<Tab>& currentSpaceTabs);
// Unpinned tabs in no folder created at `now` - 86400 s or later.
std::unordered_set<Uuid> sidebarTodayTabIds(const std::vector<Tab>& currentSpaceTabs, Date now);

// `items` is the space's valid top-level order, `currentSpaceTabs` its tabs; `tabs` and
// `folders` decide whether an entry still has something to draw (an entry without one keeps
// its drop zone but gets no row).
SidebarSections buildSidebarSections(const std::vector<SidebarItem>& items,
                                     const std::vector<Tab>& currentSpaceTabs,
                                     const std::unordered_map<Uuid, Tab>& tabs,
                                     const std::unordered_map<Uuid, TabFolder>& folders, Date now);
// The same, read from the state's shown space.
SidebarSections buildSidebarSections(const BrowserState& state, Date now);

} // namespace kovi
