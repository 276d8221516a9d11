#pragma once

namespace kovi {

class AIService;
class AppearanceManager;
class AuthManager;
class BrowserCore;
class BrowserLibrary;
class BrowserState;
class Defaults;
class FloatingWindows;
class HttpSession;
class NotificationCenter;
class PageExtensionStore;
class Preferences;
class Theme;
class UpdateManager;
class WebContent;

// The long-lived objects of the process, owned by the application and handed to every view by
// reference. Views keep the reference, never a copy of what it points to.
struct AppContext {
    Defaults& defaults;
    Preferences& preferences;
    NotificationCenter& notifications;
    BrowserLibrary& library;
    BrowserState& state;
    AppearanceManager& appearance;
    AIService& ai;
    AuthManager& auth;
    HttpSession& http; // the browser's own requests; each view keeps its HttpClient on it
    Theme& theme;
    UpdateManager* updates = nullptr;
    PageExtensionStore* extensions = nullptr;
    WebContent* web = nullptr; // the page views; absent in view tests without pages
    FloatingWindows* floatingWindows = nullptr; // the small browser windows; set once pages exist

    // The services of `core` with the views' theme and, where pages are shown, the page layer.
    static AppContext of(BrowserCore& core, Theme& theme, WebContent* web = nullptr);
};

} // namespace kovi
