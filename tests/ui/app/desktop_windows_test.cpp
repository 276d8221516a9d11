// The program itself on a desktop of the test's own, seen and driven from outside as a user
// would: where its windows and alerts open, and what the window manager adds to them.
#include "app_fixture.h"
#include "support/kovi_process.h"
#include "support/private_desktop.h"

#include <cstdlib>

namespace kovi::test {
namespace {

// A profile past the welcome screen and the onboarding, with a library that cannot be read
// when `libraryContents` is not JSON of one.
void prepareProfile(const TempDir& dir, const std::string& libraryContents)
{
    const std::string home = dir.path();
    {
        BrowserCore core({.dataDirectory = home + "/data/KoviBrowser",
                          .defaultsPath = home + "/config/KoviBrowser/defaults.json",
                          .updateFeedUrl = "http://127.0.0.1:9/"});
        core.auth().continueAsGuest();
        core.preferences().set(prefs::hasCompletedOnboarding, true);
        core.state().saveState();
    }
    if (!libraryContents.empty())
        dir.write("data/KoviBrowser/library.json", libraryContents);
}

// An alert raised while the window was being built (a library.json that cannot be read) opened
// below the browser window, with and without a window manager: the alert is modal, so the window
// ignored every click and key and looked dead until the alert was raised by hand.
class StartupAlertTest : public ::testing::TestWithParam<bool> {};

TEST_P(StartupAlertTest, TheAlertIsAboveTheWindowItSpeaksForAndAfterOkTheWindowTakesClicksAndKeys)
{
    const bool windowManager = GetParam();
    PrivateDesktop desktop(windowManager);
    ASSERT_TRUE(desktop.ready()) << "no private X server" << (windowManager ? " with openbox" : "");
    TempDir home;
    prepareProfile(home, "garbage");
    Process kovi(home.path(), {}, {{"DISPLAY", desktop.display()}});

    // The browser window and its alert, both shown; whether the alert lies above the window.
    unsigned long window = 0, alert = 0;
    auto alertOnTop = [&] {
        window = alert = 0;
        std::size_t windowAt = 0, alertAt = 0;
        const auto shown = desktop.windowsBottomToTop();
        for (std::size_t i = 0; i < shown.size(); ++i) {
            if (desktop.transientFor(shown[i])) {
                alert = shown[i];
                alertAt = i;
            } else if (desktop.title(shown[i]) == "Kovi") {
                window = shown[i];
                windowAt = i;
            }
        }
        return window && alert && desktop.transientFor(alert) == window && alertAt > windowAt;
    };
    ASSERT_TRUE(runUntilGtk(alertOnTop, 40)) << "window " << window << ", alert " << alert;
    EXPECT_EQ(desktop.title(alert), "Library could not be read");
    // It stays there once the window has painted and loaded what comes after.
    settle(1500);
    EXPECT_TRUE(alertOnTop());
    if (const char* folder = std::getenv("KOVI_SCREENSHOT_DIR"))
        desktop.screenshot(std::string(folder) + (windowManager ? "/startup-alert-openbox.png" : "/startup-alert.png"));

    // OK: with a window manager the alert has the keyboard; without one, a click on its button.
    if (windowManager) {
        ASSERT_TRUE(runUntilGtk([&] { return desktop.activeWindow() == alert; })) << "the alert has the keyboard";
        ASSERT_TRUE(desktop.xdo("key Return"));
    } else {
        int x, y, width, height;
        ASSERT_TRUE(desktop.geometry(alert, x, y, width, height));
        ASSERT_TRUE(desktop.xdo("mousemove " + std::to_string(x + width / 2) + " " + std::to_string(y + height - 20)
                                + " click 1"));
    }
    ASSERT_TRUE(runUntilGtk([&] { return !alertOnTop() && !alert; })) << "the alert goes";

    // The window answers: a click into it, then the quit key ends the program.
    int x, y, width, height;
    ASSERT_TRUE(desktop.geometry(window, x, y, width, height));
    ASSERT_TRUE(desktop.xdo("mousemove " + std::to_string(x + width / 2) + " " + std::to_string(y + height / 2)
                            + " click 1"));
    if (windowManager) {
        ASSERT_TRUE(runUntilGtk([&] { return desktop.activeWindow() == window; }));
    }
    ASSERT_TRUE(desktop.xdo("key ctrl+q"));
    EXPECT_EQ(kovi.wait(30), 0) << home.read("stderr.log");
    EXPECT_EQ(home.read("data/KoviBrowser/library.json"), "garbage") << "the file is left as it is";
}

INSTANTIATE_TEST_SUITE_P(Desktops, StartupAlertTest, ::testing::Values(true, false),
                         [](const auto& info) { return std::string(info.param ? "Openbox" : "NoWindowManager"); });

// Under a window manager the settings window opened at the screen's corner (it was attached to
// no window), and the library got the desktop's title bar and buttons above its own heading and
// close button. Each opens over the browser window's middle, with only its own title bar.
TEST(SecondaryWindows, OpenOverTheBrowserWindowWithTheirOwnTitleBarOnly)
{
    PrivateDesktop desktop(true);
    ASSERT_TRUE(desktop.ready()) << "no private X server with openbox";
    TempDir home;
    prepareProfile(home, "");
    Process kovi(home.path(), {}, {{"DISPLAY", desktop.display()}});

    // The shown window of this title, and the browser window.
    auto find = [&](const std::string& title) -> unsigned long {
        for (unsigned long window : desktop.windowsBottomToTop()) {
            if (desktop.title(window) == title)
                return window;
        }
        return 0;
    };
    unsigned long browser = 0;
    ASSERT_TRUE(runUntilGtk([&] { return (browser = find("Kovi")) != 0; }, 40));
    int bx, by, bwidth, bheight;
    ASSERT_TRUE(desktop.geometry(browser, bx, by, bwidth, bheight));
    // The browser window draws its own frame: the desktop adds nothing around it.
    EXPECT_EQ(desktop.frameExtents(browser), (std::vector<long>{0, 0, 0, 0}));

    struct Case {
        const char* keys;
        const char* title;
    };
    for (const Case& c : {Case{"ctrl+comma", "Settings"}, Case{"ctrl+shift+b", "Library"}}) {
        SCOPED_TRACE(c.title);
        ASSERT_TRUE(runUntilGtk([&] { return desktop.activeWindow() == browser; }));
        ASSERT_TRUE(desktop.xdo(std::string("key ") + c.keys));
        unsigned long window = 0;
        ASSERT_TRUE(runUntilGtk([&] { return (window = find(c.title)) != 0 && !desktop.frameExtents(window).empty(); }));
        EXPECT_EQ(desktop.transientFor(window), browser);
        EXPECT_EQ(desktop.frameExtents(window), (std::vector<long>{0, 0, 0, 0})) << "a title bar of the desktop's";
        int x, y, width, height;
        ASSERT_TRUE(desktop.geometry(window, x, y, width, height));
        EXPECT_NEAR(x + width / 2, bx + bwidth / 2, bwidth / 10) << "at " << x << "," << y;
        EXPECT_NEAR(y + height / 2, by + bheight / 2, bheight / 10) << "at " << x << "," << y;
        if (const char* folder = std::getenv("KOVI_SCREENSHOT_DIR"))
            desktop.screenshot(std::string(folder) + "/openbox-" + c.title + ".png");
        ASSERT_TRUE(desktop.xdo("key Escape"));
        ASSERT_TRUE(runUntilGtk([&] { return find(c.title) == 0; }));
    }
    ASSERT_TRUE(runUntilGtk([&] { return desktop.activeWindow() == browser; }));
    ASSERT_TRUE(desktop.xdo("key ctrl+q"));
    EXPECT_EQ(kovi.wait(30), 0);
}

} // namespace
} // namespace kovi::test
