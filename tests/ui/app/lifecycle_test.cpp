// The program as a process: first launch writes the state on the default storage folder, an
// orderly stop (SIGTERM, SIGINT, Ctrl+Q, closing the window) saves it once and exits cleanly;
// appearance survives a restart.
#include "app_fixture.h"
#include "support/kovi_process.h"
#include "support/loopback_server.h"
#include "support/private_desktop.h"
#include "ui/commandbar/command_bar_view.h"
#include "ui/layouts/content_view.h"
#include "ui/layouts/panel_overlays.h"
#include "ui/layouts/traditional_browser_view.h"
#include "ui/web/web_content.h"

#include <adwaita.h>
#include <glib.h>
#include <glibmm/main.h>
#include <gtkmm/button.h>
#include <gtkmm/menubutton.h>
#include <gtkmm/popover.h>
#include <gtkmm/windowcontrols.h>
#include <signal.h>
#include <unistd.h>
#include <webkit/webkit.h>

#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <random>
#include <set>

namespace kovi::test {
namespace {

bool fileExists(const std::string& path)
{
    return std::filesystem::exists(path);
}

class LifecycleTest : public ::testing::TestWithParam<int> {};

TEST_P(LifecycleTest, FirstLaunchWritesTheStateAndAnOrderlyStopSavesItAgain)
{
    TempDir home;
    const std::string stateFile = home.path() + "/data/KoviBrowser/browser_state.json";
    Process kovi(home.path());
    ASSERT_TRUE(runUntilGtk([&] { return fileExists(stateFile); }, 20)) << "no state written at start-up";
    // Give the window time to appear, then take the file away: only the shutdown save brings it back.
    const std::string window = "xdotool search --sync --onlyvisible --pid " + std::to_string(kovi.pid());
    ASSERT_EQ(std::system((window + " >/dev/null").c_str()), 0);
    std::filesystem::remove(stateFile);
    const int how = GetParam();
    if (how == 0) {
        kill(kovi.pid(), SIGTERM);
    } else if (how == 1) {
        kill(kovi.pid(), SIGINT);
    } else {
        const std::string id = capture(window + " | head -1");
        ASSERT_FALSE(id.empty());
        ASSERT_EQ(std::system(("xdotool windowfocus --sync " + id + " key --clearmodifiers ctrl+q").c_str()), 0);
    }
    EXPECT_EQ(kovi.wait(20), 0) << home.read("stderr.log");
    EXPECT_TRUE(fileExists(stateFile));
}

INSTANTIATE_TEST_SUITE_P(Stops, LifecycleTest, ::testing::Values(0, 1, 2),
                         [](const auto& info) { return std::string(info.param == 0 ? "Sigterm" : info.param == 1 ? "Sigint" : "CtrlQ"); });

const std::vector<std::string> unansweredTabs{"http://127.0.0.1:9/one", "http://127.0.0.1:9/two"};

// A profile past the welcome screen and the onboarding, with tabs on these addresses (by default
// two on a loopback address where nothing answers); in the horizontal layout the window shows
// its own buttons.
void prepareProfile(const std::string& home, bool horizontal, const std::vector<std::string>& tabs = unansweredTabs)
{
    BrowserCore core({.dataDirectory = home + "/data/KoviBrowser",
                      .defaultsPath = home + "/config/KoviBrowser/defaults.json",
                      .updateFeedUrl = "http://127.0.0.1:9/"});
    core.auth().continueAsGuest();
    core.preferences().set(prefs::hasCompletedOnboarding, true);
    if (horizontal)
        core.state().setLayoutMode(BrowserLayoutMode::traditional);
    BrowserState& state = core.state();
    for (const std::string& url : tabs)
        state.addTab(makeTab(state, url, "Page"));
    state.saveState();
}

// The tabs the next start finds.
std::set<std::string> savedTabs(const std::string& home)
{
    BrowserCore core({.dataDirectory = home + "/data/KoviBrowser", .defaultsPath = "",
                      .updateFeedUrl = "http://127.0.0.1:9/"});
    std::set<std::string> urls;
    for (const auto& [id, tab] : core.state().tabs())
        urls.insert(tab.url.string());
    return urls;
}

const std::set<std::string> preparedTabs(unansweredTabs.begin(), unansweredTabs.end());

// The application on that profile, made and run in this process as the program's main does.
Glib::RefPtr<KoviApplication> makeApplication(const std::string& home)
{
    ensureGtk();
    KoviApplication::Options options;
    options.storageDirectory = home + "/data/KoviBrowser";
    options.defaultsPath = home + "/config/KoviBrowser/defaults.json";
    options.updateFeedUrl = "http://127.0.0.1:9/updates/latest.json";
    options.startupUpdateCheck = false;
    options.nonUnique = true;
    return KoviApplication::create(std::move(options));
}

// The close button among the window's own controls, once shown (the first screens' title bar
// keeps its own, hidden); nullptr when none comes.
Gtk::Widget* shownCloseButton(Gtk::Window& window)
{
    Gtk::Widget* close = nullptr;
    runUntilGtk([&] {
        close = findWidget<Gtk::Button>(window, [](Gtk::Button& b) {
            return b.has_css_class("close") && b.get_ancestor(Gtk::WindowControls::get_type()) && b.is_drawable();
        });
        return close != nullptr;
    });
    return close;
}

// Closing the window ended in a segmentation fault (exit status 139) every time: the
// application's destructor, run while the application object was being finalised, took the
// menu's actions out of the half-finalised application. Ctrl+Q and SIGTERM exited cleanly.
class WindowCloseTest : public ::testing::TestWithParam<std::string> {};

TEST_P(WindowCloseTest, ClosingTheWindowExitsCleanlyWithTheTabsSaved)
{
    ensureGtk(); // the close request goes through the toolkit's connection to the display
    TempDir home;
    prepareProfile(home.path(), false);
    const std::string stateFile = home.path() + "/data/KoviBrowser/browser_state.json";
    Process kovi(home.path());
    const std::string window = "xdotool search --sync --onlyvisible --pid " + std::to_string(kovi.pid());
    const std::string id = capture(window + " | head -1");
    ASSERT_FALSE(id.empty());
    // Only the shutdown save brings the file back.
    std::filesystem::remove(stateFile);
    if (GetParam() == "WindowManager")
        ASSERT_TRUE(xSendCloseRequest(std::stoul(id)));
    else
        ASSERT_EQ(std::system(("xdotool windowfocus --sync " + id + " key --clearmodifiers ctrl+q").c_str()), 0);
    EXPECT_EQ(kovi.wait(20), 0) << home.read("stderr.log");
    ASSERT_TRUE(fileExists(stateFile));
    EXPECT_EQ(savedTabs(home.path()), preparedTabs);
}

INSTANTIATE_TEST_SUITE_P(Requests, WindowCloseTest, ::testing::Values("WindowManager", "CtrlQ"),
                         [](const auto& info) { return info.param; });

// The same, with a real click on the close button the window shows in the horizontal layout,
// and the application run and then dropped as the program's main does: the crash came when the
// last reference went.
TEST(WindowClose, TheWindowsOwnCloseButtonEndsTheRunAndTheApplicationGoesCleanly)
{
    TempDir home;
    prepareProfile(home.path(), true);
    auto app = makeApplication(home.path());
    bool clicked = false;
    app->signal_activate().connect(
        [&] {
            Glib::signal_idle().connect_once([&] {
                MainWindow* window = app->mainWindow();
                ASSERT_NE(window, nullptr);
                ASSERT_TRUE(waitForWindow(*window));
                Gtk::Widget* close = shownCloseButton(*window);
                ASSERT_NE(close, nullptr) << "no close button among the window's own controls";
                clicked = xdoClickWidget(*close);
            });
        },
        true);
    const int status = app->run(0, nullptr);
    EXPECT_TRUE(clicked);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(app->mainWindow(), nullptr);
    app.reset();
    EXPECT_EQ(savedTabs(home.path()), preparedTabs);
}

// Closing the window by its close button after a menu had been open (the page's, the window's)
// or a floating window or a deleted space printed "has no handler with id" twice: the focus
// keeper let go of the window's frame clock after the toolkit had dropped its handlers with the
// window.
TEST(WindowClose, ClosingTheWindowAfterAMenuClosedLeavesNoHandlerBehind)
{
    TempDir home;
    prepareProfile(home.path(), false);
    auto app = makeApplication(home.path());
    std::vector<std::string> warnings;
    const guint handler = g_log_set_handler(
        "GLib-GObject", GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL),
        +[](const gchar*, GLogLevelFlags, const gchar* message, gpointer seen) {
            static_cast<std::vector<std::string>*>(seen)->push_back(message);
        },
        &warnings);
    bool closed = false;
    app->signal_activate().connect(
        [&] {
            Glib::signal_idle().connect_once([&] {
                MainWindow* window = app->mainWindow();
                ASSERT_TRUE(window && waitForWindow(*window));
                auto* menu = findWindowMenu(*window, true);
                ASSERT_NE(menu, nullptr);
                auto inMenu = [&] {
                    Gtk::Widget* focus = window->get_focus();
                    return focus && focus->is_ancestor(*menu->get_popover());
                };
                menu->popup();
                ASSERT_TRUE(runUntilGtk(inMenu));
                menu->popdown();
                ASSERT_TRUE(runUntilGtk([&] { return !inMenu() && window->get_focus(); }));
                window->close(); // as its close button does
                closed = true;
            });
        },
        true);
    EXPECT_EQ(app->run(0, nullptr), 0);
    g_log_remove_handler("GLib-GObject", handler);
    EXPECT_TRUE(closed);
    app.reset();
    EXPECT_TRUE(warnings.empty()) << warnings.front();
}

// The program's window on a desktop of its own, once shown: its X id (empty when none came) and
// where it lies.
struct DesktopWindow {
    std::string id;
    int left = 0, top = 0, width = 0, height = 0;
};

DesktopWindow shownWindow(PrivateDesktop& desktop, const Process& kovi)
{
    DesktopWindow window;
    window.id = capture("DISPLAY=" + desktop.display() + " xdotool search --sync --onlyvisible --pid "
                        + std::to_string(kovi.pid()) + " | head -1");
    if (!window.id.empty() &&
        !desktop.geometry(std::stoul(window.id), window.left, window.top, window.width, window.height))
        window.id.clear();
    return window;
}

// What a storm that did not end in a clean quit leaves to look at: the stacks of a program still
// running, with the screen kept in /tmp, and the end of what it printed.
std::string afterFailedQuit(const Process& kovi, PrivateDesktop& desktop, const TempDir& home)
{
    std::string report;
    if (!kovi.exited()) {
        const std::string shot = "/tmp/kovi-storm-" + std::to_string(kovi.pid()) + ".png";
        desktop.screenshot(shot);
        report += "still running (screen in " + shot + "):\n" + kovi.stacks() + "\n";
    }
    const std::string printed = home.read("stderr.log");
    constexpr std::size_t tail = 6000;
    return report + (printed.size() > tail ? "…" + printed.substr(printed.size() - tail) : printed);
}

// After minutes of random input Ctrl+Q sometimes did nothing: the window's menu, left open out
// of sight when its button went with the layout (Ctrl+Shift+L from the open menu), held on to
// every key and click. A storm of real keys, clicks, drags and wheel turns over the window and
// whatever it opens, on a desktop with a window manager, then Ctrl+Q: the program quits with
// status 0. The keys type no text and never Return, which would ask the suggestion service or
// load a search.
TEST(Storm, CtrlQQuitsAfterAStormOfRealInput)
{
    PrivateDesktop desktop(true);
    ASSERT_TRUE(desktop.ready()) << "no private X server with openbox";
    TempDir home;
    prepareProfile(home.path(), false);
    Process kovi(home.path(), {}, {{"DISPLAY", desktop.display()}});
    const auto [id, left, top, width, height] = shownWindow(desktop, kovi);
    ASSERT_FALSE(id.empty());
    ASSERT_GT(width, 200);
    ASSERT_GT(height, 200);

    // The window's top strip, where its close button is, and its edges get no clicks.
    const std::vector<std::string> keys{
        "Escape", "Tab", "shift+Tab", "space", "BackSpace", "Up", "Down", "Left", "Right", "Page_Down",
        "F5", "F10", "Menu", "shift+F10", "ctrl+t", "ctrl+w", "ctrl+y", "ctrl+alt+j", "ctrl+shift+a",
        "ctrl+k", "ctrl+l", "ctrl+shift+b", "ctrl+comma", "ctrl+shift+l",
        "ctrl+shift+n", "ctrl+d", "ctrl+Tab", "ctrl+1", "ctrl+2", "ctrl+shift+t", "ctrl+f", "ctrl+plus",
        "ctrl+minus", "ctrl+shift+o", "alt+Left", "ctrl+alt+d", "ctrl+alt+b"};
    const std::vector<std::string> menuKeys{"ctrl+shift+l", "ctrl+shift+a", "ctrl+y", "ctrl+t", "ctrl+alt+d",
                                            "ctrl+shift+b", "ctrl+shift+n", "Down"};
    std::mt19937 random(27);
    auto pick = [&](int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); };
    auto choose = [&](const std::vector<std::string>& list) {
        return list[static_cast<std::size_t>(pick(0, static_cast<int>(list.size()) - 1))];
    };
    auto point = [&] {
        return std::to_string(left + pick(16, width - 16)) + " " + std::to_string(top + pick(48, height - 16));
    };
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(75);
    int actions = 0;
    for (; std::chrono::steady_clock::now() < end && !kovi.exited(); ++actions) {
        const int kind = pick(0, 99);
        const std::string at = point();
        if (kind < 40) {
            desktop.xdo("key --clearmodifiers " + choose(keys));
        } else if (kind < 48) {
            // A key that reshapes the window while its menu is open.
            desktop.xdo("key --clearmodifiers F10 " + choose(menuKeys));
        } else if (kind < 75) {
            desktop.xdo("mousemove " + at + " click " + (pick(0, 3) == 0 ? "3" : "1"));
        } else if (kind < 87) {
            const std::string to = point();
            desktop.xdo("mousemove " + at + " mousedown 1 mousemove " + to + " mouseup 1");
        } else {
            desktop.xdo("mousemove " + at + " click --repeat 3 " + (pick(0, 1) ? "4" : "5"));
        }
    }
    // A menu item may have ended it already (Quit); it still must end cleanly. A menu the last
    // clicks left open on screen takes the keys, as it should: it is closed first.
    if (!kovi.exited()) {
        ASSERT_TRUE(desktop.xdo("windowactivate --sync " + id + " key --clearmodifiers Escape Escape Escape ctrl+q"));
    }
    EXPECT_EQ(kovi.wait(30), 0) << "after " << actions << " actions: " << afterFailedQuit(kovi, desktop, home);
}

