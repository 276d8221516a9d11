#include "core/state/browser_state.h"

#include "core/settings/persisted_bool.h"
#include "core/state/desktop_files.h"
#include "core/support/notification_center.h"
#include "core/support/notification_names.h"
#include "core/support/storage_paths.h"

#include <glibmm/main.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace kovi {

NameTable<BrowserLayoutMode> rawValueNames(BrowserLayoutMode)
{
    static constexpr NamedCase<BrowserLayoutMode> names[] = {
        {BrowserLayoutMode::vertical, "vertical"},
        {BrowserLayoutMode::traditional, "traditional"},
    };
    return names;
}

// ---- Construction ------------------------------------------------------------------------

BrowserState::BrowserState(std::optional<std::string> storageDirectory, Preferences& preferences,
                           NotificationCenter& notifications, BrowserLibrary& library)
    : m_preferences(preferences)
    , m_notifications(notifications)
    , m_library(library)
    , m_storage(storageDirectory ? std::move(*storageDirectory) : paths::defaultStorageDirectory())
    , m_desktop{desktop::openFile, desktop::showInFolder}
{
    m_layoutMode = fromRawValue<BrowserLayoutMode>(preferences.get(prefs::browserLayoutMode))
                       .value_or(BrowserLayoutMode::vertical);
    m_isDevToolsEnabled = preferences.get(prefs::isDevToolsEnabled);
    m_isBrowserBezelEnabled = preferences.get(prefs::isBrowserBezelEnabled);

    watchWriteFailures();
    m_isRestoringState = true;
    load();
    m_isRestoringState = false;

    {
        ChangeScope scope(*this);
        const Tab* active = m_activeTabId ? findTab(*m_activeTabId) : nullptr;
        if (!active || active->spaceId != m_currentSpaceId)
            setActiveTabId(preferredTabId(m_currentSpaceId));
        saveState();
    }

    startAutoArchiveTimer();
    autoArchiveTabsIfNeeded();
}

BrowserState::~BrowserState()
{
    m_autoArchiveTimer.disconnect();
    m_downloadFlush.cancel();
    m_visitReportFlush.cancel();
}

void BrowserState::startAutoArchiveTimer()
{
    m_autoArchiveTimer.disconnect();
    // Safe: the connection is dropped in the destructor, so the slot never outlives `this`.
    m_autoArchiveTimer = Glib::signal_timeout().connect_seconds(
        [this] {
            autoArchiveTabsIfNeeded();
            return true;
        },
        autoArchiveIntervalSeconds);
}

// ---- Deferred change signals ---------------------------------------------------------------

BrowserState::ChangeScope::ChangeScope(BrowserState& state)
    : m_state(state)
{
    ++m_state.m_changeDepth;
}

BrowserState::ChangeScope::~ChangeScope()
{
    if (--m_state.m_changeDepth == 0)
        m_state.finishChanges();
}

void BrowserState::markChanged(Property property)
{
    if (m_changeDepth == 0) {
        ChangeScope scope(*this);
        m_changed.set(static_cast<std::size_t>(property));
        return;
    }
    m_changed.set(static_cast<std::size_t>(property));
}

void BrowserState::finishChanges()
{
    // Files first, so a slot that looks at them sees the operation's result.
    std::vector<std::string> written;
    if (std::exchange(m_stateSavePending, false)) {
        m_stateFile.write(m_tabs, m_folders, m_spaces, m_currentSpaceId, m_activeTabId, m_leavingForDownload);
        written.emplace_back(stateFileName);
    }
    if (std::exchange(m_historySavePending, false)) {
        m_historyLog.write();
        written.emplace_back(historyFileName);
    }
    if (std::exchange(m_downloadsSavePending, false)) {
        m_downloadLog.write();
        written.emplace_back(downloadsFileName);
    }
    if (std::exchange(m_canvasesSavePending, false)) {
        writeCanvasesFile();
        written.emplace_back(canvasesFileName);
    }
    // Each save also tries again the files whose last write failed (a full disk, a folder that
    // could not be made), so a change that happened meanwhile is not lost.
    if (!written.empty() && m_storage.hasFailedWrites())
        m_storage.retryFailedWrites(written);

    // Take the sets before emitting: a slot may start another operation, which then emits its
    // own changes from a scope of its own.
    PropertySet changed = std::exchange(m_changed, {});
    std::vector<Uuid> closed = std::exchange(m_closedTabs, {});
    for (std::size_t i = 0; i < changed.size(); ++i) {
        if (changed[i])
            signalFor(static_cast<Property>(i)).emit();
    }
    for (const Uuid& id : closed)
        tabClosed.emit(id);
    if (std::exchange(m_saveFailureStarted, false))
        saveFailed.emit();
}

