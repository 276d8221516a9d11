#include "ui/web/web_content.h"

#include "core/state/browser_state.h"
#include "core/support/files.h"
#include "core/support/storage_paths.h"
#include "ui/web/download_manager.h"

#include <sigc++/adaptors/track_obj.h>
#include <glib.h>

namespace kovi {

WebContent::WebContent(BrowserState& state, NotificationCenter& notifications, Preferences& preferences,
                       AppearanceManager& appearance, PageExtensionStore& extensions, Folders folders)
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
    , m_pool(m_sessions)
    , m_iconClient(SpaceWebSessionManager::userAgent)
{
    m_sessions.sessionCreated.connect([this](SpaceWebSessionManager::Session& session) {
        m_downloads->watch(session.network.get());
    });
    // A closed or archived tab's page stops and its memory returns.
    state.tabClosed.connect(sigc::track_object([this](const Uuid& tabId) { m_pool.removeWebView(tabId); }, *this));
}

WebContent::~WebContent()
{
    m_pool.removeAll();
}

} // namespace kovi
