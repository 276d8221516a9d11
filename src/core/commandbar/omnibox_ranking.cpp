#include "core/commandbar/omnibox_ranking.h"

#include "core/support/text.h"

#include <algorithm>
#include <bit>
#include <deque>
#include <utility>

namespace kovi::omnibox {

namespace {

constexpr const char* untitled = "Untitled";

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Url::host() without the decoding pass in the common case of a plain host name.
std::optional<std::string> hostOf(const Url& url)
{
    std::string_view raw = url.rawHost();
    if (raw.empty() || raw.front() == '[' || raw.find('%') != std::string_view::npos)
        return url.host();
    return std::string(raw);
}

bool isInShownSpace(const HistoryItem& item, const std::optional<Uuid>& currentSpaceId)
{
    return item.spaceId == currentSpaceId; // two absent spaces count as the same
}

// Lower-cases into `scratch`, which is reused across records so that scanning a few thousand
// of them allocates almost nothing.
int scoreIgnoringCase(std::string_view query, std::string_view candidate, std::string& scratch)
{
    // One branch-free pass lower-cases ASCII and notes any other byte.
    scratch.resize(candidate.size());
    const auto* in = reinterpret_cast<const unsigned char*>(candidate.data());
    auto* out = reinterpret_cast<unsigned char*>(scratch.data());
    const std::size_t size = candidate.size();
    unsigned char seen = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char c = in[i];
        seen |= c;
        out[i] = static_cast<unsigned char>(c + ((static_cast<unsigned char>(c - 'A') < 26u) << 5));
    }
    if (seen & 0x80)
        return textScore(query, lowercased(candidate));
    return textScore(query, scratch);
}

int scoreRecord(std::string_view query, std::string_view name, const Url& url, std::string& scratch)
{
    return std::max(scoreIgnoringCase(query, name, scratch), scoreIgnoringCase(query, url.string(), scratch));
}

// The display name, without a copy in the usual case of a titled record.
std::string_view scoredName(const std::string& title, const Url& url, std::string& storage)
{
    if (!title.empty())
        return title;
    storage = displayName(title, url);
    return storage;
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

void appendOpenTabMatches(std::string_view query, const Sources& sources, Date now, std::vector<OmniboxMatch>& out)
{
    std::string storage, scratch;
    for (const auto& [id, tab] : sources.tabs) {
        if (id == sources.activeTabId)
            continue;
        const int score = scoreRecord(query, scoredName(tab.title, tab.url, storage), tab.url, scratch);
        if (score > 0)
            out.push_back(tabMatch(tab, openTabBaseRelevance + score + recencyBonus(tab.lastAccessedAt, now),
                                   OmniboxMatchType::openTab));
    }
}

void appendHistoryURLMatches(std::string_view query, const Sources& sources, Date now,
                             std::vector<OmniboxMatch>& out)
{
    std::string storage, scratch;
    for (const HistoryItem& item : sources.history) {
        if (!isInShownSpace(item, sources.currentSpaceId))
            continue;
        const int score = scoreRecord(query, scoredName(item.title, item.url, storage), item.url, scratch);
        if (score > 0)
            out.push_back(historyMatch(item, historyBaseRelevance + score + recencyBonus(item.visitedAt, now),
                                       OmniboxMatchType::historyURL));
    }
}

// Destinations, kept apart by kind so that a URL whose text happens to read "search:x" never
// collapses with the search for "x". The text views the match itself or `storage`.
struct DestinationKey {
    std::size_t kind;
    std::string_view text;
    bool operator==(const DestinationKey&) const = default;
};

struct DestinationKeyHash {
    std::size_t operator()(const DestinationKey& key) const noexcept
    {
        return std::hash<std::string_view>()(key.text) ^ (key.kind * 0x9e3779b97f4a7c15ULL);
    }
};

DestinationKey destinationKey(const OmniboxAction& action, std::deque<std::string>& storage)
{
    if (const auto* open = std::get_if<OpenURLAction>(&action))
        return {action.index(), open->url.string()};
    if (const auto* tab = std::get_if<SwitchToTabAction>(&action)) {
        const auto& bytes = tab->tabId.bytes();
        return {action.index(), std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())};
    }
    storage.push_back(lowercased(std::get<SearchAction>(action).text));
    return {action.index(), storage.back()};
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

int textScoreIgnoringCase(std::string_view query, std::string_view candidate)
{
    std::string scratch;
    return scoreIgnoringCase(query, candidate, scratch);
}

int recordTextScore(std::string_view query, std::string_view name, const Url& url)
{
    std::string scratch;
    return scoreRecord(query, name, url, scratch);
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
    if (auto host = hostOf(url))
        return *host;
    return untitled;
}

std::string place(const Url& url)
{
    if (auto host = hostOf(url))
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
    appendOpenTabMatches(query, sources, now, matches);
    return matches;
}

std::vector<OmniboxMatch> historyURLMatches(std::string_view query, const Sources& sources, Date now)
{
    std::vector<OmniboxMatch> matches;
    appendHistoryURLMatches(query, sources, now, matches);
    return matches;
}

std::vector<OmniboxMatch> zeroSuggestMatches(const Sources& sources)
{
    std::vector<const Tab*> tabs;
    tabs.reserve(sources.tabs.size());
    for (const auto& [id, tab] : sources.tabs) {
        if (id != sources.activeTabId)
            tabs.push_back(&tab);
    }
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
    // Room for the worst case ("h" matches every web page), so the list never moves.
    matches.reserve(sources.tabs.size() + sources.history.size() + 2);
    appendOpenTabMatches(query, sources, now, matches);
    appendHistoryURLMatches(query, sources, now, matches);
    matches.push_back(verbatimSearchMatch(text));
    return matches;
}

std::vector<OmniboxMatch> dedupeAndSort(std::vector<OmniboxMatch> matches)
{
    // Work on positions; the records, which carry favicons, move once at the end. Destinations
    // are found through an open-addressing table of slot numbers (0 = free).
    std::deque<std::string> keyStorage;
    std::vector<DestinationKey> keys;
    keys.reserve(matches.size());
    for (const auto& match : matches)
        keys.push_back(destinationKey(match.action, keyStorage));

    std::vector<std::size_t> kept; // per slot, the position of its best match so far
    kept.reserve(matches.size());
    const std::size_t capacity = std::bit_ceil(std::max<std::size_t>(16, matches.size() * 2));
    std::vector<std::size_t> table(capacity, 0);
    const DestinationKeyHash hash;
    for (std::size_t i = 0; i < matches.size(); ++i) {
        std::size_t probe = hash(keys[i]) & (capacity - 1);
        while (table[probe] != 0 && keys[kept[table[probe] - 1]] != keys[i])
            probe = (probe + 1) & (capacity - 1);
        if (table[probe] == 0) {
            kept.push_back(i);
            table[probe] = kept.size();
        } else if (std::size_t& best = kept[table[probe] - 1]; matches[i].relevance > matches[best].relevance) {
            best = i;
        }
    }
    std::stable_sort(kept.begin(), kept.end(), [&matches](std::size_t a, std::size_t b) {
        if (matches[a].relevance != matches[b].relevance)
            return matches[a].relevance > matches[b].relevance;
        // What was typed as an address opens that address: ordered by title alone, the search
        // for the same text would come first and Return would search instead of going there.
        const bool typedA = matches[a].type == OmniboxMatchType::urlWhatYouTyped;
        const bool typedB = matches[b].type == OmniboxMatchType::urlWhatYouTyped;
        if (typedA != typedB)
            return typedA;
        return matches[a].title < matches[b].title; // byte order of UTF-8 is code-point order
    });
    std::vector<OmniboxMatch> sorted;
    sorted.reserve(kept.size());
    for (std::size_t i : kept)
        sorted.push_back(std::move(matches[i]));
    return sorted;
}

} // namespace kovi::omnibox