sigc::signal<void()>& BrowserState::signalFor(Property property)
{
    switch (property) {
    case Property::layoutMode: return layoutModeChanged;
    case Property::tabs: return tabsChanged;
    case Property::navigationErrors: return navigationErrorsChanged;
    case Property::folders: return foldersChanged;
    case Property::spaces: return spacesChanged;
    case Property::currentSpaceId: return currentSpaceIdChanged;
    case Property::activeTabId: return activeTabIdChanged;
    case Property::splitViewConfig: return splitViewConfigChanged;
    case Property::activeSplitSide: return activeSplitSideChanged;
    case Property::history: return historyChanged;
    case Property::isHistoryPanelVisible: return isHistoryPanelVisibleChanged;
    case Property::downloads: return downloadsChanged;
    case Property::isDownloadsPanelVisible: return isDownloadsPanelVisibleChanged;
    case Property::isFindInPageVisible: return isFindInPageVisibleChanged;
    case Property::findInPageQuery: return findInPageQueryChanged;
    case Property::isDevToolsEnabled: return isDevToolsEnabledChanged;
    case Property::isAIChatVisible: return isAIChatVisibleChanged;
    case Property::isKoviMaxSettingsVisible: return isKoviMaxSettingsVisibleChanged;
    case Property::canvases: return canvasesChanged;
    case Property::activeKoviCanvasId: return activeKoviCanvasIdChanged;
    case Property::isKoviCanvasViewVisible: return isKoviCanvasViewVisibleChanged;
    case Property::isLibraryVisible: return isLibraryVisibleChanged;
    case Property::isExtensionsVisible: return isExtensionsVisibleChanged;
    case Property::isAccountSettingsVisible: return isAccountSettingsVisibleChanged;
    case Property::isLayoutSettingsVisible: return isLayoutSettingsVisibleChanged;
    case Property::isCommandBarVisible: return isCommandBarVisibleChanged;
    case Property::commandBarMode: return commandBarModeChanged;
    case Property::isSidebarCollapsed: return isSidebarCollapsedChanged;
    case Property::sidebarWidth: return sidebarWidthChanged;
    case Property::isBrowserBezelEnabled: return isBrowserBezelEnabledChanged;
    case Property::openPanels: return openPanelsChanged;
    case Property::count: break;
    }
    return tabsChanged;
}

template <class T>
void BrowserState::assign(T& storage, T value, Property property)
{
    if (storage == value)
        return;
    ChangeScope scope(*this);
    storage = std::move(value);
    markChanged(property);
}

// ---- Record helpers ----------------------------------------------------------------------

Tab* BrowserState::findTab(const Uuid& id)
{
    auto it = m_tabs.find(id);
    return it == m_tabs.end() ? nullptr : &it->second;
}

const Tab* BrowserState::findTab(const Uuid& id) const
{
    auto it = m_tabs.find(id);
    return it == m_tabs.end() ? nullptr : &it->second;
}

TabFolder* BrowserState::findFolder(const Uuid& id)
{
    auto it = m_folders.find(id);
    return it == m_folders.end() ? nullptr : &it->second;
}

int BrowserState::spaceIndex(const std::optional<Uuid>& id) const
{
    if (!id)
        return -1;
    for (std::size_t i = 0; i < m_spaces.size(); ++i) {
        if (m_spaces[i].id == *id)
            return static_cast<int>(i);
    }
    return -1;
}

int BrowserState::currentSpaceIndex() const
{
    return spaceIndex(m_currentSpaceId);
}

void BrowserState::putTab(const Tab& tab)
{
    ChangeScope scope(*this);
    m_tabs.insert_or_assign(tab.id, tab);
    m_stateFile.forgetTab(tab.id);
    markChanged(Property::tabs);
}

