// The AI assistant driven with real keys and clicks in the whole application: the key pasted
// and saved in the settings panel, the chat opened with its shortcut, questions sent with
// Return to a loopback stand-in for the provider, a quick action, and an error dismissed.
#include "ai_ui_fixture.h"

#include "ui/ai/quick_action_button.h"

#include <gdkmm/clipboard.h>
#include <gdkmm/display.h>

#include <sys/stat.h>

namespace kovi::test {
namespace {

std::string anthropicAnswer(const std::string& text)
{
    return nlohmann::json{{"content", {{{"type", "text"}, {"text", text}}}}}.dump();
}

class AIOnScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ViewSlots slots = defaultViewSlots();
        slots.aiChatPanel = [this](AppContext& ctx) {
            return makeAIChatPanel(ctx, {server.baseUrl(), server.baseUrl(), 60});
        };
        h = std::make_unique<AppHarness>(dir.path(), std::nullopt, false, slots);
        ASSERT_TRUE(h->showBrowser());
    }

    BrowserState& state() { return h->ctx().state; }

    AIChatPanel* chat() { return dynamic_cast<AIChatPanel*>(h->root().aiChatLayer().content()); }
    KoviMaxSettingsView* settings()
    {
        return dynamic_cast<KoviMaxSettingsView*>(h->root().aiSettingsLayer().content());
    }

    // Waits until the layer's panel is laid out on screen and fully faded in.
    bool waitShown(OverlayLayer& layer)
    {
        return runUntilGtk([&] {
            return layer.content() && layer.content()->get_mapped() && layer.content()->get_width() > 0
                && layer.get_opacity() >= 1.0;
        }, 10);
    }

    bool clickAndWait(Gtk::Widget& widget, const std::function<bool()>& done)
    {
        return xdoClickWidget(widget) && runUntilGtk(done);
    }

    TempDir dir;
    LoopbackServer server;
    std::unique_ptr<AppHarness> h;
};

