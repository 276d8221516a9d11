#include "ui/web/space_web_session_manager.h"

#include "core/support/files.h"
#include "core/support/storage_paths.h"

#include <webkit/webkit.h>

#include <iostream>

namespace kovi {

SpaceWebSessionManager::SpaceWebSessionManager(std::optional<std::string> dataRoot, std::optional<std::string> cacheRoot)
    : m_dataRoot(std::move(dataRoot))
    , m_cacheRoot(std::move(cacheRoot))
{
}

SpaceWebSessionManager::~SpaceWebSessionManager() = default;

SpaceWebSessionManager::Session& SpaceWebSessionManager::session(const std::optional<Uuid>& spaceId)
{
    if (!spaceId) {
        if (!m_ephemeral) {
            m_ephemeral = makeSession(std::nullopt);
            sessionCreated.emit(*m_ephemeral);
        }
        return *m_ephemeral;
    }
    auto it = m_sessions.find(*spaceId);
    if (it != m_sessions.end())
        return *it->second;
    auto& made = m_sessions[*spaceId] = makeSession(spaceId);
    sessionCreated.emit(*made);
    return *made;
}

std::unique_ptr<SpaceWebSessionManager::Session> SpaceWebSessionManager::makeSession(const std::optional<Uuid>& spaceId)
{
    auto session = std::make_unique<Session>();
    session->spaceId = spaceId;
    session->context = GObjectPtr<WebKitWebContext>::adopt(webkit_web_context_new());
    webkit_web_context_set_cache_model(session->context.get(), WEBKIT_CACHE_MODEL_WEB_BROWSER);
    if (!spaceId) {
        session->network = GObjectPtr<WebKitNetworkSession>::adopt(webkit_network_session_new_ephemeral());
        return session;
    }
    std::string id = spaceId->toString();
    session->dataDirectory = m_dataRoot ? files::join(*m_dataRoot, id) : paths::sessionDataDirectory(id);
    session->cacheDirectory = m_cacheRoot ? files::join(*m_cacheRoot, id) : paths::sessionCacheDirectory(id);
    for (const auto& dir : {session->dataDirectory, session->cacheDirectory}) {
        if (auto made = files::ensureDirectory(dir, 0700); !made)
            std::cout << "Failed to create the web data folder: " << made.error().message << std::endl;
    }
    session->network = GObjectPtr<WebKitNetworkSession>::adopt(
        webkit_network_session_new(session->dataDirectory.c_str(), session->cacheDirectory.c_str()));
    // Cookies survive restarts in the space's own folder.
    std::string cookies = files::join(session->dataDirectory, "cookies.sqlite");
    webkit_cookie_manager_set_persistent_storage(webkit_network_session_get_cookie_manager(session->network.get()),
                                                 cookies.c_str(), WEBKIT_COOKIE_PERSISTENT_STORAGE_SQLITE);
    return session;
}

} // namespace kovi