// The page's menu is asked of the page's process and shown when it answers. Storms that ended
// in a crash in the toolkit had the page leave the window meanwhile. Real right-clicks into
// loaded pages, each followed within 50-300 ms by a tab switch, a new tab, a layout switch, full
// screen, split view, another right-click or a click (a list's choices come the same way), in
// both layouts; then Ctrl+Q: the program quits with status 0.
class PageMenuStorm : public ::testing::TestWithParam<bool> {};

TEST_P(PageMenuStorm, RightClicksRacingPageChangesEndInACleanQuit)
{
    LoopbackServer server;
    const std::string text = "<p>" + std::string(40, 'x') + "</p><a href='/plain?next' style='display:block;height:30vh'>"
                             "a link</a><select style='width:70%;font-size:40px'><option>one<option>two</select>";
    server.on("/plain", LoopbackServer::Reply{200, "<!doctype html><title>Plain</title>" + text, "text/html", {}});
    // Pages with menus of their own take their time over a press.
    server.on("/busy", LoopbackServer::Reply{200,
        "<!doctype html><title>Busy</title>" + text + "<script>addEventListener('mousedown', () => {"
        " const end = Date.now() + 250; while (Date.now() < end); })</script>", "text/html", {}});
    PrivateDesktop desktop(true);
    ASSERT_TRUE(desktop.ready()) << "no private X server with openbox";
    TempDir home;
    prepareProfile(home.path(), GetParam(),
                   {server.url("/busy"), server.url("/plain"), server.url("/busy?2"), server.url("/busy?3")});
    Process kovi(home.path(), {}, {{"DISPLAY", desktop.display()}});
    const auto [id, left, top, width, height] = shownWindow(desktop, kovi);
    ASSERT_FALSE(id.empty());
    ASSERT_GT(width, 400);
    ASSERT_GT(height, 300);
    ASSERT_TRUE(runUntilGtk([&] { return !server.requests().empty(); }, 30)) << "no page asked for";

    // Split view and the layout switch move pages the most: they come up more often.
    const std::vector<std::string> races{"ctrl+1", "ctrl+2", "ctrl+3", "ctrl+Tab", "ctrl+t", "ctrl+shift+l",
                                         "ctrl+shift+l", "F11", "ctrl+alt+d", "ctrl+alt+d", "Escape"};
    std::mt19937 random(GetParam() ? 5 : 11);
    auto pick = [&](int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); };
    // Away from the sidebar and the tab strip: where the page is in either layout.
    auto inPage = [&] {
        return std::to_string(left + pick(width / 3, width - 32)) + " " + std::to_string(top + pick(160, height - 32));
    };
    const auto start = std::chrono::steady_clock::now();
    std::deque<std::string> lastInputs; // for the report of a failure
    auto send = [&](const std::string& input) {
        const auto at = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        lastInputs.push_back(std::to_string(at.count()) + " ms: " + input);
        if (lastInputs.size() > 6)
            lastInputs.pop_front();
        desktop.xdo(input);
    };
    int rightClicks = 0;
    // The pauses serve the pages.
    for (; std::chrono::steady_clock::now() < start + std::chrono::seconds(45) && !kovi.exited(); ++rightClicks) {
        send("mousemove " + inPage() + " click 3");
        settle(pick(50, 300));
        const int kind = pick(0, 9);
        if (kind < 6)
            send("key --clearmodifiers " + races[static_cast<std::size_t>(pick(0, int(races.size()) - 1))]);
        else if (kind < 8)
            send("mousemove " + inPage() + " click 3");
        else
            send("mousemove " + inPage() + " click 1"); // on the page, its list, or an item of its menu
        settle(pick(50, 300));
    }
    // Ctrl+Q over whatever the last inputs left open: a page's menu or list holds the keys and
    // carries the window's shortcuts. A key the server gives a popup in the instant its page
    // closes it goes with the popup's window: pressed again, as a user would, when nothing came.
    for (int tries = 0; tries < 3 && !kovi.exited(); ++tries) {
        desktop.xdo("windowactivate --sync " + id + " key --clearmodifiers ctrl+q");
        runUntilGtk([&] { return kovi.exited(); }, 10);
    }
    std::string inputs;
    for (const std::string& input : lastInputs)
        inputs += "\n  " + input;
    EXPECT_EQ(kovi.wait(30), 0) << "after " << rightClicks << " right-clicks; the last inputs:" << inputs << "\n"
                                << afterFailedQuit(kovi, desktop, home);
}

