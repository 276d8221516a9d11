#include "core/state/sidebar_order.h"

#include <algorithm>
#include <unordered_set>

namespace kovi {

SidebarOrder::SidebarOrder(const TabMap& tabs, const FolderMap& folders)
    : m_tabs(tabs)
    , m_folders(folders)
{
}

const Tab* SidebarOrder::findTab(const Uuid& id) const
{
    auto it = m_tabs.find(id);
    return it == m_tabs.end() ? nullptr : &it->second;
}

std::vector<Tab> SidebarOrder::sortedByCreation(std::vector<Tab> tabs)
{
    std::stable_sort(tabs.begin(), tabs.end(), [](const Tab& a, const Tab& b) { return a.createdAt < b.createdAt; });
    return tabs;
}

bool SidebarOrder::isTopLevelTab(const Tab& tab, const Uuid& spaceId)
{
    return tab.spaceId == spaceId && !tab.isPinned && !tab.folderId;
}

bool SidebarOrder::isValidEntry(const SidebarItem& item, const Uuid& spaceId) const
{
    if (item.isTab()) {
        const Tab* tab = findTab(item.uuid());
        return tab && isTopLevelTab(*tab, spaceId);
    }
    auto folder = m_folders.find(item.uuid());
    return folder != m_folders.end() && folder->second.spaceId == spaceId;
}

std::vector<SidebarItem> SidebarOrder::shownItems(const Space& space) const
{
    std::vector<SidebarItem> items;
    if (space.sidebarOrder.empty()) {
        for (const Uuid& id : space.tabOrder) {
            const Tab* tab = findTab(id);
            if (tab && isTopLevelTab(*tab, space.id))
                items.push_back(SidebarItem::tab(id));
        }
        return items;
    }
    for (const SidebarItem& item : space.sidebarOrder) {
        if (isValidEntry(item, space.id))
            items.push_back(item);
    }
    return items;
}

std::vector<SidebarItem> SidebarOrder::completed(const Space& space) const
{
    std::vector<SidebarItem> order;
    std::unordered_set<Uuid> tabIds;
    std::unordered_set<Uuid> folderIds;
    for (const SidebarItem& item : space.sidebarOrder) {
        if (!isValidEntry(item, space.id))
            continue;
        order.push_back(item);
        (item.isTab() ? tabIds : folderIds).insert(item.uuid());
    }

    std::vector<const TabFolder*> missingFolders;
    for (const auto& [id, folder] : m_folders) {
        if (folder.spaceId == space.id && !folderIds.count(id))
            missingFolders.push_back(&folder);
    }
    std::stable_sort(missingFolders.begin(), missingFolders.end(),
                     [](const TabFolder* a, const TabFolder* b) { return a->createdAt < b->createdAt; });
    for (const TabFolder* folder : missingFolders)
        order.push_back(SidebarItem::folder(folder->id));

    for (const Uuid& id : space.tabOrder) {
        const Tab* tab = findTab(id);
        if (tab && isTopLevelTab(*tab, space.id) && tabIds.insert(id).second)
            order.push_back(SidebarItem::tab(id));
    }
    return order;
}

std::vector<Uuid> SidebarOrder::tabOrderFollowingSidebar(const Space& space) const
{
    std::vector<Uuid> order;
    order.reserve(space.tabOrder.size() + 1);
    std::unordered_set<Uuid> placed;
    auto place = [&](const Uuid& id) {
        if (placed.insert(id).second)
            order.push_back(id);
    };
    for (const SidebarItem& item : space.sidebarOrder) {
        if (item.isTab()) {
            place(item.uuid());
            continue;
        }
        // A folder's tabs stay in the keyboard's order, where the folder sits.
        auto folder = m_folders.find(item.uuid());
        if (folder == m_folders.end())
            continue;
        for (const Uuid& id : folder->second.tabIds) {
            const Tab* tab = findTab(id);
            if (tab && tab->folderId == folder->first && tab->spaceId == space.id && !tab->isPinned)
                place(id);
        }
    }
    for (const Uuid& id : space.tabOrder)
        place(id);
    return order;
}

std::vector<Uuid> SidebarOrder::repairedTabOrder(const Space& space) const
{
    std::unordered_set<Uuid> seen;
    std::vector<Uuid> order;
    for (const Uuid& id : space.tabOrder) {
        const Tab* tab = findTab(id);
        if (tab && tab->spaceId == space.id && !tab->isPinned && seen.insert(id).second)
            order.push_back(id);
    }
    std::vector<Tab> unlisted;
    for (const auto& [id, tab] : m_tabs) {
        if (tab.spaceId == space.id && !tab.isPinned && !seen.count(id))
            unlisted.push_back(tab);
    }
    for (const Tab& tab : sortedByCreation(std::move(unlisted)))
        order.push_back(tab.id);
    return order;
}

} // namespace kovi
