#include "core/state/browser_state.h"

#include "core/library/browser_library.h"
#include "core/support/text.h"

#include <algorithm>

namespace kovi {

void BrowserState::createNewSpace(const std::string& name, SpaceColor color, const std::string& icon)
{
    std::string trimmed = text::trimWhitespaceAndNewlines(name);
    if (trimmed.empty())
        return;
    ChangeScope scope(*this);
    Space space{
        .id = Uuid::random(),
        .name = std::move(trimmed),
        .color = color,
        .icon = icon,
        .tabOrder = {},
        .sidebarOrder = {},
        .lastActiveTabId = std::nullopt,
        .createdAt = Date::now(),
    };
    Uuid id = space.id;
    addSpace(std::move(space));
    setCurrentSpaceId(id);
}

void BrowserState::addSpace(Space space)
{
    // Ids name one space each: removing a space must never take a second one with it.
    if (spaceIndex(space.id) >= 0)
        return;
    ChangeScope scope(*this);
    Uuid id = space.id;
    m_spaces.push_back(std::move(space));
    markChanged(Property::spaces);
    if (!m_currentSpaceId)
        setCurrentSpaceId(id);
    saveState();
}

void BrowserState::updateSpace(const Space& space)
{
    ChangeScope scope(*this);
    int index = spaceIndex(space.id);
    if (index >= 0 && m_spaces[static_cast<std::size_t>(index)] != space)
        mutableSpace(index) = space;
    saveState();
}

void BrowserState::removeSpace(const Uuid& spaceId)
{
    if (m_spaces.size() < 2 || spaceIndex(spaceId) < 0)
        return;
    ChangeScope scope(*this);

    std::vector<Uuid> doomed;
    for (const auto& [id, tab] : m_tabs) {
        if (tab.spaceId == spaceId)
            doomed.push_back(id);
    }
    for (const Uuid& id : doomed)
        eraseTab(id);

    std::vector<Uuid> folders;
    for (const auto& [id, folder] : m_folders) {
        if (folder.spaceId == spaceId)
            folders.push_back(id);
    }
    for (const Uuid& id : folders)
        eraseFolder(id);

    auto canvasCount = m_canvases.size();
    std::erase_if(m_canvases, [&](const KoviCanvas& canvas) { return canvas.spaceId == spaceId; });
    if (m_canvases.size() != canvasCount)
        markChanged(Property::canvases);
    saveKoviCanvases();

    std::erase_if(m_spaces, [&](const Space& space) { return space.id == spaceId; });
    markChanged(Property::spaces);

    if (m_currentSpaceId == spaceId)
        setCurrentSpaceId(m_spaces.front().id);
    saveState();
}

bool BrowserState::switchSpace(int step)
{
    const int index = currentSpaceIndex();
    const long target = static_cast<long>(index) + step;
    if (index < 0 || step == 0 || target < 0 || target >= static_cast<long>(m_spaces.size()))
        return false;
    const Uuid id = m_spaces[static_cast<std::size_t>(target)].id;
    setCurrentSpaceId(id);
    return m_currentSpaceId == id;
}

void BrowserState::moveTabToSpace(const Uuid& tabId, const Uuid& spaceId)
{
    const Tab* found = findTab(tabId);
    if (!found || found->spaceId == spaceId || spaceIndex(spaceId) < 0)
        return;
    ChangeScope scope(*this);
    Tab tab = *found;

    int oldIndex = spaceIndex(tab.spaceId);
    if (oldIndex >= 0) {
        Space& old = mutableSpace(oldIndex);
        std::erase(old.tabOrder, tabId);
        std::erase(old.sidebarOrder, SidebarItem::tab(tabId));
    }
    if (tab.folderId) {
        if (TabFolder* folder = findFolder(*tab.folderId)) {
            TabFolder changed = *folder;
            std::erase(changed.tabIds, tabId);
            putFolder(changed);
        }
        // Also a link to a folder that is gone: otherwise the tab would be hidden.
        tab.folderId.reset();
    }
    tab.spaceId = spaceId;
    putTab(tab);

    if (!tab.isPinned) {
        int index = spaceIndex(spaceId);
        completeSidebarOrder(index);
        Space& target = mutableSpace(index);
        if (std::find(target.tabOrder.begin(), target.tabOrder.end(), tabId) == target.tabOrder.end())
            target.tabOrder.push_back(tabId);
        std::erase(target.sidebarOrder, SidebarItem::tab(tabId));
        target.sidebarOrder.push_back(SidebarItem::tab(tabId));
    }
    if (m_splitViewConfig.leftTabId == tabId || m_splitViewConfig.rightTabId == tabId)
        disableSplitView();
    if (m_activeTabId == tabId)
        setActiveTabId(preferredTabId(m_currentSpaceId));
    saveState();
}

void BrowserState::saveCurrentWorkspace()
{
    std::vector<WorkspaceSnapshot::Page> pages;
    std::vector<Tab> tabs = pinnedTabs();
    for (Tab& tab : unpinnedTabs())
        tabs.push_back(std::move(tab));
    for (const Tab& tab : tabs) {
        std::string title = tab.title;
        if (title.empty())
            title = tab.url.host().value_or("Untitled");
        pages.push_back(WorkspaceSnapshot::Page{tab.url, std::move(title), tab.isPinned});
    }
    std::string name = "Workspace";
    if (int index = currentSpaceIndex(); index >= 0)
        name = m_spaces[static_cast<std::size_t>(index)].name;
    m_library.saveWorkspace(name, pages);
    setIsLibraryVisible(true);
}

} // namespace kovi