INSTANTIATE_TEST_SUITE_P(Layouts, PageMenuStorm, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "Horizontal" : "Sidebar"); });

// A tab opened for an address that was a download stayed in browser_state.json until the
// download was listed: a quit within a second or so of Return kept it, and every later start
// showed it, asked the server for the file again and saved another copy ("name (1).bin", …); a
// restored tab never closed for a download. Here: real keys in the real window, a real quit (the
// window's close button, or SIGTERM) the moment the server is asked for the file or the moment
// the download starts, then two starts of the program.
class QuickQuitTest : public ::testing::TestWithParam<std::string> {};

TEST_P(QuickQuitTest, ADownloadsTabNeverComesBackAndItsFileIsAskedForOnce)
{
    const bool byCloseButton = GetParam() == "CloseButton";
    const bool asItStarts = GetParam() == "SigtermAsItStarts";
    TempDir home;
    LoopbackServer server;
    server.on("/page", LoopbackServer::Reply{200, "<title>Page</title>Page", "text/html"});
    // Quits the moment the file is asked for, before the answer goes out.
    std::function<void()> quitNow;
    server.on("/quick-quit.bin", [&](const LoopbackServer::Request&) {
        if (auto quit = asItStarts ? nullptr : std::exchange(quitNow, nullptr))
            quit();
        LoopbackServer::Reply reply{200, std::string(4096, 'q'), "application/octet-stream",
                                    {{"Content-Disposition", "attachment; filename=quick-quit.bin"}}};
        reply.trickle.assign(6, std::string(1024, 'q'));
        reply.trickleMs = 200;
        return reply;
    });
    auto asked = [&](const std::string& path) {
        return std::count_if(server.requests().begin(), server.requests().end(),
                             [&](const auto& request) { return request.path == path; });
    };
    // Only the sidebar layout's window has no buttons of its own: the horizontal one's has a close button.
    prepareProfile(home.path(), byCloseButton, {server.url("/page")});

    std::vector<std::string> criticals;
    const guint logHandler = g_log_set_handler(
        "Gtk", G_LOG_LEVEL_CRITICAL,
        +[](const gchar*, GLogLevelFlags, const gchar* message, gpointer seen) {
            static_cast<std::vector<std::string>*>(seen)->push_back(message);
        },
        &criticals);
    auto app = makeApplication(home.path());
    bool typed = false;
    app->signal_activate().connect(
        [&] {
            Glib::signal_idle().connect_once([&] {
                MainWindow* window = app->mainWindow();
                ASSERT_TRUE(window && waitForWindow(*window) && xdoFocusWindow(*window));
                ASSERT_TRUE(runUntilGtk([&] { return asked("/page") == 1; }, 30)) << "the tab's page";
                if (byCloseButton) {
                    // Pointed at already, so that the click comes at once.
                    Gtk::Widget* close = shownCloseButton(*window);
                    ASSERT_TRUE(close && xdoMoveToWidget(*close));
                    quitNow = [] { g_spawn_command_line_async("xdotool click 1", nullptr); };
                } else {
                    quitNow = [] { kill(getpid(), SIGTERM); };
                }
                if (asItStarts) {
                    // Also as a crash would find it: the file on disk has no tab for the download.
                    quitNow = [&] {
                        EXPECT_EQ(home.read("data/KoviBrowser/browser_state.json").find("quick-quit"), std::string::npos);
                        kill(getpid(), SIGTERM);
                    };
                    auto& session = app->context().web->sessions().session(app->context().state.currentSpaceId());
                    g_signal_connect(session.network.get(), "download-started",
                                     G_CALLBACK(+[](WebKitNetworkSession*, WebKitDownload*, gpointer quit) {
                                         if (auto now = std::exchange(*static_cast<std::function<void()>*>(quit), nullptr))
                                             now();
                                     }),
                                     &quitNow);
                }
                MainBrowserView& root = window->rootView();
                PanelOverlays& panels = byCloseButton ? root.traditionalView()->panels() : root.contentView()->panels();
                ASSERT_TRUE(xdoKey("ctrl+t"));
                ASSERT_TRUE(runUntilGtk([&] {
                    auto* bar = dynamic_cast<CommandBarView*>(panels.commandBarLayer().content());
                    return bar && bar->get_mapped() && panels.commandBarLayer().contains(window->get_focus());
                }));
                ASSERT_TRUE(xdoType(server.url("/quick-quit.bin")));
                ASSERT_TRUE(xdoKey("Return"));
                typed = true;
            });
        },
        true);
    ASSERT_EQ(app->run(0, nullptr), 0);
    ASSERT_TRUE(typed && !quitNow) << "the file was never asked for";
    app.reset();
    g_log_remove_handler("Gtk", logHandler);
    EXPECT_TRUE(criticals.empty()) << criticals.front();

    // Two starts of the program on that profile, each until its first page has been asked for
    // and whatever it downloads has ended.
    for (int start = 1; start <= 2; ++start) {
        const auto pageBefore = asked("/page"), fileBefore = asked("/quick-quit.bin");
        {
            Process kovi(home.path());
            EXPECT_TRUE(runUntilGtk([&] { return asked("/page") > pageBefore; }, 30))
                << "start " << start << ": the first tab was not shown\n" << home.read("stderr.log");
            runUntilGtk([&] {
                return home.read("data/KoviBrowser/downloads.json").find("\"downloading\"") == std::string::npos;
            }, 20);
            kill(kovi.pid(), SIGTERM);
            ASSERT_EQ(kovi.wait(30), 0) << home.read("stderr.log");
        }
        EXPECT_EQ(savedTabs(home.path()), std::set<std::string>{server.url("/page")}) << "after start " << start;
        if (start == 2) {
            EXPECT_EQ(asked("/quick-quit.bin"), fileBefore) << "the second start asked for the file again";
        }
    }
    EXPECT_LE(asked("/quick-quit.bin"), 2) << "asked once, and once more at most when the quit came before the answer";
    // At most one copy, whole; a download the quit cut off is recorded as failed.
    std::vector<std::string> saved;
    for (const std::string& folder : {home.path() + "/Downloads", std::string(g_get_home_dir()) + "/Downloads"})
        if (fileExists(folder))
            for (const auto& entry : std::filesystem::directory_iterator(folder))
                if (entry.path().filename().string().starts_with("quick-quit"))
                    saved.push_back(entry.path().string());
    ASSERT_LE(saved.size(), 1u);
    const std::string downloads = home.read("data/KoviBrowser/downloads.json");
    EXPECT_EQ(downloads.find("\"downloading\""), std::string::npos) << downloads;
    if (!saved.empty()) {
        EXPECT_EQ(std::filesystem::file_size(saved.front()), 4096u + 6 * 1024u);
        std::filesystem::remove(saved.front());
    }
}

