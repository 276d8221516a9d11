#include "core/settings/auth_manager.h"

#include "core/settings/preferences.h"
#include "core/support/defaults.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace kovi {
namespace {

Defaults::Bytes bytes(const std::string& text)
{
    return Defaults::Bytes(text.begin(), text.end());
}

class AuthManagerTest : public ::testing::Test {
protected:
    ManualClock m_clock{Date(725760000.375)};
    Clock::Override m_override{m_clock};
};

TEST_F(AuthManagerTest, NoStoredAccountMeansSignedOut)
{
    Defaults defaults;
    Preferences preferences(defaults);
    AuthManager auth(preferences);
    EXPECT_EQ(auth.authState(), AuthState::signedOut);
    EXPECT_FALSE(auth.currentUser());
    EXPECT_FALSE(auth.isAuthenticated());
    EXPECT_FALSE(auth.isLoading());
    EXPECT_FALSE(auth.errorMessage());
}

TEST_F(AuthManagerTest, GuestAccountIsStoredAndFoundAgainAfterARestart)
{
    test::TempDir dir;
    const std::string path = dir.file("defaults.json");
    KoviUser created;
    {
        Defaults defaults(path);
        Preferences preferences(defaults);
        AuthManager auth(preferences);
        int stateChanges = 0;
        auth.authStateChanged.connect([&] { ++stateChanges; });
        auth.continueAsGuest();
        EXPECT_EQ(stateChanges, 1);
        ASSERT_TRUE(auth.currentUser());
        created = *auth.currentUser();
        EXPECT_EQ(auth.authState(), AuthState::guest);
        EXPECT_TRUE(auth.isAuthenticated());
        EXPECT_EQ(defaults.boolValue("hasLaunchedBefore"), true);
    }
    EXPECT_EQ(created.id.rfind("guest-", 0), 0u);
    EXPECT_TRUE(Uuid::parse(created.id.substr(6)));
    EXPECT_EQ(created.id.substr(6), Uuid::parse(created.id.substr(6))->toString()) << "upper-case UUID text";
    EXPECT_EQ(created.email, "");
    EXPECT_EQ(created.displayName, "Guest");
    EXPECT_EQ(created.createdAt, Date(725760000.375));
    EXPECT_TRUE(created.isGuest);

    Defaults defaults(path);
    Preferences preferences(defaults);
    AuthManager again(preferences);
    EXPECT_EQ(again.authState(), AuthState::guest);
    EXPECT_EQ(again.currentUser(), created);
}

TEST_F(AuthManagerTest, StoredRecordIsPlainJsonWithTheFiveKeys)
{
    Defaults defaults;
    Preferences preferences(defaults);
    AuthManager(preferences).continueAsGuest();
    auto stored = defaults.bytesValue("koviCurrentUser");
    ASSERT_TRUE(stored);
    Json record = json::parse(std::string(stored->begin(), stored->end()));
    ASSERT_TRUE(record.is_object());
    EXPECT_EQ(record.size(), 5u);
    EXPECT_TRUE(record["createdAt"].is_number());
    EXPECT_DOUBLE_EQ(record["createdAt"].get<double>(), 725760000.375);
    EXPECT_EQ(record["isGuest"], true);
    EXPECT_EQ(record["displayName"], "Guest");
}

TEST_F(AuthManagerTest, ARecordMarkedNotGuestLoadsAsGuestAndStaysStoredUnchanged)
{
    const std::string text = R"({"id":"user-1","email":"a@b.example","displayName":"Ann","createdAt":10.5,"isGuest":false,"extra":1})";
    Defaults defaults;
    Preferences preferences(defaults);
    defaults.setBytes("koviCurrentUser", bytes(text));
    AuthManager auth(preferences);
    EXPECT_EQ(auth.authState(), AuthState::guest);
    ASSERT_TRUE(auth.currentUser());
    EXPECT_TRUE(auth.currentUser()->isGuest);
    EXPECT_EQ(auth.currentUser()->displayName, "Ann");
    EXPECT_EQ(auth.currentUser()->createdAt, Date(10.5));
    EXPECT_EQ(defaults.bytesValue("koviCurrentUser"), bytes(text));
}

TEST_F(AuthManagerTest, UndecodableRecordsLeaveTheUserSignedOutAndAreKept)
{
    const std::string records[] = {
        R"({"id":"u","displayName":"Ann","createdAt":1,"isGuest":true})",
        R"({"id":"u","email":"","displayName":"Ann","createdAt":"2024-01-01T00:00:00Z","isGuest":true})",
        R"({"id":"u","email":"","displayName":"Ann","createdAt":1,"isGuest":"yes"})",
        R"({"id":7,"email":"","displayName":"Ann","createdAt":1,"isGuest":true})",
        R"({"id":"u","email":null,"displayName":"Ann","createdAt":1,"isGuest":true})",
        "[]",
        "not json",
        "",
    };
    for (const auto& text : records) {
        Defaults defaults;
        Preferences preferences(defaults);
        defaults.setBytes("koviCurrentUser", bytes(text));
        AuthManager auth(preferences);
        EXPECT_EQ(auth.authState(), AuthState::signedOut) << text;
        EXPECT_FALSE(auth.currentUser()) << text;
        EXPECT_EQ(defaults.bytesValue("koviCurrentUser"), bytes(text));
    }
    // The record is bytes; text under the key is not an account.
    Defaults defaults;
    Preferences preferences(defaults);
    defaults.setString("koviCurrentUser", R"({"id":"u","email":"","displayName":"A","createdAt":1,"isGuest":true})");
    EXPECT_EQ(AuthManager(preferences).authState(), AuthState::signedOut);
}

TEST_F(AuthManagerTest, SignOutForgetsTheAccountButNotThatTheBrowserWasLaunched)
{
    test::TempDir dir;
    const std::string path = dir.file("defaults.json");
    std::string firstId;
    {
        Defaults defaults(path);
        Preferences preferences(defaults);
        AuthManager auth(preferences);
        auth.continueAsGuest();
        firstId = auth.currentUser()->id;
        auth.continueAsGuest();
        EXPECT_NE(auth.currentUser()->id, firstId);
        firstId = auth.currentUser()->id;

        auth.signOut();
        EXPECT_EQ(auth.authState(), AuthState::signedOut);
        EXPECT_FALSE(auth.currentUser());
        EXPECT_FALSE(auth.isAuthenticated());
        EXPECT_FALSE(defaults.contains("koviCurrentUser"));
        EXPECT_EQ(defaults.boolValue("hasLaunchedBefore"), true);
    }
    {
        Defaults defaults(path);
        Preferences preferences(defaults);
        AuthManager auth(preferences);
        EXPECT_EQ(auth.authState(), AuthState::signedOut);
        auth.continueAsGuest();
        EXPECT_NE(auth.currentUser()->id, firstId);
        EXPECT_EQ(defaults.boolValue("hasLaunchedBefore"), true);
    }
}

} // namespace
} // namespace kovi
