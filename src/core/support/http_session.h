#pragma once

#include "core/support/gobject_ptr.h"

#include <string>

typedef struct _SoupSession SoupSession;

namespace kovi {

// The one connection pool of the browser's own requests (AI, update check, suggestions, site
// icons): proxies as the system sets them, one TLS database and one set of connection limits.
// Requests go through an HttpClient made on it. Made and used on the main thread; clients keep
// what they need of it, so it may go before them.
class HttpSession {
public:
    // Many tabs may fetch their icons at once while a chat turn or a suggestion waits.
    static constexpr int maxConnections = 40;
    static constexpr int maxConnectionsPerHost = 6;
    // A connection that neither sends nor receives for this long fails with Timeout.
    static constexpr unsigned defaultSocketTimeoutSeconds = 60;

    explicit HttpSession(unsigned socketTimeoutSeconds = defaultSocketTimeoutSeconds);
    HttpSession(const HttpSession&) = delete;
    HttpSession& operator=(const HttpSession&) = delete;

    // Trusts only the certificates of this PEM file instead of the system's (for servers with a
    // certificate of their own, such as a test server). False when the file cannot be read.
    bool useTrustAnchors(const std::string& pemFile);

    SoupSession* soup() const { return m_session.get(); }

private:
    GObjectPtr<SoupSession> m_session;
};

} // namespace kovi
