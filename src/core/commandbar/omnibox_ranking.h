#pragma once

// The address field's local suggestions: scoring, building, duplicate removal and order. Pure
// functions over the records they are given, so they are tested and measured without I/O.

#include "core/commandbar/omnibox_match.h"
#include "core/commandbar/url_parser.h"
#include "core/model/history_item.h"
#include "core/model/tab.h"
#include "core/support/date.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kovi::omnibox {

inline constexpr int typedAddressRelevance = 1300;
inline constexpr int verbatimSearchRelevance = 1300;
inline constexpr int openTabBaseRelevance = 1100;
inline constexpr int historyBaseRelevance = 900;
inline constexpr int suggestionBaseRelevance = 800; // minus 20 per position
inline constexpr int recentTabBaseRelevance = 800;  // minus 20 per position
inline constexpr int recentHistoryBaseRelevance = 700; // minus 15 per position
inline constexpr std::size_t maxSuggestions = 6;
inline constexpr std::size_t maxRecentTabs = 6;
inline constexpr std::size_t maxRecentHistory = 5;

inline constexpr const char* searchEngineName = "Google";

// What the local list is built from: every open tab, and the history with the shown space. The
// shown tab is never offered: switching to it would do nothing.
struct Sources {
    const std::unordered_map<Uuid, Tab>& tabs;
    const std::vector<HistoryItem>& history; // newest first, every space
    std::optional<Uuid> currentSpaceId;
    std::optional<Uuid> activeTabId = std::nullopt;
};

// Plain Unicode lower-casing (no locale rules), with a fast path for ASCII text.
std::string lowercased(std::string_view text);

// 320 when equal, 240 when `candidate` begins with the query, 140 when it contains it, else 0.
// Both arguments are already lower-cased.
int textScore(std::string_view query, std::string_view candidate);
// textScore of `candidate` lower-cased; `query` is already lower-cased.
int textScoreIgnoringCase(std::string_view query, std::string_view candidate);
// The better of the display name's and the URL text's scores.
int recordTextScore(std::string_view query, std::string_view displayName, const Url& url);
// 90 within the hour (or in the future), 60 within a day, 30 within three days, else 0.
int recencyBonus(Date recordTime, Date now);

// The title, else the URL's host, else "Untitled".
std::string displayName(const std::string& title, const Url& url);
// The URL's host, else its full text.
std::string place(const Url& url);

OmniboxMatch typedAddressMatch(const Url& url);
OmniboxMatch verbatimSearchMatch(const std::string& text);
std::vector<OmniboxMatch> openTabMatches(std::string_view query, const Sources& sources, Date now);
std::vector<OmniboxMatch> historyURLMatches(std::string_view query, const Sources& sources, Date now);
std::vector<OmniboxMatch> zeroSuggestMatches(const Sources& sources);
// The first six suggestions as matches ranked 800, 780, ... 700.
std::vector<OmniboxMatch> searchSuggestionMatches(const std::vector<std::string>& suggestions);

// The unsorted local list for already trimmed text.
std::vector<OmniboxMatch> buildLocalMatches(const std::string& text, const Sources& sources,
                                            const URLParser& urlParser, Date now);

// One match per destination (the better scored; on a tie the earlier), then highest relevance
// first and, on equal relevance, titles in code-point order.
std::vector<OmniboxMatch> dedupeAndSort(std::vector<OmniboxMatch> matches);

} // namespace kovi::omnibox
