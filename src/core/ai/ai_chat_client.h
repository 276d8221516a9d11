#pragma once

#include "core/ai/ai_types.h"
#include "core/support/http_client.h"

#include <sigc++/connection.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kovi {

class AIService;
class HttpSession;

// Where the two providers are reached. Tests point both at a server on 127.0.0.1.
struct AIEndpoints {
    std::string openAIBaseUrl;    // "/v1/chat/completions" is appended
    std::string anthropicBaseUrl; // "/v1/messages" is appended
    // A turn fails once nothing has arrived for this long, and once its answer has taken this
    // long in all (a provider that sends a byte now and then).
    double idleTimeoutSeconds = 60;
    double answerTimeoutSeconds = 300;

    static AIEndpoints standard();
};

// What a chat turn may tell the provider about the browser: the open tabs, each a map with the
// keys "title" and "url". An absent list leaves the tab list out of the system prompt.
struct AIChatContext {
    std::optional<std::vector<std::map<std::string, std::string>>> openTabs;
};

// The outcome of one chat turn: the answer, or the text to show for the failure. `aiError` is
// set for the service's own failures; transport failures and unreadable answers have none.
struct AIChatReply {
    std::optional<std::string> answer;
    std::optional<AIError> aiError;
    std::string errorDescription;

    bool ok() const { return answer.has_value(); }
    static AIChatReply success(std::string answer);
    static AIChatReply failure(AIError error);
    static AIChatReply failure(std::string description);
};

// One stateless chat request per message to the provider chosen in the AI service, with the
// service's key as it stands at the call. Answers arrive on the main loop; destroying the client
// drops every answer still on its way (the callback is never called). Main thread only.
class AIChatClient {
public:
    using Callback = std::function<void(AIChatReply)>;

    AIChatClient(HttpSession& http, const AIService& service, AIEndpoints endpoints = AIEndpoints::standard());
    ~AIChatClient();
    AIChatClient(const AIChatClient&) = delete;
    AIChatClient& operator=(const AIChatClient&) = delete;

    // Without a key the callback gets noApiKey from the main loop and nothing is sent; a key
    // that cannot travel in a header (isSendableKey) is refused the same way, with its own text.
    void chat(std::string message, std::optional<AIChatContext> context, Callback callback);
    std::size_t pendingCount() const { return m_http.pendingCount() + m_refused.size(); }

    // The fixed prompt, followed by the tab list when the context carries one.
    static std::string systemPrompt(const std::optional<AIChatContext>& context);
    static HttpRequest buildRequest(AIProvider provider, const std::string& apiKey, const std::string& message,
                                    const std::optional<AIChatContext>& context, const AIEndpoints& endpoints);
    static AIChatReply readReply(AIProvider provider, const Result<HttpResponse>& response);
    // A key with a control character other than tab cannot travel in a header unchanged.
    static bool isSendableKey(std::string_view key);

    static constexpr const char* openAIModel = "gpt-4o-mini";
    static constexpr const char* anthropicModel = "claude-3-haiku-20240307";
    static constexpr const char* anthropicVersion = "2023-06-01";
    static constexpr int maxTokens = 1000;
    // An answer of maxTokens is a few KB of text in any script; 64 KB would take tokens of 65
    // bytes each. Past these bounds the turn fails like any unusable answer. The body may
    // escape every byte of the text in six ("\u0001").
    static constexpr std::size_t maxAnswerTextBytes = 64 * 1024;
    static constexpr std::size_t maxAnswerBodyBytes = 512 * 1024;

private:
    struct Refused {
        AIChatReply reply;
        Callback callback;
    };
    bool reportRefused();

    const AIService& m_service;
    AIEndpoints m_endpoints;
    HttpClient m_http;
    std::vector<Refused> m_refused;
    sigc::connection m_refusedIdle;
};

} // namespace kovi
