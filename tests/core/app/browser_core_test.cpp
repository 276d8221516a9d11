#include "core/app/browser_core.h"

#include "core/ai/ai_service.h"
#include "core/library/browser_library.h"
#include "core/settings/appearance_manager.h"
#include "core/settings/auth_manager.h"
#include "core/settings/preferences.h"
#include "core/state/browser_state.h"
#include "core/web/page_extension_store.h"
#include "support/loopback_server.h"
#include "support/main_loop.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace kovi {
namespace {

using test::LoopbackServer;
using test::runUntil;

class BrowserCoreTest : public ::testing::Test {
protected:
    std::unique_ptr<BrowserCore> build(std::optional<std::string> feed = std::nullopt)
    {
        BrowserCore::Options options;
        options.dataDirectory = dir.file("data");
        options.defaultsPath = dir.file("config/defaults.json");
        options.updateFeedUrl = feed ? *feed : "http://127.0.0.1:9/updates/latest.json";
        return std::make_unique<BrowserCore>(std::move(options));
    }

    static Url url(const std::string& text) { return *Url::parse(text); }

    test::TempDir dir;
};

class Presenter : public UpdateAlertPresenter {
public:
    void present(const UpdateAlert& alert, std::function<void(std::size_t)> chosen) override
    {
        titles.push_back(alert.title);
        answer = std::move(chosen);
    }
    std::vector<std::string> titles;
    std::function<void(std::size_t)> answer;
};

TEST_F(BrowserCoreTest, EveryServiceKeepsItsFilesInTheGivenFoldersAndFindsThemAfterARestart)
{
    Uuid tab;
    std::size_t extensions = 0;
    {
        auto core = build();
        core->state().createNewTab(url("https://kept.example/"));
        tab = *core->state().activeTabId();
        core->appearance().setIsDarkMode(false);
        core->ai().setApiKey("sk-kept");
        core->auth().continueAsGuest();
        core->library().save(url("https://saved.example/"), "Saved", "Reading List");
        core->extensions().install(PageExtensionStore::focusReading());
        extensions = core->extensions().extensions().size();
        core->state().saveState();
    }
    for (const char* name : {"data/browser_state.json", "data/library.json", "data/page_extensions.json",
                             "config/defaults.json"})
        EXPECT_TRUE(dir.exists(name)) << name;

    auto core = build();
    EXPECT_TRUE(core->state().tab(tab));
    EXPECT_FALSE(core->appearance().isDarkMode());
    EXPECT_EQ(core->ai().apiKey(), "sk-kept");
    EXPECT_EQ(core->auth().authState(), AuthState::guest);
    ASSERT_EQ(core->library().archive().pages.size(), 1u);
    EXPECT_EQ(core->extensions().extensions().size(), extensions);
}

TEST_F(BrowserCoreTest, ServicesShareOneSettingsStore)
{
    auto core = build();
    int darkModeWrites = 0;
    core->preferences().changed(prefs::isDarkMode).connect([&] { ++darkModeWrites; });
    core->appearance().setIsDarkMode(true);
    EXPECT_EQ(darkModeWrites, 1);

    // The AI switch acts on page titles through the stored value the browser state reads.
    Tab pinned(Uuid::random(), url("https://video.example/"), std::nullopt, true, false,
               core->state().currentSpaceId(), std::nullopt);
    core->state().addTab(pinned);
    core->ai().setIsTidyTabTitlesEnabled(true);
    core->state().updateTabTitle(pinned.id, "Some video - YouTube");
    EXPECT_EQ(core->state().tab(pinned.id)->title, "Some video");
    EXPECT_TRUE(core->defaults().boolValue("isTidyTabTitlesEnabled").value_or(false));
}

TEST_F(BrowserCoreTest, UpdateAlertsReachTheApplicationOnlyWhileItListens)
{
    LoopbackServer server;
    const std::string feed = R"({"version":"9999","build":"1","url":"https://example.com/get"})";
    server.on("/feed.json", LoopbackServer::Reply{200, feed, "application/json"});
    auto core = build(server.url("/feed.json"));
    auto check = [&] {
        core->updates().checkForUpdates(true);
        ASSERT_TRUE(runUntil([&] { return core->updates().checksInFlight() == 0; }, 10));
    };

    check(); // no one listens yet: the alert is dropped
    Presenter presenter;
    std::vector<std::string> opened;
    core->setUpdateAlerts(&presenter, [&](const Url& address) { opened.push_back(address.string()); });
    check();
    ASSERT_EQ(presenter.titles, (std::vector<std::string>{"Update Available"}));
    presenter.answer(0); // "Download"
    EXPECT_EQ(opened, (std::vector<std::string>{"https://example.com/get"}));

    core->setUpdateAlerts(nullptr, {});
    check();
    EXPECT_EQ(presenter.titles.size(), 1u);
    EXPECT_EQ(server.requests().size(), 3u);
}

} // namespace
} // namespace kovi
