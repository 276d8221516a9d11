// What one chat turn sends to each provider, and how every kind of answer is turned into the
// answer or the message the panel shows. Both providers are served from 127.0.0.1.
#include "core/ai/ai_chat_client.h"

#include "core/ai/ai_service.h"
#include "core/settings/preferences.h"
#include "core/support/defaults.h"
#include "core/support/gobject_ptr.h"
#include "core/support/http_session.h"
#include "support/loopback_server.h"
#include "support/main_loop.h"
#include "support/temp_dir.h"
#include "support/test_certificate.h"

#include <gio/gio.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <memory>

namespace kovi {
namespace {

using nlohmann::json;
using test::LoopbackServer;

constexpr const char* openAIPath = "/v1/chat/completions";
constexpr const char* anthropicPath = "/v1/messages";
constexpr const char* fixedPrompt = "You are a helpful AI assistant integrated into the Kovi web browser. You help "
                                    "users with browsing, research, writing, and general tasks.";

std::string openAIAnswer(const std::string& text)
{
    return json{{"id", "x"}, {"choices", {{{"index", 0}, {"message", {{"role", "assistant"}, {"content", text}}}}}}}
        .dump();
}

std::string anthropicAnswer(const std::string& text)
{
    return json{{"id", "x"}, {"content", {{{"type", "text"}, {"text", text}}}}}.dump();
}

const char* pathOf(AIProvider provider)
{
    return provider == AIProvider::openai ? openAIPath : anthropicPath;
}

AIChatContext tabsContext(std::vector<std::map<std::string, std::string>> tabs)
{
    return AIChatContext{std::move(tabs)};
}

// An AI service on in-memory settings, a chat client aimed at one loopback server for both
// providers, and a helper that runs one turn to its end.
class ChatFixture : public testing::Test {
protected:
    ChatFixture()
        : server(std::make_unique<LoopbackServer>()), client(std::make_unique<AIChatClient>(http, service, endpoints()))
    {
    }

    AIEndpoints endpoints(double timeout = 60, double answerTimeout = 300) const
    {
        return {server->baseUrl(), server->baseUrl(), timeout, answerTimeout};
    }

    void use(AIProvider provider, const std::string& key = "sk-test")
    {
        service.setSelectedProvider(provider);
        service.setApiKey(key);
    }

    std::optional<AIChatReply> turn(const std::string& message, std::optional<AIChatContext> context = std::nullopt,
                                    AIChatClient* via = nullptr)
    {
        std::optional<AIChatReply> reply;
        (via ? via : client.get())->chat(message, std::move(context), [&](AIChatReply r) { reply = std::move(r); });
        EXPECT_FALSE(reply) << "answered from inside chat()";
        test::runUntil([&] { return reply.has_value(); }, 20);
        return reply;
    }

    json lastBody() const { return json::parse(server->requests().back().body); }

