#pragma once

#include "core/support/uuid.h"
#include "core/support/gobject_ptr.h"

#include <sigc++/signal.h>

#include <map>
#include <memory>
#include <optional>
#include <string>

typedef struct _WebKitWebContext WebKitWebContext;
typedef struct _WebKitNetworkSession WebKitNetworkSession;

namespace kovi {

// Each space browses in a session of its own: a web context (its content processes) and a
// persistent network session (cookies, storage, cache) kept in folders named after the space.
// Pages that belong to no space share one ephemeral session for the whole run. Sessions are
// made on first use and kept for the life of the manager. Main thread only.
class SpaceWebSessionManager {
public:
    // The fixed user agent of every page.
    static constexpr const char* userAgent =
        "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/605.1.15 (KHTML, like Gecko) "
        "Version/18.0 Safari/605.1.15";

    struct Session {
        std::optional<Uuid> spaceId; // nullopt for the ephemeral session
        GObjectPtr<WebKitWebContext> context;
        GObjectPtr<WebKitNetworkSession> network;
        std::string dataDirectory;  // empty for the ephemeral session
        std::string cacheDirectory;
    };

    // A space's data goes to <dataRoot>/<SPACE-UUID> and its cache to <cacheRoot>/<SPACE-UUID>;
    // nullopt picks the application's folders (storage_paths.h).
    explicit SpaceWebSessionManager(std::optional<std::string> dataRoot = std::nullopt,
                                    std::optional<std::string> cacheRoot = std::nullopt);
    ~SpaceWebSessionManager();
    SpaceWebSessionManager(const SpaceWebSessionManager&) = delete;
    SpaceWebSessionManager& operator=(const SpaceWebSessionManager&) = delete;

    // The space's session, or the ephemeral one for nullopt.
    Session& session(const std::optional<Uuid>& spaceId);
    // Sessions made so far, the ephemeral one included when it exists.
    std::size_t sessionCount() const { return m_sessions.size() + (m_ephemeral ? 1 : 0); }

    // Emitted once for every new session (the download handling watches each).
    sigc::signal<void(Session&)> sessionCreated;

private:
    std::unique_ptr<Session> makeSession(const std::optional<Uuid>& spaceId);

    std::optional<std::string> m_dataRoot;
    std::optional<std::string> m_cacheRoot;
    std::map<Uuid, std::unique_ptr<Session>> m_sessions;
    std::unique_ptr<Session> m_ephemeral;
};

} // namespace kovi
