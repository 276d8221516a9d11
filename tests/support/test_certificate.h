#pragma once

#include "core/support/gobject_ptr.h"
#include "support/temp_dir.h"

#include <string>

typedef struct _GTlsCertificate GTlsCertificate;

namespace kovi::test {

// A self-signed certificate for 127.0.0.1, made with openssl for this run in its own folder.
// `certificate()` is null when it could not be made.
class TestCertificate {
public:
    TestCertificate();

    GTlsCertificate* certificate() const { return m_certificate.get(); }
    // The certificate alone, as PEM: what a client trusts.
    std::string pemFile() const { return m_dir.file("cert.pem"); }

private:
    TempDir m_dir;
    GObjectPtr<GTlsCertificate> m_certificate;
};

} // namespace kovi::test
