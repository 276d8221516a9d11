#pragma once

#include "core/model/canvas.h"
#include "core/model/download_item.h"
#include "core/model/history_item.h"
#include "core/model/sidebar_item.h"
#include "core/model/space.h"
#include "core/model/split_view_config.h"
#include "core/model/tab.h"
#include "core/model/tab_folder.h"
#include "core/state/download_log.h"
#include "core/state/history_log.h"
#include "core/state/sidebar_order.h"
#include "core/state/state_file.h"
#include "core/state/storage_folder.h"
#include "core/support/date.h"
#include "core/support/main_loop_delayed_task.h"
#include "core/support/url.h"
#include "core/support/uuid.h"

#include <sigc++/connection.h>
#include <sigc++/signal.h>
#include <sigc++/trackable.h>

#include <bitset>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace kovi {

class BrowserLibrary;
class NotificationCenter;
class Preferences;

// The window layout: the sidebar layout (default) or the horizontal tab bar.
enum class BrowserLayoutMode { vertical, traditional };
NameTable<BrowserLayoutMode> rawValueNames(BrowserLayoutMode);

// The one observable model of the browser window: every tab, folder and space, the active tab
// and shown space, split view, history, downloads, canvases and the panel flags, with every
// operation on them and their four JSON files in the storage folder.
//
// The state is the facade; owned parts do the work with one job each: the storage folder
// (reading, keeping damaged files aside, writing and retrying), browser_state.json (loading,
// repairing, writing), the history log, the download log with its write throttle, and the
// rules of the sidebar order.
//
// Each published property has a getter, a setter that runs its observer logic, and a signal
// `<property>Changed`. Signals are emitted once the whole operation has finished (never in the
// middle of one), and only for properties that changed; a slot may call back into the state.
// Files are written at the end of the operation that changed them. Main thread only.
class BrowserState : public sigc::trackable {
public:
    enum class CommandBarMode { all, tabs };
    // The panels that lie over the browser while their flag is on, each on a layer of its own.
    enum class Panel { commandBar, history, downloads, aiChat, aiSettings, account };

    using TabMap = std::unordered_map<Uuid, Tab>;
    using FolderMap = std::unordered_map<Uuid, TabFolder>;
    using ErrorMap = std::unordered_map<Uuid, std::string>;

    static constexpr std::size_t maxHistoryEntries = HistoryLog::maxEntries;
    static constexpr std::size_t maxRecentlyClosedTabs = 40;
    static constexpr unsigned autoArchiveIntervalSeconds = 900;
    // How soon titles and icons pages report into their visits are written.
    static constexpr double visitReportWriteDelay = 2.0;
    // Largest state file read at start-up; a bigger one is kept aside like a damaged one.
    static constexpr std::size_t maxFileBytes = StorageFolder::maxFileBytes;

    static constexpr const char* stateFileName = StateFile::fileName;
    static constexpr const char* historyFileName = HistoryLog::fileName;
    static constexpr const char* downloadsFileName = DownloadLog::fileName;
    static constexpr const char* canvasesFileName = "canvases.json";

    // Loads the four files from `storageDirectory` (nullopt: paths::defaultStorageDirectory()),
    // repairs and saves the state, starts the 900-second auto-archive timer and runs one
    // archive pass. `library` is used by saveCurrentWorkspace() only. All three references must
    // outlive the state.
    BrowserState(std::optional<std::string> storageDirectory, Preferences& preferences,
                 NotificationCenter& notifications, BrowserLibrary& library);
    // Stops the timers. Does not save: the application calls saveState() at orderly shutdown.
    ~BrowserState();

    BrowserState(const BrowserState&) = delete;
    BrowserState& operator=(const BrowserState&) = delete;

    const std::string& storageDirectory() const { return m_storage.path(); }

    // ---- Published properties ------------------------------------------------------------

    // Written to the settings under "browserLayoutMode" on every assignment; a change is also
    // announced to the notification centre (layoutModeChanged).
    BrowserLayoutMode layoutMode() const { return m_layoutMode; }
    void setLayoutMode(BrowserLayoutMode mode);
    sigc::signal<void()> layoutModeChanged;

