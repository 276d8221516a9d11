#pragma once

// The identifiers of the command table. Views run a command through its identifier (the
// toolkit's action "app.<id>"), never through a copy of its handler.

namespace kovi::commands {

// Kovi
inline constexpr const char* about = "about";
inline constexpr const char* quit = "quit";
// File
inline constexpr const char* newTab = "new-tab";
inline constexpr const char* newSpace = "new-space";
inline constexpr const char* closeTab = "close-tab";
inline constexpr const char* reopenClosedTab = "reopen-closed-tab";
inline constexpr const char* switchTabs = "switch-tabs";
// Edit
inline constexpr const char* goBack = "go-back";
inline constexpr const char* goForward = "go-forward";
inline constexpr const char* reload = "reload";
// View
inline constexpr const char* toggleCommandBar = "toggle-command-bar";
inline constexpr const char* toggleBezel = "toggle-bezel";
inline constexpr const char* findInPage = "find-in-page";
inline constexpr const char* toggleSplitView = "toggle-split-view";
inline constexpr const char* showHistory = "show-history";
inline constexpr const char* showDownloads = "show-downloads";
inline constexpr const char* toggleDevTools = "toggle-dev-tools";
inline constexpr const char* pictureInPicture = "picture-in-picture";
inline constexpr const char* aiChat = "ai-chat";
inline constexpr const char* toggleMaxSettings = "toggle-max-settings";
inline constexpr const char* toggleLayout = "toggle-layout";
inline constexpr const char* zoomIn = "zoom-in";
inline constexpr const char* zoomInPlus = "zoom-in-plus";
inline constexpr const char* zoomOut = "zoom-out";
inline constexpr const char* zoomReset = "zoom-reset";
// Bookmarks
inline constexpr const char* bookmarkPage = "bookmark-page";
// The bookmark star: bookmarks the active page, or removes its bookmarks (in no menu).
inline constexpr const char* toggleBookmark = "toggle-bookmark";
inline constexpr const char* addToReadingList = "add-to-reading-list";
inline constexpr const char* showLibrary = "show-library";
inline constexpr const char* saveWorkspace = "save-workspace";
inline constexpr const char* toggleBookmarksBar = "toggle-bookmarks-bar";
inline constexpr const char* pageExtensions = "page-extensions";
// Spaces: a space's id (text), or its position from 1 (number).
inline constexpr const char* switchToSpace = "switch-to-space";
inline constexpr const char* space = "space";
// Tabs: a position from 1 (number).
inline constexpr const char* nextTab = "next-tab";
inline constexpr const char* previousTab = "previous-tab";
inline constexpr const char* selectTab = "select-tab";
// Settings: the layout's stored name ("vertical", "traditional"); "dark" or "light".
inline constexpr const char* checkForUpdates = "check-for-updates";
inline constexpr const char* browserLayout = "browser-layout";
inline constexpr const char* glass = "glass";
inline constexpr const char* appearance = "appearance";
inline constexpr const char* openMaxSettings = "open-max-settings";
inline constexpr const char* settings = "settings";

} // namespace kovi::commands
