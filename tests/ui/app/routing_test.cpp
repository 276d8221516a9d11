// The window's way from a fresh profile to the browser: welcome, onboarding, main view, and the
// next launch straight to the main view.
#include "app_fixture.h"

#include "core/support/notification_names.h"
#include "support/file_size_limit.h"
#include "ui/layouts/content_view.h"
#include "ui/layouts/empty_state_view.h"
#include "ui/layouts/onboarding_view.h"
#include "ui/library/message_alert.h"
#include "ui/settings/auth_view.h"

#include <adwaita.h>
#include <gtkmm/button.h>

#include <filesystem>

namespace kovi::test {
namespace {

using Screen = MainBrowserView::Screen;

// The welcome and onboarding screens had no window buttons, so under a window manager the
// window could not be closed with the mouse. Their title bar shows the desktop's buttons, and a
// drag along it moves the window.
void expectOwnTitleBar(AppHarness& h)
{
    Gtk::Widget& bar = h.root().screenTitleBar();
    ASSERT_TRUE(waitForFrames(bar));
    EXPECT_TRUE(h.window().windowButtonsVisible());
    EXPECT_NE(findWidget<Gtk::Button>(bar, [](Gtk::Button& b) { return b.has_css_class("close") && b.get_mapped(); }),
              nullptr);
    // Its middle, on the screen.
    int x = 0, y = 0;
    auto middle = [&] { return widgetPoint(bar, bar.get_width() / 2.0, bar.get_height() / 2.0, x, y); };
    auto dragBy = [&](int dx, int dy) {
        const int fromX = x, fromY = y;
        std::vector<std::string> drag{"mousemove", std::to_string(fromX), std::to_string(fromY), "mousedown", "1"};
        for (int step = 1; step <= 8; ++step)
            drag.insert(drag.end(), {"mousemove", std::to_string(fromX + dx * step / 8),
                                     std::to_string(fromY + dy * step / 8), "sleep", "0.03"});
        drag.insert(drag.end(), {"mouseup", "1"});
        return xdo(drag) && runUntilGtk([&] { return middle() && x == fromX + dx && y == fromY + dy; });
    };
    ASSERT_TRUE(middle());
    EXPECT_TRUE(dragBy(40, 32)) << "the window moved to " << x << "," << y;
    // Back where it was, for the clicks that follow.
    ASSERT_TRUE(dragBy(-40, -32));
}

TEST(Routing, FreshProfileGoesWelcomeOnboardingBrowserAndNextLaunchStraightToBrowser)
{
    TempDir dir;
    {
        AppHarness h(dir.path());
        ASSERT_TRUE(waitForWindow(h.window()));
        ASSERT_EQ(h.root().screen(), Screen::welcome);
        ASSERT_NE(h.root().authView(), nullptr);
        expectOwnTitleBar(h);

        // The real button, clicked through the display.
        ASSERT_TRUE(xdoClickWidget(h.root().authView()->startButton()));
        ASSERT_TRUE(runUntilGtk([&] { return h.root().screen() == Screen::onboarding; }));
        EXPECT_TRUE(h.ctx().auth.isAuthenticated());
        OnboardingView* onboarding = h.root().onboardingView();
        ASSERT_NE(onboarding, nullptr);
        EXPECT_EQ(onboarding->selectedMode(), BrowserLayoutMode::vertical);
        expectOwnTitleBar(h);

        NotificationProbe layoutChanged(h.ctx().notifications, notifications::layoutModeChanged);
        settle(100);
        ASSERT_TRUE(xdoClickWidget(onboarding->getStartedButton()));
        ASSERT_TRUE(runUntilGtk([&] { return h.root().screen() == Screen::browser; }));
        EXPECT_EQ(layoutChanged.count, 0) << "the layout stored already";
        EXPECT_EQ(h.ctx().defaults.boolValue("hasCompletedOnboarding"), true);
        EXPECT_EQ(h.ctx().defaults.stringValue("browserLayoutMode"), "vertical");
        ContentView* content = h.root().contentView();
        ASSERT_NE(content, nullptr);
        EXPECT_FALSE(h.root().screenTitleBar().get_visible());
        EXPECT_NE(content->pageArea().startPage(), nullptr);
    }
    {
        AppHarness h(dir.path());
        ASSERT_TRUE(waitForWindow(h.window()));
        EXPECT_EQ(h.root().screen(), Screen::browser);
        EXPECT_NE(h.root().contentView(), nullptr);
    }
}

TEST(Routing, SignOutReturnsToWelcomeAndPanelsStayOverTheBrowserOnly)
{
    TempDir dir;
    AppHarness h(dir.path());
    ASSERT_TRUE(h.showBrowser());

    h.ctx().state.setIsAIChatVisible(true);
    h.ctx().state.setIsKoviMaxSettingsVisible(true);
    EXPECT_TRUE(h.root().aiChatLayer().isPresented());
    EXPECT_TRUE(h.root().aiSettingsLayer().isPresented());
    // A tap on the front scrim closes only the front panel.
    h.root().aiSettingsLayer().tapScrim();
    EXPECT_FALSE(h.ctx().state.isKoviMaxSettingsVisible());
    EXPECT_TRUE(h.ctx().state.isAIChatVisible());

    // The account panel answers its notification.
    h.ctx().notifications.post(notifications::showAccountSettings);
    EXPECT_TRUE(h.ctx().state.isAccountSettingsVisible());
    h.root().accountLayer().tapScrim();
    EXPECT_FALSE(h.ctx().state.isAccountSettingsVisible());

    h.ctx().auth.signOut();
    ASSERT_TRUE(runUntilGtk([&] { return h.root().screen() == Screen::welcome; }));
    EXPECT_EQ(h.root().contentView(), nullptr);
}

TEST(Routing, ShowSettingsOpensTheSettingsWindowOnEveryScreen)
{
    TempDir dir;
    int opened = 0;
    ViewSlots slots;
    slots.openSettings = [&](AppContext&, Gtk::Window&) { ++opened; };
    AppHarness h(dir.path(), std::nullopt, false, slots);
    ASSERT_EQ(h.root().screen(), Screen::welcome);
    h.app->commands().activate("settings");
    EXPECT_EQ(opened, 1);
}

TEST(Routing, LibraryErrorAlertWaitsForTheLibrarySheetAndDismissalClearsIt)
{
    TempDir dir;
    ViewSlots slots;
    slots.librarySheet = [](AppContext&, Gtk::Window&) -> Gtk::Window* { return new Gtk::Window(); };
    AppHarness h(dir.path(), std::nullopt, false, slots);
    ASSERT_TRUE(h.showBrowser());

    h.ctx().state.setIsLibraryVisible(true);
    h.ctx().library.setErrorMessage(std::string("Disk full"));
    EXPECT_EQ(h.root().libraryAlert(), nullptr); // the sheet shows its own errors
    h.ctx().state.setIsLibraryVisible(false);
    ASSERT_NE(h.root().libraryAlert(), nullptr);
    EXPECT_STREQ(adw_message_dialog_get_heading(h.root().libraryAlert()), "Library could not be saved");
    EXPECT_STREQ(adw_message_dialog_get_body(h.root().libraryAlert()), "Disk full");
    adw_message_dialog_response(h.root().libraryAlert(), "ok");
    EXPECT_EQ(h.ctx().library.errorMessage(), std::nullopt);
    EXPECT_EQ(h.root().libraryAlert(), nullptr);
}

// A library.json that could not be read was announced under "Library could not be saved".
TEST(Routing, ALibraryThatCouldNotBeReadSaysSoInTheAlertsHeading)
{
    TempDir dir;
    std::filesystem::create_directories(dir.path() + "/data");
    dir.write("data/library.json", "{broken");
    AppHarness h(dir.path());
    h.ctx().auth.continueAsGuest();
    h.root().setHasCompletedOnboarding(true);
    ASSERT_TRUE(runUntilGtk([&] { return h.root().libraryAlert() != nullptr; }));
    EXPECT_STREQ(adw_message_dialog_get_heading(h.root().libraryAlert()), "Library could not be read");
    adw_message_dialog_response(h.root().libraryAlert(), "ok");

    // What fails later is a change that could not be saved.
    h.ctx().library.remove(Uuid::random());
    ASSERT_NE(h.root().libraryAlert(), nullptr);
    EXPECT_STREQ(adw_message_dialog_get_heading(h.root().libraryAlert()), "Library could not be saved");
    adw_message_dialog_response(h.root().libraryAlert(), "ok");
}

// Tabs and history that could not be saved (browser_state.json a folder, a full disk) were told
// on standard output only, so the tabs were gone at the next start without a word.
TEST(Routing, TabsAndHistoryThatCannotBeSavedAreToldOnceOverTheWindow)
{
    TempDir dir;
    const std::string stateFile = dir.path() + "/data/browser_state.json";
    std::filesystem::create_directories(stateFile);
    AppHarness h(dir.path());
    h.ctx().auth.continueAsGuest();
    h.root().setHasCompletedOnboarding(true);
    auto alertOpen = [&] { return h.app->stateSaveAlert() && h.app->stateSaveAlert()->isOpen(); };
    auto body = [&] { return std::string(adw_message_dialog_get_body(h.app->stateSaveAlert()->dialog())); };
    ASSERT_TRUE(runUntilGtk(alertOpen)) << "the failure at start-up is told once the window is up";
    AdwMessageDialog* dialog = h.app->stateSaveAlert()->dialog();
    EXPECT_STREQ(adw_message_dialog_get_heading(dialog), "Changes could not be saved");
    EXPECT_NE(body().find("Your tabs could not be saved: the unreadable file " + stateFile), std::string::npos) << body();
    EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(dialog)), GTK_WINDOW(h.window().gobj()));
    settle(200);
    screenshotIfAsked("state-save-failed");
    adw_message_dialog_response(dialog, "ok");
    ASSERT_TRUE(runUntilGtk([&] { return !alertOpen(); }));

