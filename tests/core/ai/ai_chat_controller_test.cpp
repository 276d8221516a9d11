// The conversation behind the chat panel: what a send adds, when it is ignored, what the quick
// actions do, how failures show, and that a closed panel never hears its answer.
#include "core/ai/ai_chat_controller.h"

#include "core/ai/ai_service.h"
#include "core/settings/preferences.h"
#include "core/ai/open_tabs_context.h"
#include "core/support/defaults.h"
#include "core/support/http_session.h"
#include "support/loopback_server.h"
#include "support/main_loop.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace kovi {
namespace {

using nlohmann::json;
using test::LoopbackServer;

constexpr const char* path = "/v1/chat/completions";

std::string answer(const std::string& text)
{
    return json{{"choices", {{{"message", {{"content", text}}}}}}}.dump();
}

class AIChatControllerTest : public testing::Test {
protected:
    AIChatControllerTest()
    {
        service.setApiKey("sk-test");
        server.on(path, LoopbackServer::Reply{.body = answer("Hello back"), .contentType = "application/json",
                                              .delayMs = 50});
        controller = makeController();
    }

    std::unique_ptr<AIChatController> makeController()
    {
        auto client = std::make_unique<AIChatClient>(http, service, AIEndpoints{server.baseUrl(), server.baseUrl(), 5});
        return std::make_unique<AIChatController>(std::move(client), [this] { return openTabsContext(tabs); });
    }

    bool waitIdle() { return test::runUntil([&] { return !controller->isLoading(); }, 10); }
    std::string sentSystemPrompt() const
    {
        return json::parse(server.requests().back().body)["messages"][0]["content"];
    }

