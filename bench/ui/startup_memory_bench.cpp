// Helper of bench/ui/startup_memory.sh, which compares the browser's start-up, page load, CPU and
// memory with GNOME Web's.
//
//   kovi_startup_memory_bench --prepare empty        a guest profile with onboarding done and no tab
//   kovi_startup_memory_bench --prepare many         the same with 100 tabs in 5 spaces (nothing loads)
//   kovi_startup_memory_bench --prepare page URL     the same with one tab, active, on URL
//       each written into the XDG folders of the environment
//   kovi_startup_memory_bench --serve                serves pages /p0 … /p99 on 127.0.0.1; prints "url BASE"
//                                                    once, then "loaded PATH NS" at each page's load event
//   kovi_startup_memory_bench --watch-map            prints "ready", then the time (CLOCK_REALTIME ns) at
//                                                    which the display's next top-level window is mapped
#include "core/app/browser_core.h"
#include "core/settings/auth_manager.h"
#include "core/settings/preference_keys.h"
#include "core/settings/preferences.h"
#include "core/state/browser_state.h"
#include "support/loopback_server.h"

#include <X11/Xlib.h>
#include <glib.h>
#include <poll.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

namespace {

long long nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

int prepare(const std::string& kind, const char* address)
{
    using namespace kovi;
    BrowserCore core(BrowserCore::Options{});
    BrowserState& state = core.state();
    if (!core.auth().isAuthenticated())
        core.auth().continueAsGuest();
    core.preferences().set(prefs::hasCompletedOnboarding, true);
    if (kind == "page") {
        const auto url = address ? Url::parse(address) : std::nullopt;
        if (!url) {
            std::fprintf(stderr, "not an address: %s\n", address ? address : "(none)");
            return 2;
        }
        state.createNewTab(*url);
    } else if (kind == "many") {
        while (state.spaces().size() < 5)
            state.createNewSpace("Space " + std::to_string(state.spaces().size() + 1), SpaceColor::blue, "folder");
        for (const auto& space : std::vector<Space>(state.spaces())) {
            state.setCurrentSpaceId(space.id);
            for (int i = 0; i < 20; ++i) {
                const std::string url = "https://site" + std::to_string(i) + ".example/" + space.name;
                state.addTab(Tab(Uuid::random(), *Url::parse(url), "Page " + std::to_string(i), i < 2, false,
                                 space.id, std::nullopt));
            }
        }
    } else if (kind != "empty") {
        std::fprintf(stderr, "unknown profile: %s\n", kind.c_str());
        return 2;
    }
    state.saveState();
    return 0;
}

// An ordinary article: a few screens of text with headings and a little style.
std::string pageHtml(int n)
{
    std::string html = "<!doctype html><html><head><meta charset=utf-8><title>Page " + std::to_string(n) +
                       "</title><style>body{font:16px/1.5 sans-serif;margin:2em auto;max-width:46em}"
                       "h2{color:#246}p:nth-child(3n){background:#f4f4f8}</style></head><body><h1>Page " +
                       std::to_string(n) + "</h1>";
    for (int i = 0; i < 150; ++i) {
        if (i % 10 == 0)
            html += "<h2>Section " + std::to_string(i / 10) + "</h2>";
        html += "<p>Paragraph " + std::to_string(i) +
                ": plain text of an ordinary page, long enough to wrap on a narrow window and to need a "
                "scroll bar on any window.</p>";
    }
    html += "<script>addEventListener('load', () => fetch('/loaded?p" + std::to_string(n) +
            "'));</script></body></html>";
    return html;
}

int serve()
{
    kovi::test::LoopbackServer server;
    for (int n = 0; n < 100; ++n) {
        kovi::test::LoopbackServer::Reply page;
        page.body = pageHtml(n);
        page.contentType = "text/html";
        server.on("/p" + std::to_string(n), page);
    }
    server.on("/loaded", [](const kovi::test::LoopbackServer::Request& request) {
        std::printf("loaded %s %lld\n", request.query.c_str(), nowNs());
        std::fflush(stdout);
        return kovi::test::LoopbackServer::Reply{};
    });
    std::printf("url %s\n", server.baseUrl().c_str());
    std::fflush(stdout);
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    g_main_loop_run(loop);
    g_main_loop_unref(loop);
    return 0;
}

// Without a window manager a top-level window is a child of the root window, so its mapping is
// reported to whoever listens to the root's structure.
int watchMap()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no display\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    std::printf("ready\n");
    std::fflush(stdout);
    const long long deadline = nowNs() + 60LL * 1000000000LL;
    while (nowNs() < deadline) {
        if (!XPending(display)) {
            // XNextEvent would block past the deadline.
            pollfd connection{ConnectionNumber(display), POLLIN, 0};
            poll(&connection, 1, 100);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && !event.xmap.override_redirect) {
            std::printf("%lld\n", nowNs());
            XCloseDisplay(display);
            return 0;
        }
    }
    XCloseDisplay(display);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--prepare") == 0)
        return prepare(argv[2], argc >= 4 ? argv[3] : nullptr);
    if (argc == 2 && std::strcmp(argv[1], "--serve") == 0)
        return serve();
    if (argc == 2 && std::strcmp(argv[1], "--watch-map") == 0)
        return watchMap();
    std::fprintf(stderr, "usage: %s --prepare empty|many|page URL | --serve | --watch-map\n", argv[0]);
    return 2;
}