void BrowserState::putFolder(const TabFolder& folder)
{
    ChangeScope scope(*this);
    m_folders.insert_or_assign(folder.id, folder);
    markChanged(Property::folders);
}

void BrowserState::eraseTab(const Uuid& id)
{
    ChangeScope scope(*this);
    if (m_tabs.erase(id) == 0)
        return;
    m_stateFile.forgetTab(id);
    m_historyLog.forgetTab(id);
    m_openedForFirstNavigation.erase(id);
    m_leavingForDownload.erase(id);
    markChanged(Property::tabs);
    m_closedTabs.push_back(id);
    if (m_navigationErrors.erase(id) > 0)
        markChanged(Property::navigationErrors);
}

void BrowserState::eraseFolder(const Uuid& id)
{
    ChangeScope scope(*this);
    if (m_folders.erase(id) > 0)
        markChanged(Property::folders);
}

Space& BrowserState::mutableSpace(int index)
{
    markChanged(Property::spaces);
    return m_spaces[static_cast<std::size_t>(index)];
}

std::optional<Tab> BrowserState::tab(const Uuid& id) const
{
    if (const Tab* found = findTab(id))
        return *found;
    return std::nullopt;
}

std::optional<Space> BrowserState::space(const Uuid& id) const
{
    int index = spaceIndex(id);
    if (index < 0)
        return std::nullopt;
    return m_spaces[static_cast<std::size_t>(index)];
}

std::optional<Tab> BrowserState::activeTab() const
{
    if (!m_activeTabId)
        return std::nullopt;
    return tab(*m_activeTabId);
}

// ---- Plain properties ----------------------------------------------------------------------

void BrowserState::setLayoutMode(BrowserLayoutMode mode)
{
    const bool changed = mode != m_layoutMode;
    assign(m_layoutMode, mode, Property::layoutMode);
    m_preferences.set(prefs::browserLayoutMode, std::string(rawValue(mode)));
    if (changed)
        m_notifications.post(notifications::layoutModeChanged);
}

void BrowserState::setNavigationError(const Uuid& tabId, std::optional<std::string> message)
{
    ChangeScope scope(*this);
    if (!message) {
        if (m_navigationErrors.erase(tabId) > 0)
            markChanged(Property::navigationErrors);
        return;
    }
    auto it = m_navigationErrors.find(tabId);
    if (it != m_navigationErrors.end() && it->second == *message)
        return;
    m_navigationErrors.insert_or_assign(tabId, std::move(*message));
    markChanged(Property::navigationErrors);
}

void BrowserState::setSplitViewConfig(const SplitViewConfig& config)
{
    if (!std::isfinite(config.splitRatio))
        return;
    assign(m_splitViewConfig, config, Property::splitViewConfig);
}

void BrowserState::setSplitRatio(double ratio)
{
    if (!std::isfinite(ratio))
        return;
    SplitViewConfig config = m_splitViewConfig;
    config.splitRatio = ratio;
    assign(m_splitViewConfig, config, Property::splitViewConfig);
}