INSTANTIATE_TEST_SUITE_P(Quits, QuickQuitTest, ::testing::Values("Sigterm", "CloseButton", "SigtermAsItStarts"),
                         [](const auto& info) { return info.param; });

// Ctrl+Q did nothing while one of Kovi's alerts was up: the alerts did not belong to the
// application, whose key Quit's is. With each kind up and holding the keyboard, a real Ctrl+Q
// ends the run with status 0 and the tabs saved.
class QuitUnderAlertTest : public ::testing::TestWithParam<std::string> {};

TEST_P(QuitUnderAlertTest, CtrlQQuitsFromTheAlert)
{
    TempDir home;
    prepareProfile(home.path(), false);
    const std::string profile = home.path() + "/data/KoviBrowser/";
    auto app = makeApplication(home.path());
    auto shownAlert = []() -> GtkWindow* {
        auto windows = GObjectPtr<GListModel>::ref(gtk_window_get_toplevels());
        for (guint i = 0, n = g_list_model_get_n_items(windows.get()); i < n; ++i) {
            auto window = GObjectPtr<GtkWindow>::adopt(static_cast<GtkWindow*>(g_list_model_get_item(windows.get(), i)));
            if (ADW_IS_MESSAGE_DIALOG(window.get()) && gtk_widget_get_mapped(GTK_WIDGET(window.get())))
                return window.get();
        }
        return nullptr;
    };
    bool pressed = false;
    app->signal_activate().connect(
        [&] {
            Glib::signal_idle().connect_once([&] {
                MainWindow* window = app->mainWindow();
                ASSERT_TRUE(window && waitForWindow(*window) && waitForFrames(*window));
                AppContext& ctx = app->context();
                const std::string& kind = GetParam();
                if (kind == "Tabs") {
                    std::filesystem::remove(profile + "history.json");
                    std::filesystem::create_directories(profile + "history.json");
                    ctx.state.saveHistory();
                } else if (kind == "Settings") {
                    const std::string defaults = home.path() + "/config/KoviBrowser/defaults.json";
                    std::filesystem::remove(defaults);
                    std::filesystem::create_directories(defaults);
                    ctx.preferences.set(prefs::autoPiPEnabled, false);
                } else if (kind == "Library") {
                    ctx.library.setErrorMessage("Disk full");
                } else {
                    app->commands().activate("check-for-updates");
                }
                GtkWindow* alert = nullptr;
                ASSERT_TRUE(runUntilGtk([&] { return (alert = shownAlert()) != nullptr; }, 30)) << "no alert";
                ASSERT_TRUE(xdoFocusWindow(*Glib::wrap(alert)));
                std::filesystem::remove(profile + "browser_state.json"); // only the quit brings it back
                ASSERT_TRUE(xdoKey("ctrl+q"));
                pressed = true;
            });
        },
        true);
    // Unanswered, the run would go on: the deadline ends it as a failure.
    bool timedOut = false;
    sigc::connection deadline = Glib::signal_timeout().connect_seconds(
        [&] {
            timedOut = true;
            app->quit();
            return false;
        },
        60);
    ASSERT_EQ(app->run(0, nullptr), 0);
    deadline.disconnect();
    ASSERT_TRUE(pressed);
    EXPECT_FALSE(timedOut) << "Ctrl+Q did not quit";
    app.reset();
    EXPECT_EQ(savedTabs(home.path()), preparedTabs);
}

