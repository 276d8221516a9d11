#include "state_fixture.h"

#include "core/support/notification_names.h"

namespace kovi::test {
namespace {

using TabsTest = StateTest;

TEST_F(TabsTest, AddingListsTheTabOnceAndActivatesIt)
{
    start();
    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    EXPECT_EQ(state->activeTabId(), b);
    EXPECT_EQ(shownSpace().tabOrder, (std::vector<Uuid>{a, b}));
    EXPECT_EQ(shownSpace().sidebarOrder, (std::vector<SidebarItem>{SidebarItem::tab(a), SidebarItem::tab(b)}));

    // Adding a tab whose id is listed already replaces the record without listing it twice.
    Tab again = *state->tab(a);
    again.title = "Again";
    state->addTab(again);
    EXPECT_EQ(state->tab(a)->title, "Again");
    EXPECT_EQ(shownSpace().tabOrder, (std::vector<Uuid>{a, b}));
    EXPECT_EQ(shownSpace().sidebarOrder.size(), 2u);
    EXPECT_EQ(state->activeTabId(), a);

    state->createNewTab(url("https://c.example/path"));
    EXPECT_EQ(state->activeTab()->title, "c.example");
    EXPECT_EQ(shownSpace().tabOrder.back(), *state->activeTabId());
}

TEST_F(TabsTest, PinnedAndSpacelessTabsAreOnlyStored)
{
    start();
    Uuid pinned = open("https://p.example/", true);
    Tab loose(Uuid::random(), url("https://loose.example/"), std::nullopt, false, false, Uuid::random(), std::nullopt);
    state->addTab(loose);
    EXPECT_TRUE(shownSpace().tabOrder.empty());
    EXPECT_TRUE(shownSpace().sidebarOrder.empty());
    EXPECT_TRUE(state->tab(pinned));
    EXPECT_EQ(state->activeTabId(), loose.id);
}

TEST_F(TabsTest, ClosingTheActiveTabActivatesTheFirstTabOfTheSpace)
{
    start();
    Uuid pinned = open("https://p.example/", true);
    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    Uuid c = open("https://c.example/");
    state->removeTab(c);
    EXPECT_EQ(state->activeTabId(), a); // not the neighbour b
    state->removeTab(a);
    state->removeTab(b);
    EXPECT_EQ(state->activeTabId(), pinned);
    state->removeTab(pinned);
    EXPECT_FALSE(state->activeTabId());
    EXPECT_TRUE(state->tabs().empty());
    EXPECT_TRUE(shownSpace().tabOrder.empty());
    EXPECT_TRUE(shownSpace().sidebarOrder.empty());
}

TEST_F(TabsTest, ClosingAnotherTabKeepsTheActiveOneAndSaves)
{
    start();
    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    state->setNavigationError(a, "offline");
    forget(stateFile());
    state->removeTab(a);
    EXPECT_EQ(state->activeTabId(), b);
    EXPECT_TRUE(written(stateFile()));
    EXPECT_TRUE(state->navigationErrors().empty());

    forget(stateFile());
    state->removeTab(Uuid::random());
    EXPECT_FALSE(written(stateFile()));
}

TEST_F(TabsTest, RecentlyClosedKeepsTheNewestFortyAndReopensNewestFirst)
{
    start();
    std::vector<Uuid> closed;
    for (int i = 0; i < 41; ++i) {
        closed.push_back(open("https://site" + std::to_string(i) + ".example/"));
        state->removeTab(closed.back());
    }
    for (int i = 40; i >= 1; --i) {
        state->reopenClosedTab();
        EXPECT_EQ(state->activeTabId(), closed[static_cast<std::size_t>(i)]);
    }
    EXPECT_FALSE(state->hasRecentlyClosedTabs());
    state->reopenClosedTab(); // the first one was pushed out
    EXPECT_EQ(state->tabs().size(), 40u);
    EXPECT_FALSE(state->tab(closed[0]));
}

TEST_F(TabsTest, ReopenedTabKeepsItsIdentityAndPinState)
{
    start();
    Uuid a = open("https://a.example/");
    Uuid pinned = open("https://p.example/", true);
    state->updateTabFavicon(a, Bytes{1, 2, 3});
    Tab before = *state->tab(a);
    state->removeTab(a);
    state->removeTab(pinned);
    state->reopenClosedTab();
    EXPECT_EQ(state->activeTabId(), pinned);
    EXPECT_TRUE(shownSpace().tabOrder.empty());
    state->reopenClosedTab();
    Tab after = *state->tab(a);
    EXPECT_EQ(after.url, before.url);
    EXPECT_EQ(after.favicon, before.favicon);
    EXPECT_EQ(after.createdAt, before.createdAt);
    EXPECT_EQ(shownSpace().tabOrder, (std::vector<Uuid>{a}));
}

// Reopening used to leave a foldered tab linked to its folder while no folder listed it, so
// the tab was shown nowhere.
TEST_F(TabsTest, ReopenedTabGoesBackIntoItsFolderOrToTheTopLevel)
{
    start();
    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    state->createFolder("F", {a, b});
    Uuid folder = state->tabs().at(a).folderId.value();

    state->removeTab(a);
    state->reopenClosedTab();
    EXPECT_EQ(state->tabs().at(a).folderId, folder);
    EXPECT_EQ(ids(state->tabsInFolder(folder)), (std::vector<Uuid>{b, a}));

    state->removeTab(b);
    state->deleteFolder(folder);
    state->reopenClosedTab();
    EXPECT_FALSE(state->tabs().at(b).folderId);
    auto items = state->sidebarItemsForCurrentSpace();
    EXPECT_NE(std::find(items.begin(), items.end(), SidebarItem::tab(b)), items.end());
}

TEST_F(TabsTest, AReopenedTabWhoseSpaceIsGoneJoinsTheCurrentSpace)
{
    start();
    Uuid home = currentSpace();
    state->createNewSpace("Gone", SpaceColor::red, "globe");
    Uuid gone = currentSpace();
    Uuid a = open("https://a.example/");
    state->removeTab(a);
    state->setCurrentSpaceId(home);
    state->removeSpace(gone);
    state->reopenClosedTab();
    EXPECT_EQ(state->tab(a)->spaceId, home);
    EXPECT_EQ(ids(state->tabsForCurrentSpace()), (std::vector<Uuid>{a}));
    EXPECT_EQ(state->activeTabId(), a);
}

TEST_F(TabsTest, ClosingTheLastTabOfAFolderKeepsTheFolder)
{
    start();
    Uuid a = open("https://a.example/");
    state->createFolder("F", {a});
    Uuid folder = *state->tab(a)->folderId;
    state->removeTab(a);
    ASSERT_TRUE(state->folders().count(folder));
    EXPECT_TRUE(state->folders().at(folder).tabIds.empty());
    EXPECT_EQ(state->sidebarItemsForCurrentSpace(), (std::vector<SidebarItem>{SidebarItem::folder(folder)}));
}

// A closed tab used to stay named in a split pane, which then showed nothing.
TEST_F(TabsTest, ClosingATabShownInSplitViewTurnsSplitViewOff)
{
    start();
    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    state->enableSplitView(a, b);
    state->removeTab(b);
    EXPECT_FALSE(state->splitViewConfig().isEnabled);
    EXPECT_FALSE(state->splitViewConfig().rightTabId);
    EXPECT_FALSE(state->rightSplitTab());
}

TEST_F(TabsTest, KeyboardOrderIsPinnedThenTabOrderAndWraps)
{
    start();
    Uuid p1 = open("https://p1.example/", true);
    Uuid p2 = open("https://p2.example/", true);
    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    EXPECT_EQ(state->orderedTabIdsForKeyboardNavigation(), (std::vector<Uuid>{p1, p2, a, b}));
    state->switchActiveTab(+1);
    EXPECT_EQ(state->activeTabId(), p1);
    state->switchActiveTab(-1);
    EXPECT_EQ(state->activeTabId(), b);
    state->setActiveTabId(std::nullopt);
    state->switchActiveTab(-1);
    EXPECT_EQ(state->activeTabId(), p1);
}

TEST_F(TabsTest, PreferredTabIsTheRememberedOneElseTheNewest)
{
    start();
    Uuid home = currentSpace();
    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    state->setActiveTabId(a);
    state->createNewSpace("Work", SpaceColor::green, "briefcase.fill");
    EXPECT_FALSE(state->activeTabId()); // a space without tabs
    Uuid work = currentSpace();
    state->setCurrentSpaceId(home);
    EXPECT_EQ(state->activeTabId(), a);

    state->setCurrentSpaceId(work);
    state->removeTab(a); // not active: the space's memory now names a closed tab
    clock.advance(5);
    state->setCurrentSpaceId(home);
    EXPECT_EQ(state->activeTabId(), b);
    EXPECT_EQ(state->preferredTabId(std::nullopt), std::nullopt);
    EXPECT_EQ(state->preferredTabId(Uuid::random()), std::nullopt);
}

TEST_F(TabsTest, ActivationStampsRemembersRecordsAndNotifies)
{
    start();
    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    std::vector<std::pair<Uuid, Uuid>> switches;
    auto connection = notifications().observe(notifications::tabWillSwitch, [&](const Notification& n) {
        switches.emplace_back(*n.value<Uuid>("fromTabId"), *n.value<Uuid>("toTabId"));
        EXPECT_FALSE(n.object);
    });
    clock.advance(60);
    state->setActiveTabId(a);
    EXPECT_EQ(state->tab(a)->lastAccessedAt, clock.now());
    EXPECT_EQ(shownSpace().lastActiveTabId, a);
    EXPECT_EQ(state->history().front().url, url("https://a.example/"));
    EXPECT_EQ(switches, (std::vector<std::pair<Uuid, Uuid>>{{b, a}}));

    // The same value again: nothing at all.
    forget(stateFile());
    std::size_t visits = state->history().size();
    state->setActiveTabId(a);
    EXPECT_FALSE(written(stateFile()));
    EXPECT_EQ(state->history().size(), visits);
    EXPECT_EQ(switches.size(), 1u);

    // From no tab: no notification. An id naming no tab: saved, nothing recorded.
    state->setActiveTabId(std::nullopt);
    state->setActiveTabId(b);
    EXPECT_EQ(switches.size(), 1u);
    forget(stateFile());
    visits = state->history().size();
    state->setActiveTabId(Uuid::random());
    EXPECT_TRUE(written(stateFile()));
    EXPECT_EQ(state->history().size(), visits);
    connection.disconnect();
}

TEST_F(TabsTest, ActivatingATabOfAnotherSpaceFollowsIt)
{
    start();
    Uuid home = currentSpace();
    Uuid a = open("https://a.example/");
    state->createNewSpace("Work", SpaceColor::green, "briefcase.fill");
    Uuid work = currentSpace();
    Uuid w = open("https://w.example/");
    state->enableSplitView(w, w);
    state->toggleFindInPage();
    state->setActiveTabId(a);
    EXPECT_EQ(state->currentSpaceId(), home);
    EXPECT_EQ(space(home).lastActiveTabId, a);
    EXPECT_EQ(space(work).lastActiveTabId, w);
    EXPECT_FALSE(state->splitViewConfig().isEnabled);
    EXPECT_FALSE(state->isFindInPageVisible());
}

TEST_F(TabsTest, PageReportsChangeMemoryOnly)
{
    start();
    Uuid a = open("https://a.example/");
    const std::string saved = dir.read(BrowserState::stateFileName);
    int published = 0;
    auto counter = state->tabsChanged.connect([&] { ++published; });
    state->updateTabURL(a, url("https://a.example/next"));
    state->updateTabTitle(a, "Next");
    state->updateTabLoading(a, true, 0.25);
    state->updateTabNavigation(a, true, false);
    state->updateTabFavicon(a, Bytes{9});
    EXPECT_EQ(published, 5);
    state->updateTabTitle(Uuid::random(), "x");
    state->updateTabLoading(a, true, 0.25); // unchanged
    EXPECT_EQ(published, 5);
    EXPECT_EQ(dir.read(BrowserState::stateFileName), saved);
    Tab tab = *state->tab(a);
    EXPECT_EQ(tab.url, url("https://a.example/next"));
    EXPECT_EQ(tab.title, "Next");
    EXPECT_TRUE(tab.isLoading);
    EXPECT_EQ(tab.loadingProgress, 0.25);
    EXPECT_TRUE(tab.canGoBack);
    EXPECT_EQ(tab.favicon, Bytes{9});
    state->updateTabFavicon(a, std::nullopt);
    EXPECT_FALSE(state->tab(a)->favicon);
    state->updateTabLoading(a, false, 1.0);
    EXPECT_EQ(state->tab(a)->loadingProgress, 1.0);
    EXPECT_FALSE(state->tab(a)->isLoading);
    counter.disconnect();

    // Without a save the stored address is the one of the last structural change.
    restart();
    ASSERT_TRUE(state->tab(a));
    EXPECT_EQ(state->tab(a)->url, url("https://a.example/"));
}

// A NaN progress used to be stored as reported, and every later save then failed.
TEST_F(TabsTest, ProgressIsClampedAndNeverNonFinite)
{
    start();
    Uuid a = open("https://a.example/");
    state->updateTabLoading(a, true, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(state->tab(a)->loadingProgress, 0);
    state->updateTabLoading(a, true, std::numeric_limits<double>::infinity());
    EXPECT_EQ(state->tab(a)->loadingProgress, 0);
    state->updateTabLoading(a, true, 1.5);
    EXPECT_EQ(state->tab(a)->loadingProgress, 1.0);
    state->updateTabLoading(a, true, -0.5);
    EXPECT_EQ(state->tab(a)->loadingProgress, 0.0);
    state->updateTabLoading(a, true, std::numeric_limits<double>::quiet_NaN());
    forget(stateFile());
    state->saveState();
    EXPECT_TRUE(written(stateFile()));
}

TEST_F(TabsTest, PinnedTitlesAreTidiedOnlyWhenAsked)
{
    start();
    Uuid pinned = open("https://youtube.example/", true);
    Uuid plain = open("https://plain.example/");
    state->updateTabTitle(pinned, "Some video - YouTube");
    EXPECT_EQ(state->tab(pinned)->title, "Some video - YouTube");
    defaults().setBool("isTidyTabTitlesEnabled", true);
    state->updateTabTitle(pinned, "Some video - YouTube");
    state->updateTabTitle(plain, "Some video - YouTube");
    EXPECT_EQ(state->tab(pinned)->title, "Some video");
    EXPECT_EQ(state->tab(plain)->title, "Some video - YouTube");
}

TEST_F(TabsTest, AutoArchiveExclusionIsSaved)
{
    start();
    Uuid a = open("https://a.example/");
    forget(stateFile());
    state->toggleAutoArchiveExcluded(a);
    EXPECT_TRUE(state->tab(a)->isAutoArchiveExcluded);
    EXPECT_TRUE(written(stateFile()));
    state->toggleAutoArchiveExcluded(a);
    EXPECT_FALSE(state->tab(a)->isAutoArchiveExcluded);
}

} // namespace
} // namespace kovi::test
