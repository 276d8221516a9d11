// One keystroke's local suggestions in a busy profile: 200 open tabs and a full history of
// 1,000 visits, all in the shown space (the engine scans every one of them on each keystroke).

#include "core/commandbar/command_bar_view_model.h"
#include "core/commandbar/omnibox_engine.h"
#include "core/commandbar/omnibox_ranking.h"
#include "core/support/http_client.h"
#include "core/support/http_session.h"

#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>
#include <vector>

namespace kovi {
namespace {

const Date now(725760000.0);
const char* topics[] = {"gardening", "weather", "recipes", "football", "linux", "history", "music", "travel"};

struct Profile {
    std::unordered_map<Uuid, Tab> tabs;
    std::vector<HistoryItem> history;
    Uuid space = Uuid::random();

    Profile()
    {
        const Bytes favicon(1500, 0x42); // a typical small PNG
        for (int i = 0; i < 200; ++i) {
            const std::string topic = topics[i % 8];
            Tab tab(Uuid::random(),
                    *Url::parse("https://www.site" + std::to_string(i % 40) + ".example/" + topic + "/article-"
                                + std::to_string(i) + "?ref=home"),
                    "Article " + std::to_string(i) + " about " + topic + " - Example News", false, false, space,
                    std::nullopt);
            tab.lastAccessedAt = now.adding(-i * 1800.0);
            if (i % 2 == 0)
                tab.favicon = favicon;
            tabs.emplace(tab.id, tab);
        }
        for (int i = 0; i < 1000; ++i) {
            const std::string topic = topics[i % 8];
            HistoryItem item{Uuid::random(),
                             *Url::parse("https://news" + std::to_string(i % 97) + ".example/" + topic + "/story/"
                                         + std::to_string(i)),
                             "Story " + std::to_string(i) + ": the latest on " + topic, now.adding(-i * 600.0),
                             i % 3 == 0 ? std::optional<Bytes>(favicon) : std::nullopt, space};
            history.push_back(item);
        }
    }

    omnibox::Sources sources() const { return {tabs, history, space}; }
};

const Profile& profile()
{
    static const Profile p;
    return p;
}

void localSuggestions(benchmark::State& state, const std::string& text)
{
    const Profile& p = profile();
    const URLParser parser;
    const auto sources = p.sources();
    std::size_t count = 0;
    for (auto _ : state) {
        auto matches = omnibox::dedupeAndSort(omnibox::buildLocalMatches(text, sources, parser, now));
        count = matches.size();
        benchmark::DoNotOptimize(matches);
    }
    state.counters["matches"] = static_cast<double>(count);
}

// A word that matches about one record in eight.
void BM_LocalSuggestions_Word(benchmark::State& state) { localSuggestions(state, "garden"); }
// A word that matches nothing: the pure scanning cost.
void BM_LocalSuggestions_NoMatch(benchmark::State& state) { localSuggestions(state, "zqxj"); }
// "h" begins every URL, so all 1,200 records become matches: the worst case.
void BM_LocalSuggestions_EveryRecord(benchmark::State& state) { localSuggestions(state, "h"); }
// Non-ASCII text takes the full Unicode lower-casing path for the query.
void BM_LocalSuggestions_Unicode(benchmark::State& state) { localSuggestions(state, "über"); }
void BM_ZeroSuggest(benchmark::State& state) { localSuggestions(state, ""); }

// The engine's own synchronous part for an address (no remote request is made for one).
void BM_EngineUpdate_Address(benchmark::State& state)
{
    const Profile& p = profile();
    HttpSession session;
    HttpClient http(session);
    OmniboxEngine engine(http, "http://127.0.0.1:9");
    const auto sources = p.sources();
    for (auto _ : state)
        engine.update({"site1.example/garden", OmniboxEventType::keystroke}, sources,
                      [](std::vector<OmniboxMatch> matches) { benchmark::DoNotOptimize(matches); });
}

// The command bar's list for a word, over the same 200 tabs.
void BM_CommandBarSearch_Word(benchmark::State& state)
{
    const Profile& p = profile();
    CommandBarViewModel model;
    const auto tabs = CommandBarViewModel::tabList(p.tabs, std::nullopt);
    const std::vector<Space> spaces(5);
    const std::vector<SavedPage> pages;
    for (auto _ : state)
        benchmark::DoNotOptimize(model.search("garden", tabs, spaces, pages));
}

BENCHMARK(BM_LocalSuggestions_Word)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LocalSuggestions_NoMatch)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LocalSuggestions_EveryRecord)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LocalSuggestions_Unicode)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZeroSuggest)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EngineUpdate_Address)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CommandBarSearch_Word)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace kovi

BENCHMARK_MAIN();