    // Every tab of every space, by id. Changed only through the operations below.
    const TabMap& tabs() const { return m_tabs; }
    sigc::signal<void()> tabsChanged;
    // The tab with this id, if any.
    std::optional<Tab> tab(const Uuid& id) const;

    // Per tab, the text of its last navigation error (not saved). nullopt removes the entry.
    const ErrorMap& navigationErrors() const { return m_navigationErrors; }
    void setNavigationError(const Uuid& tabId, std::optional<std::string> message);
    sigc::signal<void()> navigationErrorsChanged;

    const FolderMap& folders() const { return m_folders; }
    sigc::signal<void()> foldersChanged;

    // All spaces in display order; never empty after start-up.
    const std::vector<Space>& spaces() const { return m_spaces; }
    sigc::signal<void()> spacesChanged;
    // The first space with this id, if any.
    std::optional<Space> space(const Uuid& id) const;

    // The shown space. Assigning another space leaves split view, closes the find bar, clears
    // the canvas flags, activates the space's preferred tab and saves. A value that names no
    // space is refused (the previous space stays, or the first space when that is gone too).
    std::optional<Uuid> currentSpaceId() const { return m_currentSpaceId; }
    void setCurrentSpaceId(std::optional<Uuid> spaceId);
    sigc::signal<void()> currentSpaceIdChanged;

    // The shown tab. Assigning another tab follows it into its space, leaves split view when
    // neither pane shows it, posts tabWillSwitch, stamps its last access, remembers it in its
    // space, records a history visit and saves. Assigning the current value does nothing.
    std::optional<Uuid> activeTabId() const { return m_activeTabId; }
    void setActiveTabId(std::optional<Uuid> tabId);
    sigc::signal<void()> activeTabIdChanged;
    // The tab named by activeTabId, if it exists.
    std::optional<Tab> activeTab() const;

    // Split view (not saved). The divider writes the ratio through setSplitRatio.
    const SplitViewConfig& splitViewConfig() const { return m_splitViewConfig; }
    void setSplitViewConfig(const SplitViewConfig& config);
    void setSplitRatio(double ratio); // non-finite values are ignored
    sigc::signal<void()> splitViewConfigChanged;

    SplitViewSide activeSplitSide() const { return m_activeSplitSide; }
    void setActiveSplitSide(SplitViewSide side);
    sigc::signal<void()> activeSplitSideChanged;

    // Visits, newest first, at most 1000. The history panel edits the list with setHistory()
    // and then calls saveHistory().
    const std::vector<HistoryItem>& history() const { return m_historyLog.items(); }
    void setHistory(std::vector<HistoryItem> history);
    sigc::signal<void()> historyChanged;

    bool isHistoryPanelVisible() const { return isPanelOpen(Panel::history); }
    void setIsHistoryPanelVisible(bool visible);
    sigc::signal<void()> isHistoryPanelVisibleChanged;

    // Downloads, newest first. The download handling inserts a new record at index 0 with
    // setDownloads() and then calls saveDownloads(); the panel removes rows the same way.
    const std::vector<DownloadItem>& downloads() const { return m_downloadLog.items(); }
    void setDownloads(std::vector<DownloadItem> downloads);
    sigc::signal<void()> downloadsChanged;

    bool isDownloadsPanelVisible() const { return isPanelOpen(Panel::downloads); }
    void setIsDownloadsPanelVisible(bool visible);
    // Opens the downloads panel as a download starts, unless it is open already. Opened so, it
    // lets the clicks beside it through to what they were meant for; opening or closing it any
    // other way ends that.
    void openDownloadsPanelForDownload();
    bool isDownloadsPanelOpenedByItself() const { return m_downloadsPanelOpenedByItself; }
    sigc::signal<void()> isDownloadsPanelVisibleChanged;

    bool isFindInPageVisible() const { return m_isFindInPageVisible; }
    void setIsFindInPageVisible(bool visible);
    sigc::signal<void()> isFindInPageVisibleChanged;

