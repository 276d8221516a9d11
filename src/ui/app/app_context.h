#pragma once

namespace kovi {

class AIService;
class AppearanceManager;
class AuthManager;
class BrowserLibrary;
class BrowserState;
class Defaults;
class NotificationCenter;
class Theme;
class UpdateManager;

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
};

} // namespace kovi
