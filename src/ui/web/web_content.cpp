#include "ui/web/web_content.h"

#include "core/state/browser_state.h"
#include "core/support/files.h"
#include "core/support/storage_paths.h"
#include "ui/web/download_manager.h"
#include "ui/web/web_view_coordinator.h"

#include <sigc++/adaptors/track_obj.h>
#include <glib.h>
#include <glibmm/main.h>
#include <webkit/webkit.h>

#include <malloc.h>

namespace kovi {

WebContent::WebContent(BrowserState& state, NotificationCenter& notifications, Preferences& preferences,
                       AppearanceManager& appearance, PageExtensionStore& extensions, HttpSession& http,
                       Folders folders)
    : m_state(state)
    , m_notifications(notifications)
    , m_preferences(preferences)
    , m_appearance(appearance)
    , m_extensions(extensions)
    , m_sessions(folders.sessionData, folders.sessionCache)
    , m_downloads(std::make_unique<DownloadManager>(
          state, preferences, folders.downloads.value_or(paths::downloadsDirectory()),
          folders.partialDownloads.value_or(
              files::join(files::join(g_get_user_cache_dir(), paths::appFolderName), "downloads"))))
    , m_pool(m_sessions,
             [this](const Uuid& tabId, WebKitWebView* view) {
                 return std::make_unique<WebViewCoordinator>(*this, tabId, view);
             })
    , m_iconClient(http)
{
    m_sessions.sessionCreated.connect([this](SpaceWebSessionManager::Session& session) {
        m_downloads->watch(session.network.get());
    });
    m_downloads->listedInView.connect(sigc::mem_fun(*this, &WebContent::closeTabLeftForDownload));
    // A closed or archived tab's page stops and its memory returns.
    state.tabClosed.connect(sigc::track_object([this](const Uuid& tabId) {
        m_pool.removeWebView(tabId);
        returnFreedMemorySoon();
    }, *this));
}

WebContent::~WebContent()
{
    m_trim.disconnect();
    m_pool.removeAll();
}

void WebContent::releasePages()
{
    if (!m_pagesHeld)
        return;
    m_pagesHeld = false;
    pagesReleased.emit();
}

void WebContent::returnFreedMemorySoon()
{
    // The allocator keeps freed memory for reuse (the frame buffers are held on purpose, see
    // DrawingSetup), so a closed page's pictures and view would stay resident. Once the closing
    // is over (several tabs are often closed in a row), the unused pages go back to the system.
    m_trim.disconnect();
    m_trim = Glib::signal_timeout().connect([] {
        malloc_trim(0);
        return false;
    }, 1000);
}

void WebContent::closeTabLeftForDownload(WebKitWebView* view)
{
    // A tab whose own address turned out to be a download has no page to show: it would stay
    // behind empty. The user's own tabs (those that showed a page, those sent to another address)
    // and kept (pinned) tabs stay.
    auto tabId = m_pool.tabOf(view);
    if (!tabId || !m_state.isLeavingForDownload(*tabId))
        return;
    // Not under the engine's signal: closing the tab destroys its view.
    Glib::signal_idle().connect_once(sigc::track_object([this, id = *tabId] {
        if (m_state.isLeavingForDownload(id))
            m_state.removeTab(id);
    }, *this));
}

} // namespace kovi
