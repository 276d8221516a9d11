// The AI settings panel: the key field and "Save", the switches and the picker writing through
// at once, the way into the chat, and the tidying switches reaching the next title and download.
#include "ai_ui_fixture.h"

#include "ui/ai/feature_toggle.h"

namespace kovi::test {
namespace {

class KoviMaxSettingsViewTest : public AIPanelTest {
protected:
    // Closes the panel and shows a new one, as the menu command does twice.
    KoviMaxSettingsView& reopen()
    {
        window.unset_child();
        settle(20);
        return showSettings();
    }
};

TEST_F(KoviMaxSettingsViewTest, TheStoredKeyShowsHiddenUntilTheEyeIsPressed)
{
    core.ai.setApiKey("sk-stored key");
    KoviMaxSettingsView* panel = &showSettings();
    EXPECT_EQ(panel->get_width(), KoviMaxSettingsView::width);
    EXPECT_EQ(panel->get_height(), KoviMaxSettingsView::height);
    EXPECT_EQ(panel->keyField().get_text().raw(), "sk-stored key");
    EXPECT_FALSE(panel->keyField().get_visibility());
    press(panel->showKeyButton());
    EXPECT_TRUE(panel->showApiKey());
    EXPECT_TRUE(panel->keyField().get_visibility());
    EXPECT_EQ(panel->keyField().get_text().raw(), "sk-stored key");

    panel = &reopen();
    EXPECT_FALSE(panel->keyField().get_visibility()) << "each showing starts hidden";
    EXPECT_EQ(panel->shortcutBadge().get_text().raw(), "Ctrl+Shift+A");
}

TEST_F(KoviMaxSettingsViewTest, OnlySaveStoresTheKeyExactlyAsTyped)
{
    core.ai.setApiKey("sk-old");
    KoviMaxSettingsView* panel = &showSettings();
    panel->keyField().set_text("  sk-new with blanks  ");
    panel->keyField().activate(); // Return
    EXPECT_EQ(core.ai.apiKey(), "sk-old");
    panel = &reopen();
    EXPECT_EQ(panel->keyField().get_text().raw(), "sk-old") << "closing without Save discards the typing";

    panel->keyField().set_text("  sk-new with blanks  ");
    press(panel->saveButton());
    EXPECT_EQ(core.ai.apiKey(), "  sk-new with blanks  ");
    EXPECT_EQ(core.defaults.stringValue("aiApiKey"), "  sk-new with blanks  ");

    panel->keyField().set_text("");
    press(panel->saveButton());
    EXPECT_EQ(core.defaults.stringValue("aiApiKey"), "");
}

TEST_F(KoviMaxSettingsViewTest, SwitchesAndThePickerWriteAtOnceAndTheMasterSwitchDisablesNothing)
{
    KoviMaxSettingsView& panel = showSettings();
    EXPECT_TRUE(panel.providerButton(0).get_active());
    panel.providerButton(1).set_active(true);
    EXPECT_EQ(core.ai.selectedProvider(), AIProvider::anthropic);
    EXPECT_EQ(core.defaults.stringValue("aiProvider"), "anthropic");
    core.ai.setSelectedProvider(AIProvider::openai);
    EXPECT_TRUE(panel.providerButton(0).get_active()) << "the picker follows the service";

    struct Row {
        Gtk::Switch& control;
        const char* key;
    };
    const Row rows[] = {{panel.masterSwitch(), "isMaxEnabled"},
                        {panel.previewsToggle().toggle(), "is5SecondPreviewsEnabled"},
                        {panel.tidyTitlesToggle().toggle(), "isTidyTabTitlesEnabled"},
                        {panel.tidyDownloadsToggle().toggle(), "isTidyDownloadsEnabled"}};
    for (const Row& row : rows) {
        EXPECT_FALSE(row.control.get_active()) << row.key;
        row.control.set_active(true);
        EXPECT_EQ(core.defaults.boolValue(row.key), true) << row.key;
    }
    panel.masterSwitch().set_active(false);
    EXPECT_FALSE(core.ai.isMaxEnabled());
    for (Gtk::Widget* control : {static_cast<Gtk::Widget*>(&panel.providerButton(0)),
                                 static_cast<Gtk::Widget*>(&panel.keyField()),
                                 static_cast<Gtk::Widget*>(&panel.saveButton()),
                                 static_cast<Gtk::Widget*>(&panel.previewsToggle().toggle()),
                                 static_cast<Gtk::Widget*>(&panel.openChatButton())})
        EXPECT_TRUE(control->is_sensitive());
    EXPECT_TRUE(core.ai.isTidyTabTitlesEnabled());
    EXPECT_TRUE(core.ai.isTidyDownloadsEnabled());
}

TEST_F(KoviMaxSettingsViewTest, OpenKoviAIClosesTheSettingsAndOpensTheChat)
{
    KoviMaxSettingsView& panel = showSettings();
    for (bool chatOpen : {false, true}) {
        core.state.setIsAIChatVisible(chatOpen);
        core.state.setIsKoviMaxSettingsVisible(true);
        std::vector<std::string> order;
        auto a = core.state.isKoviMaxSettingsVisibleChanged.connect([&] { order.push_back("settings"); });
        auto b = core.state.isAIChatVisibleChanged.connect([&] { order.push_back("chat"); });
        press(panel.openChatButton());
        a.disconnect();
        b.disconnect();
        EXPECT_FALSE(core.state.isKoviMaxSettingsVisible());
        EXPECT_TRUE(core.state.isAIChatVisible());
        EXPECT_EQ(order.front(), "settings");
    }
    core.state.setIsKoviMaxSettingsVisible(true);
    press(panel.closeButton());
    EXPECT_FALSE(core.state.isKoviMaxSettingsVisible());
}

TEST_F(KoviMaxSettingsViewTest, TheMaterialFollowsDarkMode)
{
    core.appearance.setIsDarkMode(true);
    KoviMaxSettingsView& panel = showSettings();
    EXPECT_TRUE(panel.has_css_class("hud"));
    core.appearance.setIsDarkMode(false);
    EXPECT_TRUE(panel.has_css_class("sidebar"));
    EXPECT_FALSE(panel.has_css_class("hud"));
}

// The tidying switches act through the stored keys: the next title a pinned tab reports and
// the next download are tidied, with the page layer of the real application.
TEST(AITidyingSwitches, TakeEffectOnTheNextTitleAndTheNextDownload)
{
    TempDir dir;
    LoopbackServer server;
    server.on("/file", LoopbackServer::Reply{200, "data", "application/octet-stream",
                                             {{"Content-Disposition", "attachment; filename=\"My_File copy.txt\""}}});
    AppHarness h(dir.path(), std::nullopt, false, defaultViewSlots());
    ASSERT_TRUE(h.showBrowser());
    BrowserState& state = h.ctx().state;

    Tab pinned = makeTab(state, "https://video.example/watch", "Old", true);
    state.addTab(pinned);
    state.updateTabTitle(pinned.id, "How to bake bread - YouTube");
    EXPECT_EQ(state.tab(pinned.id)->title, "How to bake bread - YouTube");

    state.setIsKoviMaxSettingsVisible(true);
    auto* panel = dynamic_cast<KoviMaxSettingsView*>(h.root().aiSettingsLayer().content());
    ASSERT_NE(panel, nullptr);
    panel->tidyTitlesToggle().toggle().set_active(true);
    panel->tidyDownloadsToggle().toggle().set_active(true);
    state.setIsKoviMaxSettingsVisible(false);

    state.updateTabTitle(pinned.id, "How to bake bread - YouTube");
    EXPECT_EQ(state.tab(pinned.id)->title, "How to bake bread");

    state.createNewTab(*Url::parse(server.url("/file")));
    ASSERT_TRUE(runUntilGtk([&] {
        return !state.downloads().empty() && state.downloads()[0].status == DownloadStatus::completed;
    }));
    EXPECT_EQ(state.downloads()[0].filename, "My File.txt");
}

} // namespace
} // namespace kovi::test
