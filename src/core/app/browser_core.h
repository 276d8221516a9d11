#pragma once

#include "core/settings/update_manager.h"

#include <memory>
#include <optional>
#include <string>

namespace kovi {

class AIService;
class AppearanceManager;
class AuthManager;
class BrowserLibrary;
class BrowserState;
class Defaults;
class HttpSession;
class NotificationCenter;
class PageExtensionStore;
class Preferences;

// The browser's long-lived services, built from one set of folders and wired together: the
// settings, the notification centre, the library, the browser state, appearance, the AI service,
// the account, the update check, the page extensions and the one HTTP session of the browser's
// own requests. Built in dependency order and destroyed backwards; every reference it hands out
// lives as long as the core. Main thread only.
class BrowserCore {
public:
    struct Options {
        // The state files, history, downloads, library and page extensions (nullopt: the user's
        // data folder, $XDG_DATA_HOME/KoviBrowser).
        std::optional<std::string> dataDirectory;
        // The settings file (nullopt: $XDG_CONFIG_HOME/KoviBrowser/defaults.json; empty: settings
        // kept in memory only).
        std::optional<std::string> defaultsPath;
        // The update feed (nullopt: the one this program was built with).
        std::optional<std::string> updateFeedUrl;
    };

    explicit BrowserCore(Options options);
    ~BrowserCore();

    BrowserCore(const BrowserCore&) = delete;
    BrowserCore& operator=(const BrowserCore&) = delete;

    const Options& options() const { return m_options; }

    Defaults& defaults() { return *m_defaults; }
    Preferences& preferences() { return *m_preferences; }
    NotificationCenter& notifications() { return *m_notifications; }
    BrowserLibrary& library() { return *m_library; }
    BrowserState& state() { return *m_state; }
    AppearanceManager& appearance() { return *m_appearance; }
    AIService& ai() { return *m_ai; }
    AuthManager& auth() { return *m_auth; }
    UpdateManager& updates() { return *m_updates; }
    PageExtensionStore& extensions() { return *m_extensions; }
    HttpSession& http() { return *m_http; }

    // Where the update check shows its alerts and opens a release page; the application gives
    // them once its window layer exists. Without a presenter the alerts are dropped. The
    // presenter must outlive the core or be taken back with setUpdateAlerts(nullptr, {}).
    void setUpdateAlerts(UpdateAlertPresenter* presenter, UpdateManager::OpenUrl openUrl);

private:
    class AlertRelay;

    Options m_options;
    // In dependency order: built top to bottom, destroyed bottom to top.
    std::unique_ptr<HttpSession> m_http;
    std::unique_ptr<Defaults> m_defaults;
    std::unique_ptr<Preferences> m_preferences;
    std::unique_ptr<NotificationCenter> m_notifications;
    std::unique_ptr<BrowserLibrary> m_library;
    std::unique_ptr<BrowserState> m_state;
    std::unique_ptr<AppearanceManager> m_appearance;
    std::unique_ptr<AIService> m_ai;
    std::unique_ptr<AuthManager> m_auth;
    std::unique_ptr<AlertRelay> m_alerts;
    std::unique_ptr<UpdateManager> m_updates;
    std::unique_ptr<PageExtensionStore> m_extensions;
};

} // namespace kovi