    Defaults defaults;
    Preferences preferences{defaults};
    AIService service{preferences};
    HttpSession http;
    LoopbackServer server;
    std::unordered_map<Uuid, Tab> tabs;
    std::unique_ptr<AIChatController> controller;
};

TEST_F(AIChatControllerTest, ASendShowsTheTrimmedMessageThenTheAnswer)
{
    std::vector<std::string> events;
    controller->messagesChanged.connect([&] { events.push_back("messages"); });
    controller->isLoadingChanged.connect([&] { events.push_back(controller->isLoading() ? "loading" : "idle"); });
    controller->inputTextChanged.connect([&] { events.push_back("input"); });

    controller->setInputText("  hello \n ");
    EXPECT_TRUE(controller->canSend());
    controller->submit();
    ASSERT_EQ(controller->messages().size(), 1u);
    EXPECT_EQ(controller->messages()[0].role, ChatRole::user);
    EXPECT_EQ(controller->messages()[0].content, "hello");
    EXPECT_EQ(controller->inputText(), "");
    EXPECT_TRUE(controller->isLoading());
    EXPECT_FALSE(controller->canSend());

    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(controller->messages().size(), 2u);
    EXPECT_EQ(controller->messages()[1].role, ChatRole::assistant);
    EXPECT_EQ(controller->messages()[1].content, "Hello back");
    EXPECT_NE(controller->messages()[0].id, controller->messages()[1].id);
    EXPECT_FALSE(controller->errorMessage());
    EXPECT_EQ(events, (std::vector<std::string>{"input", "messages", "input", "loading", "messages", "idle"}));
    EXPECT_EQ(json::parse(server.requests()[0].body)["messages"][1]["content"], "hello");
}

TEST_F(AIChatControllerTest, BlankTextIsIgnoredAndStaysInTheField)
{
    for (const char* blank : {"   ", "\n\n", " \t\n \u00a0"}) {
        controller->setInputText(blank);
        EXPECT_TRUE(controller->canSend()) << "the raw text enables sending";
        controller->submit();
        EXPECT_TRUE(controller->messages().empty());
        EXPECT_EQ(controller->inputText(), blank);
        EXPECT_FALSE(controller->isLoading());
    }
    controller->setInputText("");
    EXPECT_FALSE(controller->canSend());
    test::drainMainLoop();
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(AIChatControllerTest, OnlyOneMessageIsOnItsWayAtATime)
{
    controller->setInputText("first");
    controller->submit();
    controller->setInputText("second");
    EXPECT_FALSE(controller->canSend());
    controller->submit();
    controller->sendMessage();
    EXPECT_EQ(controller->inputText(), "second"); // still editable while waiting
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(controller->messages().size(), 2u);
}

TEST_F(AIChatControllerTest, QuickActionsSendOrPrepareTheirPrompt)
{
    const auto& actions = AIChatController::quickActions;
    EXPECT_STREQ(actions[0].title, "Summarize my open tabs");
    EXPECT_STREQ(actions[1].title, "Help me research");
    EXPECT_STREQ(actions[2].title, "Compare options");

    controller->runQuickAction(actions[1]);
    EXPECT_EQ(controller->inputText(), "Help me research ");
    controller->runQuickAction(actions[2]);
    EXPECT_EQ(controller->inputText(), "Compare the pros and cons of ");
    EXPECT_TRUE(controller->messages().empty());

    controller->runQuickAction(actions[0]);
    ASSERT_EQ(controller->messages().size(), 1u);
    EXPECT_EQ(controller->messages()[0].content, "Summarize what I'm working on based on my open tabs");
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(AIChatControllerTest, WithoutAKeyTheMessageStaysAndTheErrorShowsUntilDismissed)
{
    service.setApiKey("");
    controller->runQuickAction(AIChatController::quickActions[0]);
    EXPECT_TRUE(controller->isLoading());
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(controller->messages().size(), 1u);
    EXPECT_EQ(controller->messages()[0].role, ChatRole::user);
    EXPECT_EQ(controller->errorMessage(), "No API key configured. Go to Settings to add your API key.");
    EXPECT_TRUE(server.requests().empty());

    controller->dismissError();
    EXPECT_FALSE(controller->errorMessage());

    // A failed answer shows its message; the next send clears it as it starts.
    service.setApiKey("sk-test");
    server.on(path, LoopbackServer::Reply{500, "<html>down</html>", "text/html"});
    controller->setInputText("again");
    controller->submit();
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(controller->errorMessage(), "Failed to get response from AI service.");
    EXPECT_EQ(controller->messages().size(), 2u);
    server.on(path, LoopbackServer::Reply{.body = answer("fine"), .contentType = "application/json", .delayMs = 50});
    controller->setInputText("once more");
    controller->submit();
    EXPECT_FALSE(controller->errorMessage());
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(controller->messages().back().content, "fine");
}

TEST_F(AIChatControllerTest, EveryOpenTabGoesWithTheMessage)
{
    controller->setInputText("no tabs");
    controller->submit();
    ASSERT_TRUE(waitIdle());
    EXPECT_TRUE(sentSystemPrompt().ends_with("\n\nThe user currently has these tabs open:\n"));

    const Uuid spaceA = Uuid::random(), spaceB = Uuid::random();
    for (int i = 0; i < 300; ++i) {
        Tab tab(Uuid::random(), *Url::parse("https://s" + std::to_string(i) + ".example/"),
                "T" + std::to_string(i), i % 7 == 0, false, i % 2 ? spaceA : spaceB, std::nullopt);
        tabs.emplace(tab.id, tab);
    }
    controller->setInputText("300 tabs");
    controller->submit();
    ASSERT_TRUE(waitIdle());
    const std::string prompt = sentSystemPrompt();
    for (int i : {0, 7, 150, 299})
        EXPECT_NE(prompt.find("- T" + std::to_string(i) + ": https://s" + std::to_string(i) + ".example/\n"),
                  std::string::npos);
    EXPECT_EQ(std::count(prompt.begin(), prompt.end(), '\n'), 3 + 300);
}

TEST_F(AIChatControllerTest, ClosingWhileWaitingDropsTheAnswer)
{
    int changes = 0;
    controller->setInputText("hello");
    controller->submit();
    controller->messagesChanged.connect([&] { ++changes; });
    ASSERT_TRUE(test::runUntil([&] { return !server.requests().empty(); }));
    controller.reset();
    test::runUntil([] { return false; }, 0.3);
    EXPECT_EQ(changes, 0);

    // The next panel starts empty and hears nothing of the old turn.
    controller = makeController();
    test::runUntil([] { return false; }, 0.2);
    EXPECT_TRUE(controller->messages().empty());
    EXPECT_FALSE(controller->isLoading());
}

} // namespace
} // namespace kovi
