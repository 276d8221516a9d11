#pragma once

namespace kovi {

class AIService;
class AppearanceManager;
class AuthManager;
class BrowserLibrary;
class BrowserState;
class Defaults;
class NotificationCenter;
class PageExtensionStore;
class Theme;
class UpdateManager;
class WebContent;

// The long-lived objects of the process, owned by the application and handed to every view by
// reference. Views keep the reference, never a copy of what it points to.
struct AppContext {
    Defaults& defaults;
    NotificationCenter& notifications;
    BrowserLibrary& library;
    BrowserState& state;
    AppearanceManager& appearance;
    AIService& ai;
    AuthManager& auth;
    Theme& theme;
    UpdateManager* updates = nullptr; // absent in view tests that need no update checks
    PageExtensionStore* extensions = nullptr; // absent in view tests that show no pages
    WebContent* web = nullptr;                // the page views; absent in view tests without pages
};

} // namespace kovi
