#include "core/support/notification_center.h"

#include <gtest/gtest.h>

namespace kovi {
namespace {

TEST(NotificationCenterTest, DeliversInOrderWithObjectAndTypedUserInfo)
{
    NotificationCenter center;
    Uuid tab = Uuid::random();
    std::vector<std::string> seen;
    auto first = center.observe("zoom", [&](const Notification& n) {
        seen.push_back("first");
        EXPECT_EQ(n.object, tab);
        EXPECT_EQ(n.value<double>("zoom"), 1.5);
        EXPECT_FALSE(n.value<std::string>("zoom")); // wrong type reads as missing
        EXPECT_FALSE(n.value<double>("missing"));
    });
    auto second = center.observe("zoom", [&](const Notification&) { seen.push_back("second"); });
    center.post("zoom", tab, {{"zoom", 1.5}});
    center.post("other");
    EXPECT_EQ(seen, (std::vector<std::string>{"first", "second"}));
}

TEST(NotificationCenterTest, ObserversMayDisconnectDuringDelivery)
{
    NotificationCenter center;
    int calls = 0;
    sigc::connection self;
    self = center.observe("x", [&](const Notification&) {
        ++calls;
        self.disconnect();
        center.observe("x", [&](const Notification&) { ++calls; });
    });
    center.post("x");
    center.post("x");
    EXPECT_EQ(calls, 2); // the first observer once, the one it added once (on the second post)
}

TEST(NotificationCenterTest, DisconnectedObserverIsNotCalled)
{
    NotificationCenter center;
    int calls = 0;
    auto connection = center.observe("x", [&](const Notification&) { ++calls; });
    connection.disconnect();
    center.post("x");
    EXPECT_EQ(calls, 0);
}

} // namespace
} // namespace kovi
