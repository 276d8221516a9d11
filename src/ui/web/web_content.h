#pragma once

#include "core/support/http_client.h"
#include "core/support/uuid.h"
#include "ui/web/popup_shortcuts.h"
#include "ui/web/space_web_session_manager.h"
#include "ui/web/web_view_pool.h"

#include <sigc++/signal.h>
#include <sigc++/trackable.h>

#include <memory>
#include <optional>
#include <string>

namespace kovi {

class AppearanceManager;
class BrowserState;
class Preferences;
class DownloadManager;
class HttpSession;
class NotificationCenter;
class PageExtensionStore;

// The page layer of the application: the per-space sessions, the pool of live views, the
// downloads and the icon fetching (on the browser's HTTP session), with the shared objects every
// page view needs. Made once by the application (after and destroyed before the objects it
// refers to) and passed to every view that shows pages. Main thread only.
class WebContent : public sigc::trackable {
public:
    struct Folders {
        std::optional<std::string> sessionData;    // default: <storage>/sessions
        std::optional<std::string> sessionCache;   // default: <cache>/KoviBrowser/sessions
        std::optional<std::string> downloads;      // default: the user's Downloads folder
        std::optional<std::string> partialDownloads; // default: <cache>/KoviBrowser/downloads
    };

    WebContent(BrowserState& state, NotificationCenter& notifications, Preferences& preferences,
               AppearanceManager& appearance, PageExtensionStore& extensions, HttpSession& http,
               Folders folders = {});
    ~WebContent();
    WebContent(const WebContent&) = delete;
    WebContent& operator=(const WebContent&) = delete;

    BrowserState& state() { return m_state; }
    NotificationCenter& notifications() { return m_notifications; }
    Preferences& preferences() { return m_preferences; }
    AppearanceManager& appearance() { return m_appearance; }
    PageExtensionStore& extensions() { return m_extensions; }
    SpaceWebSessionManager& sessions() { return m_sessions; }
    WebViewPool& pool() { return m_pool; }
    DownloadManager& downloads() { return *m_downloads; }
    HttpClient& iconClient() { return m_iconClient; }

    // Start-up: the first page view loads the engine's drawing side and starts its processes,
    // which the window's first frame does not show. While held, page views wait with their
    // page; releasePages() makes them.
    void holdPages() { m_pagesHeld = true; }
    void releasePages();
    bool pagesHeld() const { return m_pagesHeld; }
    sigc::signal<void()> pagesReleased;

    // The window's shortcuts, built for each popup a page opens (which holds the keyboard while
    // open); none until set, and none again once cleared.
    void setPopupShortcuts(PopupShortcuts::Make make) { m_popupShortcuts = std::move(make); }
    Glib::RefPtr<Gtk::ShortcutController> popupShortcuts() const
    {
        return m_popupShortcuts ? m_popupShortcuts() : nullptr;
    }

    // The engine's count of matches of a text found in a tab's page (the find bar shows it when
    // it is the bar's text); a count above FindCounter::matchLimit means more matches than the
    // engine counts.
    sigc::signal<void(const Uuid& tabId, const std::string& text, int count)> matchesCounted;
    // A tab's view shows another page (one committed, or none: its web process ended). What was
    // found in the tab belongs to no page now, and nothing is searched there until asked again.
    sigc::signal<void(const Uuid& tabId)> pageReplaced;

private:
    void returnFreedMemorySoon();
    void closeTabLeftForDownload(WebKitWebView* view);

    BrowserState& m_state;
    NotificationCenter& m_notifications;
    Preferences& m_preferences;
    AppearanceManager& m_appearance;
    PageExtensionStore& m_extensions;
    SpaceWebSessionManager m_sessions;
    std::unique_ptr<DownloadManager> m_downloads;
    WebViewPool m_pool;
    HttpClient m_iconClient;
    PopupShortcuts::Make m_popupShortcuts;
    sigc::connection m_trim; // the pending return of closed pages' memory
    bool m_pagesHeld = false;
};

} // namespace kovi
