// What the tabs' controls do in the running browser, clicked through the display: what acts at
// once, what is only stored, and what showing a tab must not do.
#include "settings_fixture.h"

#include "core/state/browser_state.h"
#include "ui/settings/advanced_settings_tab.h"
#include "ui/settings/general_settings_tab.h"
#include "ui/settings/icon_settings_tab.h"
#include "ui/settings/links_settings_tab.h"
#include "ui/settings/max_settings_tab.h"
#include "ui/settings/profile_settings_tab.h"
#include "ui/settings/profiles_settings_tab.h"
#include "support/file_size_limit.h"
#include "ui/library/message_alert.h"
#include "ui/settings/membership_card.h"

#include <adwaita.h>

namespace kovi::test {
namespace {

class SettingsTabsTest : public SettingsAppTest {
protected:
    GeneralSettingsTab* openGeneral()
    {
        window = openWithKeys();
        return window ? showTab<GeneralSettingsTab>(*window, SettingsTab::general) : nullptr;
    }
    // A click on a control of the settings window, which first gets the pointer's stacking.
    bool click(Gtk::Widget& widget)
    {
        scrollIntoView(widget);
        xdoFocusWindow(*window);
        return xdoClickWidget(widget);
    }

    SettingsWindow* window = nullptr;
};

TEST_F(SettingsTabsTest, ThemeChangesTheOpenBrowserAtOnceAndSurvivesARestart)
{
    start();
    ctx().appearance.setIsDarkMode(true);
    GeneralSettingsTab* general = openGeneral();
    ASSERT_NE(general, nullptr);
    auto& theme = general->themeButtons();
    EXPECT_TRUE(theme[1]->get_active()); // "Dark"

    ASSERT_TRUE(click(*theme[0]));
    ASSERT_TRUE(runUntilGtk([&] { return !ctx().appearance.isDarkMode(); }));
    EXPECT_TRUE(h->window().has_css_class("kovi-light"));
    EXPECT_FALSE(adw_style_manager_get_dark(adw_style_manager_get_default()));

    // "System" is not a mode of its own: dark mode stays off and "Light" shows.
    ASSERT_TRUE(click(*theme[2]));
    ASSERT_TRUE(runUntilGtk([&] { return theme[0]->get_active(); }));
    EXPECT_FALSE(theme[2]->get_active());
    EXPECT_FALSE(ctx().appearance.isDarkMode());

    ASSERT_TRUE(click(*theme[1]));
    ASSERT_TRUE(runUntilGtk([&] { return ctx().appearance.isDarkMode(); }));
    EXPECT_TRUE(h->window().has_css_class("kovi-dark"));
    EXPECT_TRUE(window->has_css_class("kovi-dark"));
    // A change made elsewhere shows here at once.
    ctx().appearance.setIsDarkMode(false);
    EXPECT_TRUE(theme[0]->get_active());

    restart();
    EXPECT_FALSE(ctx().appearance.isDarkMode());
    EXPECT_TRUE(h->window().has_css_class("kovi-light"));
}

TEST_F(SettingsTabsTest, LayoutGlassBookmarksBarAndBezelActOnTheBrowserAndFollowOtherControls)
{
    start();
    GeneralSettingsTab* general = openGeneral();
    ASSERT_NE(general, nullptr);

    ASSERT_TRUE(chooseFromDropDown(general->layoutPicker(), 1));
    ASSERT_TRUE(runUntilGtk([&] { return ctx().state.layoutMode() == BrowserLayoutMode::traditional; }));
    EXPECT_EQ(ctx().defaults.stringValue("browserLayoutMode"), "traditional");
    EXPECT_TRUE(h->window().windowButtonsVisible());
    ASSERT_TRUE(chooseFromDropDown(general->layoutPicker(), 0));
    ASSERT_TRUE(runUntilGtk([&] { return ctx().state.layoutMode() == BrowserLayoutMode::vertical; }));
    EXPECT_TRUE(runUntilGtk([&] { return h->window().windowButtonsVisible(); })) << "the sidebar has them too";
    h->app->commands().activate("toggle-layout");
    EXPECT_EQ(general->layoutPicker().get_selected(), 1u);
    h->app->commands().activate("toggle-layout");

    ASSERT_TRUE(click(general->glassSwitch()));
    ASSERT_TRUE(runUntilGtk([&] { return ctx().appearance.isGlassEnabled(); }));
    EXPECT_TRUE(h->window().has_css_class("kovi-glass"));

    ASSERT_TRUE(click(general->bookmarksBarSwitch()));
    ASSERT_TRUE(runUntilGtk([&] { return ctx().defaults.boolValue("showBookmarksBar") == true; }));
    h->app->commands().activate("toggle-bookmarks-bar");
    EXPECT_FALSE(general->bookmarksBarSwitch().get_active());

    ASSERT_TRUE(ctx().state.isBrowserBezelEnabled());
    ASSERT_TRUE(click(general->bezelSwitch()));
    ASSERT_TRUE(runUntilGtk([&] { return !ctx().state.isBrowserBezelEnabled(); }));
    EXPECT_EQ(ctx().defaults.boolValue("isBrowserBezelEnabled"), false);
    h->app->commands().activate("toggle-bezel");
    EXPECT_TRUE(general->bezelSwitch().get_active());

    ASSERT_TRUE(chooseFromDropDown(general->searchEnginePicker(), 1));
    ASSERT_TRUE(runUntilGtk([&] { return ctx().defaults.stringValue("defaultSearchEngine") == "DuckDuckGo"; }));
}

class AutoArchiveTest : public SettingsTabsTest {
protected:
    // Four tabs: an idle one, a pinned one and an excluded one made 7 hours ago, and the active
    // one, visited now.
    void seedTabs()
    {
        BrowserState& state = ctx().state;
        idle = makeTab(state, "https://idle.example/", "Idle");
        Tab pinned = makeTab(state, "https://pinned.example/", "Pinned", true);
        Tab excluded = makeTab(state, "https://excluded.example/", "Excluded");
        excluded.isAutoArchiveExcluded = true;
        for (const Tab& tab : {idle, pinned, excluded})
            state.addTab(tab);
        clock.advance(7 * 3600);
        active = makeTab(state, "https://active.example/", "Active");
        state.addTab(active);
        ASSERT_EQ(state.tabs().size(), 4u);
    }
    bool hasIdleTab() { return ctx().state.tabs().count(idle.id) != 0; }

