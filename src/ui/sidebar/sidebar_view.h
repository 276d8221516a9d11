#pragma once

#include "core/commandbar/search_suggestion_client.h"
#include "core/sidebar/hover_preview_model.h"
#include "core/sidebar/space_swipe_detector.h"
#include "core/support/http_client.h"
#include "core/support/main_loop_delayed_task.h"
#include "core/support/scoped_connections.h"
#include "ui/design/held_length_bin.h"
#include "ui/design/motion.h"
#include "ui/design/still_pointer_hover.h"
#include "ui/sidebar/address_bar.h"
#include "ui/sidebar/bottom_bar.h"
#include "ui/sidebar/preview_bubble.h"
#include "ui/sidebar/sidebar_environment.h"
#include "ui/sidebar/space_editor.h"
#include "ui/sidebar/tab_list.h"
#include "ui/sidebar/top_bar.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/overlay.h>
#include <gtkmm/picture.h>
#include <gtkmm/scrolledwindow.h>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

namespace kovi {

class AppearanceManager;
class BrowserLibrary;
class BrowserState;
class HttpSession;
class NotificationCenter;
class SidebarHost;
class TabSnapshotProvider;
struct AppContext;

// What the sidebar needs from the application. References must outlive the sidebar.
struct SidebarServices {
    BrowserState& state;
    AppearanceManager& appearance;
    NotificationCenter& notifications;
    HttpSession& http;                            // for the address field's search suggestions
    BrowserLibrary* library = nullptr;            // none: no bookmark star in the address field
    TabSnapshotProvider* snapshots = nullptr;     // none: no hover previews
    std::function<Gtk::Widget*()> accountButton;  // the account control of the bottom row
    std::function<void(const Tab&)> openQuickView; // none: the menu entry is shown disabled
    std::string suggestionBaseUrl = std::string(SearchSuggestionClient::defaultBaseUrl);
};

// The vertical sidebar: top bar, address field, favourites, "Keep", the space's header and
// list, the new-tab row and the bottom bar. It reads the browser state and refreshes what
// changed once per turn of the main loop. Main thread only.
class SidebarView : public Gtk::Box {
public:
    SidebarView(SidebarServices services, SidebarHost& host);
    // Keeps `provider` for as long as the sidebar and takes its pictures for the previews.
    void adoptSnapshotProvider(std::unique_ptr<TabSnapshotProvider> provider);
    ~SidebarView() override;

    // Runs a pending refresh now (tests and measurements).
    void flushRefresh();
    // The overlay that holds the hover preview bubble; by default the nearest ancestor overlay
    // (the main window's), which lies over the page as well as the sidebar.
    void setPreviewOverlay(Gtk::Overlay* overlay);
    void openSpaceEditor(std::optional<Space> editing);
    // Feeds one scroll step to the swipe detector (the scroll controller does this).
    void handleSwipe(const SpaceSwipeDetector::Event& event);

    SidebarTabList& tabList() { return m_list; }
    SidebarTopBar& topBar() { return m_topBar; }
    SidebarAddressBar& addressBar() { return m_address; }
    SidebarBottomBar& bottomBar() { return m_bottom; }
    Gtk::Button& newTabButton() { return m_newTab; }
    Gtk::Label& spaceHeaderLabel() { return m_spaceName; }
    Gtk::Widget& spaceHeader() { return m_spaceHeader; }
    SidebarEnvironment& environment() { return m_env; }
    HoverPreviewModel& previewModel() { return m_preview; }
    Gtk::Widget* previewBubble() const { return m_bubble.get_parent() ? const_cast<PreviewBubble*>(&m_bubble) : nullptr; }
    bool isPreviewShown() const { return m_bubble.get_parent() && m_bubble.get_visible(); }
    SpaceEditorWindow* spaceEditor() const { return m_editor.get(); }

private:
    void scheduleRefresh();
    void refresh();
    void refreshSpaceHeader();
    void refreshPreview();
    Gtk::Overlay* previewOverlay();
    void setupSwipe();
    void refreshUpperScrollbar();
    // After the next frame's layout, scroll the active tab's row (or the folder just made) into
    // view by the least distance.
    void revealSoon();
    void stopRevealing();
    void reveal();
    Gtk::Widget* activeTabWidget() const;

    SidebarServices m_services;
    BrowserState& m_state;
    SidebarHost& m_host;
    HttpClient m_http; // its requests end with the sidebar
    SidebarEnvironment m_env;

    SidebarTopBar m_topBar;
    SidebarAddressBar m_address;
    SidebarTabList m_list;
    // The favourites and the "Keep" section: as tall as they need, scrolling when the window
    // is shorter than the column, so no tab count sets the window's height.
    Gtk::ScrolledWindow m_upperScroller;
    Gtk::Box m_upper{Gtk::Orientation::VERTICAL};
    sigc::connection m_upperPolicyIdle;
    Gtk::Box m_spaceHeader;
    Gtk::Image m_spaceIcon;
    Gtk::Label m_spaceName;
    Gtk::ScrolledWindow m_scroller;
    HeldLengthBin m_listHold{Gtk::Orientation::VERTICAL, m_scroller}; // the list, in the scroller
    Gtk::Button m_newTab;
    SidebarBottomBar m_bottom;

    MainLoopDelayedTask m_previewDelay;
    HoverPreviewModel m_preview;
    PreviewBubble m_bubble;
    Gtk::Overlay* m_previewOverlay = nullptr;
    bool m_previewOverlayChosen = false;

    SpaceSwipeDetector m_swipe;
    double m_pointerY = -1;
    bool m_swipeBegan = false;

    // The shown space's content fades in with the row spring when the space changes.
    MotionValue m_spaceFade;
    // Rows closing, moving or scrolling under a still pointer hand it the row now there.
    StillPointerHover m_stillPointer{*this};

    // What was brought into view last: the active tab where it was shown, the folders known.
    std::optional<Uuid> m_revealedTab;
    Gtk::Widget* m_revealedRow = nullptr; // compared only, never used
    int m_revealedIndex = -1;
    std::set<Uuid> m_knownFolders;
    std::optional<Uuid> m_revealFolder; // a folder just made, waiting to be shown
    bool m_revealPending = false;
    GdkFrameClock* m_revealClock = nullptr; // while a reveal waits for a frame
    gulong m_afterPaint = 0;

    std::unique_ptr<TabSnapshotProvider> m_ownSnapshots;
    std::unique_ptr<SpaceEditorWindow> m_editor;
    MainLoopDelayedTask m_editorCleanup;
    sigc::connection m_refreshIdle;
    ScopedConnections m_connections; // last: dropped before the members its slots use
};

class WebContent;

// The sidebar of the application's main window, for the shell's view slots. Without the web
// layer's pages there are no hover previews; with them, previews show the pooled tab views.
Gtk::Widget* makeSidebarView(AppContext& context, SidebarHost& host);
// What the application adds to the sidebar when it has it: the pages (for hover previews), a way
// to open a tab in a small floating window (none: the entry is disabled) and the account control
// of the bottom row.
struct SidebarExtras {
    WebContent* pages = nullptr;
    std::function<void(const Tab&)> openQuickView;
    std::function<Gtk::Widget*()> accountButton;
};
Gtk::Widget* makeSidebarView(AppContext& context, SidebarHost& host, SidebarExtras extras);

} // namespace kovi
