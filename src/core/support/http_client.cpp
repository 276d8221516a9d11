#include "core/support/http_client.h"

#include "core/support/http_session.h"

#include <libsoup/soup.h>

#include <cctype>

namespace kovi {

namespace {

constexpr gsize chunkSize = 64 * 1024;

std::string lowercaseAscii(const char* s)
{
    std::string out(s);
    for (auto& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

// One request in flight. It owns its references and frees itself when libsoup is done with it;
// the client only keeps a pointer to cancel it, and is detached (client = nullptr) when it dies.
struct HttpClient::Pending {
    HttpClient* client = nullptr;
    RequestId id = 0;
    Callback callback;
    GObjectPtr<SoupSession> session;
    GObjectPtr<SoupMessage> message;
    GObjectPtr<GCancellable> cancellable = GObjectPtr<GCancellable>::adopt(g_cancellable_new());
    GObjectPtr<GInputStream> stream;
    std::size_t maxBodyBytes = 0;
    guint deadline = 0;
    guint idleCheck = 0;
    gint64 idleMicroseconds = 0;
    gint64 lastArrival = 0; // monotonic time
    bool timedOut = false;
    HttpResponse response;

    ~Pending()
    {
        if (deadline)
            g_source_remove(deadline);
        if (idleCheck)
            g_source_remove(idleCheck);
    }

    void abandon()
    {
        client = nullptr;
        callback = nullptr;
        g_cancellable_cancel(cancellable.get());
    }

    void complete(Result<HttpResponse> result)
    {
        if (client)
            client->finished(id);
        Callback done = std::move(callback);
        delete this;
        if (done)
            done(std::move(result));
    }

    void fail(GError* error)
    {
        if (timedOut) {
            g_clear_error(&error);
            complete(Error{ErrorCode::Timeout, "The request timed out."});
            return;
        }
        if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED) || !callback) {
            g_clear_error(&error);
            complete(Error{ErrorCode::Cancelled, "Cancelled."});
            return;
        }
        // The session's own limit on a silent connection.
        if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_TIMED_OUT)) {
            g_clear_error(&error);
            complete(Error{ErrorCode::Timeout, "The request timed out."});
            return;
        }
        Error e{ErrorCode::Network, error ? error->message : "The request failed."};
        g_clear_error(&error);
        complete(std::move(e));
    }

    static gboolean onInvalidAddress(gpointer data)
    {
        static_cast<Pending*>(data)->complete(Error{ErrorCode::InvalidInput, "The address is not valid."});
        return G_SOURCE_REMOVE;
    }

    static gboolean onDeadline(gpointer data)
    {
        auto* self = static_cast<Pending*>(data);
        self->deadline = 0;
        self->timedOut = true;
        g_cancellable_cancel(self->cancellable.get());
        return G_SOURCE_REMOVE;
    }

    void startIdleCheck(gint64 delayMicroseconds)
    {
        idleCheck = g_timeout_add(static_cast<guint>((delayMicroseconds + 999) / 1000), onIdleCheck, this);
    }

    // Arrivals only note the time; the one timer looks again when the wait since the last
    // arrival could have run out, so a fast body costs no timer per piece.
    static gboolean onIdleCheck(gpointer data)
    {
        auto* self = static_cast<Pending*>(data);
        self->idleCheck = 0;
        const gint64 waited = g_get_monotonic_time() - self->lastArrival;
        if (waited < self->idleMicroseconds) {
            self->startIdleCheck(self->idleMicroseconds - waited);
            return G_SOURCE_REMOVE;
        }
        self->timedOut = true;
        g_cancellable_cancel(self->cancellable.get());
        return G_SOURCE_REMOVE;
    }

    static void onSent(GObject* source, GAsyncResult* result, gpointer data) noexcept
    {
        auto* self = static_cast<Pending*>(data);
        GError* error = nullptr;
        self->stream = GObjectPtr<GInputStream>::adopt(soup_session_send_finish(SOUP_SESSION(source), result, &error));
        if (!self->stream) {
            self->fail(error);
            return;
        }
        self->lastArrival = g_get_monotonic_time();
        self->response.status = soup_message_get_status(self->message.get());
        soup_message_headers_foreach(
            soup_message_get_response_headers(self->message.get()),
            [](const char* name, const char* value, gpointer headers) {
                static_cast<std::map<std::string, std::string>*>(headers)->emplace(lowercaseAscii(name), value);
            },
            &self->response.headers);
        if (GUri* uri = soup_message_get_uri(self->message.get())) {
            gchar* text = g_uri_to_string(uri);
            self->response.finalUrl = text;
            g_free(text);
        }
        self->readNext();
    }

