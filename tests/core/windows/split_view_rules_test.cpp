#include "core/state/state_fixture.h"
#include "core/windows/split_view_rules.h"

namespace kovi::test {
namespace {

class SplitViewRulesTest : public StateTest {
protected:
    void SetUp() override
    {
        start();
        a = open("https://alpha.example/");
        b = open("https://beta.example/");
        c = open("https://gamma.example/");
    }
    const SplitViewConfig& config() const { return state->splitViewConfig(); }
    Uuid a, b, c;
};

TEST_F(SplitViewRulesTest, APaneShowsTheHostThenTheTitleThenUntitled)
{
    Tab tab(Uuid::random(), url("https://news.example/today"), std::string("Front page"), false, false, std::nullopt,
            std::nullopt);
    EXPECT_EQ(splitPaneTitle(tab), "news.example");
    tab.url = url("about:blank");
    EXPECT_EQ(splitPaneTitle(tab), "Front page");
    tab.title = "";
    EXPECT_EQ(splitPaneTitle(tab), "Untitled");
    tab.url = url("file:///home/user/notes.html");
    EXPECT_EQ(splitPaneTitle(tab), "Untitled") << "a file address has no host";
}

// Folders, unknown ids, other programs' text and broken payloads change nothing at all.
TEST_F(SplitViewRulesTest, OnlyAKnownTabIsTakenByAPane)
{
    state->enableSplitView(a, b);
    state->setActiveTabId(c);
    const SplitViewConfig before = config();
    state->createFolder("Reading", {c});
    const Uuid folder = state->folders().begin()->first;
    forget(stateFile());

    using R = SplitPaneDrop::Result;
    EXPECT_EQ(dropOnSplitPane(*state, SplitViewSide::left, "folder:" + folder.toString()).result, R::folder);
    EXPECT_EQ(dropOnSplitPane(*state, SplitViewSide::left, "tab:" + Uuid::random().toString()).result, R::unknownTab);
    EXPECT_EQ(dropOnSplitPane(*state, SplitViewSide::right, "https://other.example/").result, R::notAPayload);
    EXPECT_EQ(dropOnSplitPane(*state, SplitViewSide::right, "tab:not-a-uuid").result, R::notAPayload);
    EXPECT_EQ(dropOnSplitPane(*state, SplitViewSide::right, "").result, R::notAPayload);
    EXPECT_EQ(dropOnSplitPane(*state, SplitViewSide::right, "tab:" + c.toString() + " trailing").result, R::notAPayload);
    EXPECT_EQ(config(), before);
    EXPECT_EQ(state->activeTabId(), c);
    EXPECT_EQ(state->activeSplitSide(), SplitViewSide::left);
    EXPECT_FALSE(written(stateFile()));
}

TEST_F(SplitViewRulesTest, ADroppedTabFillsThePaneOrSwapsWithTheOtherOne)
{
    state->enableSplitView(a, b);
    state->setSplitRatio(0.3);

    // Another tab of the space, with the line break other programs add.
    SplitPaneDrop drop = dropOnSplitPane(*state, SplitViewSide::right, "tab:" + c.toString() + "\n");
    EXPECT_TRUE(drop.accepted());
    EXPECT_EQ(config(), (SplitViewConfig{true, a, c, 0.3}));
    EXPECT_EQ(state->activeSplitSide(), SplitViewSide::right);
    EXPECT_EQ(state->activeTabId(), c);

    // The other pane's tab: the panes swap.
    EXPECT_TRUE(dropOnSplitPane(*state, SplitViewSide::right, "tab:" + a.toString()).accepted());
    EXPECT_EQ(config(), (SplitViewConfig{true, c, a, 0.3}));
    EXPECT_EQ(state->activeTabId(), a);

    // The pane's own tab: only the pane and its tab become active.
    state->setActiveSplitSide(SplitViewSide::left);
    EXPECT_TRUE(dropOnSplitPane(*state, SplitViewSide::right, "tab:" + a.toString()).accepted());
    EXPECT_EQ(config(), (SplitViewConfig{true, c, a, 0.3}));
    EXPECT_EQ(state->activeSplitSide(), SplitViewSide::right);
}

TEST_F(SplitViewRulesTest, AClickMakesThePaneAndItsTabActive)
{
    state->enableSplitView(a, b);
    state->setActiveTabId(a);
    selectSplitPane(*state, SplitViewSide::right);
    EXPECT_EQ(state->activeSplitSide(), SplitViewSide::right);
    EXPECT_EQ(state->activeTabId(), b);
    EXPECT_EQ(state->history().front().url, url("https://beta.example/")) << "activating records the visit";

    // A pane whose tab is gone does nothing.
    state->setSplitViewConfig(SplitViewConfig{true, a, Uuid::random(), 0.5});
    selectSplitPane(*state, SplitViewSide::left);
    selectSplitPane(*state, SplitViewSide::right);
    EXPECT_EQ(state->activeSplitSide(), SplitViewSide::left);
    EXPECT_EQ(state->activeTabId(), a);
}

TEST_F(SplitViewRulesTest, AddLeftOrRightSplitPutsTheActiveTabOnThatSide)
{
    state->setActiveTabId(b);
    activateSplit(*state, true);
    EXPECT_EQ(config(), (SplitViewConfig{true, b, a, 0.5}));
    EXPECT_EQ(state->activeSplitSide(), SplitViewSide::left);

    state->setSplitRatio(0.8);
    activateSplit(*state, false);
    EXPECT_EQ(config(), (SplitViewConfig{true, a, b, 0.5})) << "restarts with the ratio at 0.5";
    EXPECT_EQ(state->activeSplitSide(), SplitViewSide::right);
    EXPECT_EQ(state->activeTabId(), b);
}

TEST_F(SplitViewRulesTest, AddSplitNeedsAnActiveTabAndAnotherOne)
{
    state->removeTab(b);
    state->removeTab(c);
    ASSERT_EQ(state->activeTabId(), a);
    activateSplit(*state, true);
    activateSplit(*state, false);
    EXPECT_FALSE(config().isEnabled);

    state->setActiveTabId(std::nullopt);
    open("https://delta.example/");
    state->setActiveTabId(std::nullopt);
    activateSplit(*state, true);
    EXPECT_FALSE(config().isEnabled);
}

// Whatever takes a pane's tab away ends the split, so no pane is left showing nothing.
TEST_F(SplitViewRulesTest, ClosingSplitTabsOrLeavingTheSpaceEndsTheSplit)
{
    auto ended = [&] { return !config().isEnabled && !config().leftTabId && !config().rightTabId; };

    state->enableSplitView(a, b);
    state->removeTab(a);
    EXPECT_TRUE(ended()) << "the left pane's tab closed";

    Uuid d = open("https://delta.example/");
    state->enableSplitView(c, d);
    state->removeTab(c);
    state->removeTab(d);
    EXPECT_TRUE(ended()) << "both closed";

    Uuid e = open("https://epsilon.example/");
    state->enableSplitView(b, e);
    state->createNewSpace("Work", SpaceColor::green, "briefcase");
    EXPECT_TRUE(ended()) << "another space shown";

    const Uuid work = currentSpace();
    Uuid w1 = open("https://one.example/");
    Uuid w2 = open("https://two.example/");
    state->enableSplitView(w1, w2);
    state->moveTabToSpace(w2, state->spaces().front().id);
    EXPECT_TRUE(ended()) << "a pane's tab moved to another space";

    state->enableSplitView(w1, open("https://three.example/"));
    state->removeSpace(work);
    EXPECT_TRUE(ended()) << "the whole space closed";
    EXPECT_FALSE(state->tab(w1));
}

} // namespace
} // namespace kovi::test
