// Start-up of the browser on a prepared profile: time from process start to the first painted
// frame of the main window, resident memory then, and whether any web process was started.
//
//   kovi_startup_bench --prepare [N]    writes a profile of 100 tabs in 5 spaces into the XDG
//                                       folders of the environment (a signed-in guest, onboarding
//                                       done); with N, also N bookmarks and the bookmarks bar shown
//   kovi_startup_bench --run T0_NS      runs the application as `kovi` does and reports, T0_NS being
//                                       the launch time (CLOCK_REALTIME, nanoseconds) taken by the caller
//
// bench/ui/startup.sh does both under a private display and repeats the run.
#include "core/app/browser_core.h"
#include "core/library/browser_library.h"
#include "core/settings/auth_manager.h"
#include "core/settings/preferences.h"
#include "core/state/browser_state.h"
#include "ui/app/drawing_setup.h"
#include "ui/app/kovi_application.h"
#include "ui/app/main_window.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

long long nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

long residentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

// Children of this process whose name mentions a web process.
int webProcesses()
{
    int count = 0;
    const pid_t self = getpid();
    if (DIR* proc = opendir("/proc")) {
        while (dirent* entry = readdir(proc)) {
            if (entry->d_name[0] < '0' || entry->d_name[0] > '9')
                continue;
            std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
            std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
            const auto close = text.rfind(')');
            const auto open = text.find('(');
            if (close == std::string::npos || open == std::string::npos)
                continue;
            const std::string name = text.substr(open + 1, close - open - 1);
            int ppid = 0;
            char state = 0;
            if (std::sscanf(text.c_str() + close + 1, " %c %d", &state, &ppid) != 2)
                continue;
            // The kernel keeps 15 characters of the name: "WebKitWebProces".
            if (ppid == self && name.find("WebProces") != std::string::npos)
                ++count;
        }
        closedir(proc);
    }
    return count;
}

int prepare(int bookmarks)
{
    using namespace kovi;
    BrowserCore core({}); // the user's folders, as the browser uses them
    if (bookmarks > 0) {
        // One import, not N saves: each save writes the whole library.
        std::string file = R"({"version":1,"workspaces":[],"pages":[)";
        for (int i = 0; i < bookmarks; ++i) {
            file += (i ? "," : "") + std::string(R"({"id":")") + Uuid::random().toString() + R"(","url":"https://site)"
                    + std::to_string(i) + R"(.example/","title":"Bookmark )" + std::to_string(i)
                    + R"(","collection":"Bookmarks","isRead":false,"createdAt":725760000})";
        }
        if (!core.library().importData(file + "]}"))
            return 1;
        core.preferences().set(prefs::showBookmarksBar, true);
    }
    BrowserState& state = core.state();
    AuthManager& auth = core.auth();
    if (!auth.isAuthenticated())
        auth.continueAsGuest();
    core.preferences().set(prefs::hasCompletedOnboarding, true);
    while (state.spaces().size() < 5)
        state.createNewSpace("Space " + std::to_string(state.spaces().size() + 1), SpaceColor::blue, "folder");
    for (const auto& space : std::vector<Space>(state.spaces())) {
        state.setCurrentSpaceId(space.id);
        for (int i = 0; i < 20; ++i) {
            const std::string url = "https://site" + std::to_string(i) + ".example/" + space.name;
            state.addTab(Tab(Uuid::random(), *Url::parse(url), "Page " + std::to_string(i), i < 2, false, space.id,
                             std::nullopt));
        }
    }
    state.saveState();
    std::printf("prepared %zu tabs in %zu spaces, %zu saved pages\n", state.tabs().size(), state.spaces().size(),
                core.library().archive().pages.size());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "--prepare") == 0)
        return prepare(argc >= 3 ? std::atoi(argv[2]) : 0);
    if (argc < 3 || std::strcmp(argv[1], "--run") != 0) {
        std::fprintf(stderr, "usage: %s --prepare [BOOKMARKS] | --run T0_NS\n", argv[0]);
        return 2;
    }
    static long long t0 = std::stoll(argv[2]);
    kovi::DrawingSetup::beforeDisplayOpens();
    static Glib::RefPtr<kovi::KoviApplication> app = kovi::KoviApplication::create();
    static bool reported = false;
    app->signal_window_added().connect([](Gtk::Window* window) {
        auto* main = dynamic_cast<kovi::MainWindow*>(window);
        if (!main)
            return;
        main->signal_map().connect([main] {
            GdkFrameClock* clock = gtk_widget_get_frame_clock(GTK_WIDGET(main->gobj()));
            g_signal_connect(clock, "after-paint", G_CALLBACK(+[](GdkFrameClock* c, gpointer) {
                if (reported)
                    return;
                reported = true;
                const double ms = (nowNs() - t0) / 1e6;
                const bool browser =
                    app->mainWindow()->rootView().screen() == kovi::MainBrowserView::Screen::browser;
                std::printf("first frame %.1f ms, resident %ld KiB, web processes %d, screen %s\n", ms, residentKb(),
                            webProcesses(), browser ? "browser" : "other");
                std::fflush(stdout);
                app->quit();
            }), nullptr);
        });
    });
    const int status = app->run(1, argv);
    return reported ? status : 1;
}
