#pragma once

#include "core/support/gobject_ptr.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

typedef struct _SoupServer SoupServer;
typedef struct _SoupServerMessage SoupServerMessage;
typedef struct _GTlsCertificate GTlsCertificate;

namespace kovi::test {

// An HTTP server on 127.0.0.1 (a free port) inside the test process, served from the GLib main
// loop. Each path answers with a canned reply; requests are recorded.
class LoopbackServer {
public:
    struct Reply {
        unsigned status = 200;
        std::string body;
        std::string contentType = "text/plain";
        std::map<std::string, std::string> headers;
        bool neverAnswer = false;   // keep the connection open without replying
        unsigned delayMs = 0;       // answer after this long
        // Send the headers and `body` as a first chunk, then wait: finishOpenReplies() sends
        // `restOfBody` and ends the reply, dropOpenReplies() breaks the connection. With a
        // "Content-Length" header the length is announced, else the reply is chunked.
        bool holdBodyOpen = false;
        std::string restOfBody;
        // Send the headers and `body` at once, then each piece of `trickle` `trickleMs` after the
        // one before, then end the (chunked) reply.
        std::vector<std::string> trickle;
        unsigned trickleMs = 0;
    };
    struct Request {
        std::string method;
        std::string path;
        std::string query;
        std::string body;
        std::map<std::string, std::string> headers;
    };
    using Handler = std::function<Reply(const Request&)>;

    LoopbackServer();
    // An HTTPS server ("https://127.0.0.1:<port>") presenting `certificate`.
    explicit LoopbackServer(GTlsCertificate* certificate);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    void on(const std::string& path, Reply reply);
    void on(const std::string& path, Handler handler);

    // "http://127.0.0.1:<port>" (https for a server with a certificate)
    const std::string& baseUrl() const { return m_baseUrl; }
    std::string url(const std::string& path) const { return m_baseUrl + path; }
    const std::vector<Request>& requests() const { return m_requests; }
    // The replies kept open (holdBodyOpen): finished, or their connections closed mid-body.
    void finishOpenReplies();
    void dropOpenReplies();

private:
    static void handle(SoupServer*, SoupServerMessage*, const char* path, void* query, void* self);
    void serve(SoupServerMessage* message, const char* path);
    void startTrickle(SoupServerMessage* message, const Reply& reply);

    GObjectPtr<SoupServer> m_server;
    std::string m_baseUrl;
    std::map<std::string, Handler> m_handlers;
    std::vector<Request> m_requests;
    std::vector<unsigned> m_timers;
    std::vector<SoupServerMessage*> m_paused;
    struct OpenReply {
        GObjectPtr<SoupServerMessage> message;
        std::string rest;
    };
    std::vector<OpenReply> m_open; // replies whose body has not finished
};

} // namespace kovi::test
