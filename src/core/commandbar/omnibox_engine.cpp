#include "core/commandbar/omnibox_engine.h"

#include "core/state/browser_state.h"
#include "core/support/date.h"
#include "core/support/text.h"

#include <iterator>
#include <utility>

namespace kovi {

OmniboxEngine::OmniboxEngine(HttpClient& http, std::string suggestionBaseUrl, double suggestionTimeoutSeconds)
    : m_suggestions(http, std::move(suggestionBaseUrl), suggestionTimeoutSeconds)
{
}

OmniboxEngine::~OmniboxEngine() = default;

void OmniboxEngine::update(const Input& input, const BrowserState& browserState, UpdateCallback onUpdate)
{
    const omnibox::Sources sources{browserState.tabs(), browserState.history(), browserState.currentSpaceId(),
                                   browserState.activeTabId()};
    update(input, sources, std::move(onUpdate));
}

void OmniboxEngine::update(const Input& input, const omnibox::Sources& sources, UpdateCallback onUpdate)
{
    m_requestId = Uuid::random();
    const Uuid request = m_requestId;
    m_suggestions.cancel();

    const std::string text = text::trimWhitespaceAndNewlines(input.text);
    std::vector<Match> local
        = omnibox::dedupeAndSort(omnibox::buildLocalMatches(text, sources, urlParser, Clock::current().now()));

    std::weak_ptr<bool> alive = m_alive;
    onUpdate(local);
    // The callback may have destroyed the engine or started a newer update.
    if (alive.expired() || m_requestId != request)
        return;

    if (text.empty() || urlParser.parseURL(text))
        return;

    m_suggestions.fetch(text, [this, request, local = std::move(local), onUpdate = std::move(onUpdate)](
                                  std::vector<std::string> suggestions) {
        if (m_requestId != request)
            return;
        std::vector<Match> merged = local;
        auto remote = omnibox::searchSuggestionMatches(suggestions);
        std::move(remote.begin(), remote.end(), std::back_inserter(merged));
        onUpdate(omnibox::dedupeAndSort(std::move(merged)));
    });
}

} // namespace kovi
