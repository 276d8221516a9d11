#pragma once

#include "core/model/dragged_item.h"
#include "core/model/sidebar_item.h"
#include "core/model/tab.h"
#include "core/model/tab_folder.h"
#include "core/support/uuid.h"

#include <optional>
#include <unordered_map>
#include <vector>

namespace kovi {

class BrowserState;

// What the sidebar's drop targets know of the state when something is dropped on them.
// `shownItems` is the list as the sidebar shows it (kept tabs left out); `storedItems` is the
// order the state's move operations index into. Drop positions are given in the shown list.
struct SidebarDropContext {
    const std::unordered_map<Uuid, Tab>& tabs;
    const std::unordered_map<Uuid, TabFolder>& folders;
    std::optional<Uuid> currentSpaceId;
    const std::vector<SidebarItem>& shownItems;
    const std::vector<SidebarItem>& storedItems;
};

// The decision of one drop: refused, or the state operation that carries it out.
struct SidebarDrop {
    enum class Kind {
        refuse,
        moveTab,            // moveTab(itemId, index)
        moveFolder,         // moveSidebarItem(.folder(itemId), index)
        createFolder,       // createFolder("New Folder", [targetId, itemId])
        addToFolder,        // addTabToFolder(itemId, targetId)
        moveInFolder,       // moveTabInFolder(itemId, targetId, index)
        addToFolderAndMove, // addTabToFolder, then moveTabInFolder when the folder holds it
    };

    Kind kind = Kind::refuse;
    Uuid itemId;
    Uuid targetId;
    int index = 0; // in the stored order (top level) or in the folder's tabIds

    bool accepted() const { return kind != Kind::refuse; }
    bool operator==(const SidebarDrop&) const = default;
};

inline constexpr const char* newFolderName = "New Folder";
// A drop this close to a tab row's top edge goes before the row, this far down or lower after it;
// in between the two tabs are folded together.
inline constexpr double rowDropBeforeMaxY = 9;
inline constexpr double rowDropAfterMinY = 25;

// The stored-order position of the shown-list position `shownIndex` (0...shown count): before
// the shown entry at that position, or just after the last shown entry, so that kept tabs that
// the list leaves out never shift where a dropped item lands.
int storedSidebarIndex(int shownIndex, const std::vector<SidebarItem>& shownItems,
                       const std::vector<SidebarItem>& storedItems);

// Top-level drop zone at `shownIndex`.
SidebarDrop decideDropZoneDrop(const DraggedItem& item, int shownIndex, const SidebarDropContext& context);
// Tab row at `shownIndex`, dropped `y` points below its top edge.
SidebarDrop decideTabRowDrop(const DraggedItem& item, const Uuid& rowTabId, int shownIndex, double y,
                             const SidebarDropContext& context);
SidebarDrop decideFolderHeaderDrop(const DraggedItem& item, const Uuid& folderId, const SidebarDropContext& context);
// Drop zone at `index` of the folder's tab list.
SidebarDrop decideFolderZoneDrop(const DraggedItem& item, const Uuid& folderId, int index,
                                 const SidebarDropContext& context);
SidebarDrop decideFolderTabRowDrop(const DraggedItem& item, const Uuid& folderId, const Uuid& rowTabId,
                                   const SidebarDropContext& context);

// Carries out an accepted drop; a refused one changes nothing.
void applySidebarDrop(BrowserState& state, const SidebarDrop& drop);

} // namespace kovi
