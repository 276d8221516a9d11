#include "core/support/http_session.h"

#include <libsoup/soup.h>

namespace kovi {

HttpSession::HttpSession()
    : m_session(soup_session_new_with_options("max-conns", maxConnections, "max-conns-per-host",
                                              maxConnectionsPerHost, nullptr))
{
}

HttpSession::~HttpSession()
{
    g_object_unref(m_session);
}

bool HttpSession::useTrustAnchors(const std::string& pemFile)
{
    GError* error = nullptr;
    GTlsDatabase* database = g_tls_file_database_new(pemFile.c_str(), &error);
    if (!database) {
        g_clear_error(&error);
        return false;
    }
    soup_session_set_tls_database(m_session, database);
    g_object_unref(database);
    return true;
}

} // namespace kovi