    ManualClock clock{Date::fromUnix(1800000000.0)};
    Clock::Override useClock{clock};
    Tab idle = Tab(Uuid::random(), *Url::parse("https://a.example/"), std::nullopt, false, false, std::nullopt,
                   std::nullopt);
    Tab active = idle;
};

TEST_F(AutoArchiveTest, ShowingTheTabArchivesNothingAndShorterHoursArchiveAtOnce)
{
    start();
    seedTabs();
    // Stored without a pass: a pass now would close the idle tab.
    ctx().preferences.set(prefs::autoArchiveHours, 6.0);
    GeneralSettingsTab* general = openGeneral();
    ASSERT_NE(general, nullptr);
    settle(200);
    EXPECT_TRUE(hasIdleTab()) << "showing the stored values ran an archive pass";
    EXPECT_EQ(general->archiveHoursPicker().get_selected(), 0u);

    ASSERT_TRUE(chooseFromDropDown(general->archiveHoursPicker(), 3)); // 2 days
    ASSERT_TRUE(runUntilGtk([&] { return ctx().defaults.numberValue("autoArchiveHours") == 48.0; }));
    EXPECT_TRUE(hasIdleTab());
    ASSERT_TRUE(chooseFromDropDown(general->archiveHoursPicker(), 0)); // 6 hours
    ASSERT_TRUE(runUntilGtk([&] { return !hasIdleTab(); }));
    EXPECT_EQ(ctx().state.tabs().size(), 3u); // pinned, excluded and active stay
    EXPECT_TRUE(ctx().state.tabs().count(active.id));
}

TEST_F(AutoArchiveTest, TurningArchivingOnArchivesAtOnceAndOffLeavesThePickerShowingItsValue)
{
    start();
    ctx().preferences.set(prefs::autoArchiveEnabled, false);
    seedTabs();
    ctx().preferences.set(prefs::autoArchiveHours, 6.0);
    GeneralSettingsTab* general = openGeneral();
    ASSERT_NE(general, nullptr);
    EXPECT_FALSE(general->autoArchiveCheck().get_active());
    EXPECT_FALSE(general->archiveHoursPicker().get_sensitive());
    EXPECT_EQ(general->archiveHoursPicker().get_selected(), 0u);
    EXPECT_TRUE(hasIdleTab());

    ASSERT_TRUE(click(general->autoArchiveCheck()));
    ASSERT_TRUE(runUntilGtk([&] { return !hasIdleTab(); }));
    EXPECT_EQ(ctx().defaults.boolValue("autoArchiveEnabled"), true);
    EXPECT_TRUE(general->archiveHoursPicker().get_sensitive());

    // An hours value the picker does not offer selects nothing and is still used.
    ctx().preferences.set(prefs::autoArchiveHours, 5.0);
    EXPECT_EQ(general->archiveHoursPicker().get_selected(), GTK_INVALID_LIST_POSITION);
    Tab older = makeTab(ctx().state, "https://older.example/", "Older");
    ctx().state.addTab(older);
    ctx().state.setActiveTabId(active.id);
    clock.advance(5.5 * 3600);
    ctx().state.autoArchiveTabsIfNeeded();
    EXPECT_EQ(ctx().state.tabs().count(older.id), 0u);
}

TEST_F(SettingsTabsTest, StoredOnlyControlsWriteTheirKeysAndChangeNothingElse)
{
    start();
    window = openWithKeys();
    ASSERT_NE(window, nullptr);

    auto* links = showTab<LinksSettingsTab>(*window, SettingsTab::links);
    ASSERT_NE(links, nullptr);
    EXPECT_EQ(links->openLinksInPicker().get_selected(), 0u);
    ASSERT_TRUE(chooseFromDropDown(links->openLinksInPicker(), 2));
    ASSERT_TRUE(runUntilGtk([&] { return ctx().defaults.stringValue("openLinksIn") == "quickView"; }));

    auto* advanced = showTab<AdvancedSettingsTab>(*window, SettingsTab::advanced);
    ASSERT_NE(advanced, nullptr);
    ASSERT_TRUE(click(advanced->developerModeCheck()));
    ASSERT_TRUE(runUntilGtk([&] { return ctx().defaults.boolValue("developerMode") == true; }));
    EXPECT_FALSE(ctx().state.isDevToolsEnabled());
    ASSERT_TRUE(click(advanced->hardwareAccelerationCheck()));
    ASSERT_TRUE(runUntilGtk([&] { return ctx().defaults.boolValue("hardwareAcceleration") == false; }));

    // Values survive switching tabs.
    ASSERT_NE(showTab<GeneralSettingsTab>(*window, SettingsTab::general), nullptr);
    links = showTab<LinksSettingsTab>(*window, SettingsTab::links);
    EXPECT_EQ(links->openLinksInPicker().get_selected(), 2u);
}

// On a full disk a switch showed its new value, the failure went to standard output only, and
// the change was gone at the next start.
TEST_F(SettingsTabsTest, ASettingThatCannotBeSavedSaysSoOnce)
{
    start();
    GeneralSettingsTab* general = openGeneral();
    ASSERT_NE(general, nullptr);
    auto alertOpen = [&] { return h->app->settingsSaveAlert() && h->app->settingsSaveAlert()->isOpen(); };
    auto answer = [&] {
        adw_message_dialog_response(h->app->settingsSaveAlert()->dialog(), "ok");
        ASSERT_TRUE(runUntilGtk([&] { return !alertOpen(); }));
    };
    testing::internal::CaptureStdout();
    {
        FileSizeLimit full(8);
        ASSERT_TRUE(click(general->bookmarksBarSwitch()));
        ASSERT_TRUE(runUntilGtk(alertOpen));
        AdwMessageDialog* dialog = h->app->settingsSaveAlert()->dialog();
        EXPECT_STREQ(adw_message_dialog_get_heading(dialog), "Settings could not be saved");
        EXPECT_NE(std::string(adw_message_dialog_get_body(dialog)).find("defaults.json"), std::string::npos);
        EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(dialog)), window->gobj()); // over the window in use
    }
    settle(200);
    screenshotIfAsked("settings-save-failed"); // with room on the disk for the picture
    answer();
    {
        // Once, not once per change.
        FileSizeLimit full(8);
        ASSERT_TRUE(click(general->bezelSwitch()));
        ASSERT_TRUE(runUntilGtk([&] { return ctx().defaults.boolValue("isBrowserBezelEnabled") == false; }));
        settle(200);
        EXPECT_FALSE(alertOpen());
    }
    // Saving works again, then fails again: told again.
    ASSERT_TRUE(click(general->bezelSwitch()));
    ASSERT_TRUE(runUntilGtk([&] { return !ctx().defaults.isSaveFailing(); }));
    {
        FileSizeLimit full(8);
        ASSERT_TRUE(click(general->bookmarksBarSwitch()));
        ASSERT_TRUE(runUntilGtk(alertOpen));
        answer();
    }
    testing::internal::GetCapturedStdout();
}

