#pragma once

#include "core/commandbar/omnibox_match.h"
#include "core/commandbar/omnibox_ranking.h"
#include "core/commandbar/search_suggestion_client.h"
#include "core/commandbar/url_parser.h"
#include "core/support/uuid.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kovi {

class BrowserState;

// The suggestion list under the address field. Each update delivers the local list at once
// and, for text that is not an address, the list merged with remote search suggestions later,
// but only while no newer update has come in. Main thread only; `http` must outlive the engine.
class OmniboxEngine {
public:
    using Match = OmniboxMatch;
    using Action = OmniboxAction;
    using MatchType = OmniboxMatchType;
    using EventType = OmniboxEventType;
    using Input = OmniboxInput;
    using UpdateCallback = std::function<void(std::vector<Match>)>;

    explicit OmniboxEngine(HttpClient& http,
                           std::string suggestionBaseUrl = std::string(SearchSuggestionClient::defaultBaseUrl),
                           double suggestionTimeoutSeconds = SearchSuggestionClient::defaultTimeoutSeconds);
    ~OmniboxEngine();
    OmniboxEngine(const OmniboxEngine&) = delete;
    OmniboxEngine& operator=(const OmniboxEngine&) = delete;

    // Calls onUpdate with the local list before it returns; may call it once more later.
    void update(const Input& input, const BrowserState& browserState, UpdateCallback onUpdate);
    void update(const Input& input, const omnibox::Sources& sources, UpdateCallback onUpdate);

    // The latest update's identifier.
    const Uuid& requestId() const { return m_requestId; }
    bool isFetchingSuggestions() const { return m_suggestions.isFetching(); }

    const URLParser urlParser{};

private:
    Uuid m_requestId = Uuid::random();
    SearchSuggestionClient m_suggestions;
    // Expires with the engine, so a caller's callback that destroys the engine is noticed.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace kovi
