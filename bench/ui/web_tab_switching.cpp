// Scripted measurement of the page layer on local pages: time from addTab to the end of the
// first load, main-thread cost of switching to a loaded tab, and resident memory of the UI
// process and its web processes with 1, 10 and 30 tabs open. With --screenshots DIR it also
// captures the page, the error overlay, the zoom badge and the extensions sheet.
//   scripts/headless build/…/kovi_web_tab_switching [--screenshots DIR]
#include "core/app/browser_core.h"
#include "core/settings/appearance_manager.h"
#include "core/state/browser_state.h"
#include "core/support/notification_center.h"
#include "core/support/notification_names.h"
#include "core/web/page_extension_store.h"
#include "support/loopback_server.h"
#include "support/main_loop.h"
#include "support/temp_dir.h"
#include "ui/design/theme.h"
#include "ui/web/extensions_view.h"
#include "ui/web/web_content.h"
#include "ui/web/web_view_container.h"

#include <gtkmm/init.h>
#include <gtkmm/window.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <iostream>
#include <sstream>
#include <unistd.h>

using namespace kovi;
using Steady = std::chrono::steady_clock;

namespace {

double ms(Steady::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// kB of one process: resident set and proportional set (shared pages divided among users).
std::pair<long, long> memoryOf(int pid)
{
    long rss = 0, pss = 0;
    std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string line;
    while (std::getline(rollup, line)) {
        std::istringstream in(line);
        std::string key;
        long value = 0;
        in >> key >> value;
        if (key == "Rss:")
            rss = value;
        else if (key == "Pss:")
            pss = value;
    }
    return {rss, pss};
}

struct ChildMemory {
    int processes = 0;
    long rss = 0, pss = 0;
};

// Every process whose parent is this one (the engine's web and network processes).
ChildMemory childMemory()
{
    ChildMemory out;
    int self = getpid();
    DIR* proc = opendir("/proc");
    while (dirent* entry = readdir(proc)) {
        int pid = atoi(entry->d_name);
        if (pid <= 0)
            continue;
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string content((std::istreambuf_iterator<char>(stat)), {});
        auto close = content.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream rest(content.substr(close + 2));
        char state;
        int parent = 0;
        rest >> state >> parent;
        if (parent != self)
            continue;
        auto [rss, pss] = memoryOf(pid);
        out.processes += 1;
        out.rss += rss;
        out.pss += pss;
    }
    closedir(proc);
    return out;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void capture(const std::string& dir, const std::string& name)
{
    if (dir.empty())
        return;
    test::runUntil([] { return false; }, 0.6); // let the frame settle
    std::string command = "import -window root '" + dir + "/" + name + ".png'";
    if (std::system(command.c_str()) != 0)
        std::cerr << "capture failed: " << name << "\n";
}

} // namespace

int main(int argc, char** argv)
{
    std::string shots;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--screenshots")
            shots = argv[i + 1];

    gtk_init();
    Gtk::init_gtkmm_internals();
    Theme::installResources();

    test::TempDir dir;
    BrowserCore core({.dataDirectory = dir.file("data"), .defaultsPath = "", .updateFeedUrl = "http://127.0.0.1:9/"});
    BrowserState& state = core.state();
    NotificationCenter& notifications = core.notifications();
    AppearanceManager& appearance = core.appearance();
    appearance.setIsDarkMode(false);
    PageExtensionStore& extensions = core.extensions();
    WebContent::Folders folders{dir.file("sessions"), dir.file("cache"), dir.file("Downloads"), dir.file("partial")};
    auto web = std::make_unique<WebContent>(state, notifications, core.preferences(), appearance, extensions,
                                            core.http(), folders);

    test::LoopbackServer server;
    server.on("/page", [](const test::LoopbackServer::Request& request) {
        test::LoopbackServer::Reply reply;
        reply.contentType = "text/html; charset=utf-8";
        std::string n = request.query;
        reply.body = "<!doctype html><html><head><meta charset=utf-8><title>Local page " + n
            + "</title><style>body{font:16px sans-serif;margin:40px;background:#f4f6fb}h1{color:#2b4c9b}</style>"
              "</head><body><h1>Local page " + n + "</h1><p>A page served from 127.0.0.1 for the measurement. "
            + std::string(40, 'x') + "</p><ul><li>one</li><li>two</li><li>three</li></ul></body></html>";
        return reply;
    });

    auto* window = new Gtk::Window();
    window->set_default_size(1100, 760);
    window->present();
    WebViewContainer* shown = nullptr;
    auto showTab = [&](const Uuid& id) {
        auto tab = state.tab(id);
        auto* container = Gtk::make_managed<WebViewContainer>(*web, *tab);
        window->set_child(*container);
        shown = container;
    };
    auto loaded = [&](const Uuid& id) {
        auto t = state.tab(id);
        return t && !t->isLoading && t->loadingProgress == 1.0;
    };

    Uuid home = *state.currentSpaceId();
    state.createNewSpace("Work", SpaceColor::green, "briefcase");
    Uuid work = *state.currentSpaceId();

    std::vector<Uuid> tabs;
    std::vector<double> loadTimes;
    auto openTabs = [&](int upTo) {
        while (static_cast<int>(tabs.size()) < upTo) {
            int n = static_cast<int>(tabs.size());
            Uuid space = n % 2 == 0 ? home : work;
            Tab tab(Uuid::random(), *Url::parse(server.url("/page?" + std::to_string(n))), std::nullopt, false,
                    false, space, std::nullopt);
            auto start = Steady::now();
            state.addTab(tab);
            showTab(tab.id);
            if (!test::runUntil([&] { return loaded(tab.id); }, 30))
                std::cerr << "tab " << n << " did not load\n";
            loadTimes.push_back(ms(Steady::now() - start));
            tabs.push_back(tab.id);
        }
        test::runUntil([] { return false; }, 1.0); // processes settle
    };

    std::printf("tabs  ui_rss_MB  web_processes  web_rss_MB  web_pss_MB\n");
    for (int count : {1, 10, 30}) {
        openTabs(count);
        auto [uiRss, uiPss] = memoryOf(getpid());
        auto children = childMemory();
        std::printf("%4d  %9.1f  %13d  %10.1f  %10.1f\n", count, uiRss / 1024.0, children.processes,
                    children.rss / 1024.0, children.pss / 1024.0);
        if (count == 1)
            capture(shots, "page");
    }
    std::printf("addTab to load finished: median %.1f ms, max %.1f ms over %zu local pages\n", median(loadTimes),
                *std::max_element(loadTimes.begin(), loadTimes.end()), loadTimes.size());

    // Switching among loaded tabs, as the main view does: the shown tab changes and a new
    // container takes the pooled view. Measured: the synchronous main-thread work, and the time
    // until the next frame has been drawn.
    std::size_t requestsBefore = server.requests().size();
    std::vector<double> work_ms, frame_ms;
    for (int round = 0; round < 60; ++round) {
        Uuid id = tabs[(round * 7) % tabs.size()];
        auto start = Steady::now();
        state.setActiveTabId(id);
        showTab(id);
        work_ms.push_back(ms(Steady::now() - start));
        bool drawn = false;
        auto* clock = gtk_widget_get_frame_clock(GTK_WIDGET(window->gobj()));
        gulong handler = g_signal_connect(clock, "after-paint", G_CALLBACK(+[](GdkFrameClock*, gpointer flag) {
                                              *static_cast<bool*>(flag) = true;
                                          }), &drawn);
        test::runUntil([&] { return drawn; }, 2);
        g_signal_handler_disconnect(clock, handler);
        frame_ms.push_back(ms(Steady::now() - start));
    }
    std::printf("switch to a loaded tab: main-thread work median %.2f ms, max %.2f ms; to next frame median %.1f ms\n",
                median(work_ms), *std::max_element(work_ms.begin(), work_ms.end()), median(frame_ms));
    std::printf("requests during switching: %zu (no reloads)\n", server.requests().size() - requestsBefore);

    if (!shots.empty()) {
        // The zoom badge and the error overlay on the shown tab, then the extensions sheet.
        Uuid id = shown->tabId();
        notifications.post(notifications::webViewZoomIn, id);
        notifications.post(notifications::webViewZoomIn, id);
        test::runUntil([] { return false; }, 0.3);
        capture(shots, "zoom-badge");
        notifications.post(notifications::webViewZoomReset, id);
        state.setNavigationError(id, "Could not connect to the server: the connection was refused.");
        capture(shots, "error-overlay");
        state.setNavigationError(id, std::nullopt);
        auto sheet = std::make_unique<ExtensionsView>(*window, extensions, appearance, [] {});
        sheet->present();
        capture(shots, "extensions-sheet");
        sheet.reset();
    }

    window->unset_child();
    window->destroy();
    delete window;
    web.reset();
    test::drainMainLoop();
    return 0;
}
