#include "core/state/browser_state.h"

#include "core/ai/ai_service.h"
#include "core/settings/preferences.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace kovi {

namespace {

template <class T>
bool contains(const std::vector<T>& values, const T& value)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

} // namespace

// ---- Creating, activating, closing ---------------------------------------------------------

void BrowserState::addTab(Tab tab)
{
    ChangeScope scope(*this);
    Uuid id = tab.id;
    if (!m_tabs.contains(id))
        m_openedForFirstNavigation.insert(id);
    putTab(tab);
    if (!tab.isPinned) {
        int index = spaceIndex(tab.spaceId);
        if (index >= 0) {
            completeSidebarOrder(index);
            Space& space = mutableSpace(index);
            // A tab that is listed already (a re-added id) keeps its one place.
            if (!contains(space.tabOrder, id))
                space.tabOrder.push_back(id);
            if (!tab.folderId && !contains(space.sidebarOrder, SidebarItem::tab(id)))
                space.sidebarOrder.push_back(SidebarItem::tab(id));
        }
    }
    setActiveTabId(id);
    saveState();
}

void BrowserState::createNewTab(const Url& url)
{
    addTab(Tab(Uuid::random(), url, std::nullopt, false, false, m_currentSpaceId, std::nullopt));
}

void BrowserState::endFirstNavigation(const Uuid& tabId)
{
    m_openedForFirstNavigation.erase(tabId);
    if (m_leavingForDownload.erase(tabId) > 0)
        saveState(); // it has a page of its own after all
}

void BrowserState::leaveForDownload(const Uuid& tabId)
{
    const Tab* tab = findTab(tabId);
    if (!tab)
        return;
    ChangeScope scope(*this);
    removeVisitOfDownload(tabId);
    if (tab->isPinned || !m_leavingForDownload.insert(tabId).second)
        return;
    saveState();
}

void BrowserState::removeTab(const Uuid& tabId)
{
    const Tab* found = findTab(tabId);
    if (!found)
        return;
    ChangeScope scope(*this);
    Tab tab = *found;

    m_recentlyClosedTabs.push_back(tab);
    while (m_recentlyClosedTabs.size() > maxRecentlyClosedTabs)
        m_recentlyClosedTabs.pop_front();

    if (tab.folderId) {
        if (TabFolder* folder = findFolder(*tab.folderId)) {
            TabFolder changed = *folder;
            std::erase(changed.tabIds, tabId);
            putFolder(changed);
        }
    }
    eraseTab(tabId);

    int index = spaceIndex(tab.spaceId);
    if (index >= 0) {
        Space& space = mutableSpace(index);
        std::erase(space.tabOrder, tabId);
        std::erase(space.sidebarOrder, SidebarItem::tab(tabId));
    }

    // A pane must not keep showing a tab that no longer exists.
    if (m_splitViewConfig.leftTabId == tabId || m_splitViewConfig.rightTabId == tabId)
        disableSplitView();

    if (m_activeTabId == tabId) {
        std::optional<Uuid> next;
        std::vector<Tab> candidates = tabsForCurrentSpace();
        if (candidates.empty())
            candidates = pinnedTabs();
        if (!candidates.empty())
            next = candidates.front().id;
        setActiveTabId(next);
    }
    saveState();
}

void BrowserState::reopenClosedTab()
{
    if (m_recentlyClosedTabs.empty())
        return;
    ChangeScope scope(*this);
    Tab tab = m_recentlyClosedTabs.back();
    m_recentlyClosedTabs.pop_back();

    // A tab whose space was removed meanwhile would belong to no sidebar at all.
    if (tab.spaceId && spaceIndex(tab.spaceId) < 0) {
        tab.spaceId = m_currentSpaceId;
        tab.folderId.reset();
    }

    // Back into its folder when that still exists; otherwise a top-level tab, so it is shown.
    if (tab.folderId) {
        if (TabFolder* folder = findFolder(*tab.folderId)) {
            if (!contains(folder->tabIds, tab.id)) {
                TabFolder changed = *folder;
                changed.tabIds.push_back(tab.id);
                putFolder(changed);
            }
        } else {
            tab.folderId.reset();
        }
    }
    const Uuid id = tab.id;
    addTab(std::move(tab));
    endFirstNavigation(id); // the user's tab again, not one opened for its address
}

void BrowserState::switchActiveTab(int step)
{
    std::vector<Uuid> ids = orderedTabIdsForKeyboardNavigation();
    if (ids.empty())
        return;
    const long count = static_cast<long>(ids.size());
    long next = 0;
    if (m_activeTabId) {
        auto it = std::find(ids.begin(), ids.end(), *m_activeTabId);
        if (it != ids.end())
            next = (((it - ids.begin()) + step) % count + count) % count;
    }
    setActiveTabId(ids[static_cast<std::size_t>(next)]);
}