    // Whether the body ended before the length its headers announced. The session takes the end
    // of a connection the server said it would close as the end of the body, whatever the length
    // said; a body it decoded (compressed) has another length.
    bool endedShort() const
    {
        SoupMessageHeaders* headers = soup_message_get_response_headers(message.get());
        const bool bodiless = g_strcmp0(soup_message_get_method(message.get()), SOUP_METHOD_HEAD) == 0
            || response.status == SOUP_STATUS_NO_CONTENT || response.status == SOUP_STATUS_NOT_MODIFIED;
        if (bodiless || soup_message_headers_get_encoding(headers) != SOUP_ENCODING_CONTENT_LENGTH)
            return false;
        const char* coding = soup_message_headers_get_one(headers, "Content-Encoding");
        if (coding && g_ascii_strcasecmp(coding, "identity") != 0)
            return false;
        return static_cast<goffset>(response.body.size()) < soup_message_headers_get_content_length(headers);
    }

    void readNext()
    {
        g_input_stream_read_bytes_async(stream.get(), chunkSize, G_PRIORITY_DEFAULT, cancellable.get(), onRead, this);
    }

    static void onRead(GObject* source, GAsyncResult* result, gpointer data) noexcept
    {
        auto* self = static_cast<Pending*>(data);
        GError* error = nullptr;
        GBytes* bytes = g_input_stream_read_bytes_finish(G_INPUT_STREAM(source), result, &error);
        if (!bytes) {
            self->fail(error);
            return;
        }
        gsize size = 0;
        const auto* chunk = static_cast<const char*>(g_bytes_get_data(bytes, &size));
        if (size == 0) {
            g_bytes_unref(bytes);
            if (self->endedShort())
                self->complete(Error{ErrorCode::Network, "The connection closed before the whole response arrived."});
            else
                self->complete(std::move(self->response));
            return;
        }
        if (self->response.body.size() + size > self->maxBodyBytes) {
            g_bytes_unref(bytes);
            g_cancellable_cancel(self->cancellable.get());
            self->complete(Error{ErrorCode::TooLarge, "The response is too large."});
            return;
        }
        self->response.body.append(chunk, size);
        g_bytes_unref(bytes);
        self->lastArrival = g_get_monotonic_time();
        if (!self->callback && !self->client) {
            self->complete(Error{ErrorCode::Cancelled, "Cancelled."});
            return;
        }
        self->readNext();
    }
};

HttpClient::HttpClient(HttpSession& session)
    : m_session(GObjectPtr<SoupSession>::ref(session.soup()))
{
}

HttpClient::~HttpClient()
{
    cancelAll();
}

HttpClient::RequestId HttpClient::send(HttpRequest request, Callback callback)
{
    RequestId id = m_nextId++;
    SoupMessage* message = soup_message_new(request.method.c_str(), request.url.c_str());
    auto* pending = new Pending;
    pending->client = this;
    pending->id = id;
    pending->callback = std::move(callback);
    pending->session = GObjectPtr<SoupSession>::ref(m_session.get());
    pending->message = GObjectPtr<SoupMessage>::adopt(message);
    pending->maxBodyBytes = request.maxBodyBytes;
    m_pending[id] = pending;
    if (!message) {
        // Reported from the main loop like every other outcome, never from inside send().
        g_idle_add(Pending::onInvalidAddress, pending);
        return id;
    }
    for (const auto& [name, value] : request.headers)
        soup_message_headers_append(soup_message_get_request_headers(message), name.c_str(), value.c_str());
    if (!request.body.empty()) {
        GBytes* body = g_bytes_new(request.body.data(), request.body.size());
        soup_message_set_request_body_from_bytes(
            message, request.contentType.empty() ? "application/octet-stream" : request.contentType.c_str(), body);
        g_bytes_unref(body);
    }

    if (!request.followRedirects)
        soup_message_add_flags(message, SOUP_MESSAGE_NO_REDIRECT);

    if (request.timeoutSeconds > 0)
        pending->deadline = g_timeout_add(static_cast<guint>(request.timeoutSeconds * 1000), Pending::onDeadline, pending);
    if (request.idleTimeoutSeconds > 0) {
        pending->idleMicroseconds = static_cast<gint64>(request.idleTimeoutSeconds * G_USEC_PER_SEC);
        pending->lastArrival = g_get_monotonic_time();
        pending->startIdleCheck(pending->idleMicroseconds);
    }
    soup_session_send_async(m_session.get(), message, G_PRIORITY_DEFAULT, pending->cancellable.get(), Pending::onSent, pending);
    return id;
}

void HttpClient::cancel(RequestId id)
{
    auto it = m_pending.find(id);
    if (it == m_pending.end())
        return;
    Pending* pending = it->second;
    m_pending.erase(it);
    pending->abandon();
}

void HttpClient::cancelAll()
{
    auto pending = std::move(m_pending);
    m_pending.clear();
    for (auto& [id, p] : pending)
        p->abandon();
}

void HttpClient::finished(RequestId id)
{
    m_pending.erase(id);
}

} // namespace kovi
