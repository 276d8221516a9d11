#include "core/ai/ai_chat_client.h"

#include "core/ai/ai_service.h"
#include "core/support/json_reader.h"

#include <glibmm/main.h>

#include <variant>

namespace kovi {

namespace {

constexpr const char* basePrompt = "You are a helpful AI assistant integrated into the Kovi web browser. You help users "
                                   "with browsing, research, writing, and general tasks.";

// Texts of our own for failures below the AI service's (the service's own have fixed texts).
constexpr const char* connectionFailedText = "The connection to the AI service failed.";
constexpr const char* timedOutText = "The request timed out.";
constexpr const char* unreadableText = "The AI service's answer could not be read.";
constexpr const char* unsendableKeyText =
    "The API key is not valid: it contains a line break or another control character.";

// Follows object keys and array indexes; nullptr when a step is missing or of another type.
const Json* follow(const Json& root, std::initializer_list<std::variant<const char*, int>> path)
{
    const Json* at = &root;
    for (const auto& step : path) {
        if (const auto* key = std::get_if<const char*>(&step)) {
            if (!at->is_object())
                return nullptr;
            auto it = at->find(*key);
            if (it == at->end())
                return nullptr;
            at = &*it;
        } else {
            const auto index = static_cast<std::size_t>(std::get<int>(step));
            if (!at->is_array() || at->size() <= index)
                return nullptr;
            at = &(*at)[index];
        }
    }
    return at;
}

} // namespace

AIEndpoints AIEndpoints::standard()
{
    return {"https://api.openai.com", "https://api.anthropic.com", 60, 300};
}

AIChatReply AIChatReply::success(std::string answer)
{
    AIChatReply reply;
    reply.answer = std::move(answer);
    return reply;
}

AIChatReply AIChatReply::failure(AIError error)
{
    AIChatReply reply;
    reply.aiError = error;
    reply.errorDescription = std::string(describe(error));
    return reply;
}

AIChatReply AIChatReply::failure(std::string description)
{
    AIChatReply reply;
    reply.errorDescription = std::move(description);
    return reply;
}

AIChatClient::AIChatClient(HttpSession& http, const AIService& service, AIEndpoints endpoints)
    : m_service(service), m_endpoints(std::move(endpoints)), m_http(http)
{
}

AIChatClient::~AIChatClient()
{
    m_refusedIdle.disconnect();
}

bool AIChatClient::reportRefused()
{
    // The callbacks may destroy this client: nothing of it is touched after the move.
    auto refused = std::move(m_refused);
    m_refused.clear();
    for (auto& [reply, callback] : refused)
        callback(std::move(reply));
    return false;
}

bool AIChatClient::isSendableKey(std::string_view key)
{
    for (std::size_t i = 0; i < key.size(); ++i) {
        const auto byte = static_cast<unsigned char>(key[i]);
        if ((byte < 0x20 && byte != '\t') || byte == 0x7F)
            return false;
        // U+0080…U+009F, the second block of control characters, in UTF-8.
        if (byte == 0xC2 && i + 1 < key.size() && static_cast<unsigned char>(key[i + 1]) <= 0x9F)
            return false;
    }
    return true;
}

std::string AIChatClient::systemPrompt(const std::optional<AIChatContext>& context)
{
    std::string prompt = basePrompt;
    if (!context || !context->openTabs)
        return prompt;
    prompt += "\n\nThe user currently has these tabs open:\n";
    for (const auto& tab : *context->openTabs) {
        auto title = tab.find("title");
        auto url = tab.find("url");
        if (title == tab.end() || url == tab.end())
            continue;
        prompt += "- " + title->second + ": " + url->second + "\n";
    }
    return prompt;
}

HttpRequest AIChatClient::buildRequest(AIProvider provider, const std::string& apiKey, const std::string& message,
                                       const std::optional<AIChatContext>& context, const AIEndpoints& endpoints)
{
    HttpRequest request;
    request.method = "POST";
    request.contentType = "application/json";
    request.timeoutSeconds = endpoints.answerTimeoutSeconds;
    request.idleTimeoutSeconds = endpoints.idleTimeoutSeconds;
    request.maxBodyBytes = maxAnswerBodyBytes;
    // A redirect would carry the key to wherever it points, possibly in clear text.
    request.followRedirects = false;
    const std::string prompt = systemPrompt(context);
    nlohmann::ordered_json body;
    if (provider == AIProvider::openai) {
        request.url = endpoints.openAIBaseUrl + "/v1/chat/completions";
        request.headers = {{"Authorization", "Bearer " + apiKey}};
        body["model"] = openAIModel;
        body["messages"] = nlohmann::ordered_json::array({
            {{"role", "system"}, {"content", prompt}},
            {{"role", "user"}, {"content", message}},
        });
        body["max_tokens"] = maxTokens;
    } else {
        request.url = endpoints.anthropicBaseUrl + "/v1/messages";
        request.headers = {{"x-api-key", apiKey}, {"anthropic-version", anthropicVersion}};
        body["model"] = anthropicModel;
        body["max_tokens"] = maxTokens;
        body["system"] = prompt;
        body["messages"] = nlohmann::ordered_json::array({{{"role", "user"}, {"content", message}}});
    }
    // Text from pages may hold broken UTF-8; it is replaced rather than failing the turn.
    request.body = body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    return request;
}

AIChatReply AIChatClient::readReply(AIProvider provider, const Result<HttpResponse>& response)
{
    if (!response) {
        switch (response.error().code) {
        case ErrorCode::Timeout:
            return AIChatReply::failure(timedOutText);
        case ErrorCode::TooLarge:
            // No answer of the size asked for is this big: treated as a failed answer.
            return AIChatReply::failure(AIError::apiError);
        default:
            return AIChatReply::failure(connectionFailedText);
        }
    }
    if (response->status != 200)
        return AIChatReply::failure(AIError::apiError);
    Json root;
    try {
        root = json::parse(response->body);
    } catch (const DecodeError&) {
        return AIChatReply::failure(unreadableText);
    }
    // Like the usual JSON readers, a bare number or text at the top is not a JSON document.
    if (!(root.is_object() || root.is_array()))
        return AIChatReply::failure(unreadableText);
    const Json* text = provider == AIProvider::openai
        ? follow(root, {"choices", 0, "message", "content"})
        : follow(root, {"content", 0, "text"});
    if (!text || !text->is_string())
        return AIChatReply::failure(AIError::parseError);
    if (text->get_ref<const std::string&>().size() > maxAnswerTextBytes)
        return AIChatReply::failure(AIError::apiError);
    return AIChatReply::success(text->get<std::string>());
}

void AIChatClient::chat(std::string message, std::optional<AIChatContext> context, Callback callback)
{
    const std::string& key = m_service.apiKey();
    std::optional<AIChatReply> refused;
    if (key.empty())
        refused = AIChatReply::failure(AIError::noApiKey);
    else if (!isSendableKey(key))
        refused = AIChatReply::failure(unsendableKeyText); // never put into a header; the key stays as stored
    if (refused) {
        // Reported from the main loop like every answer, never from inside chat().
        m_refused.push_back({*refused, std::move(callback)});
        if (!m_refusedIdle.connected())
            m_refusedIdle = Glib::signal_idle().connect(sigc::mem_fun(*this, &AIChatClient::reportRefused));
        return;
    }
    const AIProvider provider = m_service.selectedProvider();
    m_http.send(buildRequest(provider, key, message, context, m_endpoints),
                [provider, callback = std::move(callback)](Result<HttpResponse> response) {
                    callback(readReply(provider, response));
                });
}

} // namespace kovi
