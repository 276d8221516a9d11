// The horizontal-tab layout with a space of 200 tabs (10 pinned). Measures building the tab
// strip, the main-thread work that reflects one tab's title change and one tab's move (from the
// state's change signal to the strip's new layout), and switching the window content between
// the two layouts (the new layout built and laid out, the old one destroyed). Needs a display:
// run it under scripts/headless.
#include "core/app/browser_core.h"
#include "core/state/browser_state.h"
#include "support/temp_dir.h"
#include "ui/layouts/content_view.h"
#include "ui/base/app_context.h"
#include "ui/design/theme.h"
#include "ui/layouts/traditional_browser_view.h"
#include "ui/layouts/traditional_tab_bar.h"

#include <benchmark/benchmark.h>
#include <gtk/gtk.h>

#include <chrono>
#include <memory>

namespace kovi {
namespace {

struct Fixture {
    Fixture()
    {
        for (int i = 0; i < 200; ++i) {
            Tab tab(Uuid::random(), *Url::parse("https://site" + std::to_string(i) + ".example/page"),
                    "Page number " + std::to_string(i), i < 10, false, state->currentSpaceId(), std::nullopt);
            state->addTab(tab);
            ids.push_back(tab.id);
        }
    }

    test::TempDir dir;
    BrowserCore core{{.dataDirectory = dir.path(),
                      .defaultsPath = dir.file("defaults.json"),
                      .updateFeedUrl = "http://127.0.0.1:9/"}};
    BrowserState* state = &core.state();
    Theme theme{core.appearance()};
    AppContext ctx = AppContext::of(core, theme);
    std::vector<Uuid> ids;
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void layout(Gtk::Widget& view, int width = 1280, int height = 38)
{
    int minimum = 0, natural = 0, mb = 0, nb = 0;
    view.measure(Gtk::Orientation::HORIZONTAL, -1, minimum, natural, mb, nb);
    view.measure(Gtk::Orientation::VERTICAL, width, minimum, natural, mb, nb);
    view.size_allocate(Gtk::Allocation(0, 0, width, std::max(natural, height)), -1);
}

using Clock = std::chrono::steady_clock;
double seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void BuildStrip(benchmark::State& s)
{
    Fixture& f = fixture();
    for (auto _ : s) {
        auto start = Clock::now();
        auto bar = std::make_unique<TraditionalTabBar>(*f.state);
        layout(*bar);
        s.SetIterationTime(seconds(start));
        bar.reset();
    }
}

// Times from the state's change signal (a slot connected ahead of the strip's) to the end of
// the strip's layout: the state's own work, its file write included, is not the strip's.
template <class Change>
void TimeChange(benchmark::State& s, sigc::signal<void()>& signal, Change change)
{
    Fixture& f = fixture();
    Clock::time_point start;
    start = Clock::now();
    auto probe = signal.connect([&start] { start = Clock::now(); });
    auto bar = std::make_unique<TraditionalTabBar>(*f.state);
    layout(*bar);
    static int n = 0; // across runs: every change must be a real one
    for (auto _ : s) {
        change(n++);
        layout(*bar);
        s.SetIterationTime(seconds(start));
    }
    probe.disconnect();
}

void TitleChange(benchmark::State& s)
{
    Fixture& f = fixture();
    TimeChange(s, f.state->tabsChanged,
               [&f](int n) { f.state->updateTabTitle(f.ids[100], "Changed title " + std::to_string(n)); });
}

void TabMove(benchmark::State& s)
{
    // Back and forth between the start and the end of the normal tabs.
    Fixture& f = fixture();
    TimeChange(s, f.state->spacesChanged, [&f](int n) {
        if (n % 2 == 0)
            f.state->reorderTab(f.ids[199], f.ids[10]);
        else
            f.state->reorderTab(f.ids[10], f.ids[199]);
    });
}

void SwitchLayouts(benchmark::State& s, bool toHorizontal)
{
    Fixture& f = fixture();
    for (auto _ : s) {
        std::unique_ptr<Gtk::Widget> old;
        if (toHorizontal)
            old = std::make_unique<ContentView>(f.ctx, defaultViewSlots());
        else
            old = std::make_unique<TraditionalBrowserView>(f.ctx, defaultViewSlots());
        layout(*old, 1280, 820);
        auto start = Clock::now();
        std::unique_ptr<Gtk::Widget> next;
        if (toHorizontal)
            next = std::make_unique<TraditionalBrowserView>(f.ctx, defaultViewSlots());
        else
            next = std::make_unique<ContentView>(f.ctx, defaultViewSlots());
        layout(*next, 1280, 820);
        old.reset();
        s.SetIterationTime(seconds(start));
    }
}

BENCHMARK(BuildStrip)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(TitleChange)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(TabMove)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK_CAPTURE(SwitchLayouts, toHorizontal, true)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(SwitchLayouts, toSidebar, false)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
} // namespace kovi
