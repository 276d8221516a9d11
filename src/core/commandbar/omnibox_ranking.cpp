#include "core/commandbar/omnibox_ranking.h"

#include "core/support/text.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace kovi::omnibox {

namespace {

constexpr const char* untitled = "Untitled";

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isInShownSpace(const HistoryItem& item, const std::optional<Uuid>& currentSpaceId)
{
    return item.spaceId == currentSpaceId; // two absent spaces count as the same
}

OmniboxMatch baseMatch(std::string title, std::optional<std::string> subtitle, OmniboxAction action, int relevance,
                       OmniboxMatchType type)
{
    OmniboxMatch match;
    match.id = Uuid::random();
    match.title = std::move(title);
    match.subtitle = std::move(subtitle);
    match.action = std::move(action);
    match.relevance = relevance;
    match.type = type;
    return match;
}

OmniboxMatch tabMatch(const Tab& tab, int relevance, OmniboxMatchType type)
{
    OmniboxMatch match = baseMatch(displayName(tab.title, tab.url), place(tab.url), SwitchToTabAction{tab.id},
                                   relevance, type);
    match.url = tab.url;
    match.favicon = tab.favicon;
    return match;
}

OmniboxMatch historyMatch(const HistoryItem& item, int relevance, OmniboxMatchType type)
{
    OmniboxMatch match = baseMatch(displayName(item.title, item.url), place(item.url), OpenURLAction{item.url},
                                   relevance, type);
    match.url = item.url;
    match.favicon = item.favicon;
    return match;
}

// Destinations, kept apart by kind so that a URL whose text happens to read "search:x" never
// collapses with the search for "x".
struct DestinationKey {
    std::size_t kind;
    std::string text;
    bool operator==(const DestinationKey&) const = default;
};

struct DestinationKeyHash {
    std::size_t operator()(const DestinationKey& key) const noexcept
    {
        return std::hash<std::string>()(key.text) ^ (key.kind * 0x9e3779b97f4a7c15ULL);
    }
};

DestinationKey destinationKey(const OmniboxAction& action)
{
    if (const auto* open = std::get_if<OpenURLAction>(&action))
        return {action.index(), open->url.string()};
    if (const auto* tab = std::get_if<SwitchToTabAction>(&action))
        return {action.index(), tab->tabId.toString()};
    return {action.index(), lowercased(std::get<SearchAction>(action).text)};
}

} // namespace