TEST_F(AIOnScreenTest, SettingsChatQuickActionAndErrorWithRealInput)
{
    server.on(anthropicPath, [](const LoopbackServer::Request& request) {
        const auto body = nlohmann::json::parse(request.body);
        const std::string question = body["messages"][0]["content"];
        // The first answer takes long enough to see the thinking row on screen.
        return LoopbackServer::Reply{.body = anthropicAnswer("You asked: " + question), .contentType = "application/json",
                                     .delayMs = question == "What is open?" ? 3000u : 300u};
    });

    // Settings: choose the provider, paste the key, save.
    h->app->commands().activate("toggle-max-settings");
    ASSERT_TRUE(waitShown(h->root().aiSettingsLayer()));
    KoviMaxSettingsView& panel = *settings();
    screenshotIfAsked("ai-settings-dark");
    ASSERT_TRUE(clickAndWait(panel.providerButton(1),
                             [&] { return h->ctx().ai.selectedProvider() == AIProvider::anthropic; }));
    Gdk::Display::get_default()->get_clipboard()->set_text("sk-ant-pasted-0123");
    ASSERT_TRUE(clickAndWait(panel.keyField(), [&] {
        Gtk::Widget* focus = h->window().get_focus();
        return focus && focus->is_ancestor(panel.keyField());
    }));
    ASSERT_TRUE(xdoKey("ctrl+v"));
    ASSERT_TRUE(runUntilGtk([&] { return panel.keyField().get_text().raw() == "sk-ant-pasted-0123"; }));
    EXPECT_EQ(h->ctx().ai.apiKey(), "") << "pasting alone stores nothing";
    ASSERT_TRUE(clickAndWait(panel.saveButton(), [&] { return h->ctx().ai.apiKey() == "sk-ant-pasted-0123"; }));
    const std::string defaultsFile = dir.file("config/defaults.json");
    const auto stored = nlohmann::json::parse(dir.read("config/defaults.json"));
    EXPECT_EQ(stored["aiApiKey"]["value"], "sk-ant-pasted-0123");
    EXPECT_EQ(stored["aiProvider"]["value"], "anthropic");
    struct stat info {};
    ASSERT_EQ(stat(defaultsFile.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600);
    ASSERT_TRUE(clickAndWait(panel.closeButton(), [&] { return !state().isKoviMaxSettingsVisible(); }));

    // The chat: the shortcut opens it with the keyboard in its field.
    ASSERT_TRUE(xdoKey("ctrl+shift+a"));
    ASSERT_TRUE(runUntilGtk([&] { return state().isAIChatVisible(); }));
    ASSERT_TRUE(waitShown(h->root().aiChatLayer()));
    AIChatPanel* panelNow = chat();
    ASSERT_NE(panelNow, nullptr);
    ASSERT_TRUE(runUntilGtk([&] { return panelNow->input().textView().has_focus(); }));
    screenshotIfAsked("ai-chat-empty-dark");

    // The thinking row shows while the answer is on its way.
    bool thinkingShown = false;
    auto loading = panelNow->controller().isLoadingChanged.connect([&] {
        if (panelNow->controller().isLoading())
            thinkingShown = panelNow->thinkingRow().get_visible() && panelNow->thinkingRow().get_mapped();
    });
    ASSERT_TRUE(xdoType("What is open?"));
    ASSERT_TRUE(runUntilGtk([&] { return panelNow->input().text() == "What is open?"; }));
    ASSERT_TRUE(xdoKey("Return"));
    ASSERT_TRUE(runUntilGtk([&] { return server.requests().size() == 1; }));
    EXPECT_EQ(server.requests()[0].headers.at("x-api-key"), "sk-ant-pasted-0123");
    EXPECT_TRUE(thinkingShown);
    loading.disconnect();
    if (panelNow->controller().isLoading())
        screenshotIfAsked("ai-chat-thinking-dark");
    ASSERT_TRUE(runUntilGtk([&] { return panelNow->bubbles().size() == 2; }));
    EXPECT_EQ(panelNow->bubbles()[1]->text().text(), "You asked: What is open?");
    EXPECT_FALSE(panelNow->thinkingRow().get_visible());

    // Shift+Return makes a new line; Return sends both lines.
    ASSERT_TRUE(xdoType("line one"));
    ASSERT_TRUE(xdoKey("shift+Return"));
    ASSERT_TRUE(xdoType("line two"));
    ASSERT_TRUE(runUntilGtk([&] { return panelNow->input().text() == "line one\nline two"; }));
    EXPECT_EQ(server.requests().size(), 1u);
    ASSERT_TRUE(xdoKey("Return"));
    ASSERT_TRUE(runUntilGtk([&] { return panelNow->bubbles().size() == 4; }));
    EXPECT_EQ(panelNow->bubbles()[2]->text().text(), "line one\nline two");
    ASSERT_TRUE(runUntilGtk([&] { return panelNow->isScrollSettled(); }));

    // A long conversation scrolls to its newest answer.
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(xdoType("Tell me more about topic " + std::to_string(i) + ", in some detail please"));
        ASSERT_TRUE(xdoKey("Return"));
        ASSERT_TRUE(runUntilGtk([&] { return panelNow->bubbles().size() == 6u + 2 * i; }));
    }
    ASSERT_TRUE(runUntilGtk([&] { return panelNow->isScrollSettled(); }));
    auto adjustment = panelNow->messageList().get_vadjustment();
    EXPECT_GT(adjustment->get_value(), 0);
    EXPECT_NEAR(adjustment->get_value() + adjustment->get_page_size(), adjustment->get_upper(), 40);
    screenshotIfAsked("ai-chat-long-dark");
    h->ctx().appearance.setIsDarkMode(false);
    screenshotIfAsked("ai-chat-long-light");

    // A new panel starts empty; its first quick action sends its prompt.
    ASSERT_TRUE(xdoKey("ctrl+shift+a"));
    ASSERT_TRUE(runUntilGtk([&] { return !state().isAIChatVisible() && chat() == nullptr; }));
    ASSERT_TRUE(xdoKey("ctrl+shift+a"));
    ASSERT_TRUE(waitShown(h->root().aiChatLayer()));
    panelNow = chat();
    ASSERT_NE(panelNow, nullptr);
    EXPECT_TRUE(panelNow->bubbles().empty());
    screenshotIfAsked("ai-chat-empty-light");
    const std::size_t before = server.requests().size();
    ASSERT_TRUE(clickAndWait(*panelNow->quickActions()[0], [&] { return !panelNow->bubbles().empty(); }));
    EXPECT_EQ(panelNow->bubbles()[0]->text().text(), "Summarize what I'm working on based on my open tabs");
    ASSERT_TRUE(runUntilGtk([&] { return server.requests().size() == before + 1; }));
    EXPECT_EQ(nlohmann::json::parse(server.requests().back().body)["messages"][0]["content"],
              "Summarize what I'm working on based on my open tabs");
    ASSERT_TRUE(runUntilGtk([&] { return panelNow->bubbles().size() == 2; }));

    // An error shows its strip; "Dismiss" clears it.
    server.on(anthropicPath, LoopbackServer::Reply{500, "<html><body>Overloaded</body></html>", "text/html"});
    ASSERT_TRUE(xdoType("Will this fail?"));
    ASSERT_TRUE(xdoKey("Return"));
    ASSERT_TRUE(runUntilGtk([&] { return panelNow->errorStrip().get_visible(); }));
    EXPECT_EQ(panelNow->errorLabel().get_text().raw(), "Failed to get response from AI service.");
    settle(100);
    screenshotIfAsked("ai-chat-error-light");
    ASSERT_TRUE(clickAndWait(panelNow->dismissButton(), [&] { return !panelNow->errorStrip().get_visible(); }));

    // The settings panel in the light theme.
    state().setIsAIChatVisible(false);
    h->app->commands().activate("toggle-max-settings");
    ASSERT_TRUE(waitShown(h->root().aiSettingsLayer()));
    EXPECT_TRUE(settings()->has_css_class("sidebar"));
    screenshotIfAsked("ai-settings-light");
}

} // namespace
} // namespace kovi::test
