// What an open AI chat costs the main thread while nothing happens: the browser's window with
// the chat open over an empty page, its field focused (the caret blinks), after 0, 3 and 15
// answers of 60 KB each from a provider on 127.0.0.1. Prints the main thread's CPU seconds over
// 8 idle seconds, per run and the median of the runs. Needs a display:
//   scripts/headless build/test/bench/kovi_ai_chat_idle_bench [RUNS]
#include "core/ai/ai_service.h"
#include "core/settings/auth_manager.h"
#include "core/state/browser_state.h"
#include "support/loopback_server.h"
#include "support/main_loop.h"
#include "support/temp_dir.h"
#include "ui/ai/ai_chat_panel.h"
#include "ui/ai/ai_view_slots.h"
#include "ui/app/kovi_application.h"
#include "ui/app/main_browser_view.h"
#include "ui/app/main_window.h"
#include "ui/base/view_slots.h"
#include "ui/design/theme.h"

#include <adwaita.h>
#include <gdk/x11/gdkx.h>
#include <gtkmm/init.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

using namespace kovi;

constexpr double idleSeconds = 8;

double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

// Words and paragraphs: about 60 KB.
std::string bigAnswer(int n)
{
    std::string text = "Answer " + std::to_string(n) + ". ";
    for (int i = 0; text.size() < 60 * 1024; ++i) {
        text += "Some words of an answer, with punctuation, numbers like " + std::to_string(i) + " and more words. ";
        if (i % 7 == 6)
            text += "\n\n";
    }
    return text;
}

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::exit(1);
}

// Without a window manager nobody gives the window the keyboard (and its caret the blink).
void focus(Gtk::Window& window)
{
    GdkSurface* surface = window.get_surface() ? window.get_surface()->gobj() : nullptr;
    if (!surface || !GDK_IS_X11_SURFACE(surface))
        fail("needs an X11 display");
    Display* display = gdk_x11_display_get_xdisplay(gdk_surface_get_display(surface));
    XSetInputFocus(display, gdk_x11_surface_get_xid(surface), RevertToParent, CurrentTime);
    XSync(display, False);
    test::runUntil([&] { return window.is_active(); }, 5);
}

// The main thread's CPU seconds over the idle time after `answers` answers.
double measure(const std::string& folder, test::LoopbackServer& server, int answers)
{
    KoviApplication::Options options;
    options.storageDirectory = folder + "/data";
    options.defaultsPath = folder + "/config/defaults.json";
    options.updateFeedUrl = "http://127.0.0.1:9/updates/latest.json";
    options.startupUpdateCheck = false;
    options.nonUnique = true;
    options.slots = defaultViewSlots();
    options.slots->aiChatPanel = [&server](AppContext& ctx) {
        return makeAIChatPanel(ctx, {server.baseUrl(), server.baseUrl(), 60});
    };
    auto app = KoviApplication::create(std::move(options));
    app->register_application();
    app->activate();
    AppContext& ctx = app->context();
    if (!ctx.auth.isAuthenticated())
        ctx.auth.continueAsGuest();
    ctx.ai.setApiKey("sk-bench");
    MainWindow& window = *app->mainWindow();
    window.rootView().setHasCompletedOnboarding(true);
    if (!test::runUntil([&] { return window.rootView().screen() == MainBrowserView::Screen::browser; }, 30))
        fail("the browser did not show");
    focus(window);
    ctx.state.setIsAIChatVisible(true);
    AIChatPanel* panel = nullptr;
    if (!test::runUntil([&] {
            panel = dynamic_cast<AIChatPanel*>(window.rootView().aiChatLayer().content());
            return panel && panel->get_mapped() && window.rootView().aiChatLayer().get_opacity() >= 1.0;
        }, 30))
        fail("the chat did not open");
    for (int i = 0; i < answers; ++i) {
        const std::size_t before = panel->bubbles().size();
        panel->input().setText("Question " + std::to_string(i));
        panel->controller().submit();
        if (!test::runUntil([&] { return panel->bubbles().size() == before + 2 && !panel->controller().isLoading(); },
                            60))
            fail("no answer");
    }
    test::runUntil([&] { return panel->isScrollSettled(); }, 30);
    panel->input().focus();
    test::runUntil([] { return false; }, 1); // what the last answer left to do
    const double start = threadSeconds();
    test::runUntil([] { return false; }, idleSeconds);
    const double spent = threadSeconds() - start;
    window.hide();
    test::runUntil([] { return false; }, 0.2);
    app.reset();
    test::drainMainLoop();
    return spent;
}

} // namespace

int main(int argc, char** argv)
{
    if (!gtk_init_check()) {
        std::fprintf(stderr, "needs a display (run under scripts/headless)\n");
        return 1;
    }
    Gtk::init_gtkmm_internals();
    adw_init();
    Theme::installResources();
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    test::LoopbackServer server;
    int served = 0;
    server.on("/v1/chat/completions", [&](const test::LoopbackServer::Request&) {
        const nlohmann::json body{
            {"choices", {{{"message", {{"role", "assistant"}, {"content", bigAnswer(served++)}}}}}}};
        return test::LoopbackServer::Reply{.body = body.dump(), .contentType = "application/json"};
    });

    std::printf("main thread CPU seconds per %.0f s idle with the chat open (caret blinking)\n", idleSeconds);
    for (int answers : {0, 3, 15}) {
        std::vector<double> seconds;
        for (int run = 0; run < runs; ++run) {
            test::TempDir profile;
            seconds.push_back(measure(profile.path(), server, answers));
            std::printf("  %2d answers of 60 KB, run %d: %.2f s\n", answers, run + 1, seconds.back());
            std::fflush(stdout);
        }
        std::sort(seconds.begin(), seconds.end());
        std::printf("%2d answers of 60 KB: median %.2f s\n", answers, seconds[seconds.size() / 2]);
        std::fflush(stdout);
    }
    return 0;
}