std::vector<Uuid> BrowserState::orderedTabIdsForKeyboardNavigation() const
{
    std::vector<Uuid> ids;
    std::unordered_set<Uuid> listed;
    for (const Tab& tab : pinnedTabs()) {
        if (listed.insert(tab.id).second)
            ids.push_back(tab.id);
    }
    int index = currentSpaceIndex();
    if (index >= 0) {
        for (const Uuid& id : m_spaces[static_cast<std::size_t>(index)].tabOrder) {
            if (listed.insert(id).second)
                ids.push_back(id);
        }
    }
    std::erase_if(ids, [this](const Uuid& id) { return !findTab(id); });
    return ids;
}

std::optional<Uuid> BrowserState::preferredTabId(const std::optional<Uuid>& spaceId) const
{
    int index = spaceIndex(spaceId);
    if (index < 0)
        return std::nullopt;
    const Space& space = m_spaces[static_cast<std::size_t>(index)];
    if (space.lastActiveTabId) {
        const Tab* remembered = findTab(*space.lastActiveTabId);
        if (remembered && remembered->spaceId == spaceId)
            return space.lastActiveTabId;
    }
    // The most recently accessed tab; the first one met wins a tie.
    const Tab* newest = nullptr;
    for (const auto& [id, tab] : m_tabs) {
        if (tab.spaceId == spaceId && (!newest || tab.lastAccessedAt > newest->lastAccessedAt))
            newest = &tab;
    }
    return newest ? std::optional(newest->id) : std::nullopt;
}

// ---- Page reports --------------------------------------------------------------------------

void BrowserState::updateTabTitle(const Uuid& tabId, const std::string& title)
{
    const Tab* found = findTab(tabId);
    if (!found)
        return;
    ChangeScope scope(*this);
    Tab tab = *found;
    if (tab.isPinned && m_preferences.get(prefs::isTidyTabTitlesEnabled))
        tab.title = AIService::tidyTabTitle(title, tab.url);
    else
        tab.title = title;
    if (tab.title != found->title)
        putTab(tab);
    // Also when the tab's title stays: the page's own visit may still carry its host.
    if (m_historyLog.followTitle(tab)) {
        markChanged(Property::history);
        writeVisitReportsSoon();
    }
}

void BrowserState::updateTabURL(const Uuid& tabId, const Url& url)
{
    const Tab* found = findTab(tabId);
    if (!found || found->url == url)
        return;
    Tab tab = *found;
    tab.url = url;
    putTab(tab);
}

void BrowserState::updateTabLoading(const Uuid& tabId, bool isLoading, double progress)
{
    const Tab* found = findTab(tabId);
    if (!found)
        return;
    // The stored value must stay writable and meaningful: NaN or infinity would make the next
    // save of browser_state.json fail.
    double stored = std::isfinite(progress) ? std::clamp(progress, 0.0, 1.0) : 0.0;
    if (found->isLoading == isLoading && found->loadingProgress == stored)
        return;
    Tab tab = *found;
    tab.isLoading = isLoading;
    tab.loadingProgress = stored;
    putTab(tab);
}

void BrowserState::updateTabNavigation(const Uuid& tabId, bool canGoBack, bool canGoForward)
{
    const Tab* found = findTab(tabId);
    if (!found || (found->canGoBack == canGoBack && found->canGoForward == canGoForward))
        return;
    Tab tab = *found;
    tab.canGoBack = canGoBack;
    tab.canGoForward = canGoForward;
    putTab(tab);
}

void BrowserState::updateTabFavicon(const Uuid& tabId, std::optional<Bytes> data)
{
    const Tab* found = findTab(tabId);
    if (!found)
        return;
    ChangeScope scope(*this);
    Tab tab = *found;
    tab.favicon = std::move(data);
    if (tab.favicon != found->favicon)
        putTab(tab);
    if (m_historyLog.followFavicon(tab)) {
        markChanged(Property::history);
        writeVisitReportsSoon();
    }
}

void BrowserState::toggleAutoArchiveExcluded(const Uuid& tabId)
{
    const Tab* found = findTab(tabId);
    if (!found)
        return;
    ChangeScope scope(*this);
    Tab tab = *found;
    tab.isAutoArchiveExcluded = !tab.isAutoArchiveExcluded;
    putTab(tab);
    saveState();
}

// ---- Auto-archive --------------------------------------------------------------------------

void BrowserState::autoArchiveTabsIfNeeded()
{
    const double hours = m_preferences.get(prefs::autoArchiveHours);
    if (!m_preferences.get(prefs::autoArchiveEnabled) || !(hours > 0)) // also off for NaN
        return;

    const Date cutoff = Date::now().adding(-hours * 3600.0);
    std::vector<Uuid> idle;
    for (const auto& [id, tab] : m_tabs) {
        if (tab.isPinned || tab.isAutoArchiveExcluded || m_activeTabId == id)
            continue;
        if (std::max(tab.createdAt, tab.lastAccessedAt) < cutoff)
            idle.push_back(id);
    }
    if (idle.empty())
        return;
    ChangeScope scope(*this);
    for (const Uuid& id : idle)
        removeTab(id);
}

} // namespace kovi
