#pragma once

#include "core/support/gobject_ptr.h"
#include "core/support/result.h"

#include <sigc++/trackable.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

typedef struct _SoupSession SoupSession;

namespace kovi {

class HttpSession;

struct HttpRequest {
    std::string url;
    std::string method = "GET";
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;        // sent when not empty
    std::string contentType; // of the body
    double timeoutSeconds = 60;                // whole request, connection to last byte; 0: none
    // Fails with Timeout once nothing has arrived for this long: connecting and waiting for the
    // headers count as nothing arriving, every piece of the body starts the wait anew. 0: none.
    double idleTimeoutSeconds = 0;
    std::size_t maxBodyBytes = 10 * 1024 * 1024; // bodies past this fail with TooLarge
    // Off: a redirect is the answer itself (its status and headers), nothing is sent to its target.
    bool followRedirects = true;
};

struct HttpResponse {
    unsigned status = 0;
    std::string body;
    std::map<std::string, std::string> headers; // names lower-cased
    std::string finalUrl;
};

// One owner's requests on the shared session, asynchronous on the GLib main loop (libsoup).
// Completions run on the main loop. A request that is cancelled, or whose client is destroyed,
// never calls back; other clients of the session are not touched. Errors: Network (also a body
// cut short of the length its headers announced), Timeout (also the session's socket timeout),
// TooLarge, InvalidInput (bad URL).
class HttpClient : public sigc::trackable {
public:
    using RequestId = std::uint64_t;
    using Callback = std::function<void(Result<HttpResponse>)>;

    explicit HttpClient(HttpSession& session);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    RequestId send(HttpRequest request, Callback callback);
    void cancel(RequestId id);
    void cancelAll();
    std::size_t pendingCount() const { return m_pending.size(); }

    struct Pending;

private:
    friend struct Pending;
    void finished(RequestId id);

    GObjectPtr<SoupSession> m_session;
    RequestId m_nextId = 1;
    std::map<RequestId, Pending*> m_pending;
};

} // namespace kovi