// What has nothing behind it is greyed out and says so, and a click on it does nothing.
TEST_F(SettingsTabsTest, ControlsWithNothingBehindThemAreUnavailable)
{
    start();
    window = openWithKeys();
    ASSERT_NE(window, nullptr);
    const std::string stored = dir.read("config/defaults.json");
    auto expectUnavailable = [&](Gtk::Widget& control, const char* what) {
        EXPECT_FALSE(control.is_sensitive()) << what;
        EXPECT_EQ(control.get_tooltip_text(), "Not available in this version") << what;
        EXPECT_TRUE(click(control)) << what;
    };

    auto* profile = dynamic_cast<ProfileSettingsTab*>(window->tabView());
    ASSERT_NE(profile, nullptr);
    expectUnavailable(profile->shareButton(), "Share Kovi");
    ASSERT_EQ(profile->card().actionButtons().size(), 3u);
    for (Gtk::Button* button : profile->card().actionButtons())
        expectUnavailable(*button, "card button");

    auto* general = showTab<GeneralSettingsTab>(*window, SettingsTab::general);
    ASSERT_NE(general, nullptr);
    expectUnavailable(general->restoreSessionCheck(), "Restore previous session");
    expectUnavailable(general->welcomePageCheck(), "Show welcome page");
    EXPECT_TRUE(general->restoreSessionCheck().get_active());
    EXPECT_FALSE(general->welcomePageCheck().get_active());

    auto* profiles = showTab<ProfilesSettingsTab>(*window, SettingsTab::profiles);
    ASSERT_NE(profiles, nullptr);
    expectUnavailable(profiles->createProfileButton(), "Create Profile");
    // The description wraps within 300 px, centred.
    EXPECT_LE(profiles->description().get_width(), ProfilesSettingsTab::descriptionMaxWidth);
    EXPECT_GT(profiles->description().get_width(), 200);
    EXPECT_GT(profiles->description().get_height(), 20); // two lines at least

    auto* links = showTab<LinksSettingsTab>(*window, SettingsTab::links);
    ASSERT_NE(links, nullptr);
    expectUnavailable(links->makeDefaultButton(), "Make Default");

    auto* icon = showTab<IconSettingsTab>(*window, SettingsTab::icon);
    ASSERT_NE(icon, nullptr);
    ASSERT_EQ(icon->options().size(), 6u);
    for (IconOption* option : icon->options())
        expectUnavailable(*option, option->id().c_str());
    expectUnavailable(icon->shareButton(), "Share Kovi");
    EXPECT_TRUE(icon->options()[0]->isSelected());
    EXPECT_FALSE(icon->options()[4]->isSelected());

    // The Max tab's keys are read by nothing: its switches show what is stored, greyed out, and
    // do not contradict the AI assistant's own (off on a fresh profile).
    auto* max = showTab<MaxSettingsTab>(*window, SettingsTab::max);
    ASSERT_NE(max, nullptr);
    expectUnavailable(max->maxSwitch(), "Kovi Max");
    expectUnavailable(max->tidyTabTitlesCheck(), "Tidy Tab Titles");
    expectUnavailable(max->aiSummariesCheck(), "AI Summaries");
    EXPECT_TRUE(max->maxSwitch().get_active());
    EXPECT_TRUE(max->featuresSection().get_visible());
    EXPECT_FALSE(ctx().ai.isMaxEnabled());
    settle(100);
    screenshotIfAsked("settings-max");

    auto* advanced = showTab<AdvancedSettingsTab>(*window, SettingsTab::advanced);
    ASSERT_NE(advanced, nullptr);
    expectUnavailable(advanced->clearButton(), "Clear...");
    expectUnavailable(advanced->exportButton(), "Export...");

    settle(100);
    EXPECT_EQ(window->selectedTab(), SettingsTab::advanced);
    EXPECT_EQ(dir.read("config/defaults.json"), stored);
}

} // namespace
} // namespace kovi::test
