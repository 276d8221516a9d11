#include "support/loopback_server.h"

#include <libsoup/soup.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace kovi::test {

namespace {

struct DelayedReply {
    SoupServerMessage* message;
    LoopbackServer::Reply reply;
    std::vector<unsigned>* timers; // the server's list; the timer removes itself once it fired
    unsigned id = 0;
};

struct Trickle {
    GObjectPtr<SoupServerMessage> message;
    std::vector<std::string> pieces;
    std::size_t next = 0;
    std::vector<unsigned>* timers;
    unsigned id = 0;
    gulong finishedHandler = 0;
    bool finished = false; // done, or the client went away
};

void startHeadersAndBody(SoupServerMessage* message, const LoopbackServer::Reply& reply)
{
    soup_server_message_set_status(message, reply.status, nullptr);
    SoupMessageHeaders* headers = soup_server_message_get_response_headers(message);
    for (const auto& [name, value] : reply.headers)
        soup_message_headers_replace(headers, name.c_str(), value.c_str());
    soup_message_headers_set_content_type(headers, reply.contentType.c_str(), nullptr);
    if (!reply.headers.count("Content-Length"))
        soup_message_headers_set_encoding(headers, SOUP_ENCODING_CHUNKED);
    soup_message_body_append(soup_server_message_get_response_body(message), SOUP_MEMORY_COPY, reply.body.data(),
                             reply.body.size());
}

void applyReply(SoupServerMessage* message, const LoopbackServer::Reply& reply)
{
    soup_server_message_set_status(message, reply.status, nullptr);
    for (const auto& [name, value] : reply.headers)
        soup_message_headers_replace(soup_server_message_get_response_headers(message), name.c_str(), value.c_str());
    soup_server_message_set_response(message, reply.contentType.c_str(), SOUP_MEMORY_COPY, reply.body.data(),
                                     reply.body.size());
}

} // namespace

LoopbackServer::LoopbackServer()
    : LoopbackServer(nullptr)
{
}

LoopbackServer::LoopbackServer(GTlsCertificate* certificate)
    : m_server(GObjectPtr<SoupServer>::adopt(certificate ? soup_server_new("tls-certificate", certificate, nullptr)
                                                          : soup_server_new(nullptr, nullptr)))
{
    soup_server_add_handler(m_server.get(), nullptr, reinterpret_cast<SoupServerCallback>(&LoopbackServer::handle),
                            this, nullptr);
    GError* error = nullptr;
    auto flags = static_cast<SoupServerListenOptions>(SOUP_SERVER_LISTEN_IPV4_ONLY
                                                      | (certificate ? SOUP_SERVER_LISTEN_HTTPS : 0));
    if (!soup_server_listen_local(m_server.get(), 0, flags, &error)) {
        std::string message = error ? error->message : "listen failed";
        g_clear_error(&error);
        throw std::runtime_error(message);
    }
    GSList* uris = soup_server_get_uris(m_server.get());
    int port = g_uri_get_port(static_cast<GUri*>(uris->data));
    g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
    m_baseUrl = std::string(certificate ? "https" : "http") + "://127.0.0.1:" + std::to_string(port);
}

LoopbackServer::~LoopbackServer()
{
    for (unsigned timer : m_timers)
        g_source_remove(timer);
    finishOpenReplies();
    for (SoupServerMessage* message : m_paused) {
        soup_server_message_set_status(message, 503, nullptr);
        soup_server_message_unpause(message);
    }
    soup_server_disconnect(m_server.get());
}

void LoopbackServer::finishOpenReplies()
{
    for (OpenReply& reply : m_open) {
        SoupMessageBody* body = soup_server_message_get_response_body(reply.message.get());
        if (!reply.rest.empty())
            soup_message_body_append(body, SOUP_MEMORY_COPY, reply.rest.data(), reply.rest.size());
        soup_message_body_complete(body);
        soup_server_message_unpause(reply.message.get());
    }
    m_open.clear();
}

void LoopbackServer::dropOpenReplies()
{
    // Taking the connection away from the server and closing it ends the reply mid-body, as a
    // server that goes away would.
    for (OpenReply& reply : m_open) {
        if (auto stream = GObjectPtr<GIOStream>::adopt(soup_server_message_steal_connection(reply.message.get())))
            g_io_stream_close(stream.get(), nullptr, nullptr);
    }
    m_open.clear();
}

