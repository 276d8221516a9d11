// The update check as the user meets it: at launch (silent unless there is an update) and from
// "Check for Updates...", answered by dialogs over the window. The feed comes from a loopback
// server.
#include "app_fixture.h"

#include "core/settings/preferences.h"
#include "core/settings/update_manager.h"
#include "support/loopback_server.h"
#include "ui/settings/update_alerts.h"

#include <adwaita.h>

namespace kovi::test {
namespace {

std::string feed(const std::string& version, const std::string& build = "1",
                 const std::string& url = "https://downloads.example/kovi")
{
    return R"({"version":")" + version + R"(","build":")" + build + R"(","url":")" + url + R"("})";
}

class UpdateAlertsTest : public ::testing::Test {
protected:
    void start(bool startupCheck)
    {
        h = std::make_unique<AppHarness>(dir.path(), server.url("/updates/latest.json"), startupCheck);
        alerts().alertPresented.connect([this](const UpdateAlert& a) { shown.push_back(a); });
    }
    UpdateAlerts& alerts() { return h->app->updateAlerts(); }
    void serve(unsigned status, const std::string& body, const std::string& type = "application/json")
    {
        LoopbackServer::Reply reply;
        reply.status = status;
        reply.body = body;
        reply.contentType = type;
        server.on("/updates/latest.json", reply);
    }
    bool requested() const { return !server.requests().empty(); }

    TempDir dir;
    LoopbackServer server;
    std::unique_ptr<AppHarness> h;
    std::vector<UpdateAlert> shown;
};

TEST_F(UpdateAlertsTest, MenuCheckReportsEveryOutcome)
{
    serve(404, "missing", "text/plain");
    start(false);
    h->app->commands().activate("check-for-updates");
    ASSERT_TRUE(runUntilGtk([&] { return shown.size() == 1; }));
    EXPECT_EQ(shown[0], (UpdateAlert{"Update Check Failed", "Couldn't reach the update server.", {"OK"}}));
    ASSERT_EQ(alerts().openDialogs().size(), 1u);
    AdwMessageDialog* dialog = alerts().openDialogs().back();
    EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(dialog)), GTK_WINDOW(h->window().gobj()));
    EXPECT_STREQ(adw_message_dialog_get_heading(dialog), "Update Check Failed");
    alerts().respond(0);
    ASSERT_TRUE(runUntilGtk([&] { return alerts().openDialogs().empty(); }));

    serve(200, "<html><body>Not a feed</body></html>", "text/html");
    h->app->commands().activate("check-for-updates");
    ASSERT_TRUE(runUntilGtk([&] { return shown.size() == 2; }));
    EXPECT_EQ(shown[1].message, "The update feed is invalid.");
    alerts().respond(0);

    serve(200, feed(KOVI_VERSION, KOVI_BUILD_NUMBER));
    h->app->commands().activate("check-for-updates");
    ASSERT_TRUE(runUntilGtk([&] { return shown.size() == 3; }));
    EXPECT_EQ(shown[2], (UpdateAlert{"You're Up to Date", "Kovi is already on the latest version.", {"OK"}}));
    alerts().respond(0);

    serve(200, feed("99.0"));
    h->app->commands().activate("check-for-updates");
    ASSERT_TRUE(runUntilGtk([&] { return shown.size() == 4; }));
    EXPECT_EQ(shown[3], (UpdateAlert{"Update Available", "Kovi 99.0 is available. Would you like to download it now?",
                                     {"Download", "Later"}}));
    alerts().respond(1);
    ASSERT_TRUE(runUntilGtk([&] { return alerts().openDialogs().empty(); }));
}

TEST_F(UpdateAlertsTest, LaunchCheckIsSilentUnlessThereIsAnUpdate)
{
    serve(500, "", "text/plain");
    start(true);
    ASSERT_TRUE(runUntilGtk([&] { return requested() && h->ctx().updates->checksInFlight() == 0; }));
    settle(100);
    EXPECT_TRUE(shown.empty());
    EXPECT_FALSE(h->ctx().defaults.contains("lastUpdateCheckDate")); // tried again next launch
}

TEST_F(UpdateAlertsTest, LaunchCheckShowsAnUpdateAndADayOldCheckIsNotRepeated)
{
    serve(200, feed("99.0"));
    start(true);
    ASSERT_TRUE(runUntilGtk([&] { return shown.size() == 1; }));
    EXPECT_EQ(shown[0].title, "Update Available");
    EXPECT_TRUE(h->ctx().defaults.dateValue("lastUpdateCheckDate").has_value());
    alerts().respond(1);
    h.reset();

    // Checked moments ago: the next launch asks nothing.
    const auto before = server.requests().size();
    start(true);
    settle(300);
    EXPECT_EQ(server.requests().size(), before);
    EXPECT_TRUE(shown.empty() || shown.size() == 1);
}

TEST_F(UpdateAlertsTest, DownloadOpensTheReleasePageAndLaterDoesNot)
{
    ensureGtk();
    serve(200, feed("99.0", "1", "https://downloads.example/kovi-99"));
    Defaults defaults(dir.file("defaults.json"));
    Preferences preferences(defaults);
    UpdateAlerts presenter([]() -> Gtk::Window* { return nullptr; });
    std::vector<std::string> opened;
    UpdateManager::Options options = UpdateManager::Options::standard();
    options.feedUrl = server.url("/updates/latest.json");
    UpdateManager manager(preferences, presenter, [&](const Url& url) { opened.push_back(url.string()); }, options);

    manager.checkForUpdates(true);
    ASSERT_TRUE(runUntilGtk([&] { return presenter.openDialogs().size() == 1; }));
    presenter.respond(1); // Later
    ASSERT_TRUE(runUntilGtk([&] { return presenter.openDialogs().empty(); }));
    EXPECT_TRUE(opened.empty());

    manager.checkForUpdates(false);
    ASSERT_TRUE(runUntilGtk([&] { return presenter.openDialogs().size() == 1; }));
    presenter.respond(0); // Download
    EXPECT_EQ(opened, std::vector<std::string>{"https://downloads.example/kovi-99"});
    ASSERT_TRUE(runUntilGtk([&] { return presenter.openDialogs().empty(); }));
}

} // namespace
} // namespace kovi::test
