#include "core/commandbar/omnibox_engine.h"

#include "core/app/browser_core.h"
#include "core/state/browser_state.h"
#include "core/support/http_session.h"
#include "support/loopback_server.h"
#include "support/main_loop.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace kovi {
namespace {

using test::LoopbackServer;
using test::runUntil;

constexpr const char* suggestPath = "/complete/search";

std::vector<std::string> titles(const std::vector<OmniboxMatch>& matches)
{
    std::vector<std::string> out;
    for (const auto& m : matches)
        out.push_back(m.title);
    return out;
}

LoopbackServer::Reply json(std::string body, unsigned delayMs = 0)
{
    LoopbackServer::Reply reply;
    reply.body = std::move(body);
    reply.contentType = "application/json";
    reply.delayMs = delayMs;
    return reply;
}

class OmniboxEngineTest : public ::testing::Test {
protected:
    OmniboxEngineTest()
    {
        Tab tab(Uuid::random(), *Url::parse("https://weather.example/"), std::string("Weather at home"), false,
                false, std::nullopt, std::nullopt);
        m_tabs.emplace(tab.id, tab);
    }

    omnibox::Sources sources() const { return {m_tabs, m_history, std::nullopt}; }

    // Runs one update and records every delivered list.
    void update(OmniboxEngine& engine, const std::string& text)
    {
        engine.update({text, OmniboxEventType::keystroke}, sources(),
                      [this](std::vector<OmniboxMatch> matches) { m_lists.push_back(std::move(matches)); });
    }

