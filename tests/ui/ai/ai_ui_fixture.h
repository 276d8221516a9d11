#pragma once

#include "app/app_fixture.h"
#include "support/loopback_server.h"
#include "ui/ai/ai_chat_panel.h"
#include "ui/ai/ai_view_slots.h"
#include "ui/ai/chat_bubble.h"
#include "ui/ai/kovi_max_settings_view.h"

#include <gtkmm/window.h>
#include <nlohmann/json.hpp>

namespace kovi::test {

inline constexpr const char* openAIPath = "/v1/chat/completions";
inline constexpr const char* anthropicPath = "/v1/messages";

inline std::string openAIAnswer(const std::string& text)
{
    return nlohmann::json{{"choices", {{{"message", {{"role", "assistant"}, {"content", text}}}}}}}.dump();
}

inline LoopbackServer::Reply answerReply(const std::string& text, unsigned delayMs = 0)
{
    return LoopbackServer::Reply{.body = openAIAnswer(text), .contentType = "application/json", .delayMs = delayMs};
}

// A click of the button, delivered at once (activate() clicks only after its press animation).
inline void press(Gtk::Button& button)
{
    g_signal_emit_by_name(button.gobj(), "clicked");
}

// Puts the text into the chat's field and submits it, as Return does.
inline void typeAndSubmit(AIChatPanel& panel, const std::string& text)
{
    panel.input().setText(text);
    panel.controller().submit();
}

// The application's long-lived objects on a temp folder, a loopback stand-in for both providers
// and a window that shows one AI panel at a time, the way the main view lays them over the page.
class AIPanelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensureGtk(); }

    AIPanelTest()
    {
        core.theme.attach(window);
        window.set_default_size(700, 700);
        core.ai.setApiKey("sk-test");
    }
    ~AIPanelTest() override { window.unset_child(); }

    AIEndpoints endpoints(double timeout = 60) const { return {server.baseUrl(), server.baseUrl(), timeout}; }

    AIChatPanel& showChat(double timeout = 60)
    {
        auto* panel = static_cast<AIChatPanel*>(makeAIChatPanel(core.ctx, endpoints(timeout)));
        window.set_child(*panel);
        present();
        return *panel;
    }

    KoviMaxSettingsView& showSettings()
    {
        auto* panel = static_cast<KoviMaxSettingsView*>(makeAISettingsPanel(core.ctx));
        window.set_child(*panel);
        present();
        return *panel;
    }

    void present()
    {
        window.present();
        EXPECT_TRUE(waitForWindow(window));
        settle(50);
    }

    TempDir dir;
    CoreObjects core{dir.path()};
    LoopbackServer server;
    Gtk::Window window;
};

} // namespace kovi::test