void BrowserState::setActiveSplitSide(SplitViewSide side) { assign(m_activeSplitSide, side, Property::activeSplitSide); }
void BrowserState::setHistory(std::vector<HistoryItem> history)
{
    if (m_historyLog.set(std::move(history)))
        markChanged(Property::history);
}
void BrowserState::setIsHistoryPanelVisible(bool visible) { setIsPanelOpen(Panel::history, visible); }
void BrowserState::setDownloads(std::vector<DownloadItem> downloads)
{
    if (m_downloadLog.set(std::move(downloads)))
        markChanged(Property::downloads);
}
void BrowserState::setIsDownloadsPanelVisible(bool visible) { setIsPanelOpen(Panel::downloads, visible); }
void BrowserState::openDownloadsPanelForDownload()
{
    if (isDownloadsPanelVisible())
        return;
    ChangeScope scope(*this); // the panel's flag is told once it says how it opened
    setIsPanelOpen(Panel::downloads, true);
    m_downloadsPanelOpenedByItself = true;
}
void BrowserState::setIsFindInPageVisible(bool visible) { assign(m_isFindInPageVisible, visible, Property::isFindInPageVisible); }
void BrowserState::setFindInPageQuery(std::string query) { assign(m_findInPageQuery, std::move(query), Property::findInPageQuery); }
void BrowserState::setIsAIChatVisible(bool visible) { setIsPanelOpen(Panel::aiChat, visible); }
void BrowserState::setIsKoviMaxSettingsVisible(bool visible) { setIsPanelOpen(Panel::aiSettings, visible); }
void BrowserState::setActiveKoviCanvasId(std::optional<Uuid> canvasId) { assign(m_activeKoviCanvasId, canvasId, Property::activeKoviCanvasId); }
void BrowserState::setIsKoviCanvasViewVisible(bool visible) { assign(m_isKoviCanvasViewVisible, visible, Property::isKoviCanvasViewVisible); }
void BrowserState::setIsLibraryVisible(bool visible) { assign(m_isLibraryVisible, visible, Property::isLibraryVisible); }
void BrowserState::setIsExtensionsVisible(bool visible) { assign(m_isExtensionsVisible, visible, Property::isExtensionsVisible); }
void BrowserState::setIsAccountSettingsVisible(bool visible) { setIsPanelOpen(Panel::account, visible); }
void BrowserState::setIsLayoutSettingsVisible(bool visible)
{
    assign(m_isLayoutSettingsVisible, visible, Property::isLayoutSettingsVisible);
}
void BrowserState::setIsCommandBarVisible(bool visible) { setIsPanelOpen(Panel::commandBar, visible); }

std::optional<BrowserState::Panel> BrowserState::topPanel() const
{
    if (m_openPanels.empty())
        return std::nullopt;
    return m_openPanels.back();
}

bool BrowserState::isPanelOpen(Panel panel) const
{
    return std::find(m_openPanels.begin(), m_openPanels.end(), panel) != m_openPanels.end();
}

void BrowserState::setIsPanelOpen(Panel panel, bool open)
{
    if (panel == Panel::downloads)
        m_downloadsPanelOpenedByItself = false;
    if (isPanelOpen(panel) == open)
        return;
    ChangeScope scope(*this);
    std::erase(m_openPanels, panel);
    if (open)
        m_openPanels.push_back(panel);
    markChanged(flagOf(panel));
    // After the panel's own flag: its layer exists by the time the stack is applied.
    markChanged(Property::openPanels);
}

BrowserState::Property BrowserState::flagOf(Panel panel)
{
    switch (panel) {
    case Panel::commandBar: return Property::isCommandBarVisible;
    case Panel::history: return Property::isHistoryPanelVisible;
    case Panel::downloads: return Property::isDownloadsPanelVisible;
    case Panel::aiChat: return Property::isAIChatVisible;
    case Panel::aiSettings: return Property::isKoviMaxSettingsVisible;
    case Panel::account: return Property::isAccountSettingsVisible;
    }
    return Property::openPanels;
}

void BrowserState::raisePanel(Panel panel)
{
    if (!isPanelOpen(panel) || topPanel() == panel)
        return;
    ChangeScope scope(*this);
    std::erase(m_openPanels, panel);
    m_openPanels.push_back(panel);
    markChanged(Property::openPanels);
}

void BrowserState::setCommandBarMode(CommandBarMode mode) { assign(m_commandBarMode, mode, Property::commandBarMode); }
void BrowserState::setIsSidebarCollapsed(bool collapsed) { assign(m_isSidebarCollapsed, collapsed, Property::isSidebarCollapsed); }

void BrowserState::setSidebarWidth(double width)
{
    if (std::isfinite(width))
        assign(m_sidebarWidth, width, Property::sidebarWidth);
}

void BrowserState::setIsDevToolsEnabled(bool enabled)
{
    setPersistedBool(m_preferences, prefs::isDevToolsEnabled, m_isDevToolsEnabled, enabled,
                     isDevToolsEnabledChanged);
}

void BrowserState::setIsBrowserBezelEnabled(bool enabled)
{
    setPersistedBool(m_preferences, prefs::isBrowserBezelEnabled, m_isBrowserBezelEnabled, enabled,
                     isBrowserBezelEnabledChanged);
}

