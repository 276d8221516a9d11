#include "state_fixture.h"

namespace kovi::test {
namespace {

using ArchiveTest = StateTest;

constexpr double hour = 3600;

TEST_F(ArchiveTest, IdleTabsAreClosedAtStartUp)
{
    start();
    Uuid old = open("https://old.example/");
    clock.advance(2 * hour);
    Uuid recent = open("https://recent.example/");
    Uuid active = open("https://active.example/");
    clock.advance(23 * hour); // old: 25 h idle, recent: 23 h, active: 23 h and shown
    restart();
    EXPECT_FALSE(state->tab(old));
    EXPECT_TRUE(state->tab(recent));
    EXPECT_TRUE(state->tab(active));
    state->reopenClosedTab(); // archived tabs come back like closed ones
    EXPECT_TRUE(state->tab(old));
}

TEST_F(ArchiveTest, PinnedExcludedAndActiveTabsStay)
{
    start();
    Uuid pinned = open("https://pinned.example/", true);
    Uuid excluded = open("https://excluded.example/");
    state->toggleAutoArchiveExcluded(excluded);
    Uuid folded = open("https://folded.example/");
    state->createFolder("F", {folded});
    state->createNewSpace("Other", SpaceColor::red, "globe");
    Uuid elsewhere = open("https://elsewhere.example/");
    Uuid active = open("https://active.example/");
    clock.advance(1000 * hour);
    state->autoArchiveTabsIfNeeded();
    EXPECT_TRUE(state->tab(pinned));
    EXPECT_TRUE(state->tab(excluded));
    EXPECT_TRUE(state->tab(active));
    EXPECT_FALSE(state->tab(folded));    // inside a folder
    EXPECT_FALSE(state->tab(elsewhere)); // not shown, in another space
}

TEST_F(ArchiveTest, TheLaterOfCreationAndLastAccessCounts)
{
    start();
    Uuid a = open("https://a.example/");
    Uuid b = open("https://b.example/");
    clock.advance(100 * hour);
    state->setActiveTabId(a); // a: created long ago, used now
    clock.advance(60);
    state->setActiveTabId(b);
    state->autoArchiveTabsIfNeeded();
    EXPECT_TRUE(state->tab(a));
}

TEST_F(ArchiveTest, SettingsSwitchArchivingOff)
{
    start();
    Uuid a = open("https://a.example/");
    open("https://b.example/");
    clock.advance(48 * hour);

    defaults().setNumber("autoArchiveHours", 0);
    state->autoArchiveTabsIfNeeded();
    defaults().setNumber("autoArchiveHours", -5);
    state->autoArchiveTabsIfNeeded();
    defaults().setNumber("autoArchiveHours", 100);
    state->autoArchiveTabsIfNeeded();
    EXPECT_TRUE(state->tab(a));

    defaults().setBool("autoArchiveEnabled", false);
    defaults().setNumber("autoArchiveHours", 1);
    state->autoArchiveTabsIfNeeded();
    EXPECT_TRUE(state->tab(a));

    defaults().setString("autoArchiveEnabled", "no"); // not a Bool: archiving stays on
    defaults().setString("autoArchiveHours", "1");    // not a number: 24 hours
    state->autoArchiveTabsIfNeeded();
    EXPECT_FALSE(state->tab(a));
}

} // namespace
} // namespace kovi::test
