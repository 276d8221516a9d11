#include "state_fixture.h"

#include "core/support/notification_names.h"
#include "support/main_loop.h"

namespace kovi::test {
namespace {

using ObserversTest = StateTest;

TEST_F(ObserversTest, SignalsComeOnceAfterTheWholeOperation)
{
    start();
    Uuid a = open("https://a.example/");
    int tabsSignals = 0;
    int spacesSignals = 0;
    bool consistent = true;
    Uuid added;
    auto c1 = state->tabsChanged.connect([&] { ++tabsSignals; });
    auto c2 = state->spacesChanged.connect([&] { ++spacesSignals; });
    // By the time anyone hears of the new tab, it is listed, active and saved.
    auto c3 = state->activeTabIdChanged.connect([&] {
        auto active = state->activeTab();
        consistent = consistent && active && shownSpace().tabOrder.back() == active->id &&
                     dir.read(BrowserState::stateFileName).find(active->id.toString()) != std::string::npos;
    });
    added = open("https://b.example/");
    EXPECT_EQ(tabsSignals, 1);
    EXPECT_EQ(spacesSignals, 1);
    EXPECT_TRUE(consistent);
    EXPECT_NE(added, a);
    c1.disconnect();
    c2.disconnect();
    c3.disconnect();
}

TEST_F(ObserversTest, ASlotMayCallBackIntoTheState)
{
    start();
    Uuid a = open("https://a.example/");
    Uuid b = open("https://close.example/");
    state->setActiveTabId(a);
    // A view that closes the tab it sees activated when it is "close.example", and opens a
    // fresh tab when none is left.
    int calls = 0;
    auto connection = state->activeTabIdChanged.connect([&] {
        ++calls;
        auto active = state->activeTab();
        if (active && active->url == url("https://close.example/"))
            state->removeTab(active->id);
        else if (!active)
            state->createNewTab(url("https://fresh.example/"));
    });
    state->setActiveTabId(b);
    EXPECT_EQ(state->activeTabId(), a);
    EXPECT_FALSE(state->tab(b));
    state->removeTab(a);
    ASSERT_TRUE(state->activeTab());
    EXPECT_EQ(state->activeTab()->url, url("https://fresh.example/"));
    EXPECT_EQ(state->tabs().size(), 1u);
    EXPECT_EQ(shownSpace().tabOrder, (std::vector<Uuid>{*state->activeTabId()}));
    EXPECT_LT(calls, 10);
    connection.disconnect();
}

TEST_F(ObserversTest, TabClosedIsAnnouncedForClosingArchivingAndRemovedSpaces)
{
    start();
    std::vector<Uuid> closed;
    auto connection = state->tabClosed.connect([&](const Uuid& id) {
        closed.push_back(id);
        EXPECT_FALSE(state->tab(id));
    });
    Uuid a = open("https://a.example/");
    state->removeTab(a);
    state->createNewSpace("Other", SpaceColor::red, "star.fill");
    Uuid other = currentSpace();
    Uuid b = open("https://b.example/");
    state->removeSpace(other);
    EXPECT_EQ(closed, (std::vector<Uuid>{a, b}));
    connection.disconnect();
}

TEST_F(ObserversTest, SwitchingSpacesResetsPanelsAndRemembersTheTab)
{
    start();
    Uuid home = currentSpace();
    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    state->setActiveTabId(a);
    state->createNewSpace("Work", SpaceColor::green, "briefcase.fill");
    Uuid work = currentSpace();
    state->setCurrentSpaceId(home);
    state->enableSplitView(a, b);
    state->toggleFindInPage();
    state->setIsKoviCanvasViewVisible(true);
    state->setActiveKoviCanvasId(Uuid::random());

    // The same value: nothing changes and nothing is written.
    forget(stateFile());
    state->setCurrentSpaceId(home);
    EXPECT_TRUE(state->splitViewConfig().isEnabled);
    EXPECT_TRUE(state->isFindInPageVisible());
    EXPECT_FALSE(written(stateFile()));

    state->setCurrentSpaceId(work);
    EXPECT_FALSE(state->splitViewConfig().isEnabled);
    EXPECT_FALSE(state->isFindInPageVisible());
    EXPECT_FALSE(state->isKoviCanvasViewVisible());
    EXPECT_FALSE(state->activeKoviCanvasId());
    EXPECT_FALSE(state->activeTabId());
    EXPECT_EQ(space(home).lastActiveTabId, a);
    EXPECT_TRUE(written(stateFile()));
}

TEST_F(ObserversTest, AnUnknownSpaceIsRefusedAndTheSwitchStepsRunOnce)
{
    start();
    Uuid home = currentSpace();
    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    state->enableSplitView(a, b);
    state->toggleFindInPage();
    int signals = 0;
    auto connection = state->currentSpaceIdChanged.connect([&] { ++signals; });
    state->setCurrentSpaceId(Uuid::random());
    EXPECT_EQ(state->currentSpaceId(), home);
    EXPECT_FALSE(state->splitViewConfig().isEnabled);
    EXPECT_FALSE(state->isFindInPageVisible());
    EXPECT_EQ(state->activeTabId(), b);
    state->setCurrentSpaceId(std::nullopt);
    EXPECT_EQ(state->currentSpaceId(), home);
    connection.disconnect();
    EXPECT_LE(signals, 2);
}

TEST_F(ObserversTest, SettingsBackedPropertiesReadAndWriteTheirKeys)
{
    storeSettings([](Defaults& stored) {
        stored.setString("browserLayoutMode", "Traditional");
        stored.setBool("isDevToolsEnabled", true);
        stored.setNumber("isBrowserBezelEnabled", 0); // not a Bool: the default applies
    });
    start();
    EXPECT_EQ(state->layoutMode(), BrowserLayoutMode::vertical);
    EXPECT_TRUE(state->isDevToolsEnabled());
    EXPECT_TRUE(state->isBrowserBezelEnabled());

    state->setLayoutMode(BrowserLayoutMode::traditional);
    EXPECT_EQ(defaults().stringValue("browserLayoutMode"), "traditional");
    state->setIsBrowserBezelEnabled(false);
    EXPECT_EQ(defaults().boolValue("isBrowserBezelEnabled"), false);
    restart();
    EXPECT_EQ(state->layoutMode(), BrowserLayoutMode::traditional);
    EXPECT_FALSE(state->isBrowserBezelEnabled());
}

TEST_F(ObserversTest, ToggleDevToolsFlipsAndPostsTheActiveTab)
{
    start();
    std::vector<std::optional<Uuid>> objects;
    auto connection = notifications().observe(notifications::toggleDevTools,
                                            [&](const Notification& n) { objects.push_back(n.object); });
    state->toggleDevTools();
    EXPECT_TRUE(state->isDevToolsEnabled());
    EXPECT_EQ(defaults().boolValue("isDevToolsEnabled"), true);
    Uuid a = open("https://a.example/");
    state->toggleDevTools();
    EXPECT_FALSE(state->isDevToolsEnabled());
    EXPECT_EQ(objects, (std::vector<std::optional<Uuid>>{std::nullopt, a}));
    connection.disconnect();
}

TEST_F(ObserversTest, FindBarToggleClearsTheQueryOnClose)
{
    start();
    state->toggleFindInPage();
    state->setFindInPageQuery("needle");
    state->toggleFindInPage();
    EXPECT_FALSE(state->isFindInPageVisible());
    EXPECT_EQ(state->findInPageQuery(), "");
    state->setFindInPageQuery("kept");
    state->toggleFindInPage();
    EXPECT_TRUE(state->isFindInPageVisible());
    EXPECT_EQ(state->findInPageQuery(), "kept");
}

TEST_F(ObserversTest, PanelFlagsStartOffAndNotifyOnChangeOnly)
{
    start();
    EXPECT_FALSE(state->isCommandBarVisible());
    EXPECT_EQ(state->commandBarMode(), BrowserState::CommandBarMode::all);
    EXPECT_EQ(state->sidebarWidth(), 280.0);
    EXPECT_EQ(state->activeSplitSide(), SplitViewSide::left);
    EXPECT_EQ(state->splitViewConfig(), SplitViewConfig{});
    int changes = 0;
    auto connection = state->isHistoryPanelVisibleChanged.connect([&] { ++changes; });
    state->setIsHistoryPanelVisible(true);
    state->setIsHistoryPanelVisible(true);
    state->setIsHistoryPanelVisible(false);
    EXPECT_EQ(changes, 2);
    state->setSidebarWidth(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(state->sidebarWidth(), 280.0);
    connection.disconnect();

    // The downloads panel says whether a download opened it, when its flag is told; one the user
    // opened stays the user's.
    std::vector<bool> openedByItself;
    connection = state->isDownloadsPanelVisibleChanged.connect(
        [&] { openedByItself.push_back(state->isDownloadsPanelOpenedByItself()); });
    state->openDownloadsPanelForDownload();
    state->setIsDownloadsPanelVisible(false);
    state->setIsDownloadsPanelVisible(true);
    state->openDownloadsPanelForDownload();
    EXPECT_EQ(openedByItself, (std::vector<bool>{true, false, false}));
    EXPECT_FALSE(state->isDownloadsPanelOpenedByItself());
    connection.disconnect();
}

// Timers used to fire into a state that had been destroyed.
TEST_F(ObserversTest, NoTimerRunsAfterTheStateIsGone)
{
    start();
    Uuid id = Uuid::random();
    state->setDownloads({DownloadItem{id, url("https://example.com/f"), "f", std::nullopt, 100, 0,
                                      DownloadStatus::downloading, clock.now(), std::nullopt}});
    state->updateDownload(id, 10, 100, std::nullopt, std::nullopt); // written
    state->updateDownload(id, 20, 100, std::nullopt, std::nullopt); // throttled: a flush is armed
    state = nullptr;
    core.reset();
    forget(downloadsFile());
    runUntil([] { return false; }, 1.3);
    EXPECT_FALSE(written(downloadsFile()));
}

} // namespace
} // namespace kovi::test