    HttpSession m_session;
    HttpClient m_http{m_session};
    LoopbackServer m_server;
    std::unordered_map<Uuid, Tab> m_tabs;
    std::vector<HistoryItem> m_history;
    std::vector<std::vector<OmniboxMatch>> m_lists;
};

TEST_F(OmniboxEngineTest, LocalListFirstThenSuggestionsBelowIt)
{
    m_server.on(suggestPath, json(R"(["weather", ["weather", "weather radar", "weather tomorrow"]])"));
    OmniboxEngine engine(m_http, m_server.baseUrl());

    update(engine, "  weather ");
    ASSERT_EQ(m_lists.size(), 1u); // delivered before update returned
    EXPECT_EQ(titles(m_lists[0]), (std::vector<std::string>{"Weather at home", "Search \"weather\""}));

    ASSERT_TRUE(runUntil([&] { return m_lists.size() == 2; }));
    EXPECT_EQ(titles(m_lists[1]), (std::vector<std::string>{"Weather at home", "Search \"weather\"",
                                                             "weather radar", "weather tomorrow"}));
    EXPECT_EQ(m_lists[1][2].relevance, 780);
    EXPECT_EQ(m_lists[1][2].type, OmniboxMatchType::searchSuggestion);

    ASSERT_EQ(m_server.requests().size(), 1u);
    EXPECT_EQ(m_server.requests()[0].method, "GET");
    EXPECT_EQ(m_server.requests()[0].query, "client=firefox&q=weather");
    EXPECT_FALSE(engine.isFetchingSuggestions());
}

TEST_F(OmniboxEngineTest, TextIsEncodedLikeAWebSearch)
{
    SearchSuggestionClient client(m_http, "https://suggest.example/");
    EXPECT_EQ(client.requestUrl("a b&c=d/é+"),
              "https://suggest.example/complete/search?client=firefox&q=a%20b%26c%3Dd%2F%C3%A9%2B");
}

TEST_F(OmniboxEngineTest, EmptyTextAndAddressesAskNoService)
{
    m_server.on(suggestPath, json(R"(["x", ["never"]])"));
    OmniboxEngine engine(m_http, m_server.baseUrl());

    for (const char* text : {"", "   \n", "example.com", "https://example.com/a b", "localhost:3000"}) {
        m_lists.clear();
        update(engine, text);
        ASSERT_EQ(m_lists.size(), 1u) << text;
        EXPECT_FALSE(engine.isFetchingSuggestions()) << text;
    }
    test::drainMainLoop();
    EXPECT_TRUE(m_server.requests().empty());

    // Blank text is zero suggest: the recent tab, nothing else.
    m_lists.clear();
    update(engine, " \t ");
    ASSERT_EQ(m_lists.size(), 1u);
    ASSERT_EQ(m_lists[0].size(), 1u);
    EXPECT_EQ(m_lists[0][0].type, OmniboxMatchType::zeroSuggest);
}

TEST_F(OmniboxEngineTest, NewerTypingDropsTheOlderAnswer)
{
    m_server.on(suggestPath, LoopbackServer::Handler([](const LoopbackServer::Request& request) {
        if (request.query.find("q=w") != std::string::npos && request.query.find("q=we") == std::string::npos)
            return json(R"(["w", ["stale answer"]])", 300);
        return json(R"(["we", ["fresh answer"]])", 10);
    }));
    OmniboxEngine engine(m_http, m_server.baseUrl());

    update(engine, "w");
    const Uuid first = engine.requestId();
    ASSERT_TRUE(runUntil([&] { return m_server.requests().size() == 1; }));
    update(engine, "we");
    EXPECT_NE(engine.requestId(), first);

    ASSERT_TRUE(runUntil([&] { return m_lists.size() == 3; }));
    // Give the slow first answer time to arrive; it must not be shown.
    runUntil([] { return false; }, 0.5);
    ASSERT_EQ(m_lists.size(), 3u);
    auto last = titles(m_lists[2]);
    EXPECT_NE(std::find(last.begin(), last.end(), "fresh answer"), last.end());
    EXPECT_EQ(std::find(last.begin(), last.end(), "stale answer"), last.end());
}

TEST_F(OmniboxEngineTest, BadAnswersLeaveTheLocalList)
{
    struct Case {
        const char* name;
        LoopbackServer::Reply reply;
    };
    LoopbackServer::Reply serverError;
    serverError.status = 500;
    serverError.body = "<html><body>Internal Server Error</body></html>";
    serverError.contentType = "text/html";
    const std::vector<Case> cases = {
        {"not JSON", json("weather, radar")},
        {"empty body", json("")},
        {"an object", json(R"({"q": "weather", "s": ["a"]})")},
        {"a short array", json(R"(["weather"])")},
        {"second element a string", json(R"(["weather", "radar"])")},
        {"numbers instead of strings", json(R"(["weather", [1, 2, 3]])")},
        {"one number among strings", json(R"(["weather", ["radar", 2]])")},
        {"null entries", json(R"(["weather", [null]])")},
        {"nested arrays", json(R"(["weather", [["radar"]]])")},
        {"invalid UTF-8", json("[\"weather\", [\"\xff\xfe\"]]")},
        {"500 with HTML", serverError},
        {"a megabyte body", json("[\"weather\", [\"" + std::string(1024 * 1024, 'a') + "\"]]")},
    };
    for (const auto& c : cases) {
        m_server.on(suggestPath, c.reply);
        m_lists.clear();
        OmniboxEngine engine(m_http, m_server.baseUrl());
        update(engine, "weather");
        ASSERT_TRUE(runUntil([&] { return m_lists.size() == 2; })) << c.name;
        EXPECT_EQ(titles(m_lists[1]), titles(m_lists[0])) << c.name;
    }
}

TEST_F(OmniboxEngineTest, ParserAcceptsOnlyAnArrayOfStringsInSecondPlace)
{
    using Strings = std::vector<std::string>;
    EXPECT_EQ(SearchSuggestionClient::parseResponse(R"(["q", ["a", "b"], [], {"x": 1}])"), (Strings{"a", "b"}));
    EXPECT_EQ(SearchSuggestionClient::parseResponse(R"(["q", []])"), Strings{});
    EXPECT_EQ(SearchSuggestionClient::parseResponse(R"([1, ["a\/b", ""]])"), (Strings{"a/b", ""}));
    EXPECT_EQ(SearchSuggestionClient::parseResponse(R"(["q", ["<b>bold</b>"]])"), (Strings{"<b>bold</b>"}));
    EXPECT_EQ(SearchSuggestionClient::parseResponse("[\"q\", [\"a\"]] trailing"), Strings{});
    EXPECT_EQ(SearchSuggestionClient::parseResponse(std::string("[\"q\", [\"a\0b\"]]", 14)), Strings{});
}

TEST_F(OmniboxEngineTest, ServerThatNeverAnswersTimesOutQuietly)
{
    LoopbackServer::Reply silent;
    silent.neverAnswer = true;
    m_server.on(suggestPath, silent);
    OmniboxEngine engine(m_http, m_server.baseUrl(), 0.3);

    update(engine, "weather");
    ASSERT_EQ(m_lists.size(), 1u);
    EXPECT_TRUE(engine.isFetchingSuggestions());
    ASSERT_TRUE(runUntil([&] { return m_lists.size() == 2; }, 5));
    EXPECT_EQ(titles(m_lists[1]), titles(m_lists[0]));
    EXPECT_EQ(m_http.pendingCount(), 0u);
}

TEST_F(OmniboxEngineTest, UnreachableServiceLeavesTheLocalList)
{
    std::string closedPort;
    {
        LoopbackServer gone;
        closedPort = gone.baseUrl();
    }
    OmniboxEngine engine(m_http, closedPort);
    update(engine, "weather");
    ASSERT_TRUE(runUntil([&] { return m_lists.size() == 2; }));
    EXPECT_EQ(titles(m_lists[1]), titles(m_lists[0]));
}

TEST_F(OmniboxEngineTest, StalledRequestIsCancelledByTheNextUpdate)
{
    LoopbackServer::Reply silent;
    silent.neverAnswer = true;
    m_server.on(suggestPath, silent);
    OmniboxEngine engine(m_http, m_server.baseUrl());

    update(engine, "weather");
    EXPECT_EQ(m_http.pendingCount(), 1u);
    update(engine, "weather.com"); // an address: no new request
    EXPECT_EQ(m_http.pendingCount(), 0u);
    EXPECT_FALSE(engine.isFetchingSuggestions());
}

TEST_F(OmniboxEngineTest, DestroyingTheEngineCancelsItsRequest)
{
    m_server.on(suggestPath, json(R"(["weather", ["late"]])", 100));
    auto engine = std::make_unique<OmniboxEngine>(m_http, m_server.baseUrl());
    update(*engine, "weather");
    ASSERT_TRUE(runUntil([&] { return m_server.requests().size() == 1; }));
    engine.reset();
    EXPECT_EQ(m_http.pendingCount(), 0u);
    runUntil([] { return false; }, 0.3);
    EXPECT_EQ(m_lists.size(), 1u);
}

TEST_F(OmniboxEngineTest, CallbackMayStartANewerUpdate)
{
    m_server.on(suggestPath, LoopbackServer::Handler([](const LoopbackServer::Request& request) {
        return json("[\"x\", [\"answer to " + request.query + "\"]]");
    }));
    OmniboxEngine engine(m_http, m_server.baseUrl());
    bool nested = false;
    engine.update({"first", OmniboxEventType::keystroke}, sources(), [&](std::vector<OmniboxMatch> matches) {
        m_lists.push_back(matches);
        if (!nested) {
            nested = true;
            update(engine, "second");
        }
    });
    ASSERT_TRUE(runUntil([&] { return m_lists.size() == 3; }));
    runUntil([] { return false; }, 0.2);
    // Only the inner update's request was made, and only its answer arrived.
    ASSERT_EQ(m_server.requests().size(), 1u);
    EXPECT_EQ(m_server.requests()[0].query, "client=firefox&q=second");
    ASSERT_EQ(m_lists.size(), 3u);
    EXPECT_EQ(m_lists[2].back().title, "answer to client=firefox&q=second");
}

TEST_F(OmniboxEngineTest, CallbackMayDestroyTheEngine)
{
    m_server.on(suggestPath, json(R"(["x", ["y"]])"));
    auto engine = std::make_unique<OmniboxEngine>(m_http, m_server.baseUrl());
    engine->update({"words", OmniboxEventType::focus}, sources(), [&](std::vector<OmniboxMatch>) { engine.reset(); });
    EXPECT_FALSE(engine);
    test::drainMainLoop();
    EXPECT_TRUE(m_server.requests().empty());
}

TEST_F(OmniboxEngineTest, ReadsAllTabsButOnlyTheShownSpacesHistory)
{
    test::TempDir dir;
    BrowserCore core({.dataDirectory = dir.path(), .defaultsPath = "", .updateFeedUrl = "http://127.0.0.1:9/"});
    BrowserState& state = core.state();
    auto open = [&](const std::string& address, const std::string& title) {
        state.addTab(Tab(Uuid::random(), *Url::parse(address), title, false, false, state.currentSpaceId(),
                         std::nullopt));
    };
    open("https://garden.example/roses", "Roses"); // visited in the first space
    state.createNewSpace("Other", SpaceColor::red, "leaf");
    open("https://garden.example/tulips", "Tulips");

    m_server.on(suggestPath, json(R"(["garden", []])"));
    OmniboxEngine engine(m_http, m_server.baseUrl());
    engine.update({"garden", OmniboxEventType::keystroke}, state,
                  [this](std::vector<OmniboxMatch> matches) { m_lists.push_back(std::move(matches)); });
    ASSERT_EQ(m_lists.size(), 1u);
    int tabs = 0;
    std::vector<std::string> visits;
    for (const auto& m : m_lists[0]) {
        if (m.type == OmniboxMatchType::openTab)
            ++tabs;
        if (m.type == OmniboxMatchType::historyURL)
            visits.push_back(m.title);
    }
    EXPECT_EQ(tabs, 1); // the first space's; the shown tab is not offered
    EXPECT_EQ(visits, std::vector<std::string>{"Tulips"});
}

} // namespace
} // namespace kovi