    const std::string& findInPageQuery() const { return m_findInPageQuery; }
    void setFindInPageQuery(std::string query);
    sigc::signal<void()> findInPageQueryChanged;

    // Kept in the settings under "isDevToolsEnabled" (absent: false).
    bool isDevToolsEnabled() const { return m_isDevToolsEnabled; }
    void setIsDevToolsEnabled(bool enabled);
    sigc::signal<void()> isDevToolsEnabledChanged;

    bool isAIChatVisible() const { return isPanelOpen(Panel::aiChat); }
    void setIsAIChatVisible(bool visible);
    sigc::signal<void()> isAIChatVisibleChanged;

    bool isKoviMaxSettingsVisible() const { return isPanelOpen(Panel::aiSettings); }
    void setIsKoviMaxSettingsVisible(bool visible);
    sigc::signal<void()> isKoviMaxSettingsVisibleChanged;

    // Canvas boards, kept in canvases.json; nothing edits them but space removal.
    const std::vector<KoviCanvas>& canvases() const { return m_canvases; }
    sigc::signal<void()> canvasesChanged;

    std::optional<Uuid> activeKoviCanvasId() const { return m_activeKoviCanvasId; }
    void setActiveKoviCanvasId(std::optional<Uuid> canvasId);
    sigc::signal<void()> activeKoviCanvasIdChanged;

    bool isKoviCanvasViewVisible() const { return m_isKoviCanvasViewVisible; }
    void setIsKoviCanvasViewVisible(bool visible);
    sigc::signal<void()> isKoviCanvasViewVisibleChanged;

    bool isLibraryVisible() const { return m_isLibraryVisible; }
    void setIsLibraryVisible(bool visible);
    sigc::signal<void()> isLibraryVisibleChanged;

    bool isExtensionsVisible() const { return m_isExtensionsVisible; }
    void setIsExtensionsVisible(bool visible);
    sigc::signal<void()> isExtensionsVisibleChanged;

    // The account panel over the browser and the layout sheet.
    bool isAccountSettingsVisible() const { return isPanelOpen(Panel::account); }
    void setIsAccountSettingsVisible(bool visible);
    sigc::signal<void()> isAccountSettingsVisibleChanged;
    bool isLayoutSettingsVisible() const { return m_isLayoutSettingsVisible; }
    void setIsLayoutSettingsVisible(bool visible);
    sigc::signal<void()> isLayoutSettingsVisibleChanged;

    bool isCommandBarVisible() const { return isPanelOpen(Panel::commandBar); }
    void setIsCommandBarVisible(bool visible);
    sigc::signal<void()> isCommandBarVisibleChanged;

    // The open panels, bottom to top: a panel opens on top of those already open, and the top
    // one has the keyboard. Raising an open panel brings it back to the top.
    const std::vector<Panel>& openPanels() const { return m_openPanels; }
    std::optional<Panel> topPanel() const;
    bool isPanelOpen(Panel panel) const;
    // Opens the panel on top, or closes it (setIsCommandBarVisible and the others do).
    void setIsPanelOpen(Panel panel, bool open);
    void raisePanel(Panel panel);
    sigc::signal<void()> openPanelsChanged;

    CommandBarMode commandBarMode() const { return m_commandBarMode; }
    void setCommandBarMode(CommandBarMode mode);
    sigc::signal<void()> commandBarModeChanged;

    bool isSidebarCollapsed() const { return m_isSidebarCollapsed; }
    void setIsSidebarCollapsed(bool collapsed);
    sigc::signal<void()> isSidebarCollapsedChanged;

    // Sidebar width in pixels (280 at start, not kept across launches).
    double sidebarWidth() const { return m_sidebarWidth; }
    void setSidebarWidth(double width); // non-finite values are ignored
    sigc::signal<void()> sidebarWidthChanged;

    // Kept in the settings under "isBrowserBezelEnabled" (absent: true).
    bool isBrowserBezelEnabled() const { return m_isBrowserBezelEnabled; }
    void setIsBrowserBezelEnabled(bool enabled);
    sigc::signal<void()> isBrowserBezelEnabledChanged;

