#include "core/commandbar/search_suggestion_client.h"

#include "core/support/json_coding.h"
#include "core/support/text.h"

#include <utility>

namespace kovi {

SearchSuggestionClient::SearchSuggestionClient(HttpClient& http, std::string baseUrl, double timeoutSeconds)
    : m_http(http)
    , m_baseUrl(std::move(baseUrl))
    , m_timeoutSeconds(timeoutSeconds)
{
    while (!m_baseUrl.empty() && m_baseUrl.back() == '/')
        m_baseUrl.pop_back();
}

SearchSuggestionClient::~SearchSuggestionClient()
{
    cancel();
}

std::string SearchSuggestionClient::requestUrl(std::string_view text) const
{
    return m_baseUrl + "/complete/search?client=" + std::string(clientIdentifier)
        + "&q=" + text::percentEncodeQueryValue(text);
}

void SearchSuggestionClient::fetch(std::string_view text, Callback done)
{
    cancel();
    HttpRequest request;
    request.url = requestUrl(text);
    request.timeoutSeconds = m_timeoutSeconds;
    request.maxBodyBytes = maxBodyBytes;
    // Capturing `this` is safe: the destructor cancels, and a cancelled request never calls back.
    m_pending = m_http.send(std::move(request), [this, done = std::move(done)](Result<HttpResponse> result) {
        m_pending.reset();
        done(result ? parseResponse(result->body) : std::vector<std::string>());
    });
}

void SearchSuggestionClient::cancel()
{
    if (m_pending) {
        m_http.cancel(*m_pending);
        m_pending.reset();
    }
}

std::vector<std::string> SearchSuggestionClient::parseResponse(std::string_view body)
{
    try {
        const Json answer = json::parse(body);
        if (!answer.is_array() || answer.size() < 2 || !answer[1].is_array())
            return {};
        std::vector<std::string> suggestions;
        suggestions.reserve(answer[1].size());
        for (const Json& item : answer[1]) {
            if (!item.is_string())
                return {};
            suggestions.push_back(item.get<std::string>());
        }
        return suggestions;
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace kovi