void LoopbackServer::on(const std::string& path, Reply reply)
{
    m_handlers[path] = [reply](const Request&) { return reply; };
}

void LoopbackServer::on(const std::string& path, Handler handler)
{
    m_handlers[path] = std::move(handler);
}

void LoopbackServer::handle(SoupServer*, SoupServerMessage* message, const char* path, void*, void* self)
{
    static_cast<LoopbackServer*>(self)->serve(message, path);
}

void LoopbackServer::serve(SoupServerMessage* message, const char* path)
{
    Request request;
    request.method = soup_server_message_get_method(message);
    request.path = path;
    if (const char* query = g_uri_get_query(soup_server_message_get_uri(message)))
        request.query = query;
    SoupMessageBody* body = soup_server_message_get_request_body(message);
    if (GBytes* bytes = soup_message_body_flatten(body)) {
        gsize size = 0;
        const char* data = static_cast<const char*>(g_bytes_get_data(bytes, &size));
        request.body.assign(data ? data : "", size);
        g_bytes_unref(bytes);
    }
    soup_message_headers_foreach(
        soup_server_message_get_request_headers(message),
        [](const char* name, const char* value, gpointer headers) {
            std::string key(name);
            for (auto& c : key)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            (*static_cast<std::map<std::string, std::string>*>(headers))[key] = value;
        },
        &request.headers);
    m_requests.push_back(request);

    auto it = m_handlers.find(request.path);
    if (it == m_handlers.end()) {
        applyReply(message, Reply{404, "Not Found"});
        return;
    }
    Reply reply = it->second(request);
    if (reply.holdBodyOpen) {
        startHeadersAndBody(message, reply);
        m_open.push_back(OpenReply{GObjectPtr<SoupServerMessage>::ref(message), reply.restOfBody});
        return;
    }
    if (!reply.trickle.empty()) {
        startTrickle(message, reply);
        return;
    }
    if (reply.neverAnswer) {
        soup_server_message_pause(message);
        m_paused.push_back(message);
        return;
    }
    if (reply.delayMs == 0) {
        applyReply(message, reply);
        return;
    }
    soup_server_message_pause(message);
    auto* delayed = new DelayedReply{message, reply, &m_timers};
    delayed->id = g_timeout_add_full(
        G_PRIORITY_DEFAULT, reply.delayMs,
        [](gpointer data) -> gboolean {
            auto* d = static_cast<DelayedReply*>(data);
            std::erase(*d->timers, d->id);
            applyReply(d->message, d->reply);
            soup_server_message_unpause(d->message);
            return G_SOURCE_REMOVE;
        },
        delayed, [](gpointer data) { delete static_cast<DelayedReply*>(data); });
    m_timers.push_back(delayed->id);
}

void LoopbackServer::startTrickle(SoupServerMessage* message, const Reply& reply)
{
    startHeadersAndBody(message, reply);
    auto* trickle = new Trickle{GObjectPtr<SoupServerMessage>::ref(message), reply.trickle, 0, &m_timers};
    trickle->id = g_timeout_add_full(
        G_PRIORITY_DEFAULT, reply.trickleMs,
        [](gpointer data) -> gboolean {
            auto* t = static_cast<Trickle*>(data);
            if (t->finished) {
                std::erase(*t->timers, t->id);
                return G_SOURCE_REMOVE;
            }
            SoupMessageBody* body = soup_server_message_get_response_body(t->message.get());
            const std::string& piece = t->pieces[t->next++];
            soup_message_body_append(body, SOUP_MEMORY_COPY, piece.data(), piece.size());
            const bool last = t->next == t->pieces.size();
            if (last) {
                soup_message_body_complete(body);
                std::erase(*t->timers, t->id);
            }
            soup_server_message_unpause(t->message.get());
            return last ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
        },
        trickle,
        [](gpointer data) {
            auto* t = static_cast<Trickle*>(data);
            g_signal_handler_disconnect(t->message.get(), t->finishedHandler);
            delete t;
        });
    trickle->finishedHandler = g_signal_connect_swapped(message, "finished", G_CALLBACK(+[](Trickle* t) {
        t->finished = true;
    }), trickle);
    m_timers.push_back(trickle->id);
}

} // namespace kovi::test
