#include "core/sidebar/sidebar_drop.h"

#include <algorithm>

namespace kovi {

namespace {

template <class T>
std::optional<int> positionOf(const T& item, const std::vector<T>& list)
{
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end())
        return std::nullopt;
    return static_cast<int>(it - list.begin());
}

// A tab a drop may move: it exists, belongs to the shown space and is not pinned.
const Tab* movableTab(const Uuid& id, const SidebarDropContext& context)
{
    auto it = context.tabs.find(id);
    if (it == context.tabs.end())
        return nullptr;
    const Tab& tab = it->second;
    if (tab.isPinned || !tab.spaceId || tab.spaceId != context.currentSpaceId)
        return nullptr;
    return &tab;
}

const TabFolder* knownFolder(const Uuid& id, const SidebarDropContext& context)
{
    auto it = context.folders.find(id);
    if (it == context.folders.end())
        return nullptr;
    const TabFolder& folder = it->second;
    if (!folder.spaceId || folder.spaceId != context.currentSpaceId)
        return nullptr;
    return &folder;
}

// Moving an entry to the place it already has changes nothing, so such a drop is refused.
bool isTopLevelNoOp(const SidebarItem& entry, int target, const SidebarDropContext& context)
{
    auto position = positionOf(entry, context.storedItems);
    return position && (target == *position || target == *position + 1);
}

SidebarDrop topLevelMove(const Tab& tab, int shownIndex, const SidebarDropContext& context)
{
    const int stored = storedSidebarIndex(shownIndex, context.shownItems, context.storedItems);
    if (!tab.folderId && isTopLevelNoOp(SidebarItem::tab(tab.id), stored, context))
        return {};
    return {SidebarDrop::Kind::moveTab, tab.id, {}, stored};
}

template <class T>
int storedIndex(int shownIndex, const std::vector<T>& shownItems, const std::vector<T>& storedItems)
{
    const int shownCount = static_cast<int>(shownItems.size());
    shownIndex = std::clamp(shownIndex, 0, shownCount);
    if (shownIndex < shownCount) {
        if (auto position = positionOf(shownItems[static_cast<std::size_t>(shownIndex)], storedItems))
            return *position;
    } else if (shownCount > 0) {
        if (auto position = positionOf(shownItems.back(), storedItems))
            return *position + 1;
    }
    // An empty list, or a shown entry the stored order lacks: keep the shown position.
    return std::min(shownIndex, static_cast<int>(storedItems.size()));
}

} // namespace

int storedSidebarIndex(int shownIndex, const std::vector<SidebarItem>& shownItems,
                       const std::vector<SidebarItem>& storedItems)
{
    return storedIndex(shownIndex, shownItems, storedItems);
}

SidebarDrop decideDropZoneDrop(const DraggedItem& item, int shownIndex, const SidebarDropContext& context)
{
    if (item.isFolder) {
        if (!knownFolder(item.id, context))
            return {};
        const int stored = storedSidebarIndex(shownIndex, context.shownItems, context.storedItems);
        if (isTopLevelNoOp(SidebarItem::folder(item.id), stored, context))
            return {};
        return {SidebarDrop::Kind::moveFolder, item.id, {}, stored};
    }
    const Tab* tab = movableTab(item.id, context);
    if (!tab)
        return {};
    return topLevelMove(*tab, shownIndex, context);
}

SidebarDrop decideTabRowDrop(const DraggedItem& item, const Uuid& rowTabId, int shownIndex, double y,
                             const SidebarDropContext& context)
{
    if (item.isFolder || item.id == rowTabId)
        return {};
    const Tab* tab = movableTab(item.id, context);
    if (!tab || !movableTab(rowTabId, context))
        return {};
    if (y <= rowDropBeforeMaxY)
        return topLevelMove(*tab, shownIndex, context);
    if (y >= rowDropAfterMinY)
        return topLevelMove(*tab, shownIndex + 1, context);
    return {SidebarDrop::Kind::createFolder, item.id, rowTabId, 0};
}

SidebarDrop decideFolderHeaderDrop(const DraggedItem& item, const Uuid& folderId, const SidebarDropContext& context)
{
    if (item.isFolder || !knownFolder(folderId, context) || !movableTab(item.id, context))
        return {};
    return {SidebarDrop::Kind::addToFolder, item.id, folderId, 0};
}

SidebarDrop decideFolderZoneDrop(const DraggedItem& item, const Uuid& folderId, int index,
                                 const SidebarDropContext& context)
{
    if (item.isFolder)
        return {};
    const TabFolder* folder = knownFolder(folderId, context);
    const Tab* tab = movableTab(item.id, context);
    if (!folder || !tab)
        return {};
    // The zones number the folder's shown tabs; ids without a tab are not shown.
    std::vector<Uuid> shown;
    for (const Uuid& id : folder->tabIds) {
        if (context.tabs.contains(id))
            shown.push_back(id);
    }
    const int stored = storedIndex(index, shown, folder->tabIds);
    if (tab->folderId == folderId) {
        if (auto position = positionOf(item.id, folder->tabIds)) {
            if (stored == *position || stored == *position + 1)
                return {};
        }
        return {SidebarDrop::Kind::moveInFolder, item.id, folderId, stored};
    }
    return {SidebarDrop::Kind::addToFolderAndMove, item.id, folderId, stored};
}

SidebarDrop decideFolderTabRowDrop(const DraggedItem& item, const Uuid& folderId, const Uuid& rowTabId,
                                   const SidebarDropContext& context)
{
    if (item.isFolder || item.id == rowTabId || !knownFolder(folderId, context))
        return {};
    const Tab* tab = movableTab(item.id, context);
    if (!tab || tab->folderId == folderId)
        return {};
    return {SidebarDrop::Kind::addToFolder, item.id, folderId, 0};
}

} // namespace kovi
