// Helper of bench/ui/frame_cost.sh, which measures what one page load costs the browser.
//
//   kovi_frame_cost_bench --prepare URL   writes a profile whose only tab, active, shows URL into the
//                                         XDG folders of the environment (a guest, onboarding done)
//   kovi_frame_cost_bench --serve         serves a static page a few screens long on 127.0.0.1; prints
//                                         "url URL" once, then "loaded" each time a page has loaded
//                                         (the page reports its load event), until it is killed
#include "core/app/browser_core.h"
#include "core/settings/auth_manager.h"
#include "core/settings/preference_keys.h"
#include "core/settings/preferences.h"
#include "core/state/browser_state.h"
#include "support/loopback_server.h"

#include <glib.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int prepare(const char* address)
{
    using namespace kovi;
    const auto url = Url::parse(address);
    if (!url) {
        std::fprintf(stderr, "not an address: %s\n", address);
        return 2;
    }
    BrowserCore core(BrowserCore::Options{});
    BrowserState& state = core.state();
    AuthManager& auth = core.auth();
    if (!auth.isAuthenticated())
        auth.continueAsGuest();
    core.preferences().set(prefs::hasCompletedOnboarding, true);
    state.createNewTab(*url);
    state.saveState();
    return 0;
}

// Long enough for a vertical scroll bar; nothing on it moves.
std::string pageHtml()
{
    std::string html = "<!doctype html><html><head><meta charset=utf-8><title>Frame cost</title></head>"
                       "<body style='font: 16px sans-serif; margin: 2em'><h1>Frame cost</h1>";
    for (int i = 0; i < 120; ++i)
        html += "<p>Paragraph " + std::to_string(i) + ": a line of plain text that does not change.</p>";
    html += "<script>addEventListener('load', () => fetch('/loaded'));</script></body></html>";
    return html;
}

int serve()
{
    kovi::test::LoopbackServer server;
    kovi::test::LoopbackServer::Reply page;
    page.body = pageHtml();
    page.contentType = "text/html";
    page.headers["Cache-Control"] = "no-store";
    server.on("/", page);
    server.on("/loaded", [](const kovi::test::LoopbackServer::Request&) {
        std::printf("loaded\n");
        std::fflush(stdout);
        return kovi::test::LoopbackServer::Reply{};
    });
    std::printf("url %s/\n", server.baseUrl().c_str());
    std::fflush(stdout);
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    g_main_loop_run(loop);
    g_main_loop_unref(loop);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--prepare") == 0)
        return prepare(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "--serve") == 0)
        return serve();
    std::fprintf(stderr, "usage: %s --prepare URL | --serve\n", argv[0]);
    return 2;
}
