#include "core/state/state_file.h"

#include "core/state/sidebar_order.h"
#include "core/state/storage_folder.h"

#include <iostream>
#include <unordered_set>
#include <utility>

namespace kovi {

StateFile::StateFile(StorageFolder& folder)
    : m_folder(folder)
{
}

Space StateFile::makeDefaultSpace()
{
    return Space{
        .id = Uuid::random(),
        .name = "Personal",
        .color = SpaceColor::blue,
        .icon = "person.fill",
        .tabOrder = {},
        .sidebarOrder = {},
        .lastActiveTabId = std::nullopt,
        .createdAt = Date::now(),
    };
}

StateFile::Contents StateFile::load()
{
    auto stored = m_folder.read(fileName, [](const Json& value) { return PersistedState::fromJson(value); });
    m_encodedTabs.clear();
    if (!stored) {
        Contents fresh;
        fresh.spaces.push_back(makeDefaultSpace());
        fresh.currentSpaceId = fresh.spaces.front().id;
        return fresh;
    }
    return repaired(std::move(*stored));
}

StateFile::Contents StateFile::repaired(PersistedState stored)
{
    Contents contents;
    for (auto& [key, tab] : stored.tabs) {
        // A restored tab has no live web view yet: nothing loads and there is no back/forward
        // history until the page is shown again.
        tab.isLoading = false;
        tab.loadingProgress = 0;
        tab.canGoBack = false;
        tab.canGoForward = false;
        Uuid id = tab.id;
        contents.tabs.insert_or_assign(id, std::move(tab));
    }
    if (stored.folders) {
        for (auto& [key, folder] : *stored.folders) {
            Uuid id = folder.id;
            contents.folders.insert_or_assign(id, std::move(folder));
        }
    }

    // A repeated space id keeps its first record; the tabs of later ones name the same id and
    // so belong to the first, whose orders take them in below.
    std::unordered_set<Uuid> spaceIds;
    for (Space& space : stored.spaces) {
        if (spaceIds.insert(space.id).second)
            contents.spaces.push_back(std::move(space));
    }
    if (contents.spaces.empty())
        contents.spaces.push_back(makeDefaultSpace());
    contents.currentSpaceId = stored.currentSpaceId && spaceIds.count(*stored.currentSpaceId)
                                  ? *stored.currentSpaceId
                                  : contents.spaces.front().id;
    contents.activeTabId = stored.activeTabId;

    SidebarOrder order(contents.tabs, contents.folders);
    for (Space& space : contents.spaces) {
        space.tabOrder = order.repairedTabOrder(space);
        space.sidebarOrder = order.completed(space);
    }
    for (auto& [id, tab] : contents.tabs) {
        if (tab.isPinned && !tab.spaceId)
            tab.spaceId = contents.currentSpaceId;
    }
    return contents;
}

bool StateFile::write(const TabMap& tabs, const FolderMap& folders, const std::vector<Space>& spaces,
                      const std::optional<Uuid>& currentSpaceId, const std::optional<Uuid>& activeTabId,
                      const std::unordered_set<Uuid>& leftOut)
{
    const char* failure = "Failed to save state: ";
    auto isLeftOut = [&](const Uuid& id) { return leftOut.contains(id); };
    // Copied only while a tab is left out, which is rare and brief.
    FolderMap keptFolders;
    std::vector<Space> keptSpaces;
    if (!leftOut.empty()) {
        keptFolders = folders;
        for (auto& [id, folder] : keptFolders)
            std::erase_if(folder.tabIds, isLeftOut);
        keptSpaces = spaces;
        for (Space& space : keptSpaces) {
            std::erase_if(space.tabOrder, isLeftOut);
            std::erase_if(space.sidebarOrder,
                          [&](const SidebarItem& item) { return item.isTab() && isLeftOut(item.uuid()); });
            if (space.lastActiveTabId && isLeftOut(*space.lastActiveTabId))
                space.lastActiveTabId.reset();
        }
    }
    try {
        std::vector<std::pair<Uuid, const std::string*>> encoded;
        encoded.reserve(tabs.size());
        for (const auto& [id, tab] : tabs) {
            if (isLeftOut(id))
                continue;
            auto cached = m_encodedTabs.find(id);
            if (cached == m_encodedTabs.end())
                cached = m_encodedTabs.emplace(id, json::dump(toJson(tab))).first;
            encoded.emplace_back(id, &cached->second);
        }
        const bool filtered = !leftOut.empty();
        PersistedState::assemble(encoded, filtered ? keptFolders : folders, filtered ? keptSpaces : spaces,
                                 currentSpaceId, activeTabId && isLeftOut(*activeTabId) ? std::nullopt : activeTabId,
                                 m_text);
    } catch (const std::exception& error) {
        std::cout << failure << error.what() << std::endl;
        return false;
    }
    return m_folder.write(fileName, m_text, failure);
}

} // namespace kovi