INSTANTIATE_TEST_SUITE_P(Alerts, QuitUnderAlertTest, ::testing::Values("Tabs", "Settings", "Library", "Update"),
                         [](const auto& info) { return info.param; });

TEST(Launch, AnAddressGivenByTheLauncherOpensInATab)
{
    // As the launcher entry's "%U" hands it over: the page becomes a tab, saved with the state.
    TempDir home;
    const std::string stateFile = home.path() + "/data/KoviBrowser/browser_state.json";
    const std::string page = "http://127.0.0.1:9/handed-over";
    Process kovi(home.path(), {page});
    EXPECT_TRUE(runUntilGtk(
        [&] { return fileExists(stateFile) && home.read("data/KoviBrowser/browser_state.json").find(page) != std::string::npos; },
        20));
    kill(kovi.pid(), SIGTERM);
    EXPECT_EQ(kovi.wait(20), 0) << home.read("stderr.log");
}

TEST(Appearance, DarkModeAndGlassSurviveARestartAndApplyAtOnce)
{
    TempDir dir;
    {
        AppHarness h(dir.path());
        EXPECT_TRUE(h.ctx().appearance.isDarkMode()); // first launch: dark, opaque
        EXPECT_FALSE(h.ctx().appearance.isGlassEnabled());
        EXPECT_FALSE(h.ctx().defaults.contains("isDarkMode"));
        EXPECT_TRUE(adw_style_manager_get_dark(adw_style_manager_get_default()));
        h.app->commands().activate("appearance", Glib::Variant<Glib::ustring>::create("light"));
        h.app->commands().activate("glass");
        EXPECT_FALSE(adw_style_manager_get_dark(adw_style_manager_get_default()));
        EXPECT_TRUE(h.window().has_css_class("kovi-glass"));
    }
    {
        AppHarness h(dir.path());
        EXPECT_FALSE(h.ctx().appearance.isDarkMode());
        EXPECT_TRUE(h.ctx().appearance.isGlassEnabled());
        EXPECT_TRUE(h.window().has_css_class("kovi-light"));
        EXPECT_TRUE(h.window().has_css_class("kovi-glass"));
        EXPECT_EQ(adw_style_manager_get_color_scheme(adw_style_manager_get_default()), ADW_COLOR_SCHEME_FORCE_LIGHT);
    }
}

} // namespace
} // namespace kovi::test