    // Emitted after a tab has left `tabs` for good or for the recently closed list (closing,
    // archiving, removing its space), so the web layer can drop the tab's view.
    sigc::signal<void(const Uuid&)> tabClosed;

    // ---- Panel toggles ---------------------------------------------------------------------

    // Closing the find bar clears its query; opening keeps it.
    void toggleFindInPage();
    // Flips isDevToolsEnabled, then posts toggleDevTools with the active tab as object.
    void toggleDevTools();

    // ---- Tabs: creating, activating, closing -------------------------------------------------

    // Stores the tab (replacing one with the same id), lists it in its space's orders when it
    // is unpinned and its space exists, makes it active and saves.
    void addTab(Tab tab);
    // A new tab for the URL in the current space, added with addTab.
    void createNewTab(const Url& url);
    // A tab addTab made (a new tab, a link opened in one) is there for its first address until
    // it shows a page or is sent elsewhere: should that address be a download, the tab has
    // nothing to show. Restored and reopened tabs never are. Kept for this run only.
    bool isOpenedForFirstNavigation(const Uuid& tabId) const { return m_openedForFirstNavigation.contains(tabId); }
    // The tab shows a page or is sent elsewhere: it is the user's tab from now on.
    void endFirstNavigation(const Uuid& tabId);
    // The tab's own address turned out to be a download before it showed any page: the visit
    // recorded when it was shown was of no page and goes, and the tab, with nothing to show,
    // closes once the download is listed (pinned tabs stay). Until it closes it is left out of
    // browser_state.json, written at once, so that no quit or crash meanwhile brings back a tab
    // that asks for the file again at every start.
    void leaveForDownload(const Uuid& tabId);
    bool isLeavingForDownload(const Uuid& tabId) const { return m_leavingForDownload.contains(tabId); }
    // Closes the tab: keeps it among the 40 most recently closed, removes it from its folder
    // and its space's orders, activates another tab of the current space when it was active,
    // turns split view off when it was shown there, and saves.
    void removeTab(const Uuid& tabId);
    // Brings back the most recently closed tab (into its folder when that still exists; into
    // the current space when its own space is gone).
    void reopenClosedTab();
    bool hasRecentlyClosedTabs() const { return !m_recentlyClosedTabs.empty(); }
    // Activates the next (+1) or previous (-1) tab of the keyboard order, wrapping around.
    void switchActiveTab(int step);
    // Pinned tabs oldest first, then the current space's tabOrder.
    std::vector<Uuid> orderedTabIdsForKeyboardNavigation() const;
    // The tab to show when entering a space: its remembered tab while it still belongs to it,
    // else its most recently accessed tab.
    std::optional<Uuid> preferredTabId(const std::optional<Uuid>& spaceId) const;

    // ---- Page reports (memory only, no save) -----------------------------------------------

    // Pinned tabs get their title tidied when "isTidyTabTitlesEnabled" is on.
    void updateTabTitle(const Uuid& tabId, const std::string& title);
    void updateTabURL(const Uuid& tabId, const Url& url);
    // Progress is clamped to 0...1; a non-finite progress is stored as 0.
    void updateTabLoading(const Uuid& tabId, bool isLoading, double progress);
    void updateTabNavigation(const Uuid& tabId, bool canGoBack, bool canGoForward);
    void updateTabFavicon(const Uuid& tabId, std::optional<Bytes> data); // nullopt clears it
    // Flips the tab's exemption from auto-archive and saves.
    void toggleAutoArchiveExcluded(const Uuid& tabId);

    // ---- Persistence -----------------------------------------------------------------------

    // Writes browser_state.json (nothing while loading), and history.json when pages reported
    // titles or icons into their visits since it was written. The application also calls it once
    // at orderly shutdown so navigation inside tabs survives a restart. Like every save, it also
    // writes again any file whose last write failed (a full disk, a missing folder).
    void saveState();

