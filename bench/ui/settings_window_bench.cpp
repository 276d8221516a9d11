// How fast the settings window appears from its shortcut: the browser starts on the prepared
// profile, and once it is idle Ctrl+, is typed through xdotool; the time runs from the key press
// reaching the browser window to the first painted frame of the settings window. (The time
// xdotool itself takes to start and send the key is printed apart.) The window is then closed
// and the shortcut typed again, RUNS times: the first figure builds the window, the later ones
// show it again.
//
//   kovi_settings_window_bench --prepare     a signed-in guest with onboarding done, in the XDG
//                                            folders of the environment
//   kovi_settings_window_bench --run RUNS    under a private display (bench/ui/settings_window.sh)
#include "core/app/browser_core.h"
#include "core/settings/auth_manager.h"
#include "core/settings/preferences.h"
#include "ui/app/kovi_application.h"
#include "ui/app/main_window.h"
#include "ui/settings/settings_window.h"

#include <glibmm/main.h>
#include <gtk/gtk.h>
#include <gtkmm/eventcontrollerkey.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

int prepare()
{
    kovi::BrowserCore core({});
    if (!core.auth().isAuthenticated())
        core.auth().continueAsGuest();
    core.preferences().set(kovi::prefs::hasCompletedOnboarding, true);
    std::printf("prepared\n");
    return 0;
}

// Without a child-setup function GLib starts the program without copying this process's memory,
// whose page faults would otherwise be counted against the window.
void spawn(std::vector<const char*> argv, bool wait)
{
    argv.push_back(nullptr);
    auto** args = const_cast<char**>(argv.data());
    const auto flags = GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL);
    if (wait)
        g_spawn_sync(nullptr, args, nullptr, flags, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    else
        g_spawn_async(nullptr, args, nullptr, GSpawnFlags(flags | G_SPAWN_DO_NOT_REAP_CHILD), nullptr, nullptr,
                      nullptr, nullptr);
}

struct Run {
    Glib::RefPtr<kovi::KoviApplication> app;
    int runs = 5;
    double started = 0;
    double keyArrived = 0;
    double keyCpu = 0;
    std::vector<double> cpu;
    bool waiting = false;
    std::vector<double> figures;
    kovi::SettingsWindow* window = nullptr;

    void typeShortcut()
    {
        waiting = true;
        keyArrived = 0;
        started = nowMs();
        spawn({"xdotool", "key", "ctrl+comma"}, false);
    }
    void painted()
    {
        if (!waiting || keyArrived == 0)
            return;
        waiting = false;
        figures.push_back(nowMs() - keyArrived);
        cpu.push_back(cpuMs() - keyCpu);
        std::printf("%s: %.1f ms, %.1f ms of CPU (xdotool took %.1f ms to deliver the key)\n",
                    figures.size() == 1 ? "first open" : "open again", figures.back(), cpu.back(),
                    keyArrived - started);
        std::fflush(stdout);
        if (static_cast<int>(figures.size()) >= runs) {
            app->quit();
            return;
        }
        Glib::signal_timeout().connect_once([this] { window->close(); }, 300);
        Glib::signal_timeout().connect_once([this] { focusAndType(); }, 800);
    }
    void focusAndType()
    {
        // Without a window manager the keyboard goes where xdotool puts it.
        spawn({"xdotool", "search", "--name", "^Kovi$", "windowfocus", "--sync"}, true);
        Glib::signal_timeout().connect_once([this] { typeShortcut(); }, 200);
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "--prepare") == 0)
        return prepare();
    if (argc < 3 || std::strcmp(argv[1], "--run") != 0) {
        std::fprintf(stderr, "usage: %s --prepare | --run RUNS\n", argv[0]);
        return 2;
    }
    static Run run;
    run.runs = std::max(1, std::atoi(argv[2]));
    run.app = kovi::KoviApplication::create();
    run.app->signal_window_added().connect([](Gtk::Window* window) {
        if (auto* main = dynamic_cast<kovi::MainWindow*>(window)) {
            auto keys = Gtk::EventControllerKey::create();
            keys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
            keys->signal_key_pressed().connect(
                [](guint keyval, guint, Gdk::ModifierType) {
                    if (keyval == GDK_KEY_comma && run.waiting) {
                        run.keyArrived = nowMs();
                        run.keyCpu = cpuMs();
                    }
                    return false;
                },
                false);
            main->add_controller(keys);
            main->signal_map().connect([] { Glib::signal_timeout().connect_once([] { run.focusAndType(); }, 1500); });
            return;
        }
        auto* settings = dynamic_cast<kovi::SettingsWindow*>(window);
        if (!settings || run.window)
            return;
        run.window = settings;
        settings->signal_map().connect([settings] {
            GdkFrameClock* clock = gtk_widget_get_frame_clock(GTK_WIDGET(settings->gobj()));
            g_signal_connect(clock, "after-paint", G_CALLBACK(+[](GdkFrameClock*, gpointer) { run.painted(); }),
                             nullptr);
        });
    });
    const int status = run.app->run(1, argv);
    if (run.figures.empty())
        return 1;
    std::vector<double> again(run.figures.begin() + 1, run.figures.end());
    std::sort(again.begin(), again.end());
    if (!again.empty())
        std::printf("first open %.1f ms; open again: median %.1f ms, max %.1f ms (%zu runs)\n", run.figures.front(),
                    again[again.size() / 2], again.back(), again.size());
    return status;
}
