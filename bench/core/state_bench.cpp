// Costs of the browser state's whole-file writes: saving browser_state.json, starting up from
// it, and one tab activation end to end (which rewrites history.json and browser_state.json).

#include "core/app/browser_core.h"
#include "core/state/browser_state.h"
#include "core/state/persisted_state.h"
#include "core/support/files.h"
#include "support/temp_dir.h"

#include <benchmark/benchmark.h>

#include <random>

namespace kovi {
namespace {

constexpr int spaceCount = 10;
constexpr int tabsPerSpace = 50;
constexpr std::size_t faviconBytes = 4096;

Bytes randomBytes(std::mt19937& random, std::size_t size)
{
    Bytes bytes(size);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(random());
    return bytes;
}

// Writes a browser_state.json with 500 tabs in 10 spaces (and, when asked, 4 KB favicons) and,
// optionally, a history of 1,000 visits with favicons.
void writeFixture(const std::string& folder, bool favicons, bool history)
{
    std::mt19937 random(42);
    std::unordered_map<Uuid, Tab> tabs;
    std::vector<Space> spaces;
    for (int s = 0; s < spaceCount; ++s) {
        Space space{Uuid::random(), "Space " + std::to_string(s), SpaceColor::blue, "globe", {}, {}, std::nullopt,
                    Date::now()};
        for (int t = 0; t < tabsPerSpace; ++t) {
            Tab tab(Uuid::random(),
                    *Url::parse("https://site" + std::to_string(s * tabsPerSpace + t) + ".example.com/some/path?q=1"),
                    "A page title of ordinary length, number " + std::to_string(t), false, false, space.id,
                    std::nullopt);
            if (favicons)
                tab.favicon = randomBytes(random, faviconBytes);
            space.tabOrder.push_back(tab.id);
            space.sidebarOrder.push_back(SidebarItem::tab(tab.id));
            tabs.insert_or_assign(tab.id, std::move(tab));
        }
        spaces.push_back(std::move(space));
    }
    std::optional<Uuid> active = spaces[0].tabOrder[0];
    auto written = files::writeAtomically(
        files::join(folder, BrowserState::stateFileName),
        json::dump(toJson(PersistedState{{tabs.begin(), tabs.end()}, std::nullopt, spaces, spaces[0].id, active})));
    if (!written)
        throw std::runtime_error(written.error().message);

    if (history) {
        Json array = Json::array();
        for (int i = 0; i < 1000; ++i) {
            HistoryItem item{Uuid::random(), *Url::parse("https://visited" + std::to_string(i) + ".example.org/article"),
                             "Visited page " + std::to_string(i), Date::now().adding(-i), randomBytes(random, faviconBytes),
                             spaces[0].id};
            array.push_back(toJson(item));
        }
        (void)files::writeAtomically(files::join(folder, BrowserState::historyFileName), json::dump(array));
    }
}

struct Environment {
    test::TempDir dir;
    // The core on the fixture's folder, settings in memory.
    BrowserCore::Options options() const
    {
        return {.dataDirectory = dir.path(), .defaultsPath = "", .updateFeedUrl = "http://127.0.0.1:9/"};
    }
};

void BM_SaveState(benchmark::State& run)
{
    Environment env;
    writeFixture(env.dir.path(), run.range(0) != 0, false);
    BrowserCore core(env.options());
    BrowserState& state = core.state();
    for (auto _ : run)
        state.saveState();
    run.counters["file_KB"] = static_cast<double>(env.dir.read(BrowserState::stateFileName).size()) / 1024;
}
BENCHMARK(BM_SaveState)->ArgName("favicons")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_StartUp(benchmark::State& run)
{
    Environment env;
    writeFixture(env.dir.path(), run.range(0) != 0, run.range(0) != 0);
    for (auto _ : run) {
        BrowserCore core(env.options());
        benchmark::DoNotOptimize(core.state().tabs().size());
    }
}
BENCHMARK(BM_StartUp)->ArgName("favicons")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One activation: stamp, history visit (history.json of 1,000 entries with favicons rewritten)
// and browser_state.json rewritten.
void BM_TabActivation(benchmark::State& run)
{
    Environment env;
    writeFixture(env.dir.path(), true, true);
    BrowserCore core(env.options());
    BrowserState& state = core.state();
    const auto& order = state.spaces()[0].tabOrder;
    Uuid first = order[1];
    Uuid second = order[2];
    bool flip = false;
    for (auto _ : run) {
        state.setActiveTabId(flip ? first : second);
        flip = !flip;
    }
    run.counters["history_KB"] = static_cast<double>(env.dir.read(BrowserState::historyFileName).size()) / 1024;
}
BENCHMARK(BM_TabActivation)->Unit(benchmark::kMillisecond);

// The parts of one activation on their own.
void BM_HistoryWrite(benchmark::State& run)
{
    Environment env;
    writeFixture(env.dir.path(), true, true);
    BrowserCore core(env.options());
    BrowserState& state = core.state();
    for (auto _ : run)
        state.saveHistory();
}
BENCHMARK(BM_HistoryWrite)->Unit(benchmark::kMillisecond);

void BM_StateEncodeOnly(benchmark::State& run)
{
    Environment env;
    writeFixture(env.dir.path(), true, false);
    BrowserCore core(env.options());
    BrowserState& state = core.state();
    const PersistedState records{{state.tabs().begin(), state.tabs().end()},
                                 std::vector<std::pair<Uuid, TabFolder>>{state.folders().begin(), state.folders().end()},
                                 state.spaces(), state.currentSpaceId(), state.activeTabId()};
    for (auto _ : run) {
        std::string text = json::dump(toJson(records));
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_StateEncodeOnly)->Unit(benchmark::kMillisecond);

void BM_AtomicWriteOnly(benchmark::State& run)
{
    Environment env;
    std::string text(static_cast<std::size_t>(run.range(0)) * 1024, 'x');
    for (auto _ : run)
        (void)files::writeAtomically(env.dir.file("blob.json"), text);
}
BENCHMARK(BM_AtomicWriteOnly)->ArgName("KB")->Arg(2800)->Arg(5500)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kovi

BENCHMARK_MAIN();
