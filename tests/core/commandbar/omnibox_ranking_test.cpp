#include "core/commandbar/omnibox_ranking.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

namespace kovi {
namespace {

using namespace omnibox;

const Date now(725760000.0);
constexpr double hour = 3600;

Url url(const std::string& text)
{
    return *Url::parse(text);
}

Tab makeTab(const std::string& title, const std::string& address, Date lastAccessed)
{
    Tab tab(Uuid::random(), url(address), title, false, false, std::nullopt, std::nullopt);
    tab.title = title; // an empty title stays empty
    tab.lastAccessedAt = lastAccessed;
    return tab;
}

HistoryItem makeVisit(const std::string& title, const std::string& address, Date visited,
                      std::optional<Uuid> space = std::nullopt)
{
    HistoryItem item{Uuid::random(), url(address), title, visited, std::nullopt, space};
    return item;
}

struct World {
    std::unordered_map<Uuid, Tab> tabs;
    std::vector<HistoryItem> history;
    std::optional<Uuid> currentSpaceId;
    std::optional<Uuid> activeTabId;

    const Tab& add(Tab tab)
    {
        Uuid id = tab.id;
        return tabs.emplace(id, std::move(tab)).first->second;
    }
    Sources sources() const { return Sources{tabs, history, currentSpaceId, activeTabId}; }
};

std::vector<std::string> titles(const std::vector<OmniboxMatch>& matches)
{
    std::vector<std::string> out;
    for (const auto& m : matches)
        out.push_back(m.title);
    return out;
}

OmniboxMatch match(const std::string& title, OmniboxAction action, int relevance,
                   OmniboxMatchType type = OmniboxMatchType::historyURL)
{
    OmniboxMatch m;
    m.id = Uuid::random();
    m.title = title;
    m.action = std::move(action);
    m.relevance = relevance;
    m.type = type;
    return m;
}

TEST(OmniboxRankingTest, TextScoreLevels)
{
    struct Case {
        const char* query;
        const char* candidate;
        int score;
    };
    const Case cases[] = {
        {"news", "news", 320},
        {"news", "newsletter", 240},
        {"news", "bad news", 140},
        {"news", "new", 0},
        {"news", "", 0},
        {"h", "https://example.com/", 240}, // a prefix of the scheme matches every web URL
        {"example", "https://example.com/", 140},
        {"https://example.com/", "https://example.com/", 320},
        {"café", "le café", 140},
    };
    for (const auto& c : cases)
        EXPECT_EQ(textScore(c.query, c.candidate), c.score) << c.query << " in " << c.candidate;
}

TEST(OmniboxRankingTest, ScoringIgnoresLetterCaseOfTheCandidate)
{
    struct Case {
        const char* query; // already lower-cased
        const char* candidate;
        int score;
    };
    const Case cases[] = {
        {"news", "NEWS", 320},
        {"news", "News Today", 240},
        {"news", "Bad NeWs", 140},
        {"news", "NEW", 0},
        {"[a]", "[A]", 320},            // only letters change
        {"@", "`", 0},                  // neighbours of the letter range stay apart
        {"école", "ÉCOLE", 320},
        {"kelvin", "\u212Aelvin", 320}, // the Kelvin sign lower-cases to ASCII k
        {"straße", "STRASSE", 0},       // lower-casing, not folding
        {"é", "CAFÉ", 140},
        {"e", "CAFÉ", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(textScoreIgnoringCase(c.query, c.candidate), c.score) << c.query << " in " << c.candidate;
}

TEST(OmniboxRankingTest, RecordScoreTakesTheBetterOfNameAndAddress)
{
    EXPECT_EQ(recordTextScore("docs", "Docs", url("https://example.com/")), 320);
    EXPECT_EQ(recordTextScore("exa", "Welcome", url("https://example.com/")), 140);
    EXPECT_EQ(recordTextScore("https://ex", "Welcome", url("https://example.com/")), 240);
    EXPECT_EQ(recordTextScore("zzz", "Welcome", url("https://example.com/")), 0);
    // Lower-casing applies to both sides, beyond ASCII too.
    EXPECT_EQ(recordTextScore(lowercased("ÉCOLE"), "École", url("https://example.com/")), 320);
    EXPECT_EQ(recordTextScore("example.com", "x", url("HTTPS://EXAMPLE.COM/")), 140);
}

TEST(OmniboxRankingTest, RecencyBonusSteps)
{
    struct Case {
        double hoursAgo;
        int bonus;
    };
    const Case cases[] = {
        {-5, 90}, {0, 90}, {0.999, 90}, {1, 60}, {23.99, 60}, {24, 30}, {71.99, 30}, {72, 0}, {1000, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(recencyBonus(now.adding(-c.hoursAgo * hour), now), c.bonus) << c.hoursAgo << " hours";
}

TEST(OmniboxRankingTest, NamesFallBackToHostThenUntitled)
{
    EXPECT_EQ(displayName("", url("https://example.com/a")), "example.com");
    EXPECT_EQ(displayName("", url("http://[::1]:8080/")), "::1");
    EXPECT_EQ(displayName("", url("https://b%C3%BCcher.de/")), "bücher.de");
    EXPECT_EQ(place(url("file:///tmp/a.txt")), "file:///tmp/a.txt");
}

TEST(OmniboxRankingTest, RelevanceOfTabsAndHistory)
{
    World world;
    const Tab& exact = world.add(makeTab("news", "https://news.example.org/", now.adding(-0.5 * hour)));
    const Tab& untitled = world.add(makeTab("", "file:///home/me/notes.txt", now.adding(-200 * hour)));
    world.history.push_back(makeVisit("Old", "https://example.com/news/today", now.adding(-100 * hour)));
    world.history.push_back(makeVisit("News of the day", "https://paper.example/", now.adding(-30 * hour)));

    auto tabs = openTabMatches("news", world.sources(), now);
    ASSERT_EQ(tabs.size(), 1u);
    EXPECT_EQ(tabs[0].relevance, 1100 + 320 + 90);
    EXPECT_EQ(tabs[0].type, OmniboxMatchType::openTab);
    EXPECT_EQ(std::get<SwitchToTabAction>(tabs[0].action).tabId, exact.id);
    EXPECT_EQ(tabs[0].subtitle, "news.example.org");
    EXPECT_EQ(tabs[0].url, exact.url);

    auto history = historyURLMatches("news", world.sources(), now);
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].relevance, 900 + 140);      // URL contains it, 100 hours ago
    EXPECT_EQ(history[1].relevance, 900 + 240 + 30); // title begins with it, 30 hours ago
    EXPECT_EQ(history[0].type, OmniboxMatchType::historyURL);
    EXPECT_EQ(std::get<OpenURLAction>(history[0].action).url.string(), "https://example.com/news/today");

    // A nameless tab without a host is called "Untitled" and scored by that word.
    auto nameless = openTabMatches("untit", world.sources(), now);
    ASSERT_EQ(nameless.size(), 1u);
    EXPECT_EQ(nameless[0].title, "Untitled");
    EXPECT_EQ(nameless[0].subtitle, "file:///home/me/notes.txt");
    EXPECT_EQ(std::get<SwitchToTabAction>(nameless[0].action).tabId, untitled.id);
    EXPECT_EQ(nameless[0].relevance, 1100 + 240);

    // "h" begins every web URL, so every web tab is listed at 1340 or more.
    for (int i = 0; i < 5; ++i)
        world.add(makeTab("Page " + std::to_string(i), "https://site" + std::to_string(i) + ".example/",
                          now.adding(-500 * hour)));
    auto all = openTabMatches("h", world.sources(), now);
    EXPECT_EQ(all.size(), 7u);
    for (const auto& m : all) {
        if (m.url->isHttpOrHttps()) {
            EXPECT_GE(m.relevance, 1340) << m.title;
        }
    }
}

TEST(OmniboxRankingTest, HistoryComesFromTheShownSpaceOnly)
{
    World world;
    const Uuid work = Uuid::random();
    world.history.push_back(makeVisit("Report", "https://a.example/report", now, work));
    world.history.push_back(makeVisit("Report draft", "https://b.example/report", now, std::nullopt));
    world.history.push_back(makeVisit("Report other", "https://c.example/report", now, Uuid::random()));

    world.currentSpaceId = work;
    EXPECT_EQ(titles(historyURLMatches("report", world.sources(), now)), std::vector<std::string>{"Report"});
    world.currentSpaceId = std::nullopt;
    EXPECT_EQ(titles(historyURLMatches("report", world.sources(), now)), std::vector<std::string>{"Report draft"});
    EXPECT_EQ(titles(zeroSuggestMatches(world.sources())), std::vector<std::string>{"Report draft"});
}

TEST(OmniboxRankingTest, ZeroSuggestOffersRecentTabsThenRecentHistory)
{
    World world;
    for (int i = 0; i < 8; ++i)
        world.add(makeTab("Tab " + std::to_string(i), "https://t" + std::to_string(i) + ".example/",
                          now.adding(-i * hour)));
    for (int i = 0; i < 7; ++i)
        world.history.push_back(makeVisit("Visit " + std::to_string(i), "https://v" + std::to_string(i) + ".example/",
                                          now.adding(-i * hour)));
    std::reverse(world.history.begin(), world.history.end()); // out of order on purpose

    auto matches = zeroSuggestMatches(world.sources());
    ASSERT_EQ(matches.size(), 11u);
    const std::vector<int> relevances = {800, 780, 760, 740, 720, 700, 700, 685, 670, 655, 640};
    for (std::size_t i = 0; i < matches.size(); ++i) {
        EXPECT_EQ(matches[i].relevance, relevances[i]) << i;
        EXPECT_EQ(matches[i].type, OmniboxMatchType::zeroSuggest);
    }
    EXPECT_EQ(matches[0].title, "Tab 0");
    EXPECT_EQ(matches[5].title, "Tab 5");
    EXPECT_EQ(matches[6].title, "Visit 0");
    EXPECT_EQ(matches[10].title, "Visit 4");
    EXPECT_TRUE(std::holds_alternative<SwitchToTabAction>(matches[0].action));
    EXPECT_TRUE(std::holds_alternative<OpenURLAction>(matches[6].action));

    // The sixth tab and the newest visit tie at 700; the title decides.
    auto sorted = dedupeAndSort(matches);
    EXPECT_EQ(sorted[5].title, "Tab 5");
    EXPECT_EQ(sorted[6].title, "Visit 0");
}

// Regression: the address field offered to switch to the tab it was showing.
TEST(OmniboxRankingTest, TheShownTabIsNeverOfferedAndNoTabTwice)
{
    World world;
    URLParser parser;
    const Tab& shown = world.add(makeTab("Garden", "https://garden.example/", now));
    const Tab& twin = world.add(makeTab("Garden", "https://garden.example/", now.adding(-hour)));
    const Tab& other = world.add(makeTab("Other", "https://other.example/", now.adding(-2 * hour)));
    world.history.push_back(makeVisit("Garden", "https://garden.example/", now));
    world.activeTabId = shown.id;
    auto targets = [](const std::vector<OmniboxMatch>& matches) {
        std::vector<Uuid> ids;
        for (const auto& m : matches)
            if (const auto* tab = std::get_if<SwitchToTabAction>(&m.action))
                ids.push_back(tab->tabId);
        return ids;
    };

    // Editing begins with the shown tab's address as the text.
    auto typed = dedupeAndSort(buildLocalMatches("https://garden.example/", world.sources(), parser, now));
    EXPECT_EQ(targets(typed), std::vector<Uuid>{twin.id});
    auto words = dedupeAndSort(buildLocalMatches("garden", world.sources(), parser, now));
    EXPECT_EQ(targets(words), std::vector<Uuid>{twin.id});
    EXPECT_EQ(targets(zeroSuggestMatches(world.sources())), (std::vector<Uuid>{twin.id, other.id}));

    // The list that arrives with remote suggestions holds the local one again.
    std::vector<OmniboxMatch> merged = words;
    merged.insert(merged.end(), words.begin(), words.end());
    EXPECT_EQ(targets(dedupeAndSort(merged)), std::vector<Uuid>{twin.id});
}

TEST(OmniboxRankingTest, ZeroSuggestKeepsInputOrderForEqualTimes)
{
    World world;
    for (int i = 0; i < 3; ++i)
        world.history.push_back(makeVisit("Same " + std::to_string(i), "https://s" + std::to_string(i) + ".example/", now));
    auto matches = zeroSuggestMatches(world.sources());
    EXPECT_EQ(titles(matches), (std::vector<std::string>{"Same 0", "Same 1", "Same 2"}));
}

TEST(OmniboxRankingTest, LocalListForTextAndForAddresses)
{
    World world;
    URLParser parser;
    world.add(makeTab("Example Domain", "https://example.com/", now));
    world.history.push_back(makeVisit("Example Domain", "https://example.com/", now.adding(-2 * hour)));

    // Ordinary words: tabs, history, then the verbatim search with the text as typed.
    auto words = buildLocalMatches("Example", world.sources(), parser, now);
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[0].type, OmniboxMatchType::openTab);
    EXPECT_EQ(words[1].type, OmniboxMatchType::historyURL);
    EXPECT_EQ(words[2].type, OmniboxMatchType::verbatimSearch);
    EXPECT_EQ(words[2].title, "Search \"Example\"");
    EXPECT_EQ(words[2].subtitle, "Google");
    EXPECT_EQ(std::get<SearchAction>(words[2].action).text, "Example");

    // An address starts with the typed-address match.
    auto address = buildLocalMatches("example.com", world.sources(), parser, now);
    ASSERT_GE(address.size(), 2u);
    EXPECT_EQ(address[0].type, OmniboxMatchType::urlWhatYouTyped);
    EXPECT_EQ(address[0].title, "https://example.com");
    EXPECT_EQ(address[0].subtitle, "Open URL");
    EXPECT_EQ(address[0].relevance, 1300);

    // Empty text is zero suggest.
    auto empty = buildLocalMatches("", world.sources(), parser, now);
    for (const auto& m : empty)
        EXPECT_EQ(m.type, OmniboxMatchType::zeroSuggest);
    EXPECT_EQ(empty.size(), 2u);
}

// Typing an address and pressing Return must open it: ordered by title alone, "Search …"
// would sort before "https://…" and "example.org" and the first row would be a web search.
TEST(OmniboxRankingTest, TypedAddressWinsATieWithTheSearchForTheSameText)
{
    World world;
    URLParser parser;
    for (const char* typed : {"https://example.com", "HTTPS://example.com", "example.org"}) {
        auto sorted = dedupeAndSort(buildLocalMatches(typed, world.sources(), parser, now));
        ASSERT_EQ(sorted.size(), 2u) << typed;
        EXPECT_EQ(sorted[0].type, OmniboxMatchType::urlWhatYouTyped) << typed;
        EXPECT_EQ(sorted[1].type, OmniboxMatchType::verbatimSearch) << typed;
    }
}

TEST(OmniboxRankingTest, DuplicatesKeepTheBetterScoredMatch)
{
    const Url page = url("https://example.com/a");
    const Uuid tab = Uuid::random();
    struct Case {
        const char* name;
        std::vector<OmniboxMatch> input;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"same URL: higher relevance wins",
         {match("older", OpenURLAction{page}, 1000), match("newer", OpenURLAction{page}, 1200)},
         {"newer"}},
        {"same URL and relevance: the earlier stays",
         {match("first", OpenURLAction{page}, 1000), match("second", OpenURLAction{page}, 1000)},
         {"first"}},
        {"searches collapse across letter case",
         {match("Search \"Cats\"", SearchAction{"Cats"}, 1300), match("cats", SearchAction{"cats"}, 800)},
         {"Search \"Cats\""}},
        {"a tab and a visit of the same page both stay",
         {match("Tab", SwitchToTabAction{tab}, 1200), match("Visit", OpenURLAction{page}, 1000)},
         {"Tab", "Visit"}},
        {"the same tab twice is one entry",
         {match("A", SwitchToTabAction{tab}, 1200), match("B", SwitchToTabAction{tab}, 1300)},
         {"B"}},
        {"a URL that reads like a search key is still its own destination",
         {match("search:x", OpenURLAction{url("search:x")}, 1300), match("x", SearchAction{"x"}, 800)},
         {"search:x", "x"}},
        {"URL texts are compared exactly",
         {match("lower", OpenURLAction{url("https://example.com/A")}, 900),
          match("upper", OpenURLAction{url("https://example.com/a")}, 900)},
         {"lower", "upper"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(titles(dedupeAndSort(c.input)), c.expected) << c.name;
}

TEST(OmniboxRankingTest, SortByRelevanceThenTitleCodePoints)
{
    std::vector<OmniboxMatch> input = {
        match("banana", SearchAction{"1"}, 900),
        match("Banana", SearchAction{"2"}, 900),
        match("apple", SearchAction{"3"}, 900),
        match("zebra", SearchAction{"4"}, 1500),
        match("Ärger", SearchAction{"5"}, 900),
        match("low", SearchAction{"6"}, 100),
        match("", SearchAction{"7"}, 900),
    };
    EXPECT_EQ(titles(dedupeAndSort(input)),
              (std::vector<std::string>{"zebra", "", "Banana", "apple", "banana", "Ärger", "low"}));
}

TEST(OmniboxRankingTest, RemoteSuggestionsRankBelowLocalMatches)
{
    auto matches = searchSuggestionMatches({"one", "two", "", "four", "five", "six", "seven"});
    ASSERT_EQ(matches.size(), 6u);
    const std::vector<int> relevances = {800, 780, 760, 740, 720, 700};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(matches[i].relevance, relevances[i]);
        EXPECT_EQ(matches[i].type, OmniboxMatchType::searchSuggestion);
        EXPECT_EQ(matches[i].subtitle, "Search suggestion");
        EXPECT_FALSE(matches[i].url);
    }
    EXPECT_EQ(std::get<SearchAction>(matches[2].action).text, ""); // used as received

    // A suggestion equal to the typed text collapses into the verbatim search.
    std::vector<OmniboxMatch> merged = {verbatimSearchMatch("Weather")};
    auto remote = searchSuggestionMatches({"weather", "weather tomorrow"});
    merged.insert(merged.end(), remote.begin(), remote.end());
    auto sorted = dedupeAndSort(merged);
    EXPECT_EQ(titles(sorted), (std::vector<std::string>{"Search \"Weather\"", "weather tomorrow"}));
    EXPECT_EQ(sorted[1].relevance, 780);
}

} // namespace
} // namespace kovi
