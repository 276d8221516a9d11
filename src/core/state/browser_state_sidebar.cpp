#include "core/state/browser_state.h"

#include <algorithm>
#include <unordered_set>

namespace kovi {

namespace {

template <class T>
bool contains(const std::vector<T>& values, const T& value)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

// Moves the element at `from` to the drop position `to`, counted in the list before the move.
template <class T>
void moveElement(std::vector<T>& values, std::size_t from, std::size_t to)
{
    T value = values[from];
    values.erase(values.begin() + static_cast<std::ptrdiff_t>(from));
    std::size_t destination = from < to ? to - 1 : to;
    destination = std::min(destination, values.size());
    values.insert(values.begin() + static_cast<std::ptrdiff_t>(destination), value);
}

std::size_t dropIndex(int index)
{
    return index < 0 ? 0 : static_cast<std::size_t>(index);
}

} // namespace

// ---- Current-space queries -----------------------------------------------------------------

std::vector<Tab> BrowserState::pinnedTabs() const
{
    std::vector<Tab> pinned;
    for (const auto& [id, tab] : m_tabs) {
        if (tab.isPinned && tab.spaceId == m_currentSpaceId)
            pinned.push_back(tab);
    }
    return SidebarOrder::sortedByCreation(std::move(pinned));
}

std::vector<Tab> BrowserState::unpinnedTabs() const
{
    std::vector<Tab> result;
    std::unordered_set<Uuid> listed;
    int index = currentSpaceIndex();
    if (index >= 0) {
        const Space& space = m_spaces[static_cast<std::size_t>(index)];
        for (const Uuid& id : space.tabOrder) {
            const Tab* tab = findTab(id);
            if (tab && !tab->isPinned && tab->spaceId == space.id) {
                result.push_back(*tab);
                listed.insert(id);
            }
        }
    }
    std::vector<Tab> unlisted;
    for (const auto& [id, tab] : m_tabs) {
        if (!tab.isPinned && tab.spaceId == m_currentSpaceId && !listed.count(id))
            unlisted.push_back(tab);
    }
    for (Tab& tab : SidebarOrder::sortedByCreation(std::move(unlisted)))
        result.push_back(std::move(tab));
    return result;
}

std::vector<Tab> BrowserState::tabsForCurrentSpace() const
{
    if (currentSpaceIndex() < 0)
        return {};
    std::vector<Tab> tabs = unpinnedTabs();
    std::erase_if(tabs, [](const Tab& tab) { return tab.folderId.has_value(); });
    return tabs;
}

std::vector<SidebarItem> BrowserState::sidebarItemsForCurrentSpace() const
{
    int index = currentSpaceIndex();
    if (index < 0)
        return {};
    return m_sidebarOrder.shownItems(m_spaces[static_cast<std::size_t>(index)]);
}

std::vector<Tab> BrowserState::tabsInFolder(const Uuid& folderId) const
{
    auto folder = m_folders.find(folderId);
    if (folder == m_folders.end())
        return {};
    std::vector<Tab> tabs;
    for (const Uuid& id : folder->second.tabIds) {
        if (const Tab* tab = findTab(id))
            tabs.push_back(*tab);
    }
    return tabs;
}

// ---- Sidebar order -------------------------------------------------------------------------

void BrowserState::completeSidebarOrder(int index)
{
    if (index < 0 || index >= static_cast<int>(m_spaces.size()))
        return;
    std::vector<SidebarItem> order = m_sidebarOrder.completed(m_spaces[static_cast<std::size_t>(index)]);
    if (order != m_spaces[static_cast<std::size_t>(index)].sidebarOrder)
        mutableSpace(index).sidebarOrder = std::move(order);
}

void BrowserState::placeLastInSidebar(int index, const SidebarItem& item)
{
    if (index < 0)
        return;
    Space& space = mutableSpace(index);
    std::erase(space.sidebarOrder, item);
    space.sidebarOrder.push_back(item);
}

void BrowserState::removeFromSidebar(int index, const SidebarItem& item)
{
    if (index < 0 || !contains(m_spaces[static_cast<std::size_t>(index)].sidebarOrder, item))
        return;
    std::erase(mutableSpace(index).sidebarOrder, item);
}

void BrowserState::syncTabOrderWithSidebarOrder(int index)
{
    if (index < 0 || index >= static_cast<int>(m_spaces.size()))
        return;
    std::vector<Uuid> order = m_sidebarOrder.tabOrderFollowingSidebar(m_spaces[static_cast<std::size_t>(index)]);
    if (order != m_spaces[static_cast<std::size_t>(index)].tabOrder)
        mutableSpace(index).tabOrder = std::move(order);
}

// ---- Pinning -------------------------------------------------------------------------------

void BrowserState::pinTab(const Uuid& tabId)
{
    const Tab* found = findTab(tabId);
    if (!found)
        return;
    ChangeScope scope(*this);
    Tab tab = *found;
    std::optional<Uuid> spaceId = tab.spaceId ? tab.spaceId : m_currentSpaceId;
    int index = spaceIndex(spaceId);
    if (index >= 0) {
        completeSidebarOrder(index);
        Space& space = mutableSpace(index);
        std::erase(space.tabOrder, tabId);
        std::erase(space.sidebarOrder, SidebarItem::tab(tabId));
    }
    tab.isPinned = true;
    tab.spaceId = spaceId;
    putTab(tab);
    saveState();
}

void BrowserState::unpinTab(const Uuid& tabId)
{
    const Tab* found = findTab(tabId);
    if (!found || !found->isPinned)
        return;
    std::optional<Uuid> spaceId = found->spaceId ? found->spaceId : m_currentSpaceId;
    if (!spaceId)
        return;
    ChangeScope scope(*this);
    Tab tab = *found;
    tab.isPinned = false;
    tab.spaceId = spaceId;
    // A tab pinned from inside a folder goes back to that folder while the folder still lists
    // it; a link to a folder that is gone is dropped, so the tab shows at the top level.
    bool inFolder = false;
    if (tab.folderId) {
        TabFolder* folder = findFolder(*tab.folderId);
        inFolder = folder && contains(folder->tabIds, tab.id);
        if (!inFolder)
            tab.folderId.reset();
    }
    putTab(tab);
    int index = spaceIndex(spaceId);
    if (index >= 0) {
        completeSidebarOrder(index);
        Space& space = mutableSpace(index);
        std::erase(space.tabOrder, tabId);
        space.tabOrder.insert(space.tabOrder.begin(), tabId);
        if (!inFolder) {
            std::erase(space.sidebarOrder, SidebarItem::tab(tabId));
            space.sidebarOrder.insert(space.sidebarOrder.begin(), SidebarItem::tab(tabId));
        }
    }
    saveState();
}

// ---- Folders -------------------------------------------------------------------------------

void BrowserState::createFolder(const std::string& name, const std::vector<Uuid>& tabIds)
{
    if (!m_currentSpaceId)
        return;
    ChangeScope scope(*this);

    // Each tab is listed once, and only by its new folder.
    std::vector<Uuid> members;
    std::unordered_set<Uuid> seen;
    for (const Uuid& id : tabIds) {
        if (seen.insert(id).second)
            members.push_back(id);
    }
    TabFolder folder{
        .id = Uuid::random(),
        .name = name,
        .spaceId = m_currentSpaceId,
        .tabIds = members,
        .isExpanded = true,
        .createdAt = Date::now(),
    };
    for (const Uuid& id : members) {
        const Tab* found = findTab(id);
        if (!found)
            continue;
        if (found->folderId) {
            if (TabFolder* previous = findFolder(*found->folderId)) {
                TabFolder changed = *previous;
                std::erase(changed.tabIds, id);
                putFolder(changed);
            }
        }
    }
    putFolder(folder);
    for (const Uuid& id : members) {
        if (const Tab* found = findTab(id)) {
            Tab tab = *found;
            tab.folderId = folder.id;
            putTab(tab);
        }
    }

    int index = spaceIndex(m_currentSpaceId);
    if (index >= 0) {
        completeSidebarOrder(index);
        Space& space = mutableSpace(index);
        std::erase_if(space.sidebarOrder,
                      [&](const SidebarItem& item) { return item.isTab() && seen.count(item.uuid()); });
        placeLastInSidebar(index, SidebarItem::folder(folder.id));
    }
    saveState();
}

void BrowserState::addTabToFolder(const Uuid& tabId, const Uuid& folderId)
{
    const Tab* found = findTab(tabId);
    TabFolder* target = findFolder(folderId);
    if (!found || !target || found->folderId == folderId)
        return;
    ChangeScope scope(*this);
    Tab tab = *found;
    TabFolder targetFolder = *target;

    if (tab.folderId) {
        if (TabFolder* previous = findFolder(*tab.folderId)) {
            TabFolder changed = *previous;
            std::erase(changed.tabIds, tabId);
            putFolder(changed);
        }
    }
    tab.folderId = folderId;
    putTab(tab);
    if (!contains(targetFolder.tabIds, tabId)) {
        targetFolder = *findFolder(folderId);
        targetFolder.tabIds.push_back(tabId);
        putFolder(targetFolder);
    }
    int index = spaceIndex(tab.spaceId);
    if (index >= 0) {
        completeSidebarOrder(index);
        removeFromSidebar(index, SidebarItem::tab(tabId));
    }
    saveState();
}

void BrowserState::removeTabFromFolder(const Uuid& tabId)
{
    const Tab* found = findTab(tabId);
    if (!found || !found->folderId)
        return;
    ChangeScope scope(*this);
    Tab tab = *found;
    if (TabFolder* folder = findFolder(*tab.folderId)) {
        TabFolder changed = *folder;
        std::erase(changed.tabIds, tabId);
        putFolder(changed);
    }
    tab.folderId.reset();
    putTab(tab);
    int index = spaceIndex(tab.spaceId);
    if (index >= 0) {
        completeSidebarOrder(index);
        placeLastInSidebar(index, SidebarItem::tab(tabId));
    }
    saveState();
}

void BrowserState::deleteFolder(const Uuid& folderId)
{
    TabFolder* found = findFolder(folderId);
    if (!found)
        return;
    ChangeScope scope(*this);
    TabFolder folder = *found;
    for (const Uuid& id : folder.tabIds) {
        const Tab* member = findTab(id);
        if (!member)
            continue;
        Tab tab = *member;
        tab.folderId.reset();
        putTab(tab);
        int index = spaceIndex(tab.spaceId);
        if (index >= 0) {
            completeSidebarOrder(index);
            placeLastInSidebar(index, SidebarItem::tab(id));
        }
    }
    int index = spaceIndex(folder.spaceId);
    if (index >= 0) {
        completeSidebarOrder(index);
        removeFromSidebar(index, SidebarItem::folder(folderId));
    }
    eraseFolder(folderId);
    saveState();
}

void BrowserState::toggleFolderExpanded(const Uuid& folderId)
{
    TabFolder* found = findFolder(folderId);
    if (!found)
        return;
    ChangeScope scope(*this);
    TabFolder folder = *found;
    folder.isExpanded = !folder.isExpanded;
    putFolder(folder);
    saveState();
}

void BrowserState::renameFolder(const Uuid& folderId, const std::string& name)
{
    TabFolder* found = findFolder(folderId);
    if (!found)
        return;
    ChangeScope scope(*this);
    TabFolder folder = *found;
    folder.name = name;
    putFolder(folder);
    saveState();
}

// ---- Moving and reordering -----------------------------------------------------------------

void BrowserState::moveSidebarItem(const SidebarItem& item, int toIndex)
{
    int index = currentSpaceIndex();
    if (index < 0)
        return;
    if (item.isTab()) {
        const Tab* tab = findTab(item.uuid());
        if (!tab || tab->isPinned || tab->spaceId != m_currentSpaceId)
            return;
    }
    ChangeScope scope(*this);
    completeSidebarOrder(index);
    const auto& order = m_spaces[static_cast<std::size_t>(index)].sidebarOrder;
    auto it = std::find(order.begin(), order.end(), item);
    std::size_t to = dropIndex(toIndex);
    if (it == order.end())
        return;
    std::size_t from = static_cast<std::size_t>(it - order.begin());
    if (from == to)
        return;
    moveElement(mutableSpace(index).sidebarOrder, from, to);
    saveState();
}

void BrowserState::moveTab(const Uuid& tabId, int toSidebarIndex)
{
    int index = currentSpaceIndex();
    const Tab* found = findTab(tabId);
    if (index < 0 || !found || found->isPinned || found->spaceId != m_currentSpaceId)
        return;
    ChangeScope scope(*this);
    completeSidebarOrder(index);
    if (found->folderId)
        removeTabFromFolder(tabId);

    const SidebarItem item = SidebarItem::tab(tabId);
    const auto& order = m_spaces[static_cast<std::size_t>(index)].sidebarOrder;
    std::size_t to = dropIndex(toSidebarIndex);
    auto it = std::find(order.begin(), order.end(), item);
    if (it != order.end()) {
        std::size_t from = static_cast<std::size_t>(it - order.begin());
        if (from == to)
            return;
        moveElement(mutableSpace(index).sidebarOrder, from, to);
    } else {
        auto& sidebar = mutableSpace(index).sidebarOrder;
        sidebar.insert(sidebar.begin() + static_cast<std::ptrdiff_t>(std::min(to, sidebar.size())), item);
    }
    syncTabOrderWithSidebarOrder(index);
    saveState();
}

void BrowserState::moveTabInFolder(const Uuid& tabId, const Uuid& folderId, int toIndex)
{
    TabFolder* found = findFolder(folderId);
    const Tab* tab = findTab(tabId);
    if (!found || !tab || tab->isPinned || tab->spaceId != m_currentSpaceId)
        return;
    auto it = std::find(found->tabIds.begin(), found->tabIds.end(), tabId);
    std::size_t to = dropIndex(toIndex);
    if (it == found->tabIds.end())
        return;
    std::size_t from = static_cast<std::size_t>(it - found->tabIds.begin());
    if (from == to)
        return;
    ChangeScope scope(*this);
    TabFolder folder = *found;
    moveElement(folder.tabIds, from, to);
    putFolder(folder);
    saveState();
}

void BrowserState::reorderTab(const Uuid& tabId, const Uuid& beforeTabId)
{
    int index = currentSpaceIndex();
    if (index < 0)
        return;
    const Tab* moved = findTab(tabId);
    const Tab* target = findTab(beforeTabId);
    // Only tabs of the shown space's ordinary list take part.
    if (!moved || !target || moved->isPinned || target->isPinned || moved->spaceId != m_currentSpaceId ||
        target->spaceId != m_currentSpaceId)
        return;
    const auto& order = m_spaces[static_cast<std::size_t>(index)].tabOrder;
    auto fromIt = std::find(order.begin(), order.end(), tabId);
    auto toIt = std::find(order.begin(), order.end(), beforeTabId);
    if (fromIt == order.end() || toIt == order.end() || fromIt == toIt)
        return;
    std::size_t from = static_cast<std::size_t>(fromIt - order.begin());
    std::size_t to = static_cast<std::size_t>(toIt - order.begin());
    ChangeScope scope(*this);
    moveElement(mutableSpace(index).tabOrder, from, to);
    saveState();
}

} // namespace kovi
