#include "core/support/http_client.h"

#include "core/support/http_session.h"

#include "support/loopback_server.h"
#include "support/main_loop.h"

#include <gtest/gtest.h>

#include <memory>

namespace kovi {
namespace {

using test::LoopbackServer;

std::optional<Result<HttpResponse>> fetch(HttpClient& client, HttpRequest request, double wait = 10)
{
    std::optional<Result<HttpResponse>> outcome;
    client.send(std::move(request), [&](Result<HttpResponse> r) { outcome.emplace(std::move(r)); });
    test::runUntil([&] { return outcome.has_value(); }, wait);
    return outcome;
}

TEST(HttpClientTest, ReturnsStatusHeadersAndBody)
{
    LoopbackServer server;
    server.on("/feed", LoopbackServer::Reply{200, "{\"a\":1}", "application/json", {{"X-Test", "yes"}}});
    HttpSession session;
    HttpClient client(session);
    auto result = fetch(client, {.url = server.url("/feed")});
    ASSERT_TRUE(result && result->ok());
    EXPECT_EQ((*result)->status, 200u);
    EXPECT_EQ((*result)->body, "{\"a\":1}");
    EXPECT_EQ((*result)->headers.at("x-test"), "yes");
    auto missing = fetch(client, {.url = server.url("/missing")});
    ASSERT_TRUE(missing && missing->ok());
    EXPECT_EQ((*missing)->status, 404u);
}

TEST(HttpClientTest, SendsBodyAndHeaders)
{
    LoopbackServer server;
    server.on("/echo", [](const LoopbackServer::Request& r) {
        return LoopbackServer::Reply{200, r.method + " " + r.body + " " + r.headers.at("authorization")};
    });
    HttpSession session;
    HttpClient client(session);
    auto result = fetch(client, {.url = server.url("/echo"), .method = "POST",
                                 .headers = {{"Authorization", "Bearer k"}}, .body = "{}", .contentType = "application/json"});
    ASSERT_TRUE(result && result->ok());
    EXPECT_EQ((*result)->body, "POST {} Bearer k");
}

TEST(HttpClientTest, FailuresAreTyped)
{
    LoopbackServer server;
    server.on("/big", LoopbackServer::Reply{200, std::string(200000, 'x')});
    server.on("/stall", LoopbackServer::Reply{.neverAnswer = true});
    HttpSession session;
    HttpClient client(session);
    auto big = fetch(client, {.url = server.url("/big"), .maxBodyBytes = 1000});
    ASSERT_TRUE(big);
    EXPECT_EQ(big->error().code, ErrorCode::TooLarge);
    auto stall = fetch(client, {.url = server.url("/stall"), .timeoutSeconds = 0.3});
    ASSERT_TRUE(stall);
    EXPECT_EQ(stall->error().code, ErrorCode::Timeout);
    auto invalid = fetch(client, {.url = "not a url"});
    ASSERT_TRUE(invalid);
    EXPECT_EQ(invalid->error().code, ErrorCode::InvalidInput);
    // A port nothing listens on.
    std::string closed;
    {
        LoopbackServer gone;
        closed = gone.url("/x");
    }
    auto refused = fetch(client, {.url = closed});
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->error().code, ErrorCode::Network);
}

TEST(HttpClientTest, RedirectsAreFollowedUnlessTurnedOff)
{
    LoopbackServer target;
    target.on("/there", LoopbackServer::Reply{200, "arrived"});
    LoopbackServer server;
    server.on("/moved", LoopbackServer::Reply{302, "", "text/plain", {{"Location", target.url("/there")}}});
    HttpSession session;
    HttpClient client(session);
    auto followed = fetch(client, {.url = server.url("/moved")});
    ASSERT_TRUE(followed && followed->ok());
    EXPECT_EQ((*followed)->body, "arrived");
    EXPECT_EQ((*followed)->finalUrl, target.url("/there"));

    auto kept = fetch(client, {.url = server.url("/moved"), .followRedirects = false});
    ASSERT_TRUE(kept && kept->ok());
    EXPECT_EQ((*kept)->status, 302u);
    EXPECT_EQ((*kept)->headers.at("location"), target.url("/there"));
    EXPECT_EQ(target.requests().size(), 1u);
}

TEST(HttpClientTest, CancelledOrOrphanedRequestsNeverCallBack)
{
    LoopbackServer server;
    server.on("/slow", LoopbackServer::Reply{.body = "late", .delayMs = 200});
    bool called = false;
    // On one session, a client going away cancels its own requests only.
    HttpSession session;
    HttpClient other(session);
    std::optional<Result<HttpResponse>> otherAnswer;
    other.send({.url = server.url("/slow")}, [&](Result<HttpResponse> r) { otherAnswer.emplace(std::move(r)); });
    {
        auto client = std::make_unique<HttpClient>(session);
        auto id = client->send({.url = server.url("/slow")}, [&](Result<HttpResponse>) { called = true; });
        client->cancel(id);
        client->send({.url = server.url("/slow")}, [&](Result<HttpResponse>) { called = true; });
    } // destroyed with a request in flight
    ASSERT_TRUE(test::runUntil([&] { return otherAnswer.has_value(); }, 10));
    ASSERT_TRUE(otherAnswer->ok());
    EXPECT_EQ((*otherAnswer)->body, "late");
    test::runUntil([] { return false; }, 0.4);
    EXPECT_FALSE(called);
}

} // namespace
} // namespace kovi