    // What a failed save loses: the tabs (browser_state.json), the history, the downloads list.
    enum class SavedData { tabs, history, downloads };
    struct SaveFailure {
        SavedData data;
        std::string reason;
    };
    // The files whose last save failed, and why; each is tried again at the next save.
    std::vector<SaveFailure> saveFailures() const;
    // Emitted at the end of an operation in which the saves of a file started to fail: once per
    // file, until a save of it works again.
    sigc::signal<void()> saveFailed;

    // ---- History ---------------------------------------------------------------------------

    // Records a visit of the tab's page at the head of the history and writes history.json,
    // unless it repeats the newest visit of the shown space.
    void addToHistory(const Tab& tab);
    // The tab's page committed a navigation to the tab's address: records it as a visit and
    // writes history.json, unless the address is the tab's newest visit already or the newest
    // visit of its space. The tab's newest visit follows the title and icon its page reports,
    // written visitReportWriteDelay seconds after the first unwritten report (or with an
    // earlier save of the state or the history).
    void recordNavigation(const Uuid& tabId);
    // The entries of the shown space, newest first.
    std::vector<HistoryItem> historyForCurrentSpace() const;
    // The shown space's entries of the local calendar day of `date`.
    std::vector<HistoryItem> historyForDate(Date date) const;
    // Yesterday's entries, and every entry before the start of yesterday.
    std::vector<HistoryItem> yesterdaysHistory() const;
    std::vector<HistoryItem> olderHistory() const;
    void removeHistoryItem(const Uuid& id);
    // Removes every entry of the shown space.
    void clearHistoryForCurrentSpace();
    void saveHistory();

    // ---- Downloads -------------------------------------------------------------------------

    // Progress and completion reports; a nullopt argument leaves its field as it is. Byte
    // counts without a status are taken only while the download is running. A status change
    // is written at once; progress alone at most once a second per download.
    void updateDownload(const Uuid& id, std::optional<std::int64_t> downloadedBytes,
                        std::optional<std::int64_t> totalBytes, std::optional<DownloadStatus> status,
                        std::optional<Url> localPath);
    void removeDownload(const Uuid& id);
    void clearCompletedDownloads();
    // Opens the downloaded file with its default application.
    void openDownload(const Uuid& id);
    // Shows the downloaded file in the file manager ("Show in Folder").
    void showDownloadInFinder(const Uuid& id);
    void saveDownloads();

    // How downloaded files are handed to the desktop; tests replace it.
    struct DesktopHandler {
        std::function<void(const Url& file)> open;
        std::function<void(const Url& file)> showInFolder;
    };
    void setDesktopHandler(DesktopHandler handler);

    // ---- Auto-archive ----------------------------------------------------------------------

    // Closes every tab idle for longer than "autoArchiveHours" (24 by default) unless it is
    // pinned, excluded or active, when "autoArchiveEnabled" (default true) allows it.
    void autoArchiveTabsIfNeeded();

    // ---- Current-space queries ---------------------------------------------------------------

    // The shown space's pinned tabs, oldest first.
    std::vector<Tab> pinnedTabs() const;
    // The shown space's unpinned tabs in tabOrder, then the unlisted ones oldest first.
    std::vector<Tab> unpinnedTabs() const;
    // unpinnedTabs without the tabs inside folders (empty when no space is shown).
    std::vector<Tab> tabsForCurrentSpace() const;
    // The shown space's valid top-level entries in sidebar order.
    std::vector<SidebarItem> sidebarItemsForCurrentSpace() const;
    // The folder's tabs in its order, skipping ids with no tab.
    std::vector<Tab> tabsInFolder(const Uuid& folderId) const;

    // ---- Pinning and folders ---------------------------------------------------------------

    void pinTab(const Uuid& tabId);
    void unpinTab(const Uuid& tabId);
    // An expanded folder in the current space holding the given tabs; it goes last in the
    // sidebar order.
    void createFolder(const std::string& name, const std::vector<Uuid>& tabIds);
    void addTabToFolder(const Uuid& tabId, const Uuid& folderId);
    void removeTabFromFolder(const Uuid& tabId);
    // Deletes the folder; its tabs stay open as the last top-level entries.
    void deleteFolder(const Uuid& folderId);
    void toggleFolderExpanded(const Uuid& folderId);
    void renameFolder(const Uuid& folderId, const std::string& name);