    Defaults defaults;
    Preferences preferences{defaults};
    AIService service{preferences};
    HttpSession http;
    std::unique_ptr<LoopbackServer> server;
    std::unique_ptr<AIChatClient> client;
};

class AIChatClientTest : public ChatFixture {};

TEST_F(AIChatClientTest, EachProviderGetsItsExactRequest)
{
    server->on(openAIPath, LoopbackServer::Reply{200, openAIAnswer("from openai"), "application/json"});
    server->on(anthropicPath, LoopbackServer::Reply{200, anthropicAnswer("from anthropic"), "application/json"});
    const auto context = tabsContext({{{"title", "Docs"}, {"url", "https://docs.example/"}},
                                      {{"title", "Mail"}}, // no url: left out
                                      {{"title", "News"}, {"url", "https://news.example/a?b=1"}}});
    const std::string prompt = std::string(fixedPrompt)
        + "\n\nThe user currently has these tabs open:\n- Docs: https://docs.example/\n"
          "- News: https://news.example/a?b=1\n";

    use(AIProvider::openai, "sk-open");
    auto reply = turn("What is open?", context);
    ASSERT_TRUE(reply && reply->ok());
    EXPECT_EQ(*reply->answer, "from openai");
    ASSERT_EQ(server->requests().size(), 1u);
    const auto& openAI = server->requests()[0];
    EXPECT_EQ(openAI.method, "POST");
    EXPECT_EQ(openAI.path, openAIPath);
    EXPECT_EQ(openAI.headers.at("authorization"), "Bearer sk-open");
    EXPECT_EQ(openAI.headers.at("content-type"), "application/json");
    EXPECT_FALSE(openAI.headers.contains("x-api-key"));
    EXPECT_EQ(lastBody(), (json{{"model", "gpt-4o-mini"},
                                {"messages",
                                 {{{"role", "system"}, {"content", prompt}},
                                  {{"role", "user"}, {"content", "What is open?"}}}},
                                {"max_tokens", 1000}}));

    use(AIProvider::anthropic, "sk-ant");
    reply = turn("What is open?", context);
    ASSERT_TRUE(reply && reply->ok());
    EXPECT_EQ(*reply->answer, "from anthropic");
    ASSERT_EQ(server->requests().size(), 2u);
    const auto& anthropic = server->requests()[1];
    EXPECT_EQ(anthropic.method, "POST");
    EXPECT_EQ(anthropic.path, anthropicPath);
    EXPECT_EQ(anthropic.headers.at("x-api-key"), "sk-ant");
    EXPECT_EQ(anthropic.headers.at("anthropic-version"), "2023-06-01");
    EXPECT_EQ(anthropic.headers.at("content-type"), "application/json");
    EXPECT_FALSE(anthropic.headers.contains("authorization"));
    EXPECT_EQ(lastBody(), (json{{"model", "claude-3-haiku-20240307"},
                                {"max_tokens", 1000},
                                {"system", prompt},
                                {"messages", {{{"role", "user"}, {"content", "What is open?"}}}}}));
}

TEST_F(AIChatClientTest, TheProductionHostsAndTimeout)
{
    const AIEndpoints standard = AIEndpoints::standard();
    EXPECT_EQ(standard.openAIBaseUrl, "https://api.openai.com");
    EXPECT_EQ(standard.anthropicBaseUrl, "https://api.anthropic.com");
    EXPECT_EQ(standard.idleTimeoutSeconds, 60);
    EXPECT_EQ(standard.answerTimeoutSeconds, 300);
    const auto request = AIChatClient::buildRequest(AIProvider::anthropic, "k", "m", std::nullopt, standard);
    EXPECT_EQ(request.url, "https://api.anthropic.com/v1/messages");
    EXPECT_EQ(request.idleTimeoutSeconds, 60);
    EXPECT_EQ(request.timeoutSeconds, 300);
}

TEST_F(AIChatClientTest, ARedirectFailsTheTurnAndItsTargetHearsNothing)
{
    // Where a redirect points: plain HTTP, answering anything.
    LoopbackServer elsewhere;
    elsewhere.on(openAIPath, LoopbackServer::Reply{200, openAIAnswer("from elsewhere"), "application/json"});
    elsewhere.on(anthropicPath, LoopbackServer::Reply{200, anthropicAnswer("from elsewhere"), "application/json"});
    for (AIProvider provider : allAIProviders) {
        use(provider, "sk-secret");
        for (unsigned status : {301u, 302u, 303u, 307u, 308u}) {
            server->on(pathOf(provider), LoopbackServer::Reply{status, "moved", "text/plain",
                                                               {{"Location", elsewhere.url(pathOf(provider))}}});
            auto reply = turn("hi");
            ASSERT_TRUE(reply);
            EXPECT_FALSE(reply->ok()) << status << " / " << rawValue(provider);
            EXPECT_EQ(reply->aiError, AIError::apiError) << status << " / " << rawValue(provider);
        }
    }
    EXPECT_EQ(server->requests().size(), 10u);
    EXPECT_TRUE(elsewhere.requests().empty()) << "the key went to " << elsewhere.requests().front().path;
}

TEST_F(AIChatClientTest, AnAnswerStillArrivingIsWaitedForPastTheTimeout)
{
    for (AIProvider provider : allAIProviders) {
        use(provider);
        const std::string body = provider == AIProvider::openai ? openAIAnswer("slow but steady")
                                                                : anthropicAnswer("slow but steady");
        // Twelve pieces 250 ms apart: 3 s in all, never more than 0.25 s without a byte.
        LoopbackServer::Reply reply{200, body.substr(0, 4), "application/json"};
        const std::size_t step = (body.size() - 4 + 11) / 12;
        for (std::size_t at = 4; at < body.size(); at += step)
            reply.trickle.push_back(body.substr(at, step));
        reply.trickleMs = 250;
        server->on(pathOf(provider), reply);
        AIChatClient patient(http, service, endpoints(2));
        const gint64 start = g_get_monotonic_time();
        auto answer = turn("hi", std::nullopt, &patient);
        ASSERT_TRUE(answer);
        EXPECT_TRUE(answer->ok()) << answer->errorDescription;
        EXPECT_EQ(answer->answer, "slow but steady");
        EXPECT_GT((g_get_monotonic_time() - start) / 1e6, 2.0) << "the answer took longer than the timeout";
    }
}

TEST_F(AIChatClientTest, TheSystemPromptCarriesTheTabListOnlyWhenGiven)
{
    const std::string heading = std::string(fixedPrompt) + "\n\nThe user currently has these tabs open:\n";
    struct Case {
        const char* name;
        std::optional<AIChatContext> context;
        std::string expected;
    };
    const Case cases[] = {
        {"no context", std::nullopt, fixedPrompt},
        {"no tab list", AIChatContext{}, fixedPrompt},
        {"empty tab list", tabsContext({}), heading},
        {"entries without a key", tabsContext({{{"url", "https://a.example/"}}, {{"title", "B"}}, {}}), heading},
        {"empty title", tabsContext({{{"title", ""}, {"url", "about:blank"}}}), heading + "- : about:blank\n"},
        {"markup and right-to-left text kept as is",
         tabsContext({{{"title", "<b>שלום</b> & \"x\""}, {"url", "https://he.example/?q=<i>"}}}),
         heading + "- <b>שלום</b> & \"x\": https://he.example/?q=<i>\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AIChatClient::systemPrompt(c.context), c.expected) << c.name;
}

TEST_F(AIChatClientTest, EveryAnswerMapsToTheAnswerOrItsMessage)
{
    const std::string apiError = "Failed to get response from AI service.";
    const std::string parseError = "Failed to parse AI response.";
    const std::string unreadable = "The AI service's answer could not be read.";
    struct Case {
        const char* name;
        unsigned status;
        std::string openAIBody;
        std::string anthropicBody;
        std::optional<std::string> answer;
        std::optional<AIError> error;
        std::string description;
    };
    const Case cases[] = {
        {"white space kept", 200, openAIAnswer("  two\nlines \n"), anthropicAnswer("  two\nlines \n"),
         "  two\nlines \n", std::nullopt, ""},
        {"markup kept as text", 200, openAIAnswer("<b>bold</b> &amp;"), anthropicAnswer("<b>bold</b> &amp;"),
         "<b>bold</b> &amp;", std::nullopt, ""},
        {"empty answer", 200, openAIAnswer(""), anthropicAnswer(""), "", std::nullopt, ""},
        {"wrong key", 401, R"({"error":{"message":"Incorrect API key provided"}})",
         R"({"type":"error","error":{"type":"authentication_error"}})", std::nullopt, AIError::apiError, apiError},
        {"rate limited", 429, openAIAnswer("late"), anthropicAnswer("late"), std::nullopt, AIError::apiError, apiError},
        {"server error page", 500, "<html><body>Oops</body></html>", "<html><body>Oops</body></html>", std::nullopt,
         AIError::apiError, apiError},
        {"a good body with another success status", 201, openAIAnswer("x"), anthropicAnswer("x"), std::nullopt,
         AIError::apiError, apiError},
        {"not JSON", 200, "Hello there", "Hello there", std::nullopt, std::nullopt, unreadable},
        {"a bare JSON text", 200, "\"hello\"", "\"hello\"", std::nullopt, std::nullopt, unreadable},
        {"truncated JSON", 200, openAIAnswer("x").substr(0, 20), anthropicAnswer("x").substr(0, 20), std::nullopt,
         std::nullopt, unreadable},
        {"nested past the stack", 200, std::string(100'000, '[') + std::string(100'000, ']'),
         std::string(100'000, '[') + std::string(100'000, ']'), std::nullopt, std::nullopt, unreadable},
        {"empty list", 200, R"({"choices":[]})", R"({"content":[]})", std::nullopt, AIError::parseError, parseError},
        {"missing list", 200, R"({"id":"x"})", R"({"id":"x"})", std::nullopt, AIError::parseError, parseError},
        {"array at the top", 200, "[1,2]", "[1,2]", std::nullopt, AIError::parseError, parseError},
        {"the other provider's shape", 200, anthropicAnswer("x"), openAIAnswer("x"), std::nullopt,
         AIError::parseError, parseError},
        {"text of another type", 200, R"({"choices":[{"message":{"content":42}}]})",
         R"({"content":[{"text":null}]})", std::nullopt, AIError::parseError, parseError},
        {"list of another type", 200, R"({"choices":{"0":{"message":{"content":"x"}}}})",
         R"({"content":"x"})", std::nullopt, AIError::parseError, parseError},
    };
    for (AIProvider provider : allAIProviders) {
        use(provider);
        for (const auto& c : cases) {
            const std::string body = provider == AIProvider::openai ? c.openAIBody : c.anthropicBody;
            server->on(pathOf(provider), LoopbackServer::Reply{c.status, body, "application/json"});
            auto reply = turn("hi");
            ASSERT_TRUE(reply) << c.name;
            EXPECT_EQ(reply->answer, c.answer) << c.name << " / " << rawValue(provider);
            EXPECT_EQ(reply->aiError, c.error) << c.name << " / " << rawValue(provider);
            EXPECT_EQ(reply->errorDescription, c.description) << c.name << " / " << rawValue(provider);
        }
    }
}

TEST_F(AIChatClientTest, AnswersPastWhatATurnCanHoldFail)
{
    const std::size_t textCap = AIChatClient::maxAnswerTextBytes;
    struct Case {
        const char* name;
        std::string text;
        bool accepted;
    };
    const Case cases[] = {
        {"text at the limit", std::string(textCap, 'x'), true},
        {"text at the limit, every byte escaped in the body", std::string(textCap, '\x01'), true},
        {"text one byte past the limit", std::string(textCap + 1, 'x'), false},
        {"a body far past the limit", std::string(8 * 1024 * 1024, 'x'), false},
    };
    for (AIProvider provider : allAIProviders) {
        use(provider);
        for (const auto& c : cases) {
            const std::string body = provider == AIProvider::openai ? openAIAnswer(c.text) : anthropicAnswer(c.text);
            server->on(pathOf(provider), LoopbackServer::Reply{200, body, "application/json"});
            auto reply = turn("hi");
            ASSERT_TRUE(reply) << c.name;
            EXPECT_EQ(reply->ok(), c.accepted) << c.name << " / " << rawValue(provider);
            if (c.accepted)
                EXPECT_EQ(reply->answer, c.text) << c.name;
            else
                EXPECT_EQ(reply->aiError, AIError::apiError) << c.name;
        }
    }
}

TEST_F(AIChatClientTest, AServerThatNeverAnswersTimesOut)
{
    use(AIProvider::anthropic);
    server->on(anthropicPath, LoopbackServer::Reply{.neverAnswer = true});
    AIChatClient quick(http, service, endpoints(0.3));
    auto reply = turn("hi", std::nullopt, &quick);
    ASSERT_TRUE(reply);
    EXPECT_FALSE(reply->ok());
    EXPECT_FALSE(reply->aiError);
    EXPECT_EQ(reply->errorDescription, "The request timed out.");

    // A body that starts and never ends times out the same way.
    server->on(anthropicPath, [](const LoopbackServer::Request&) {
        LoopbackServer::Reply reply{200, R"({"content":[{"text":"par)", "application/json"};
        reply.holdBodyOpen = true;
        return reply;
    });
    reply = turn("hi", std::nullopt, &quick);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->errorDescription, "The request timed out.");

    // The same when the connection's own limit on silence runs out first.
    HttpSession shortLived(1);
    AIChatClient patient(shortLived, service, endpoints(60));
    for (bool midBody : {false, true}) {
        server->on(anthropicPath, [midBody](const LoopbackServer::Request&) {
            LoopbackServer::Reply reply{200, R"({"content":[{"text":"par)", "application/json"};
            reply.neverAnswer = !midBody;
            reply.holdBodyOpen = midBody;
            return reply;
        });
        reply = turn("hi", std::nullopt, &patient);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->errorDescription, "The request timed out.") << (midBody ? "mid-body" : "before the headers");
    }
}

TEST_F(AIChatClientTest, AnAnswerThatNeverEndsTimesOut)
{
    // A byte every 100 ms, for minutes: never silent for long, never done.
    use(AIProvider::openai);
    LoopbackServer::Reply dripping{200, R"({"choices":[{"message":{"content":")", "application/json"};
    dripping.trickle.assign(3000, "a");
    dripping.trickleMs = 100;
    server->on(openAIPath, dripping);
    AIChatClient limited(http, service, endpoints(0, 1.5)); // no limit on silence: only the whole answer's
    const gint64 start = g_get_monotonic_time();
    auto reply = turn("hi", std::nullopt, &limited);
    ASSERT_TRUE(reply);
    EXPECT_FALSE(reply->ok());
    EXPECT_EQ(reply->errorDescription, "The request timed out.");
    EXPECT_GT((g_get_monotonic_time() - start) / 1e6, 1.4);
}

TEST_F(AIChatClientTest, NoServerMeansAConnectionFailure)
{
    std::string closedBase;
    {
        LoopbackServer gone;
        closedBase = gone.baseUrl();
    }
    use(AIProvider::openai);
    AIChatClient nowhere(http, service, {closedBase, closedBase, 60});
    auto reply = turn("hi", std::nullopt, &nowhere);
    ASSERT_TRUE(reply);
    EXPECT_FALSE(reply->aiError);
    EXPECT_EQ(reply->errorDescription, "The connection to the AI service failed.");
}

// A server that reads the request, sends `reply` (an answer cut short) and hangs up.
class HangUpServer {
public:
    explicit HangUpServer(std::string reply)
        : m_reply(std::move(reply)), m_service(GObjectPtr<GSocketService>::adopt(g_socket_service_new()))
    {
        guint16 port = g_socket_listener_add_any_inet_port(G_SOCKET_LISTENER(m_service.get()), nullptr, nullptr);
        m_baseUrl = "http://127.0.0.1:" + std::to_string(port);
        g_signal_connect(m_service.get(), "incoming", G_CALLBACK(&HangUpServer::incoming), this);
    }
    ~HangUpServer()
    {
        g_socket_service_stop(m_service.get());
        g_socket_listener_close(G_SOCKET_LISTENER(m_service.get()));
    }
    const std::string& baseUrl() const { return m_baseUrl; }
    int answered = 0;

private:
    struct Connection {
        HangUpServer* server;
        GObjectPtr<GSocketConnection> connection;
        std::string received;
        char buffer[4096];
    };

    static gboolean incoming(GSocketService*, GSocketConnection* connection, GObject*, gpointer self)
    {
        auto* c =
            new Connection{static_cast<HangUpServer*>(self), GObjectPtr<GSocketConnection>::ref(connection), {}, {}};
        readMore(c);
        return TRUE;
    }

    static void readMore(Connection* c)
    {
        g_input_stream_read_async(g_io_stream_get_input_stream(G_IO_STREAM(c->connection.get())), c->buffer,
                                  sizeof c->buffer, G_PRIORITY_DEFAULT, nullptr, &HangUpServer::onRead, c);
    }

    static void onRead(GObject* stream, GAsyncResult* result, gpointer data)
    {
        auto* c = static_cast<Connection*>(data);
        gssize size = g_input_stream_read_finish(G_INPUT_STREAM(stream), result, nullptr);
        if (size > 0)
            c->received.append(c->buffer, static_cast<std::size_t>(size));
        const auto end = c->received.find("\r\n\r\n");
        const auto lengthAt = c->received.find("Content-Length: ");
        if (size > 0 && (end == std::string::npos || lengthAt == std::string::npos
                         || c->received.size() < end + 4 + std::stoul(c->received.substr(lengthAt + 16)))) {
            readMore(c);
            return;
        }
        const std::string& reply = c->server->m_reply;
        g_output_stream_write_all(g_io_stream_get_output_stream(G_IO_STREAM(c->connection.get())), reply.data(),
                                  reply.size(), nullptr, nullptr, nullptr);
        g_io_stream_close(G_IO_STREAM(c->connection.get()), nullptr, nullptr);
        ++c->server->answered;
        delete c;
    }

    std::string m_reply;
    GObjectPtr<GSocketService> m_service;
    std::string m_baseUrl;
};

TEST_F(AIChatClientTest, AnAnswerCutShortIsAConnectionFailure)
{
    const std::string whole = openAIAnswer("a whole answer");
    const std::string announced = "Content-Type: application/json\r\nContent-Length: "
        + std::to_string(whole.size() + 100) + "\r\n";
    struct Case {
        const char* name;
        std::string reply;
    };
    const Case cases[] = {
        {"mid-text", "HTTP/1.1 200 OK\r\n" + announced + "\r\n" + whole.substr(0, 20)},
        // Readable as it stands, yet short of what was announced.
        {"a connection to be closed", "HTTP/1.1 200 OK\r\nConnection: close\r\n" + announced + "\r\n" + whole},
        {"HTTP/1.0", "HTTP/1.0 200 OK\r\n" + announced + "\r\n" + whole},
    };
    use(AIProvider::openai);
    for (const auto& c : cases) {
        HangUpServer hangUp(c.reply);
        AIChatClient toIt(http, service, {hangUp.baseUrl(), hangUp.baseUrl(), 10});
        auto reply = turn("hi", std::nullopt, &toIt);
        ASSERT_TRUE(reply) << c.name;
        EXPECT_EQ(hangUp.answered, 1) << c.name;
        EXPECT_FALSE(reply->ok()) << c.name;
        EXPECT_FALSE(reply->aiError) << c.name;
        EXPECT_EQ(reply->errorDescription, "The connection to the AI service failed.") << c.name;
    }
}

TEST_F(AIChatClientTest, KeysAreSentUnchangedUnlessTheyCannotTravelInAHeader)
{
    server->on(openAIPath, LoopbackServer::Reply{401, "{}", "application/json"});
    server->on(anthropicPath, LoopbackServer::Reply{401, "{}", "application/json"});
    const std::string longKey(10000, 'k');
    struct Case {
        const char* name;
        std::string key;
        bool sent;
        std::optional<AIError> error;
    };
    const Case cases[] = {
        {"empty", "", false, AIError::noApiKey},
        {"ten thousand characters", longKey, true, AIError::apiError},
        {"non-ASCII", "sk-ключ-鍵", true, AIError::apiError},
        {"inner tab", "sk\tkey", true, AIError::apiError},
        {"line feed", "sk-key\n", false, std::nullopt},
        {"carriage return and line feed", "sk\r\nX-Injected: yes", false, std::nullopt},
        {"NUL", std::string("sk\0key", 6), false, std::nullopt},
        {"escape", "sk\x1b[0m", false, std::nullopt},
        {"delete", "sk\x7f", false, std::nullopt},
        {"C1 control", "sk\xc2\x85", false, std::nullopt},
    };
    const std::string notValid = "The API key is not valid: it contains a line break or another control character.";
    for (AIProvider provider : allAIProviders) {
        for (const auto& c : cases) {
            use(provider, c.key);
            const std::size_t before = server->requests().size();
            auto reply = turn("hi");
            ASSERT_TRUE(reply) << c.name;
            EXPECT_EQ(reply->aiError, c.error) << c.name;
            if (!c.sent && c.error != AIError::noApiKey)
                EXPECT_EQ(reply->errorDescription, notValid) << c.name;
            ASSERT_EQ(server->requests().size(), before + (c.sent ? 1 : 0)) << c.name;
            if (c.sent) {
                const auto& headers = server->requests().back().headers;
                if (provider == AIProvider::openai)
                    EXPECT_EQ(headers.at("authorization"), "Bearer " + c.key) << c.name;
                else
                    EXPECT_EQ(headers.at("x-api-key"), c.key) << c.name;
                EXPECT_FALSE(headers.contains("x-injected"));
            }
            // Whatever happened, the key stays stored as typed.
            EXPECT_EQ(defaults.stringValue("aiApiKey"), c.key) << c.name;
            EXPECT_EQ(service.apiKey(), c.key) << c.name;
        }
    }
}

TEST_F(AIChatClientTest, AKeyOfBlanksCountsAsAKey)
{
    server->on(openAIPath, LoopbackServer::Reply{401, "{}", "application/json"});
    use(AIProvider::openai, "   ");
    auto reply = turn("hi");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->aiError, AIError::apiError);
    EXPECT_EQ(server->requests().size(), 1u);
}

TEST_F(AIChatClientTest, LargeMessagesAndTabListsTravelIntact)
{
    server->on(anthropicPath, LoopbackServer::Reply{200, anthropicAnswer("ok"), "application/json"});
    use(AIProvider::anthropic);
    std::string message;
    while (message.size() < 100000)
        message += "<script>alert(1)</script> مرحبا \"quoted\" \\ ";
    std::vector<std::map<std::string, std::string>> tabs;
    for (int i = 0; i < 300; ++i)
        tabs.push_back({{"title", "Tab " + std::to_string(i)}, {"url", "https://site" + std::to_string(i) + ".example/"}});
    auto reply = turn(message, tabsContext(tabs));
    ASSERT_TRUE(reply && reply->ok());
    const json body = lastBody();
    EXPECT_EQ(body["messages"][0]["content"], message);
    const std::string system = body["system"];
    EXPECT_EQ(std::count(system.begin(), system.end(), '\n'), 2 + 1 + 300);
    EXPECT_NE(system.find("- Tab 299: https://site299.example/\n"), std::string::npos);
}

TEST_F(AIChatClientTest, TheProviderAndKeyAreReadAtEachTurn)
{
    server->on(openAIPath, LoopbackServer::Reply{200, openAIAnswer("o"), "application/json"});
    server->on(anthropicPath, LoopbackServer::Reply{200, anthropicAnswer("a"), "application/json"});
    use(AIProvider::openai, "first");
    EXPECT_EQ(*turn("1")->answer, "o");
    use(AIProvider::anthropic, "second");
    EXPECT_EQ(*turn("2")->answer, "a");
    EXPECT_EQ(server->requests()[1].headers.at("x-api-key"), "second");
}

TEST_F(AIChatClientTest, AnAnswerArrivingAfterTheClientIsGoneIsDropped)
{
    server->on(openAIPath, LoopbackServer::Reply{.body = openAIAnswer("late"), .delayMs = 150});
    use(AIProvider::openai);
    bool called = false;
    client->chat("hi", std::nullopt, [&](AIChatReply) { called = true; });
    ASSERT_TRUE(test::runUntil([&] { return !server->requests().empty(); }));
    client.reset();
    test::runUntil([] { return false; }, 0.4);
    EXPECT_FALSE(called);

    // The same for a turn refused before sending.
    use(AIProvider::openai, "");
    client = std::make_unique<AIChatClient>(http, service, endpoints());
    client->chat("hi", std::nullopt, [&](AIChatReply) { called = true; });
    EXPECT_EQ(client->pendingCount(), 1u);
    client.reset();
    test::drainMainLoop();
    EXPECT_FALSE(called);
}

TEST(AIChatClientHttpsTest, BothProvidersAnswerOverHttpsWithATrustedCertificate)
{
    test::TestCertificate certificate;
    ASSERT_NE(certificate.certificate(), nullptr) << "openssl could not make a certificate";
    LoopbackServer secure(certificate.certificate());
    secure.on(openAIPath, LoopbackServer::Reply{200, openAIAnswer("secure o"), "application/json"});
    secure.on(anthropicPath, LoopbackServer::Reply{200, anthropicAnswer("secure a"), "application/json"});
    Defaults defaults;
    Preferences preferences(defaults);
    AIService service(preferences);
    service.setApiKey("sk-tls");
    HttpSession http;
    AIChatClient client(http, service, {secure.baseUrl(), secure.baseUrl(), 60});

    auto run = [&] {
        std::optional<AIChatReply> reply;
        client.chat("hi", std::nullopt, [&](AIChatReply r) { reply = std::move(r); });
        test::runUntil([&] { return reply.has_value(); }, 20);
        return reply;
    };
    // Without trusting the certificate, nothing is exchanged.
    auto untrusted = run();
    ASSERT_TRUE(untrusted);
    EXPECT_EQ(untrusted->errorDescription, "The connection to the AI service failed.");
    EXPECT_TRUE(secure.requests().empty());

    ASSERT_TRUE(http.useTrustAnchors(certificate.pemFile()));
    for (AIProvider provider : allAIProviders) {
        service.setSelectedProvider(provider);
        auto reply = run();
        ASSERT_TRUE(reply && reply->ok()) << reply->errorDescription;
        EXPECT_EQ(*reply->answer, provider == AIProvider::openai ? "secure o" : "secure a");
    }
    ASSERT_EQ(secure.requests().size(), 2u);
    EXPECT_EQ(secure.requests()[0].headers.at("authorization"), "Bearer sk-tls");
    EXPECT_EQ(secure.requests()[1].headers.at("x-api-key"), "sk-tls");
}

} // namespace
} // namespace kovi
