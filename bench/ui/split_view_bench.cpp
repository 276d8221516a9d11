// Scripted measurement of split view in the real main window, two local pages loaded: the
// main-thread work of entering split view and of moving the divider, frame by frame. For each
// change: the work done synchronously where the change is made (the state's observers, views
// built), and the work of every frame drawn in the following 300 ms (update, layout, paint: from
// the frame clock's before-paint to its after-paint). Work is the main thread's CPU time,
// so other programs on the machine do not inflate it; wall time is printed beside it. Also counts
// page requests made while entering and leaving (0: no reloads). Run with a private HOME/XDG (it
// writes a profile):
//   HOME=$(mktemp -d) scripts/headless build/…/kovi_split_view_bench [--screenshots DIR]
#include "core/settings/appearance_manager.h"
#include "core/settings/auth_manager.h"
#include "core/state/browser_state.h"
#include "support/loopback_server.h"
#include "support/main_loop.h"
#include "ui/app/kovi_application.h"
#include "ui/app/main_window.h"
#include "ui/base/app_context.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

using namespace kovi;
using Steady = std::chrono::steady_clock;

namespace {

double ms(Steady::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// CPU time of the calling thread, in ms.
double threadMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

// Main-thread time spent inside each frame of the window's frame clock.
class FrameWatch {
public:
    explicit FrameWatch(GtkWidget* widget) : m_clock(gtk_widget_get_frame_clock(widget))
    {
        m_begin = g_signal_connect(m_clock, "before-paint", G_CALLBACK(+[](GdkFrameClock*, gpointer self) {
                                       auto* watch = static_cast<FrameWatch*>(self);
                                       watch->m_start = Steady::now();
                                       watch->m_cpuStart = threadMs();
                                       watch->m_inFrame = true;
                                   }), this);
        m_end = g_signal_connect(m_clock, "after-paint", G_CALLBACK(+[](GdkFrameClock*, gpointer self) {
                                     auto* watch = static_cast<FrameWatch*>(self);
                                     if (!watch->m_inFrame)
                                         return;
                                     watch->m_inFrame = false;
                                     watch->frames.push_back(threadMs() - watch->m_cpuStart);
                                     watch->wallFrames.push_back(ms(Steady::now() - watch->m_start));
                                 }), this);
    }
    ~FrameWatch()
    {
        g_signal_handler_disconnect(m_clock, m_begin);
        g_signal_handler_disconnect(m_clock, m_end);
    }
    std::vector<double> frames;     // main-thread CPU time
    std::vector<double> wallFrames; // wall time

private:
    GdkFrameClock* m_clock;
    gulong m_begin = 0, m_end = 0;
    Steady::time_point m_start = Steady::now();
    double m_cpuStart = 0;
    bool m_inFrame = false;
};

struct Figures {
    std::vector<double> sync;       // per change
    std::vector<double> frames;     // every frame after a change
    std::vector<double> worstSum;   // per change: its synchronous work plus its costliest frame
    std::vector<double> wallSync;   // the same in wall time
    std::vector<double> wallFrames;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double maximum(const std::vector<double>& v)
{
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

void print(const char* what, const Figures& f)
{
    std::printf("%s: main-thread work of the change median %.2f ms, max %.2f ms; of each frame median %.2f ms, "
                "max %.2f ms (%zu frames); change plus its costliest frame max %.2f ms\n"
                "    wall time: change median %.2f ms, frames median %.2f ms, max %.2f ms\n",
                what, median(f.sync), maximum(f.sync), median(f.frames), maximum(f.frames), f.frames.size(),
                maximum(f.worstSum), median(f.wallSync), median(f.wallFrames), maximum(f.wallFrames));
}

// Makes one change and watches the frames of the next `settleMs`.
void measure(GtkWidget* window, Figures& figures, const std::function<void()>& change, int settleMs = 300)
{
    FrameWatch watch(window);
    const auto start = Steady::now();
    const double cpuStart = threadMs();
    change();
    const double sync = threadMs() - cpuStart;
    figures.wallSync.push_back(ms(Steady::now() - start));
    test::runUntil([] { return false; }, settleMs / 1000.0);
    figures.sync.push_back(sync);
    figures.frames.insert(figures.frames.end(), watch.frames.begin(), watch.frames.end());
    figures.wallFrames.insert(figures.wallFrames.end(), watch.wallFrames.begin(), watch.wallFrames.end());
    figures.worstSum.push_back(sync + maximum(watch.frames));
}

} // namespace

int main(int argc, char** argv)
{
    std::string shots;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--screenshots")
            shots = argv[i + 1];

    test::LoopbackServer server;
    server.on("/page", [](const test::LoopbackServer::Request& request) {
        test::LoopbackServer::Reply reply;
        reply.contentType = "text/html; charset=utf-8";
        std::string body;
        for (int i = 0; i < 60; ++i)
            body += "<p>Paragraph " + std::to_string(i) + " of a local page, with enough text to wrap at narrow "
                    "widths so that a resize has real layout work to do in the page.</p>";
        reply.body = "<!doctype html><html><head><meta charset=utf-8><title>Page " + request.query
            + "</title></head><body style='font:15px sans-serif;margin:24px'><h1>Page " + request.query + "</h1>"
            + body + "</body></html>";
        return reply;
    });

    KoviApplication::Options options;
    options.startupUpdateCheck = false;
    options.nonUnique = true;
    options.updateFeedUrl = "http://127.0.0.1:9/";
    auto app = KoviApplication::create(std::move(options));
    app->register_application();
    app->activate();
    AppContext& ctx = app->context();
    ctx.auth.continueAsGuest();
    app->mainWindow()->rootView().setHasCompletedOnboarding(true);
    ctx.appearance.setIsDarkMode(false);
    BrowserState& state = ctx.state;
    GtkWidget* window = GTK_WIDGET(app->mainWindow()->gobj());

    auto loaded = [&](const Uuid& id) {
        auto t = state.tab(id);
        return t && !t->isLoading && t->loadingProgress == 1.0;
    };
    std::vector<Uuid> tabs;
    for (int n = 0; n < 2; ++n) {
        Tab tab(Uuid::random(), *Url::parse(server.url("/page?" + std::to_string(n))), std::nullopt, false, false,
                state.currentSpaceId(), std::nullopt);
        state.addTab(tab);
        if (!test::runUntil([&] { return loaded(tab.id); }, 30))
            std::fprintf(stderr, "tab %d did not load\n", n);
        tabs.push_back(tab.id);
    }
    test::runUntil([] { return false; }, 1.0);

    const std::size_t requests = server.requests().size();
    Figures enter, leave;
    for (int round = 0; round < 15; ++round) {
        measure(window, enter, [&] { state.toggleSplitView(); }, 500);
        measure(window, leave, [&] { state.toggleSplitView(); }, 500);
    }
    print("enter split view", enter);
    print("leave split view", leave);
    std::printf("page requests while entering and leaving 15 times: %zu\n", server.requests().size() - requests);

    // The divider, as a drag moves it: one ratio per frame across the range and back.
    state.toggleSplitView();
    test::runUntil([] { return false; }, 0.8);
    Figures drag;
    for (int step = 0; step < 120; ++step) {
        const double t = step < 60 ? step / 59.0 : (119 - step) / 59.0;
        measure(window, drag, [&] { state.setSplitRatio(0.2 + 0.6 * t); }, 17);
    }
    print("move the divider (one step per frame)", drag);
    if (!shots.empty()) {
        state.setSplitRatio(0.5);
        test::runUntil([] { return false; }, 0.8);
        std::string command = "import -window root '" + shots + "/split-bench.png'";
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "capture failed\n");
    }

    app->mainWindow()->hide();
    test::drainMainLoop();
    app.reset();
    test::drainMainLoop();
    return 0;
}