std::string lowercased(std::string_view text)
{
    if (!isAscii(text))
        return text::lowercased(text);
    std::string out(text);
    for (auto& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

int textScore(std::string_view query, std::string_view candidate)
{
    if (candidate == query)
        return 320;
    if (candidate.starts_with(query))
        return 240;
    if (candidate.find(query) != std::string_view::npos)
        return 140;
    return 0;
}

int recordTextScore(std::string_view query, std::string_view name, const Url& url)
{
    return std::max(textScore(query, lowercased(name)), textScore(query, lowercased(url.string())));
}

int recencyBonus(Date recordTime, Date now)
{
    const double hours = now.secondsSince(recordTime) / 3600.0;
    if (hours < 1)
        return 90;
    if (hours < 24)
        return 60;
    if (hours < 72)
        return 30;
    return 0;
}

std::string displayName(const std::string& title, const Url& url)
{
    if (!title.empty())
        return title;
    if (auto host = url.host())
        return *host;
    return untitled;
}

std::string place(const Url& url)
{
    if (auto host = url.host())
        return *host;
    return url.string();
}

OmniboxMatch typedAddressMatch(const Url& url)
{
    OmniboxMatch match = baseMatch(url.string(), std::string("Open URL"), OpenURLAction{url}, typedAddressRelevance,
                                   OmniboxMatchType::urlWhatYouTyped);
    match.url = url;
    return match;
}

OmniboxMatch verbatimSearchMatch(const std::string& text)
{
    return baseMatch("Search \"" + text + "\"", std::string(searchEngineName), SearchAction{text},
                     verbatimSearchRelevance, OmniboxMatchType::verbatimSearch);
}

std::vector<OmniboxMatch> openTabMatches(std::string_view query, const Sources& sources, Date now)
{
    std::vector<OmniboxMatch> matches;
    for (const auto& [id, tab] : sources.tabs) {
        const std::string name = displayName(tab.title, tab.url);
        const int score = recordTextScore(query, name, tab.url);
        if (score > 0)
            matches.push_back(tabMatch(tab, openTabBaseRelevance + score + recencyBonus(tab.lastAccessedAt, now),
                                       OmniboxMatchType::openTab));
    }
    return matches;
}

std::vector<OmniboxMatch> historyURLMatches(std::string_view query, const Sources& sources, Date now)
{
    std::vector<OmniboxMatch> matches;
    for (const HistoryItem& item : sources.history) {
        if (!isInShownSpace(item, sources.currentSpaceId))
            continue;
        const std::string name = displayName(item.title, item.url);
        const int score = recordTextScore(query, name, item.url);
        if (score > 0)
            matches.push_back(historyMatch(item, historyBaseRelevance + score + recencyBonus(item.visitedAt, now),
                                           OmniboxMatchType::historyURL));
    }
    return matches;
}

std::vector<OmniboxMatch> zeroSuggestMatches(const Sources& sources)
{
    std::vector<const Tab*> tabs;
    tabs.reserve(sources.tabs.size());
    for (const auto& [id, tab] : sources.tabs)
        tabs.push_back(&tab);
    std::stable_sort(tabs.begin(), tabs.end(),
                     [](const Tab* a, const Tab* b) { return a->lastAccessedAt > b->lastAccessedAt; });

    std::vector<const HistoryItem*> history;
    for (const HistoryItem& item : sources.history)
        if (isInShownSpace(item, sources.currentSpaceId))
            history.push_back(&item);
    std::stable_sort(history.begin(), history.end(),
                     [](const HistoryItem* a, const HistoryItem* b) { return a->visitedAt > b->visitedAt; });

    std::vector<OmniboxMatch> matches;
    for (std::size_t i = 0; i < tabs.size() && i < maxRecentTabs; ++i)
        matches.push_back(tabMatch(*tabs[i], recentTabBaseRelevance - 20 * static_cast<int>(i),
                                   OmniboxMatchType::zeroSuggest));
    for (std::size_t i = 0; i < history.size() && i < maxRecentHistory; ++i)
        matches.push_back(historyMatch(*history[i], recentHistoryBaseRelevance - 15 * static_cast<int>(i),
                                       OmniboxMatchType::zeroSuggest));
    return matches;
}

std::vector<OmniboxMatch> searchSuggestionMatches(const std::vector<std::string>& suggestions)
{
    std::vector<OmniboxMatch> matches;
    for (std::size_t i = 0; i < suggestions.size() && i < maxSuggestions; ++i)
        matches.push_back(baseMatch(suggestions[i], std::string("Search suggestion"), SearchAction{suggestions[i]},
                                    suggestionBaseRelevance - 20 * static_cast<int>(i),
                                    OmniboxMatchType::searchSuggestion));
    return matches;
}

std::vector<OmniboxMatch> buildLocalMatches(const std::string& text, const Sources& sources,
                                            const URLParser& urlParser, Date now)
{
    if (text.empty())
        return zeroSuggestMatches(sources);

    std::vector<OmniboxMatch> matches;
    if (auto url = urlParser.parseURL(text))
        matches.push_back(typedAddressMatch(*url));
    const std::string query = lowercased(text);
    auto tabs = openTabMatches(query, sources, now);
    auto history = historyURLMatches(query, sources, now);
    matches.reserve(matches.size() + tabs.size() + history.size() + 1);
    std::move(tabs.begin(), tabs.end(), std::back_inserter(matches));
    std::move(history.begin(), history.end(), std::back_inserter(matches));
    matches.push_back(verbatimSearchMatch(text));
    return matches;
}

std::vector<OmniboxMatch> dedupeAndSort(std::vector<OmniboxMatch> matches)
{
    std::vector<OmniboxMatch> kept;
    kept.reserve(matches.size());
    std::unordered_map<DestinationKey, std::size_t, DestinationKeyHash> positions;
    positions.reserve(matches.size());
    for (auto& match : matches) {
        auto [it, inserted] = positions.try_emplace(destinationKey(match.action), kept.size());
        if (inserted)
            kept.push_back(std::move(match));
        else if (match.relevance > kept[it->second].relevance)
            kept[it->second] = std::move(match);
    }
    std::stable_sort(kept.begin(), kept.end(), [](const OmniboxMatch& a, const OmniboxMatch& b) {
        if (a.relevance != b.relevance)
            return a.relevance > b.relevance;
        return a.title < b.title; // byte order of UTF-8 is code-point order
    });
    return kept;
}

} // namespace kovi::omnibox
