// The sidebar with a large space: 300 tabs, 20 folders. Measures building the sidebar, and the
// main-thread work that reflects one tab's title change and one tab's move (the sidebar's own
// refresh, and that refresh plus the list's new layout). Needs a display: run it under
// scripts/headless.
#include "core/app/browser_core.h"
#include "core/settings/appearance_manager.h"
#include "core/state/browser_state.h"
#include "core/support/notification_center.h"
#include "support/temp_dir.h"
#include "ui/base/sidebar_host.h"
#include "ui/design/theme.h"
#include "ui/sidebar/sidebar_view.h"

#include <benchmark/benchmark.h>
#include <gtk/gtk.h>
#include <gtkmm/window.h>

#include <chrono>
#include <memory>

namespace kovi {
namespace {

struct Fixture {
    Fixture()
    {
        for (int i = 0; i < 300; ++i) {
            Tab tab(Uuid::random(), *Url::parse("https://site" + std::to_string(i) + ".example/page"),
                    "Page number " + std::to_string(i), false, false, state->currentSpaceId(), std::nullopt);
            state->addTab(tab);
            ids.push_back(tab.id);
        }
        for (int f = 0; f < 20; ++f) // five tabs in each folder
            state->createFolder("Folder " + std::to_string(f),
                                std::vector<Uuid>(ids.begin() + 200 + f * 5, ids.begin() + 205 + f * 5));
    }

    test::TempDir dir;
    BrowserCore core{{.dataDirectory = dir.path(),
                      .defaultsPath = dir.file("defaults.json"),
                      .updateFeedUrl = "http://127.0.0.1:9/"}};
    BrowserState* state = &core.state();
    AppearanceManager* appearance = &core.appearance();
    SidebarHost host;
    std::vector<Uuid> ids;
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

SidebarView* makeView(Fixture& f)
{
    SidebarServices services{*f.state, *f.appearance, f.core.notifications(), f.core.http()};
    services.suggestionBaseUrl = "http://127.0.0.1:9";
    return new SidebarView(std::move(services), f.host);
}

void layout(Gtk::Widget& view)
{
    int minimum = 0, natural = 0, mb = 0, nb = 0;
    view.measure(Gtk::Orientation::VERTICAL, 280, minimum, natural, mb, nb);
    view.size_allocate(Gtk::Allocation(0, 0, 280, std::max(natural, 900)), -1);
}

using Clock = std::chrono::steady_clock;
double seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void BuildSidebar(benchmark::State& s)
{
    Fixture& f = fixture();
    for (auto _ : s) {
        auto start = Clock::now();
        std::unique_ptr<SidebarView> view(makeView(f));
        layout(*view);
        s.SetIterationTime(seconds(start));
        view.reset();
    }
}

void TitleChange(benchmark::State& s, bool withLayout)
{
    Fixture& f = fixture();
    std::unique_ptr<SidebarView> view(makeView(f));
    layout(*view);
    int n = 0;
    for (auto _ : s) {
        f.state->updateTabTitle(f.ids[50], "Changed title " + std::to_string(n++));
        auto start = Clock::now();
        view->flushRefresh();
        if (withLayout)
            layout(*view);
        s.SetIterationTime(seconds(start));
    }
}

void TabMove(benchmark::State& s, bool withLayout)
{
    Fixture& f = fixture();
    std::unique_ptr<SidebarView> view(makeView(f));
    layout(*view);
    bool down = true;
    for (auto _ : s) {
        // Back and forth between the top and the bottom of the list; the state's own work
        // (including its file write) is not the sidebar's and is left out.
        f.state->moveTab(f.ids[10], down ? 215 : 0);
        down = !down;
        auto start = Clock::now();
        view->flushRefresh();
        if (withLayout)
            layout(*view);
        s.SetIterationTime(seconds(start));
    }
}

BENCHMARK(BuildSidebar)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(TitleChange, refresh, false)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TitleChange, refreshAndLayout, true)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TabMove, refresh, false)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK_CAPTURE(TabMove, refreshAndLayout, true)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace
} // namespace kovi
