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
// The entries are filled in ONE place, defaultViewParts() in view_parts.cpp: an area adds its
// include and one assignment there. Tests build views with parts of their own.
struct ViewParts {
    // ---- Sidebar-layout main view (ContentView) ----
    // The vertical sidebar; built once per main view, moved between the docked column and the
    // floating panel. Sized by the main view to BrowserState::sidebarWidth.
    std::function<Gtk::Widget*(AppContext&, SidebarHost&)> sidebar;
    // The page of the active tab (tab content container with its error overlay and zoom badge),
    // built whenever another tab becomes active or the space changes.
    std::function<Gtk::Widget*(AppContext&, const Tab&)> tabContent;
    // While split view is on: the two-pane container, and its toolbar (top-right corner).
    std::function<Gtk::Widget*(AppContext&)> splitView;
    std::function<Gtk::Widget*(AppContext&)> splitViewToolbar;
    // Overlays, built when their BrowserState flag turns true and destroyed when it turns false:
    // the command bar (isCommandBarVisible; centred over the window, the widget picks its own
    // alignment), the find bar (isFindInPageVisible; placed top-right), the history and
    // downloads panels (isHistoryPanelVisible / isDownloadsPanelVisible; over a 0.3 scrim that
    // closes them, the widget picks its own alignment).
    std::function<Gtk::Widget*(AppContext&)> commandBar;
    std::function<Gtk::Widget*(AppContext&)> findBar;
    std::function<Gtk::Widget*(AppContext&)> historyPanel;
    std::function<Gtk::Widget*(AppContext&)> downloadsPanel;
    // The bookmarks bar above the page; built once, shows itself by "showBookmarksBar".
    std::function<Gtk::Widget*(AppContext&)> bookmarkStrip;

    // ---- Root view (MainBrowserView) ----
    // The horizontal-tab layout; while empty, the sidebar layout is shown for both modes.
    std::function<Gtk::Widget*(AppContext&)> traditionalLayout;
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
};

// The parts of the real application.
ViewParts defaultViewParts();

} // namespace kovi
