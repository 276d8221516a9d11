// The account button, the account panel as a sheet and over the browser, the privacy sheet, and
// signing out with the account views open.
#include "settings_fixture.h"

#include "core/settings/account_dates.h"
#include "core/support/notification_names.h"
#include "ui/settings/account_button.h"
#include "ui/settings/account_card.h"
#include "ui/settings/account_settings_view.h"
#include "ui/settings/account_sheet.h"
#include "ui/settings/privacy_info_view.h"
#include "ui/settings/profile_settings_tab.h"
#include "ui/settings/auth_view.h"

#include <adwaita.h>
#include <gtkmm/image.h>

namespace kovi::test {
namespace {

class AccountTest : public SettingsAppTest {
protected:
    AccountButton& accountButton()
    {
        AccountButton* button = findWidget<AccountButton>(h->window());
        EXPECT_NE(button, nullptr);
        return *button;
    }
    // Clicks the account button and waits for its sheet.
    AccountSheet* openSheet()
    {
        AccountButton& button = accountButton();
        xdoFocusWindow(h->window());
        if (!xdoClickWidget(button) || !runUntilGtk([&] { return button.sheet() && button.sheet()->get_mapped(); }))
            return nullptr;
        waitForWindow(*button.sheet());
        settle(100);
        return button.sheet();
    }
    // The settings window of this run, opened by the settings command (on any screen).
    SettingsWindow* openFromCommand()
    {
        for (SettingsWindow* window : settingsWindows())
            s_earlier.insert(window); // an earlier run's
        ctx().notifications.post(notifications::showSettings);
        if (!runUntilGtk([] { return settingsWindow() && settingsWindow()->get_mapped(); }))
            return nullptr;
        waitForWindow(*settingsWindow());
        return settingsWindow();
    }
    // With nobody signed in, the Profile tab and its card show nobody: no guest's name or date.
    static void expectShowsNobody(ProfileSettingsTab& profile)
    {
        EXPECT_EQ(profile.emailLabel().get_text(), "Not signed in");
        EXPECT_FALSE(profile.guestNote().get_visible());
        EXPECT_EQ(profile.card().nameLabel().get_text(), "Not signed in");
        EXPECT_FALSE(profile.card().subtitleLabel().get_visible());
        EXPECT_EQ(profile.card().memberSinceLabel().get_text(), "---");
    }
    // The settings window's title, Profile button, account row and card show the current guest.
    void expectShowsCurrentGuest(SettingsWindow& settings)
    {
        const auto& user = ctx().auth.currentUser();
        ASSERT_TRUE(user);
        EXPECT_EQ(std::string(settings.titleLabel().get_text()), user->displayName);
        EXPECT_EQ(std::string(settings.tabBar().button(SettingsTab::profile).titleLabel().get_text()), user->displayName);
        auto* profile = dynamic_cast<ProfileSettingsTab*>(settings.tabView());
        ASSERT_NE(profile, nullptr);
        EXPECT_EQ(std::string(profile->emailLabel().get_text()), user->email);
        EXPECT_TRUE(profile->guestNote().get_visible());
        EXPECT_EQ(std::string(profile->card().nameLabel().get_text()), user->displayName);
        EXPECT_EQ(profile->card().subtitleLabel().get_text(), "Guest User");
        EXPECT_EQ(std::string(profile->card().memberSinceLabel().get_text()), shortMemberSinceText(user->createdAt));
    }
    // Signs out with the real pointer through the Profile tab's account menu.
    static void signOutThroughTheAccountMenu(SettingsWindow& settings)
    {
        auto* profile = dynamic_cast<ProfileSettingsTab*>(settings.tabView());
        ASSERT_NE(profile, nullptr);
        ASSERT_TRUE(xdoFocusWindow(settings));
        ASSERT_TRUE(xdoClickWidget(profile->accountMenuButton()));
        ASSERT_TRUE(runUntilGtk([&] { return profile->signOutItem().get_mapped(); }));
        settle(100);
        ASSERT_TRUE(xdoClickInPopover(profile->signOutItem()));
    }
};

TEST_F(AccountTest, ButtonOpensTheGuestSheetAndThePrivacySheetFromIt)
{
    start();
    AccountButton& button = accountButton();
    EXPECT_EQ(button.initialsLabel().get_text(), "G");
    EXPECT_TRUE(button.has_css_class("guest"));
    EXPECT_EQ(button.get_tooltip_text(), "Guest");

    for (bool dark : {false, true}) {
        ctx().appearance.setIsDarkMode(dark);
        const std::string look = dark ? "dark" : "light";
        AccountSheet* sheet = openSheet();
        ASSERT_NE(sheet, nullptr);
        EXPECT_TRUE(sheet->get_modal());
        EXPECT_EQ(sheet->get_transient_for(), &h->window());
        EXPECT_TRUE(button.showAccountSettings());
        AccountSettingsView& view = sheet->view();
        EXPECT_EQ(view.get_width(), AccountSettingsView::width);
        EXPECT_EQ(view.get_height(), AccountSettingsView::height);
        // A guest: the question-mark avatar, the badge, no e-mail, no date, the local note.
        ASSERT_NE(view.card(), nullptr);
        EXPECT_EQ(view.card()->nameLabel().get_text(), "Guest");
        ASSERT_NE(view.card()->guestBadge(), nullptr);
        // The badge's symbol is an "i" in a circle (the desktop theme's information icon is a bulb).
        auto* badgeSymbol = dynamic_cast<Gtk::Image*>(view.card()->guestBadge()->get_first_child());
        ASSERT_NE(badgeSymbol, nullptr);
        EXPECT_EQ(badgeSymbol->get_icon_name(), "kovi-info-circle-symbolic");
        EXPECT_EQ(view.card()->emailLabel(), nullptr);
        EXPECT_EQ(view.card()->memberSinceLabel(), nullptr);
        EXPECT_NE(view.guestNote(), nullptr);
        EXPECT_EQ(view.signOutRow(), nullptr);
        ASSERT_NE(view.privacyRow(), nullptr);
        screenshotIfAsked("account-sheet-" + look);

        ASSERT_TRUE(xdoClickWidget(*view.privacyRow()));
        ASSERT_TRUE(runUntilGtk([&] { return view.privacySheet() && view.privacySheet()->get_mapped(); }));
        PrivacyInfoView& privacy = *view.privacySheet();
        EXPECT_EQ(privacy.get_transient_for(), sheet);
        waitForWindow(privacy);
        // One title bar, its own heading: the desktop adds none (the account sheet has none at all).
        EXPECT_FALSE(getsDesktopTitleBar(privacy));
        EXPECT_FALSE(getsDesktopTitleBar(*sheet));
        settle(150);
        screenshotIfAsked("privacy-sheet-" + look);
        if (dark) {
            ASSERT_TRUE(xdoClickWidget(privacy.gotItButton()));
        } else {
            // Escape closes it as "Got it!" does (it was ignored), and only it.
            ASSERT_TRUE(xdoFocusWindow(privacy));
            ASSERT_TRUE(xdoKey("Escape"));
        }
        ASSERT_TRUE(runUntilGtk([&] { return view.privacySheet() == nullptr; }));
        EXPECT_TRUE(sheet->get_visible());

        ASSERT_TRUE(xdoClickWidget(view.closeButton()));
        ASSERT_TRUE(runUntilGtk([&] { return button.sheet() == nullptr; }));
        EXPECT_FALSE(button.showAccountSettings());
    }
}

TEST_F(AccountTest, ContinuingAsGuestFromThePrivacySheetReplacesTheAccountInThePanel)
{
    start();
    const std::string firstId = ctx().auth.currentUser()->id;
    AccountSheet* sheet = openSheet();
    ASSERT_NE(sheet, nullptr);
    sheet->view().showPrivacyInfo();
    PrivacyInfoView* privacy = sheet->view().privacySheet();
    ASSERT_NE(privacy, nullptr);
    ASSERT_TRUE(waitForWindow(*privacy));
    settle(100);
    ASSERT_TRUE(xdoClickWidget(privacy->continueAsGuestButton()));
    ASSERT_TRUE(runUntilGtk([&] { return sheet->view().privacySheet() == nullptr; }));
    ASSERT_TRUE(ctx().auth.currentUser());
    EXPECT_NE(ctx().auth.currentUser()->id, firstId);
    EXPECT_TRUE(sheet->get_visible());
    EXPECT_NE(sheet->view().card(), nullptr);
    EXPECT_EQ(h->root().screen(), MainBrowserView::Screen::browser);
}

TEST_F(AccountTest, EscapeClosesTheSheetAndTheRootViewHostsThePanelToo)
{
    start();
    AccountSheet* sheet = openSheet();
    ASSERT_NE(sheet, nullptr);
    xdoFocusWindow(*sheet);
    ASSERT_TRUE(xdoKey("Escape"));
    ASSERT_TRUE(runUntilGtk([&] { return accountButton().sheet() == nullptr; }));

    // Over the browser, on its scrim: the close button closes the panel.
    ctx().notifications.post(notifications::showAccountSettings);
    ASSERT_TRUE(h->root().accountLayer().isPresented());
    auto* panel = dynamic_cast<AccountSettingsView*>(h->root().accountLayer().content());
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(runUntilGtk([&] { return panel->get_mapped() && panel->closeButton().get_width() > 0; }));
    settle(300);
    screenshotIfAsked("account-panel-over-browser");
    xdoFocusWindow(h->window());
    ASSERT_TRUE(xdoClickWidget(panel->closeButton()));
    ASSERT_TRUE(runUntilGtk([&] { return !ctx().state.isAccountSettingsVisible(); }));
}

TEST_F(AccountTest, SignOutWithTheSettingsWindowTheAccountSheetAndThePrivacySheetOpen)
{
    start();
    SettingsWindow* settings = openWithKeys();
    ASSERT_NE(settings, nullptr);
    AccountSheet* sheet = openSheet();
    ASSERT_NE(sheet, nullptr);
    sheet->view().showPrivacyInfo();
    ASSERT_NE(sheet->view().privacySheet(), nullptr);

    // The modal account sheet does not block the settings window: its menu signs out at once.
    ASSERT_NO_FATAL_FAILURE(signOutThroughTheAccountMenu(*settings));
    ASSERT_TRUE(runUntilGtk([&] { return h->root().screen() == MainBrowserView::Screen::welcome; }));
    EXPECT_FALSE(ctx().auth.isAuthenticated());
    EXPECT_EQ(findWidget<AccountButton>(h->window()), nullptr); // the sheet went with the sidebar

    // The settings window stays and shows nobody.
    EXPECT_TRUE(settings->get_visible());
    EXPECT_EQ(settings->titleLabel().get_text(), "Settings");
    EXPECT_EQ(settings->tabBar().button(SettingsTab::profile).titleLabel().get_text(), "Profile");
    auto* profile = dynamic_cast<ProfileSettingsTab*>(settings->tabView());
    ASSERT_NE(profile, nullptr);
    expectShowsNobody(*profile);
    settle(100);
    screenshotIfAsked("signed-out-with-settings");

    // "Start Browsing" makes a new guest; the open settings window follows at once.
    AuthView* welcome = h->root().authView();
    ASSERT_NE(welcome, nullptr);
    ASSERT_TRUE(xdoFocusWindow(h->window()));
    ASSERT_TRUE(xdoClickWidget(welcome->startButton()));
    ASSERT_TRUE(runUntilGtk([&] { return h->root().screen() == MainBrowserView::Screen::browser; }));
    expectShowsCurrentGuest(*settings);
}

// Every view that shows the account shows the one AuthManager has: after a sign-out, a restart
// and a new guest, with the settings window open the whole time.
TEST_F(AccountTest, AccountViewsFollowTheCurrentUserAcrossSignOutAndRestart)
{
    start();
    const KoviUser first = *ctx().auth.currentUser();
    SettingsWindow* settings = openWithKeys();
    ASSERT_NE(settings, nullptr);
    expectShowsCurrentGuest(*settings);

    // A restart finds the stored guest.
    restart();
    ASSERT_EQ(ctx().auth.currentUser()->id, first.id);
    settings = openFromCommand();
    ASSERT_NE(settings, nullptr);
    expectShowsCurrentGuest(*settings);

    // Signed out, then started again: the welcome screen, and nobody in the settings window.
    ASSERT_NO_FATAL_FAILURE(signOutThroughTheAccountMenu(*settings));
    ASSERT_TRUE(runUntilGtk([&] { return !ctx().auth.isAuthenticated(); }));
    h.reset();
    ViewSlots slots = defaultViewSlots();
    slots.tabContent = {};
    h = std::make_unique<AppHarness>(dir.path(), std::nullopt, false, std::move(slots));
    ASSERT_TRUE(runUntilGtk([&] { return h->root().screen() == MainBrowserView::Screen::welcome; }));
    ASSERT_TRUE(waitForWindow(h->window()));
    settings = openFromCommand();
    ASSERT_NE(settings, nullptr);
    auto* profile = dynamic_cast<ProfileSettingsTab*>(settings->tabView());
    ASSERT_NE(profile, nullptr);
    EXPECT_EQ(settings->titleLabel().get_text(), "Settings");
    expectShowsNobody(*profile);

    // "Start Browsing" with the settings window open.
    AuthView* welcome = h->root().authView();
    ASSERT_NE(welcome, nullptr);
    ASSERT_TRUE(xdoFocusWindow(h->window()));
    ASSERT_TRUE(xdoClickWidget(welcome->startButton()));
    ASSERT_TRUE(runUntilGtk([&] { return h->root().screen() == MainBrowserView::Screen::browser; }));
    ASSERT_NE(ctx().auth.currentUser()->id, first.id);
    expectShowsCurrentGuest(*settings);
    AccountButton& button = accountButton();
    EXPECT_EQ(button.initialsLabel().get_text(), "G");
    EXPECT_EQ(button.get_tooltip_text(), "Guest");
    AccountSheet* sheet = openSheet();
    ASSERT_NE(sheet, nullptr);
    ASSERT_NE(sheet->view().card(), nullptr);
    EXPECT_EQ(sheet->view().card()->nameLabel().get_text(), "Guest");
}

// The panel built on its own, with nobody signed in: the sign-out row asks first.
TEST(AccountPanel, SignOutRowAsksAndOnlyTheConfirmationSignsOut)
{
    ensureGtk();
    TempDir dir;
    CoreObjects core(dir.path());
    ASSERT_FALSE(core.auth.isAuthenticated());
    Gtk::Window window;
    core.theme.attach(window);
    int dismissed = 0;
    auto* view = Gtk::make_managed<AccountSettingsView>(core.ctx, [&] { ++dismissed; });
    window.set_child(*view);
    window.present();
    ASSERT_TRUE(waitForWindow(window));
    EXPECT_EQ(view->card(), nullptr);
    EXPECT_EQ(view->guestNote(), nullptr);
    ASSERT_NE(view->signOutRow(), nullptr);
    ASSERT_NE(view->privacyRow(), nullptr);

    ASSERT_TRUE(xdoFocusWindow(window));
    ASSERT_TRUE(xdoClickWidget(*view->signOutRow()));
    ASSERT_TRUE(runUntilGtk([&] { return view->signOutConfirmation() != nullptr; }));
    AdwMessageDialog* alert = view->signOutConfirmation();
    EXPECT_STREQ(adw_message_dialog_get_heading(alert), "Sign Out");
    EXPECT_STREQ(adw_message_dialog_get_body(alert),
                 "Are you sure you want to sign out? You can sign back in anytime.");
    EXPECT_EQ(adw_message_dialog_get_response_appearance(alert, "sign-out"), ADW_RESPONSE_DESTRUCTIVE);
    waitForWindow(*Glib::wrap(GTK_WINDOW(alert)));
    screenshotIfAsked("sign-out-confirmation");
    adw_message_dialog_response(alert, "cancel");
    ASSERT_TRUE(runUntilGtk([&] { return view->signOutConfirmation() == nullptr; }));
    EXPECT_EQ(dismissed, 0);

    // A guest arriving meanwhile (from another window) replaces the row with the note.
    view->askToSignOut();
    core.auth.continueAsGuest();
    EXPECT_NE(view->card(), nullptr);
    EXPECT_EQ(view->signOutRow(), nullptr);
    // Confirming still signs out what is there now, and ends the presentation.
    adw_message_dialog_response(view->signOutConfirmation(), "sign-out");
    EXPECT_EQ(dismissed, 1);
    EXPECT_FALSE(core.auth.isAuthenticated());
    EXPECT_EQ(view->card(), nullptr);
    ASSERT_TRUE(runUntilGtk([&] { return view->signOutConfirmation() == nullptr; }));
}

TEST(AccountPanel, CardOfAnAccountThatIsNoGuestShowsInitialsMailAndTheLongDate)
{
    ensureGtk();
    KoviUser user{"id", "ada@example.com", "ada lovelace byron", Date::fromUnix(1796731200.0), false};
    auto* card = Gtk::make_managed<AccountCard>(user);
    Gtk::Window window;
    window.set_child(*card);
    window.set_default_size(380, -1);
    window.present();
    ASSERT_TRUE(waitForWindow(window));
    EXPECT_EQ(card->initials(), "AL");
    ASSERT_NE(card->emailLabel(), nullptr);
    EXPECT_EQ(card->emailLabel()->get_text(), "ada@example.com");
    EXPECT_EQ(card->guestBadge(), nullptr);
    ASSERT_NE(card->memberSinceLabel(), nullptr);
    EXPECT_EQ(std::string(card->memberSinceLabel()->get_text()), longDateText(user.createdAt));
    screenshotIfAsked("account-card-member");

    user.email.clear();
    AccountCard withoutMail(user);
    EXPECT_EQ(withoutMail.emailLabel(), nullptr);
}

} // namespace
} // namespace kovi::test