    // ---- Moving and reordering -------------------------------------------------------------
    // Indexes are drop positions in the list as it is before the move (0 = before the first).
    // Ids that name no tab of the shown space, and pinned tabs, are ignored.

    void moveSidebarItem(const SidebarItem& item, int toIndex);
    // Places the tab as a top-level row (out of its folder) and rebuilds the tab order.
    void moveTab(const Uuid& tabId, int toSidebarIndex);
    void moveTabInFolder(const Uuid& tabId, const Uuid& folderId, int toIndex);
    // Horizontal tab bar: puts the tab immediately before the target in the tab order.
    void reorderTab(const Uuid& tabId, const Uuid& beforeTabId);

    // ---- Spaces ----------------------------------------------------------------------------

    // A new space with the trimmed name (nothing for a blank name), made current.
    void createNewSpace(const std::string& name, SpaceColor color, const std::string& icon);
    // Adds the space at the end; a space whose id is listed already is not added again.
    void addSpace(Space space);
    // Replaces the space with the same id (saves even when none matched).
    void updateSpace(const Space& space);
    // Removes the space with its tabs, folders and canvases; the last space is never removed.
    void removeSpace(const Uuid& spaceId);
    // Shows the next (+1) or previous (-1) space in the list; nothing past either end. Returns
    // whether the shown space changed.
    bool switchSpace(int step);
    void moveTabToSpace(const Uuid& tabId, const Uuid& spaceId);
    // Hands the shown space's tabs to the library as a workspace and opens the library.
    void saveCurrentWorkspace();

    // ---- Split view ------------------------------------------------------------------------

    void enableSplitView(const Uuid& leftTabId, const Uuid& rightTabId);
    void disableSplitView();
    // Off when on; else the active tab left and the first other tab of the space right.
    void toggleSplitView();
    // The active tab left, this tab right.
    void openInSplitView(const Uuid& tabId);
    // Puts the tab into that pane (exchanging panes when it is in the other one), focuses the
    // pane and activates the tab.
    void setSplitTab(SplitViewSide side, const Uuid& tabId);
    void swapSplitViews();
    std::optional<Tab> leftSplitTab() const;
    std::optional<Tab> rightSplitTab() const;

private:
    // Properties in declaration order; one bit each for deferred change signals.
    enum class Property : unsigned {
        layoutMode, tabs, navigationErrors, folders, spaces, currentSpaceId, activeTabId,
        splitViewConfig, activeSplitSide, history, isHistoryPanelVisible, downloads,
        isDownloadsPanelVisible, isFindInPageVisible, findInPageQuery, isDevToolsEnabled,
        isAIChatVisible, isKoviMaxSettingsVisible, canvases, activeKoviCanvasId,
        isKoviCanvasViewVisible, isLibraryVisible, isExtensionsVisible, isAccountSettingsVisible,
        isLayoutSettingsVisible, isCommandBarVisible,
        commandBarMode, isSidebarCollapsed, sidebarWidth, isBrowserBezelEnabled, openPanels, count
    };
    using PropertySet = std::bitset<static_cast<std::size_t>(Property::count)>;

    // Groups the changes of one operation: signals and file writes happen when the outermost
    // scope ends.
    class ChangeScope {
    public:
        explicit ChangeScope(BrowserState& state);
        ~ChangeScope();
        ChangeScope(const ChangeScope&) = delete;
        ChangeScope& operator=(const ChangeScope&) = delete;

    private:
        BrowserState& m_state;
    };

    void markChanged(Property property);
    void finishChanges();
    sigc::signal<void()>& signalFor(Property property);
    template <class T>
    void assign(T& storage, T value, Property property);
    // The property of the panel's own flag.
    static Property flagOf(Panel panel);

