#include "support/test_certificate.h"

#include <gio/gio.h>

namespace kovi::test {

TestCertificate::TestCertificate()
{
    const std::string key = m_dir.file("key.pem");
    const std::string cert = pemFile();
    gchar* argv[] = {const_cast<gchar*>("openssl"), const_cast<gchar*>("req"), const_cast<gchar*>("-x509"),
                     const_cast<gchar*>("-newkey"), const_cast<gchar*>("rsa:2048"), const_cast<gchar*>("-nodes"),
                     const_cast<gchar*>("-days"), const_cast<gchar*>("1"), const_cast<gchar*>("-subj"),
                     const_cast<gchar*>("/CN=127.0.0.1"), const_cast<gchar*>("-addext"),
                     const_cast<gchar*>("subjectAltName=IP:127.0.0.1"), const_cast<gchar*>("-keyout"),
                     const_cast<gchar*>(key.c_str()), const_cast<gchar*>("-out"), const_cast<gchar*>(cert.c_str()),
                     nullptr};
    int status = 0;
    if (!g_spawn_sync(nullptr, argv, nullptr,
                      static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL
                                               | G_SPAWN_STDERR_TO_DEV_NULL),
                      nullptr, nullptr, nullptr, nullptr, &status, nullptr)
        || !g_spawn_check_wait_status(status, nullptr))
        return;
    m_certificate =
        GObjectPtr<GTlsCertificate>::adopt(g_tls_certificate_new_from_files(cert.c_str(), key.c_str(), nullptr));
}

} // namespace kovi::test
