// Damaged settings files and unusual account names: the window opens, shows what it can, and
// nothing that could be read is lost.
#include "settings_fixture.h"

#include "core/settings/initials.h"
#include "core/support/json_coding.h"
#include "ui/settings/account_button.h"
#include "ui/settings/account_card.h"
#include "ui/settings/account_settings_view.h"
#include "ui/settings/account_sheet.h"
#include "ui/settings/general_settings_tab.h"
#include "ui/settings/links_settings_tab.h"
#include "ui/settings/max_settings_tab.h"
#include "ui/settings/advanced_settings_tab.h"
#include "ui/settings/profile_settings_tab.h"

#include <filesystem>

namespace kovi::test {
namespace {

std::string userBytes(const std::string& displayName)
{
    KoviUser user{"guest-1", "", displayName, Date(786000000), false};
    const std::string text = json::dump(toJson(user));
    return json::base64Encode(Bytes(text.begin(), text.end()));
}

class SettingsBadInputTest : public SettingsAppTest {
protected:
    void writeDefaults(const std::string& contents)
    {
        std::filesystem::create_directories(dir.path() + "/config");
        dir.write("config/defaults.json", contents);
    }
    std::string defaultsFile() { return dir.read("config/defaults.json"); }
    bool keptAside()
    {
        for (const auto& entry : std::filesystem::directory_iterator(dir.path() + "/config")) {
            if (entry.path().filename().string().starts_with("defaults.json.unreadable-"))
                return true;
        }
        return false;
    }
    // Every tab once, through the tab bar.
    void visitEveryTab(SettingsWindow& window)
    {
        for (SettingsTab tab : allSettingsTabs) {
            xdoFocusWindow(window);
            ASSERT_TRUE(xdoClickWidget(window.tabBar().button(tab)));
            ASSERT_TRUE(runUntilGtk([&] { return window.selectedTab() == tab && window.tabView()->get_mapped(); }));
        }
    }
};

TEST_F(SettingsBadInputTest, ValuesOfTheWrongTypeOrUnknownShowWhatTheyCanAndNothingIsLost)
{
    writeDefaults(std::string(R"({"isDarkMode":{"type":"string","value":"dark"},)") +
                  R"("browserLayoutMode":{"type":"string","value":"diagonal"},)" +
                  R"("autoArchiveHours":{"type":"number","value":5},)" +
                  R"("autoArchiveEnabled":{"type":"number","value":0},)" +
                  R"("defaultSearchEngine":{"type":"string","value":"AltaVista"},)" +
                  R"("openLinksIn":{"type":"number","value":3},)" +
                  R"("showBookmarksBar":{"type":"string","value":"yes"},)" +
                  R"("developerMode":{"type":"bool","value":true},)" +
                  R"("maxEnabled":{"type":"bool","value":"no"},)" +
                  R"("hardwareAcceleration":{"type":"bool"},)" +
                  R"("hasCompletedOnboarding":{"type":"bool","value":true},)" +
                  R"("koviCurrentUser":{"type":"bytes","value":")" + userBytes("Ada") + R"("},)" +
                  R"("someoneElsesKey":{"type":"string","value":"keep me"}})");
    start();
    EXPECT_EQ(ctx().auth.currentUser()->displayName, "Ada");
    EXPECT_FALSE(keptAside());
    const std::string before = defaultsFile();

    SettingsWindow* window = openWithKeys();
    ASSERT_NE(window, nullptr);
    visitEveryTab(*window);
    settle(200);
    EXPECT_EQ(defaultsFile(), before) << "showing the settings wrote them";

    auto* general = showTab<GeneralSettingsTab>(*window, SettingsTab::general);
    ASSERT_NE(general, nullptr);
    EXPECT_TRUE(general->themeButtons()[1]->get_active());       // not a Bool: dark, the default
    EXPECT_EQ(general->layoutPicker().get_selected(), 0u);       // unknown layout: vertical
    EXPECT_TRUE(general->bookmarksBarSwitch().get_active());     // "yes" reads as true here
    EXPECT_TRUE(general->autoArchiveCheck().get_active());       // not a Bool: on, the default
    EXPECT_EQ(general->archiveHoursPicker().get_selected(), GTK_INVALID_LIST_POSITION);
    EXPECT_EQ(general->searchEnginePicker().get_selected(), GTK_INVALID_LIST_POSITION);
    auto* advanced = showTab<AdvancedSettingsTab>(*window, SettingsTab::advanced);
    ASSERT_NE(advanced, nullptr);
    EXPECT_TRUE(advanced->developerModeCheck().get_active());
    EXPECT_TRUE(advanced->hardwareAccelerationCheck().get_active());
    auto* links = showTab<LinksSettingsTab>(*window, SettingsTab::links);
    ASSERT_NE(links, nullptr);
    EXPECT_EQ(links->openLinksInPicker().get_selected(), 0u);

    // One change writes that key; what could be read stays as it was.
    ASSERT_TRUE(chooseFromDropDown(links->openLinksInPicker(), 1));
    ASSERT_TRUE(runUntilGtk([&] { return ctx().defaults.stringValue("openLinksIn") == "currentTab"; }));
    const Json stored = json::parse(defaultsFile());
    EXPECT_EQ(stored["someoneElsesKey"]["value"], "keep me");
    EXPECT_EQ(stored["defaultSearchEngine"]["value"], "AltaVista");
    EXPECT_EQ(stored["autoArchiveHours"]["value"], 5);
    EXPECT_EQ(stored["developerMode"]["value"], true);
    EXPECT_EQ(stored["showBookmarksBar"]["value"], "yes");
    EXPECT_EQ(stored["browserLayoutMode"]["value"], "diagonal");
    EXPECT_TRUE(stored.contains("koviCurrentUser"));
}

TEST_F(SettingsBadInputTest, FilesThatAreNotJsonOrTooLargeAreKeptAsideAndTheWindowShowsDefaults)
{
    for (const bool huge : {false, true}) {
        SCOPED_TRACE(huge ? "huge" : "not JSON");
        h.reset();
        std::filesystem::remove_all(dir.path() + "/config");
        if (huge)
            writeDefaults("{\"isDarkMode\":{\"type\":\"bool\",\"value\":false}," + std::string(17 * 1024 * 1024, ' ') + "}");
        else
            writeDefaults("{\"isDarkMode\": {\"type\": \"bool\", \"value\": fals");
        start();
        EXPECT_TRUE(keptAside());
        SettingsWindow* window = openWithKeys();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->selectedTab(), SettingsTab::profile);
        auto* general = showTab<GeneralSettingsTab>(*window, SettingsTab::general);
        ASSERT_NE(general, nullptr);
        EXPECT_TRUE(general->themeButtons()[1]->get_active());
        EXPECT_EQ(general->archiveHoursPicker().get_selected(), 2u); // 24 hours
        EXPECT_EQ(general->searchEnginePicker().get_selected(), 0u);
        window->close();
    }
}

TEST_F(SettingsBadInputTest, UnusualDisplayNamesShowWithoutGrowingTheWindows)
{
    const std::string family = "\U0001F469\u200D\U0001F469\u200D\U0001F467";
    std::string longName;
    for (int i = 0; i < 1000; ++i)
        longName += "Bartholomew";
    longName.resize(10000);
    const std::vector<std::string> names = {"", "   ", "x", family + " e\u0301mile", "\u0645\u062D\u0645\u062F \u0639\u0644\u064A",
                                            longName};
    for (const std::string& name : names) {
        SCOPED_TRACE(name.substr(0, 20));
        h.reset();
        std::filesystem::remove_all(dir.path() + "/config");
        writeDefaults(R"({"hasCompletedOnboarding":{"type":"bool","value":true},"koviCurrentUser":{"type":"bytes","value":")" +
                      userBytes(name) + R"("}})");
        start();
        ASSERT_EQ(ctx().auth.currentUser()->displayName, name);
        SettingsWindow* window = openWithKeys();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(std::string(window->titleLabel().get_text()), name);
        EXPECT_EQ(window->get_child()->get_width(), SettingsWindow::contentWidth);
        auto* profile = dynamic_cast<ProfileSettingsTab*>(window->tabView());
        ASSERT_NE(profile, nullptr);
        EXPECT_EQ(std::string(profile->card().nameLabel().get_text()), name);
        EXPECT_EQ(profile->card().get_width(), MembershipCard::width);
        if (name == longName)
            screenshotIfAsked("settings-long-name");

        // Loaded accounts are guests: the button shows "G" and the name as its tooltip.
        AccountButton* button = findWidget<AccountButton>(h->window());
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->initialsLabel().get_text(), "G");
        EXPECT_EQ(button->get_width(), AccountButton::size);
        xdoFocusWindow(h->window());
        ASSERT_TRUE(xdoClickWidget(*button));
        ASSERT_TRUE(runUntilGtk([&] { return button->sheet() && button->sheet()->get_mapped(); }));
        AccountSettingsView& view = button->sheet()->view();
        ASSERT_TRUE(runUntilGtk([&] { return view.get_width() > 0; }));
        EXPECT_EQ(view.get_width(), AccountSettingsView::width);
        button->sheet()->close();
        window->close();

        // The card of an account that is no guest shows initials by the two-letter rule.
        KoviUser member{"id", "", name, Date(0), false};
        Gtk::Window cardWindow;
        auto* card = Gtk::make_managed<AccountCard>(member);
        cardWindow.set_child(*card);
        cardWindow.set_default_size(340, -1);
        cardWindow.present();
        ASSERT_TRUE(waitForWindow(cardWindow));
        EXPECT_EQ(card->initials(), accountCardInitials(name));
        EXPECT_LE(cardWindow.get_width(), 380);
    }
}

} // namespace
} // namespace kovi::test