    // Observers.
    void didSetCurrentSpaceId(std::optional<Uuid> previous);
    void runSpaceSwitchSteps(const std::optional<Uuid>& previous);
    void didSetActiveTabId(std::optional<Uuid> previous);
    void leaveSplitViewUnlessShown(const Uuid& tabId);

    // Record helpers: copy out, change, write back.
    Tab* findTab(const Uuid& id);
    const Tab* findTab(const Uuid& id) const;
    TabFolder* findFolder(const Uuid& id);
    int spaceIndex(const std::optional<Uuid>& id) const; // -1 when none
    int currentSpaceIndex() const;
    void putTab(const Tab& tab);
    void putFolder(const TabFolder& folder);
    void eraseTab(const Uuid& id);
    void eraseFolder(const Uuid& id);
    Space& mutableSpace(int index); // marks spaces changed

    // Sidebar order: completes a space's sidebar order, and makes its tab order follow it.
    void completeSidebarOrder(int spaceIndex);
    void syncTabOrderWithSidebarOrder(int spaceIndex);
    void placeLastInSidebar(int spaceIndex, const SidebarItem& item);
    void removeFromSidebar(int spaceIndex, const SidebarItem& item);

    // Start-up and files.
    void load();
    void loadCanvases();
    void saveKoviCanvases();
    void writeCanvasesFile();
    void watchWriteFailures();
    // The tab's newest visit, recorded when it was shown, was of no page (see leaveForDownload).
    void removeVisitOfDownload(const Uuid& tabId);
    void writeVisitReportsSoon();
    void startAutoArchiveTimer();

    Preferences& m_preferences;
    NotificationCenter& m_notifications;
    BrowserLibrary& m_library;
    StorageFolder m_storage;
    StateFile m_stateFile{m_storage};
    HistoryLog m_historyLog{m_storage};
    MainLoopDelayedTask m_downloadFlush;
    MainLoopDelayedTask m_visitReportFlush;
    // Safe: the task runs from the main loop only while the log, and so the state, is alive.
    DownloadLog m_downloadLog{m_storage, m_downloadFlush, [this] { saveDownloads(); }};

    BrowserLayoutMode m_layoutMode = BrowserLayoutMode::vertical;
    TabMap m_tabs;
    std::unordered_set<Uuid> m_openedForFirstNavigation;
    std::unordered_set<Uuid> m_leavingForDownload; // never saved; see leaveForDownload
    ErrorMap m_navigationErrors;
    FolderMap m_folders;
    std::vector<Space> m_spaces;
    std::optional<Uuid> m_currentSpaceId;
    std::optional<Uuid> m_activeTabId;
    SplitViewConfig m_splitViewConfig;
    SplitViewSide m_activeSplitSide = SplitViewSide::left;
    bool m_isFindInPageVisible = false;
    std::string m_findInPageQuery;
    bool m_isDevToolsEnabled = false;
    std::vector<KoviCanvas> m_canvases;
    std::optional<Uuid> m_activeKoviCanvasId;
    bool m_isKoviCanvasViewVisible = false;
    bool m_isLibraryVisible = false;
    bool m_isExtensionsVisible = false;
    bool m_isLayoutSettingsVisible = false;
    CommandBarMode m_commandBarMode = CommandBarMode::all;
    bool m_isSidebarCollapsed = false;
    double m_sidebarWidth = 280.0;
    bool m_isBrowserBezelEnabled = true;
    std::vector<Panel> m_openPanels;
    bool m_downloadsPanelOpenedByItself = false;

    SidebarOrder m_sidebarOrder{m_tabs, m_folders};

    std::deque<Tab> m_recentlyClosedTabs; // oldest first
    bool m_isRestoringState = false;

    // Deferred work of the running operation.
    int m_changeDepth = 0;
    PropertySet m_changed;
    std::vector<Uuid> m_closedTabs;
    bool m_stateSavePending = false;
    bool m_historySavePending = false;
    bool m_downloadsSavePending = false;
    bool m_canvasesSavePending = false;
    bool m_saveFailureStarted = false;

    DesktopHandler m_desktop;
    sigc::connection m_autoArchiveTimer;
};

} // namespace kovi
