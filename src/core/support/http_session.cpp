#include "core/support/http_session.h"

#include <libsoup/soup.h>

namespace kovi {

HttpSession::HttpSession(unsigned socketTimeoutSeconds)
    : m_session(GObjectPtr<SoupSession>::adopt(soup_session_new_with_options("max-conns", maxConnections, "max-conns-per-host",
                                              maxConnectionsPerHost, "timeout", socketTimeoutSeconds, nullptr)))
{
}

bool HttpSession::useTrustAnchors(const std::string& pemFile)
{
    GError* error = nullptr;
    auto database = GObjectPtr<GTlsDatabase>::adopt(g_tls_file_database_new(pemFile.c_str(), &error));
    if (!database) {
        g_clear_error(&error);
        return false;
    }
    soup_session_set_tls_database(m_session.get(), database.get());
    return true;
}

} // namespace kovi
