#pragma once

#include "core/support/http_client.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kovi {

// Fetches search suggestions for typed text from the suggestion service, one request at a
// time: starting a fetch cancels the one before, and a cancelled fetch never calls back. Every
// failure (network, time-out, oversized or malformed answer) yields an empty list. Main thread
// only; `http` must outlive the client.
class SearchSuggestionClient {
public:
    static constexpr std::string_view defaultBaseUrl = "https://suggestqueries.google.com";
    static constexpr std::string_view clientIdentifier = "firefox";
    // Real answers are a few hundred bytes; anything near this is not a suggestion list.
    static constexpr std::size_t maxBodyBytes = 256 * 1024;
    static constexpr double defaultTimeoutSeconds = 60;

    using Callback = std::function<void(std::vector<std::string>)>;

    explicit SearchSuggestionClient(HttpClient& http, std::string baseUrl = std::string(defaultBaseUrl),
                                    double timeoutSeconds = defaultTimeoutSeconds);
    ~SearchSuggestionClient();
    SearchSuggestionClient(const SearchSuggestionClient&) = delete;
    SearchSuggestionClient& operator=(const SearchSuggestionClient&) = delete;

    void fetch(std::string_view text, Callback done);
    void cancel();
    bool isFetching() const { return m_pending.has_value(); }

    // "<base>/complete/search?client=firefox&q=<text>", the text encoded like a web search.
    std::string requestUrl(std::string_view text) const;
    // The strings of `["query", ["s1", "s2", ...], ...]`; empty for any other shape.
    static std::vector<std::string> parseResponse(std::string_view body);

private:
    HttpClient& m_http;
    std::string m_baseUrl;
    double m_timeoutSeconds;
    std::optional<HttpClient::RequestId> m_pending;
};

} // namespace kovi