// ---- Toggles -------------------------------------------------------------------------------

void BrowserState::toggleFindInPage()
{
    ChangeScope scope(*this);
    if (m_isFindInPageVisible) {
        setIsFindInPageVisible(false);
        setFindInPageQuery({});
    } else {
        setIsFindInPageVisible(true);
    }
}

void BrowserState::toggleDevTools()
{
    setIsDevToolsEnabled(!m_isDevToolsEnabled);
    m_notifications.post(notifications::toggleDevTools, m_activeTabId);
}

// ---- The shown space and the active tab ----------------------------------------------------

void BrowserState::setCurrentSpaceId(std::optional<Uuid> spaceId)
{
    ChangeScope scope(*this);
    std::optional<Uuid> previous = m_currentSpaceId;
    m_currentSpaceId = spaceId;
    if (previous != spaceId)
        markChanged(Property::currentSpaceId);
    didSetCurrentSpaceId(previous);
}

void BrowserState::didSetCurrentSpaceId(std::optional<Uuid> previous)
{
    if (m_isRestoringState || m_currentSpaceId == previous)
        return;

    if (spaceIndex(m_currentSpaceId) < 0) {
        // Refused. Fall back once: to the previous space, or to the first one when that is gone
        // too; the switch steps then run for the space we landed on.
        std::optional<Uuid> refused = m_currentSpaceId;
        std::optional<Uuid> fallback = previous;
        if (spaceIndex(fallback) < 0)
            fallback = m_spaces.empty() ? std::nullopt : std::optional(m_spaces.front().id);
        m_currentSpaceId = fallback;
        markChanged(Property::currentSpaceId);
        if (fallback == refused)
            return;
        runSpaceSwitchSteps(refused);
        return;
    }
    runSpaceSwitchSteps(previous);
}

void BrowserState::runSpaceSwitchSteps(const std::optional<Uuid>& previous)
{
    int left = spaceIndex(previous);
    if (left >= 0 && m_activeTabId) {
        const Tab* active = findTab(*m_activeTabId);
        if (active && active->spaceId == previous) {
            Space& space = mutableSpace(left);
            space.lastActiveTabId = m_activeTabId;
        }
    }
    disableSplitView();
    setIsFindInPageVisible(false);
    setIsKoviCanvasViewVisible(false);
    setActiveKoviCanvasId(std::nullopt);
    setActiveTabId(preferredTabId(m_currentSpaceId));
    saveState();
}

void BrowserState::setActiveTabId(std::optional<Uuid> tabId)
{
    ChangeScope scope(*this);
    std::optional<Uuid> previous = m_activeTabId;
    m_activeTabId = tabId;
    if (previous != tabId)
        markChanged(Property::activeTabId);
    didSetActiveTabId(previous);
}

void BrowserState::didSetActiveTabId(std::optional<Uuid> previous)
{
    if (m_isRestoringState || m_activeTabId == previous)
        return;
    const std::optional<Uuid> activated = m_activeTabId;

    // Follow the tab into its space.
    if (activated) {
        const Tab* tab = findTab(*activated);
        if (tab && tab->spaceId && tab->spaceId != m_currentSpaceId) {
            int index = spaceIndex(tab->spaceId);
            if (index >= 0) {
                std::optional<Uuid> target = tab->spaceId;
                mutableSpace(index).lastActiveTabId = activated;
                setCurrentSpaceId(target);
            }
        }
        leaveSplitViewUnlessShown(*activated);
    }

    if (previous && activated)
        m_notifications.post(notifications::tabWillSwitch, std::nullopt,
                             {{"fromTabId", *previous}, {"toTabId", *activated}});

    if (m_activeTabId) {
        if (const Tab* found = findTab(*m_activeTabId)) {
            Tab tab = *found;
            tab.lastAccessedAt = Date::now();
            putTab(tab);
            int index = spaceIndex(tab.spaceId);
            if (index >= 0 && m_spaces[static_cast<std::size_t>(index)].lastActiveTabId != tab.id)
                mutableSpace(index).lastActiveTabId = tab.id;
            addToHistory(tab);
        }
    }
    saveState();
}

} // namespace kovi
