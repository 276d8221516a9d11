#include "ui/web/space_web_session_manager.h"

#include "core/support/files.h"
#include "core/support/storage_paths.h"

#include <webkit/webkit.h>

#include <iostream>

namespace kovi {

namespace {

// What a content process may hold before the engine frees memory on its own: above a quarter of
// the limit it drops caches it can rebuild (decoded images, fonts, the back-forward cache);
// above half, everything it can, garbage included. The engine's own limit is the machine's
// memory up to 3 GB, which on a desktop never comes into play, so a page's caches only grow.
// Nothing is ever killed (no kill threshold).
constexpr unsigned contentProcessLimitMb = 1024;
constexpr unsigned networkProcessLimitMb = 512;

WebKitMemoryPressureSettings* pressureSettings(unsigned limitMb)
{
    WebKitMemoryPressureSettings* settings = webkit_memory_pressure_settings_new();
    webkit_memory_pressure_settings_set_memory_limit(settings, limitMb);
    webkit_memory_pressure_settings_set_conservative_threshold(settings, 0.25);
    webkit_memory_pressure_settings_set_strict_threshold(settings, 0.5);
    return settings;
}

} // namespace

SpaceWebSessionManager::SpaceWebSessionManager(std::optional<std::string> dataRoot, std::optional<std::string> cacheRoot)
    : m_dataRoot(std::move(dataRoot))
    , m_cacheRoot(std::move(cacheRoot))
{
    // Applies to network sessions made from now on, so once, before the first.
    static const bool networkLimited = [] {
        WebKitMemoryPressureSettings* settings = pressureSettings(networkProcessLimitMb);
        webkit_network_session_set_memory_pressure_settings(settings);
        webkit_memory_pressure_settings_free(settings);
        return true;
    }();
    (void)networkLimited;
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
    WebKitMemoryPressureSettings* pressure = pressureSettings(contentProcessLimitMb);
    session->context = GObjectPtr<WebKitWebContext>::adopt(
        static_cast<WebKitWebContext*>(g_object_new(WEBKIT_TYPE_WEB_CONTEXT, "memory-pressure-settings", pressure, nullptr)));
    webkit_memory_pressure_settings_free(pressure);
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