    // Not again at each change; the history starting to fail is told, beside the tabs.
    h.ctx().state.saveState();
    settle(100);
    EXPECT_FALSE(alertOpen());
    {
        FileSizeLimit full(16);
        h.ctx().state.addToHistory(makeTab(h.ctx().state, "https://a.example/"));
    }
    ASSERT_TRUE(runUntilGtk(alertOpen));
    EXPECT_NE(body().find("Your tabs could not be saved"), std::string::npos) << body();
    EXPECT_NE(body().find("Your history could not be saved: Could not write"), std::string::npos) << body();
    adw_message_dialog_response(h.app->stateSaveAlert()->dialog(), "ok");
    EXPECT_TRUE(std::filesystem::is_directory(stateFile));
}

TEST(Routing, SheetsFollowTheirFlagsAndClosingTheWindowClearsTheFlag)
{
    TempDir dir;
    int built = 0;
    ViewSlots slots;
    slots.librarySheet = [&](AppContext&, Gtk::Window&) -> Gtk::Window* {
        ++built;
        return new Gtk::Window();
    };
    AppHarness h(dir.path(), std::nullopt, false, slots);
    ASSERT_TRUE(h.showBrowser());

    h.app->commands().activate("show-library");
    ASSERT_NE(h.root().librarySheet(), nullptr);
    EXPECT_EQ(built, 1);
    EXPECT_TRUE(h.root().librarySheet()->get_modal());
    h.root().librarySheet()->close();
    EXPECT_FALSE(h.ctx().state.isLibraryVisible());
    EXPECT_EQ(h.root().librarySheet(), nullptr);
    settle(50);
}

} // namespace
} // namespace kovi::test
