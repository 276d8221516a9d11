#include "core/sidebar/sidebar_sections.h"

namespace kovi {

std::vector<Tab> sidebarKeepTabs(const std::vector<Tab>& currentSpaceTabs)
{
    std::vector<Tab> keep;
    for (const Tab& tab : currentSpaceTabs) {
        if (tab.isAutoArchiveExcluded && !tab.folderId && !tab.isPinned)
            keep.push_back(tab);
    }
    return keep;
}

std::unordered_set<Uuid> sidebarTodayTabIds(const std::vector<Tab>& currentSpaceTabs, Date now)
{
    const Date cutoff = now.adding(-sidebarTodayWindowSeconds);
    std::unordered_set<Uuid> ids;
    for (const Tab& tab : currentSpaceTabs) {
        if (tab.createdAt >= cutoff && !tab.isPinned && !tab.folderId)
            ids.insert(tab.id);
    }
    return ids;
}

SidebarSections buildSidebarSections(const std::vector<SidebarItem>& items,
                                     const std::vector<Tab>& currentSpaceTabs,
                                     const std::unordered_map<Uuid, Tab>& tabs,
                                     const std::unordered_map<Uuid, TabFolder>& folders, Date now)
{
    SidebarSections sections;
    sections.keepTabs = sidebarKeepTabs(currentSpaceTabs);
    std::unordered_set<Uuid> keepIds;
    for (const Tab& tab : sections.keepTabs)
        keepIds.insert(tab.id);

    for (const SidebarItem& item : items) {
        if (item.isTab() && keepIds.contains(item.uuid()))
            continue;
        sections.shownItems.push_back(item);
    }
    const auto& shown = sections.shownItems;
    const int n = static_cast<int>(shown.size());

    const auto today = sidebarTodayTabIds(currentSpaceTabs, now);
    auto isToday = [&](const SidebarItem& item) { return item.isTab() && today.contains(item.uuid()); };
    std::optional<int> firstToday, lastToday, firstEarlier;
    for (int i = 0; i < n; ++i) {
        if (isToday(shown[i])) {
            if (!firstToday)
                firstToday = i;
            lastToday = i;
        }
    }
    if (lastToday) {
        for (int i = *lastToday + 1; i < n; ++i) {
            if (!isToday(shown[i])) {
                firstEarlier = i;
                break;
            }
        }
    }

    auto& entries = sections.entries;
    entries.reserve(static_cast<std::size_t>(2 * n + 4));
    if (n == 0 && sections.keepTabs.empty())
        entries.push_back({SidebarEntry::Kind::emptyMessage, "empty", {}, {}, 0, 0});
    auto zone = [&](int index) {
        entries.push_back({SidebarEntry::Kind::dropZone, "zone-" + std::to_string(index), {}, {}, index, n});
    };
    zone(0);
    for (int i = 0; i < n; ++i) {
        if (firstToday && i == *firstToday)
            entries.push_back({SidebarEntry::Kind::header, "header-Today", "Today", {}, i, n});
        if (firstEarlier && i == *firstEarlier)
            entries.push_back({SidebarEntry::Kind::header, "header-Earlier", "Earlier", {}, i, n});
        const SidebarItem& item = shown[i];
        if (item.isFolder() && folders.contains(item.uuid()))
            entries.push_back({SidebarEntry::Kind::folderRow, item.id(), {}, item.uuid(), i, n});
        else if (item.isTab() && tabs.contains(item.uuid()))
            entries.push_back({SidebarEntry::Kind::tabRow, item.id(), {}, item.uuid(), i, n});
        zone(i + 1);
    }
    return sections;
}

} // namespace kovi
