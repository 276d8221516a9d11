// The library sheet with 10,000 saved pages and the history panel with 1,000 visits: how long
// they take to open (built, shown and first drawn) and how long one search keystroke takes until
// the list is drawn again. Needs a display: run it under scripts/headless.
#include "core/app/browser_core.h"
#include "core/library/browser_library.h"
#include "core/state/browser_state.h"
#include "support/temp_dir.h"
#include "ui/design/theme.h"
#include "ui/library/history_panel.h"
#include "ui/library/library_sheet.h"

#include <benchmark/benchmark.h>
#include <gtk/gtk.h>
#include <gtkmm/window.h>

#include <chrono>
#include <fstream>
#include <memory>

namespace kovi {
namespace {

using Clock = std::chrono::steady_clock;
double seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Runs the main loop until the window has drawn a frame after this call.
void waitForFrame(Gtk::Window& window)
{
    bool painted = false;
    GdkFrameClock* clock = gtk_widget_get_frame_clock(GTK_WIDGET(window.gobj()));
    gulong handler = 0;
    if (clock) {
        handler = g_signal_connect_swapped(clock, "after-paint", G_CALLBACK(+[](bool* done) { *done = true; }),
                                           &painted);
        gtk_widget_queue_draw(GTK_WIDGET(window.gobj()));
    }
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while ((!clock || !painted) && Clock::now() < deadline) {
        g_main_context_iteration(nullptr, TRUE);
        if (!clock && (clock = gtk_widget_get_frame_clock(GTK_WIDGET(window.gobj())))) {
            handler = g_signal_connect_swapped(clock, "after-paint",
                                               G_CALLBACK(+[](bool* done) { *done = true; }), &painted);
        }
    }
    if (clock && handler)
        g_signal_handler_disconnect(clock, handler);
}

// Lets the frame clock rest, so the next frame is not held back by the last one's pacing.
void rest()
{
    const auto until = Clock::now() + std::chrono::milliseconds(40);
    while (Clock::now() < until)
        g_main_context_iteration(nullptr, FALSE);
}

struct Fixture {
    Fixture()
    {
        writeLibrary();
        core = std::make_unique<BrowserCore>(BrowserCore::Options{.dataDirectory = dir.path(), .defaultsPath = "", .updateFeedUrl = "http://127.0.0.1:9/"});
        library = &core->library();
        state = &core->state();
        theme = std::make_unique<Theme>(core->appearance());
        std::vector<HistoryItem> visits;
        const Date now = Date::now();
        for (int i = 0; i < 1000; ++i) {
            // Spread over four days, so all three day sections show.
            visits.push_back(HistoryItem{Uuid::random(),
                                         *Url::parse("https://site" + std::to_string(i) + ".example/article"),
                                         "A visited page about topic " + std::to_string(i), now.adding(-345.6 * i),
                                         std::nullopt, state->currentSpaceId()});
        }
        state->setHistory(std::move(visits));
    }

    // 10,000 bookmarks written as a library file (saving them one by one rewrites the file each
    // time).
    void writeLibrary()
    {
        std::ofstream out(dir.file(BrowserLibrary::fileName));
        out << R"({"version":1,"workspaces":[],"pages":[)";
        for (int i = 0; i < 10000; ++i) {
            out << (i ? "," : "") << R"({"id":")" << Uuid::random().toString() << R"(","url":"https://site)" << i
                << R"(.example/a/long/path?q=)" << i << R"(","title":"Saved page number )" << i
                << R"( about cooking","collection":")" << (i % 4 ? "Bookmarks" : "Reading List")
                << R"(","isRead":false,"createdAt":725760000})";
        }
        out << "]}";
    }

    test::TempDir dir;
    std::unique_ptr<BrowserCore> core;
    BrowserLibrary* library = nullptr;
    BrowserState* state = nullptr;
    std::unique_ptr<Theme> theme;
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void OpenLibrarySheet(benchmark::State& s)
{
    Fixture& f = fixture();
    if (f.library->archive().pages.size() != 10000)
        s.SkipWithError("library not loaded");
    double building = 0;
    for (auto _ : s) {
        auto start = Clock::now();
        auto sheet = std::make_unique<LibrarySheet>(*f.library, *f.state, *f.theme);
        building += seconds(start);
        sheet->present();
        waitForFrame(*sheet);
        s.SetIterationTime(seconds(start));
        sheet->hide();
        sheet.reset();
        rest();
    }
    // The rest of the time is the new window's first frame.
    s.counters["build_ms"] = benchmark::Counter(building * 1000 / static_cast<double>(s.iterations()));
}

void SearchKeystroke(benchmark::State& s)
{
    Fixture& f = fixture();
    LibrarySheet sheet(*f.library, *f.state, *f.theme);
    sheet.present();
    waitForFrame(sheet);
    const char* queries[] = {"c", "co", "coo", "cook", "9", "99", "999", "site12", ""};
    std::size_t n = 0;
    double updating = 0;
    for (auto _ : s) {
        rest();
        auto start = Clock::now();
        sheet.searchEntry().set_text(queries[n++ % std::size(queries)]);
        updating += seconds(start);
        waitForFrame(sheet);
        s.SetIterationTime(seconds(start));
    }
    sheet.hide();
    // Filtering and rebinding the rows in view; the rest is laying out and drawing the frame.
    s.counters["update_ms"] = benchmark::Counter(updating * 1000 / static_cast<double>(s.iterations()));
}

void OpenHistoryPanel(benchmark::State& s)
{
    Fixture& f = fixture();
    Gtk::Window window;
    window.set_default_size(600, 600);
    window.present();
    waitForFrame(window);
    for (auto _ : s) {
        rest();
        auto start = Clock::now();
        auto* panel = Gtk::make_managed<HistoryPanel>(*f.state);
        window.set_child(*panel);
        waitForFrame(window);
        s.SetIterationTime(seconds(start));
        window.unset_child();
    }
    window.hide();
}

BENCHMARK(OpenLibrarySheet)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(SearchKeystroke)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(90);
BENCHMARK(OpenHistoryPanel)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

} // namespace
} // namespace kovi
