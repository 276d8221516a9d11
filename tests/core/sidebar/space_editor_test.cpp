#include "core/sidebar/sidebar_text.h"
#include "core/sidebar/space_editor_model.h"
#include "core/support/text.h"
#include "sidebar_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kovi::test {
namespace {

TEST(SpaceEditorDefaults, NewSpacesCountUpAndRotateColours)
{
    EXPECT_EQ(spaceDraftDefaults(std::nullopt, 1), (SpaceDraft{"Space 2", SpaceColor::purple, "folder.fill"}));
    EXPECT_EQ(spaceDraftDefaults(std::nullopt, 3).color, SpaceColor::red);
    EXPECT_EQ(spaceDraftDefaults(std::nullopt, 7).color, SpaceColor::blue);
    for (std::size_t n = 0; n < 14; ++n)
        EXPECT_NE(spaceDraftDefaults(std::nullopt, n).color, SpaceColor::gray);
    Space existing;
    existing.name = "Work";
    existing.color = SpaceColor::gray;
    existing.icon = "briefcase.fill";
    EXPECT_EQ(spaceDraftDefaults(existing, 5), (SpaceDraft{"Work", SpaceColor::gray, "briefcase.fill"}));
}

TEST(SpaceEditorDefaults, OnlySpacesAndTabsAreTrimmed)
{
    EXPECT_FALSE(canSaveSpaceName(" \t "));
    EXPECT_EQ(trimmedSpaceName("  Work\t"), "Work");
    EXPECT_EQ(trimmedSpaceName("Work\n"), "Work\n");
    EXPECT_TRUE(canSaveSpaceName("\n"));
}

class SpaceEditorTest : public SidebarStateTest {};

TEST_F(SpaceEditorTest, CreatingShowsTheNewSpaceAndEditingKeepsEverythingElse)
{
    start();
    Uuid tab = open("https://a.example/");
    Space first = state->spaces().front();

    EXPECT_FALSE(saveSpaceDraft(*state, std::nullopt, {"  ", SpaceColor::red, "star.fill"}));
    EXPECT_EQ(state->spaces().size(), 1u);

    ASSERT_TRUE(saveSpaceDraft(*state, std::nullopt, {" Travel ", SpaceColor::green, "airplane"}));
    ASSERT_EQ(state->spaces().size(), 2u);
    const Space made = state->spaces().back();
    EXPECT_EQ(made.name, "Travel");
    EXPECT_EQ(state->currentSpaceId(), made.id);
    EXPECT_TRUE(made.sidebarOrder.empty());

    ASSERT_TRUE(saveSpaceDraft(*state, first, {"Home", SpaceColor::pink, "house.fill"}));
    restart();
    const Space edited = *state->space(first.id);
    EXPECT_EQ(edited.name, "Home");
    EXPECT_EQ(edited.color, SpaceColor::pink);
    EXPECT_EQ(edited.icon, "house.fill");
    EXPECT_EQ(edited.createdAt, first.createdAt);
    EXPECT_EQ(edited.sidebarOrder, first.sidebarOrder);
    EXPECT_EQ(state->tabs().at(tab).spaceId, first.id);
}

// The editor holds a copy of the space from when it opened; saving that copy whole would put
// back the tab order of that moment and lose tabs opened meanwhile.
TEST_F(SpaceEditorTest, SavingKeepsTabsOpenedWhileTheEditorWasOpen)
{
    start();
    const Space opened = state->spaces().front();
    const Uuid tab = open("https://later.example/");
    ASSERT_TRUE(saveSpaceDraft(*state, opened, {"Renamed", SpaceColor::red, "folder.fill"}));
    const Space saved = *state->space(opened.id);
    EXPECT_EQ(saved.name, "Renamed");
    EXPECT_NE(std::find(saved.tabOrder.begin(), saved.tabOrder.end(), tab), saved.tabOrder.end());
    EXPECT_EQ(state->sidebarItemsForCurrentSpace().back(), SidebarItem::tab(tab));
}

TEST_F(SpaceEditorTest, TheLastSpaceIsNeverDeleted)
{
    start();
    Space only = state->spaces().front();
    EXPECT_FALSE(deleteEditedSpace(*state, only));
    EXPECT_FALSE(deleteEditedSpace(*state, std::nullopt));
    ASSERT_TRUE(saveSpaceDraft(*state, std::nullopt, {"Second", SpaceColor::red, "folder.fill"}));
    EXPECT_TRUE(deleteEditedSpace(*state, only));
    EXPECT_EQ(state->spaces().size(), 1u);
    EXPECT_EQ(state->spaces().front().name, "Second");
}

TEST(SidebarText, TitlesLettersHeadersAndBadge)
{
    Tab tab(Uuid::random(), testUrl("https://docs.example/x"), std::string(), false, false, std::nullopt, std::nullopt);
    EXPECT_EQ(sidebarDisplayTitle(tab), "docs.example");
    EXPECT_EQ(pinnedTabLetter(tab), "D");
    tab.url = testUrl("file:///tmp/a.txt");
    EXPECT_EQ(sidebarDisplayTitle(tab), "Untitled");
    EXPECT_EQ(pinnedTabLetter(tab), "U");
    tab.title = "ßeta";
    EXPECT_EQ(pinnedTabLetter(tab), "SS");
    // A page's endless title is cut short before any row, tooltip or drag card lays it out.
    tab.title = std::string(100000, 'W');
    EXPECT_EQ(sidebarDisplayTitle(tab), std::string(text::maxShownCharacters - 1, 'W') + "\u2026");
    EXPECT_EQ(sectionHeaderText("today"), "TODAY");
    EXPECT_EQ(collapsedAddressText(&tab), "Search or enter URL");
    EXPECT_EQ(collapsedAddressText(nullptr), "Search or enter URL");

    DownloadItem item{Uuid::random(), testUrl("https://files.example/a"), "a", std::nullopt, 0, 0,
                      DownloadStatus::downloading, Date(0), std::nullopt};
    std::vector<DownloadItem> downloads(5, item);
    downloads[0].status = DownloadStatus::downloading;
    downloads[1].status = DownloadStatus::paused;
    downloads[2].status = DownloadStatus::downloading;
    downloads[3].status = DownloadStatus::completed;
    downloads[4].status = DownloadStatus::pending;
    EXPECT_EQ(runningDownloadCount(downloads), 2);
    downloads[1].status = DownloadStatus::downloading; // resumed
    EXPECT_EQ(runningDownloadCount(downloads), 3);
}

} // namespace
} // namespace kovi::test
