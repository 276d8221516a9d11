#pragma once

// Names of the app-wide notifications. Page commands carry the target tab's id as the object.

namespace kovi::notifications {

inline constexpr const char* webViewGoBack = "webViewGoBack";
inline constexpr const char* webViewGoForward = "webViewGoForward";
inline constexpr const char* webViewReload = "webViewReload";
inline constexpr const char* webViewZoomIn = "webViewZoomIn";
inline constexpr const char* webViewZoomOut = "webViewZoomOut";
inline constexpr const char* webViewZoomReset = "webViewZoomReset";
inline constexpr const char* webViewZoomChanged = "webViewZoomChanged"; // "zoom": double
inline constexpr const char* toggleDevTools = "toggleDevTools";
inline constexpr const char* findInPage = "findInPage";                 // "query": string
inline constexpr const char* findInPageNext = "findInPageNext";
inline constexpr const char* findInPagePrevious = "findInPagePrevious";
inline constexpr const char* enterPictureInPicture = "enterPictureInPicture";
inline constexpr const char* checkAndEnterPiP = "checkAndEnterPiP";
inline constexpr const char* webViewNavigate = "webViewNavigate";       // "url": Url
inline constexpr const char* layoutModeChanged = "layoutModeChanged";
inline constexpr const char* showAccountSettings = "showAccountSettings";
inline constexpr const char* showSettings = "showSettings";
inline constexpr const char* tabWillSwitch = "tabWillSwitch";           // "fromTabId", "toTabId": Uuid

// Toolbar commands of the small floating windows and of the quick-view windows. The object is
// the id of the window whose button was pressed; only that window obeys. The open-in-main
// commands carry the page's address as "url" (Url).
inline constexpr const char* smallWindowGoBack = "smallWindowGoBack";
inline constexpr const char* smallWindowGoForward = "smallWindowGoForward";
inline constexpr const char* smallWindowReload = "smallWindowReload";
inline constexpr const char* smallWindowOpenInMain = "smallWindowOpenInMain";
inline constexpr const char* quickViewGoBack = "quickViewGoBack";
inline constexpr const char* quickViewGoForward = "quickViewGoForward";
inline constexpr const char* quickViewReload = "quickViewReload";
inline constexpr const char* quickViewOpenInMain = "quickViewOpenInMain";

} // namespace kovi::notifications
