#pragma once

#include <functional>

namespace Gtk {
class Widget;
class Window;
} // namespace Gtk

namespace kovi {

struct AppContext;
class SidebarHost;
struct Tab;

// The places where views of other areas plug into the main window. Each entry builds a new
// managed widget (or returns nullptr); an empty entry leaves its place empty (the sidebar
// column) or shows what the main view has of its own (the start page, the sidebar layout).
//
// The entries are filled in ONE place, defaultViewSlots() in default_view_slots.cpp: an area adds its
// include and one assignment there. Tests build views with slots of their own.
struct ViewSlots {
    // ---- Sidebar layout (ContentView) ----
    // The vertical sidebar; built once per layout, moved between the docked column and the
    // floating panel. Sized by the layout to BrowserState::sidebarWidth.
    std::function<Gtk::Widget*(AppContext&, SidebarHost&)> sidebar;

    // ---- Page area (PageArea, in every layout) ----
    // The page of a tab (tab content container with its error overlay and zoom badge), built
    // the first time the tab is active and kept, hidden while another page shows, until the
    // tab closes or moves to another space. Whatever the page shows must stay inside it.
    std::function<Gtk::Widget*(AppContext&, const Tab&)> tabContent;
    // While split view is on: the two-pane container, and its toolbar (top-right corner).
    std::function<Gtk::Widget*(AppContext&)> splitView;
    std::function<Gtk::Widget*(AppContext&)> splitViewToolbar;
    // The find bar (isFindInPageVisible; placed top-right over the page), built when the flag
    // turns true and destroyed when it turns false.
    std::function<Gtk::Widget*(AppContext&)> findBar;
    // The bookmarks bar above the page; built once, shows itself by "showBookmarksBar".
    std::function<Gtk::Widget*(AppContext&)> bookmarkStrip;

    // ---- Panels over a layout (PanelOverlays, in every layout) ----
    // Built when their BrowserState flag turns true and destroyed when it turns false: the
    // command bar (isCommandBarVisible; centred over the window, the widget picks its own
    // alignment), the history and downloads panels (isHistoryPanelVisible /
    // isDownloadsPanelVisible; over a 0.3 scrim that closes them, the widget picks its own
    // alignment).
    std::function<Gtk::Widget*(AppContext&)> commandBar;
    std::function<Gtk::Widget*(AppContext&)> historyPanel;
    std::function<Gtk::Widget*(AppContext&)> downloadsPanel;

    // ---- Root view (MainBrowserView) ----
    // Panels over the browser on a 0.3 scrim (tap closes): the AI chat (isAIChatVisible), the
    // AI settings (isKoviMaxSettingsVisible) and the account panel (showAccountSettings).
    std::function<Gtk::Widget*(AppContext&)> aiChatPanel;
    std::function<Gtk::Widget*(AppContext&)> aiSettingsPanel;
    std::function<Gtk::Widget*(AppContext&)> accountPanel;
    // Sheets: modal windows built with `new` when their flag turns true (isLibraryVisible,
    // isExtensionsVisible); the root view owns them and deletes them when the flag turns false.
    // The sheet's own close button sets the flag false; closing the window does the same.
    std::function<Gtk::Window*(AppContext&, Gtk::Window& parent)> librarySheet;
    std::function<Gtk::Window*(AppContext&, Gtk::Window& parent)> extensionsSheet;
    // The settings window, opened by the showSettings notification; it lives no longer than
    // `parent`, the browser window.
    std::function<void(AppContext&, Gtk::Window& parent)> openSettings;

    // ---- Tab menus (every layout) ----
    // "Open in Quick View": the tab's address in a small floating window, in the tab's space.
    // Offered only while the context has its floating windows.
    std::function<void(AppContext&, const Tab&)> openQuickView;
};

// The slots of the real application.
ViewSlots defaultViewSlots();

} // namespace kovi
