#include "sidebar_ui_fixture.h"

#include <gtkmm/popovermenu.h>

namespace kovi::test {
namespace {

class SidebarSpacesTest : public SidebarWindowTest {};

TEST_F(SidebarSpacesTest, DotsSwitchSpacesAndTheEditorChangesOne)
{
    const Uuid home = *state->currentSpaceId();
    open("https://home.example/", "Home page");
    state->createNewSpace("Work", SpaceColor::red, "briefcase.fill");
    const Uuid work = *state->currentSpaceId();
    open("https://work.example/", "Work page");
    state->setCurrentSpaceId(home);
    catchUp(150);
    EXPECT_EQ(view().spaceHeaderLabel().get_text(), "Personal");

    // Switch by dot, with the pointer.
    Gtk::Button* workDot = view().bottomBar().dot(work);
    ASSERT_TRUE(workDot);
    ASSERT_TRUE(click(*workDot));
    ASSERT_TRUE(runUntilGtk([&] { return state->currentSpaceId() == work; }, 3));
    catchUp();
    EXPECT_EQ(view().spaceHeaderLabel().get_text(), "Work");
    EXPECT_EQ(view().bottomBar().dot(work), workDot) << "a switch restyles the dots, it does not rebuild them";
    EXPECT_TRUE(view().bottomBar().dot(work)->has_css_class("selected"));
    screenshotIfAsked("sidebar-space-work");

    // Edit it: the dot's menu, then the editor's fields with real typing and clicks.
    ASSERT_TRUE(click(*view().bottomBar().dot(work), 3));
    settle(100);
    ASSERT_TRUE(view().bottomBar().activate_action("space.edit"));
    ASSERT_TRUE(runUntilGtk([&] { return view().spaceEditor() && view().spaceEditor()->get_mapped() && view().spaceEditor()->saveButton().get_width() > 0; }, 3));
    SpaceEditorWindow& editor = *view().spaceEditor();
    EXPECT_EQ(editor.draft().name, "Work");
    ASSERT_TRUE(xdoFocusWindow(editor));
    ASSERT_TRUE(click(editor.nameEntry()));
    editor.nameEntry().grab_focus();
    ASSERT_TRUE(runUntilGtk([&] { return editor.get_focus() && editor.get_focus()->is_ancestor(editor.nameEntry()); }, 2));
    xdo({"key", "--clearmodifiers", "ctrl+a"});
    xdo({"type", "--delay", "20", "  Office "});
    runUntilGtk([&] { return editor.draft().name == "  Office "; }, 3);
    ASSERT_EQ(editor.draft().name, "  Office ");
    ASSERT_TRUE(click(*editor.colorSwatch(SpaceColor::green)));
    ASSERT_TRUE(click(*editor.iconCell("star.fill")));
    screenshotIfAsked("sidebar-space-editor");
    ASSERT_TRUE(click(editor.saveButton()));
    ASSERT_TRUE(runUntilGtk([&] { return !view().spaceEditor(); }, 3));
    catchUp();

    auto edited = state->space(work);
    ASSERT_TRUE(edited);
    EXPECT_EQ(edited->name, "Office");
    EXPECT_EQ(edited->color, SpaceColor::green);
    EXPECT_EQ(edited->icon, "star.fill");
    EXPECT_EQ(view().spaceHeaderLabel().get_text(), "Office");

    restartState();
    EXPECT_EQ(state->currentSpaceId(), work);
    EXPECT_EQ(state->space(work)->name, "Office");
    EXPECT_EQ(state->space(work)->color, SpaceColor::green);
    EXPECT_EQ(state->spaces().size(), 2u);
}

TEST_F(SidebarSpacesTest, ASpaceSwitchAndANewFavouriteFadeInAndSettleFullyShown)
{
    const Uuid home = *state->currentSpaceId();
    const Uuid first = open("https://home.example/", "Home page");
    state->createNewSpace("Work", SpaceColor::red, "briefcase.fill");
    open("https://work.example/", "Work page");
    catchUp();
    Gtk::Widget& header = view().spaceHeader();
    ASSERT_TRUE(runUntilGtk([&] { return header.get_opacity() == 1.0; }, 3));

    // The shown space's content comes in from transparent and ends fully opaque.
    state->setCurrentSpaceId(home);
    view().flushRefresh();
    EXPECT_LT(header.get_opacity(), 0.5);
    EXPECT_DOUBLE_EQ(view().bottomBar().get_opacity(), 1.0) << "only the space's own content fades";
    ASSERT_TRUE(runUntilGtk([&] { return header.get_opacity() == 1.0; }, 3));
    EXPECT_DOUBLE_EQ(list().pinnedGrid().get_opacity(), 1.0);

    // A tab pinned in the shown space fades into the grid; tiles already there stay shown.
    const Uuid second = open("https://second.example/", "Second");
    state->pinTab(first);
    catchUp();
    ASSERT_TRUE(list().pinnedTile(first));
    ASSERT_TRUE(runUntilGtk([&] { return list().pinnedTile(first)->get_opacity() == 1.0; }, 3));
    state->pinTab(second);
    view().flushRefresh();
    ASSERT_TRUE(list().pinnedTile(second));
    EXPECT_DOUBLE_EQ(list().pinnedTile(first)->get_opacity(), 1.0);
    ASSERT_TRUE(runUntilGtk([&] { return list().pinnedTile(second)->get_mapped(); }, 3));
    ASSERT_TRUE(runUntilGtk([&] { return list().pinnedTile(second)->get_opacity() == 1.0; }, 3));
}

TEST_F(SidebarSpacesTest, AddingASpaceProposesTheNextNameAndShowsIt)
{
    ASSERT_TRUE(click(view().bottomBar().addSpaceButton()));
    ASSERT_TRUE(runUntilGtk([&] { return view().spaceEditor() && view().spaceEditor()->get_mapped() && view().spaceEditor()->saveButton().get_width() > 0; }, 3));
    SpaceEditorWindow& editor = *view().spaceEditor();
    EXPECT_EQ(editor.draft().name, "Space 2");
    EXPECT_EQ(editor.draft().color, SpaceColor::purple);
    // A blank name keeps Create disabled.
    editor.nameEntry().set_text(" \t ");
    EXPECT_FALSE(editor.saveButton().get_sensitive());
    editor.nameEntry().set_text("Travel");
    ASSERT_TRUE(click(editor.saveButton()));
    ASSERT_TRUE(runUntilGtk([&] { return state->spaces().size() == 2; }, 3));
    catchUp();
    EXPECT_EQ(state->space(*state->currentSpaceId())->name, "Travel");
    EXPECT_EQ(view().spaceHeaderLabel().get_text(), "Travel");
    EXPECT_TRUE(view().bottomBar().dot(*state->currentSpaceId()));
}

TEST_F(SidebarSpacesTest, TheLastSpaceCannotBeDeleted)
{
    const Uuid only = *state->currentSpaceId();
    view().openSpaceEditor(state->space(only));
    ASSERT_TRUE(runUntilGtk([&] { return view().spaceEditor() && view().spaceEditor()->get_mapped() && view().spaceEditor()->saveButton().get_width() > 0; }, 3));
    ASSERT_TRUE(click(view().spaceEditor()->deleteButton()));
    settle(100);
    EXPECT_TRUE(view().spaceEditor()) << "the sheet stays open";
    EXPECT_EQ(state->spaces().size(), 1u);
    // Nor from the dot's menu.
    EXPECT_FALSE(view().bottomBar().activate_action("space.delete") && state->spaces().size() != 1u);
    EXPECT_EQ(state->spaces().size(), 1u);
    view().spaceEditor()->dismiss();
}

// A mouse wheel's sideways steps (buttons 6 and 7) scroll but never switch spaces; only a
// touchpad's two-finger swipe does.
TEST_F(SidebarSpacesTest, MouseWheelSidewaysDoesNotSwitchSpaces)
{
    state->createNewSpace("Second", SpaceColor::orange, "folder.fill");
    catchUp();
    int x = 0, y = 0;
    ASSERT_TRUE(widgetPoint(view(), 140, 300, x, y));
    xdo({"mousemove", std::to_string(x), std::to_string(y)});
    for (int i = 0; i < 6; ++i) {
        xdo({"click", "6"});
        xdo({"click", "7"});
        xdo({"click", "7"});
    }
    settle(200);
    EXPECT_TRUE(swipes.empty());
}

// The detector's steps reach the main window's handler.
TEST_F(SidebarSpacesTest, TouchpadSwipeStepsReachTheHost)
{
    SpaceSwipeDetector::Event e;
    e.dx = -9;
    e.time = 1;
    view().handleSwipe(e);
    e.time = 1.02;
    view().handleSwipe(e);
    e.time = 1.04;
    view().handleSwipe(e);
    EXPECT_EQ(swipes, std::vector<int>{-1});
}

TEST_F(SidebarSpacesTest, DownloadsBadgeCountsRunningDownloads)
{
    DownloadItem item{Uuid::random(), *Url::parse("https://files.example/a.zip"), "a.zip", std::nullopt, 10, 1,
                      DownloadStatus::downloading, Date::now(), std::nullopt};
    auto paused = item;
    paused.id = Uuid::random();
    paused.status = DownloadStatus::paused;
    state->setDownloads({item, paused});
    settle(50);
    EXPECT_EQ(view().bottomBar().downloadsButton().badgeCount(), 1);
    EXPECT_TRUE(view().bottomBar().downloadsButton().badge().get_visible());
    EXPECT_EQ(view().bottomBar().downloadsButton().badge().get_text(), "1");
    state->setDownloads({});
    settle(50);
    EXPECT_FALSE(view().bottomBar().downloadsButton().badge().get_visible());

    // The panel buttons toggle or open their panels.
    ASSERT_TRUE(click(view().bottomBar().historyButton().button()));
    EXPECT_TRUE(state->isHistoryPanelVisible());
    ASSERT_TRUE(click(view().bottomBar().historyButton().button()));
    EXPECT_FALSE(state->isHistoryPanelVisible());
    ASSERT_TRUE(click(view().bottomBar().libraryButton().button()));
    ASSERT_TRUE(click(view().bottomBar().libraryButton().button()));
    EXPECT_TRUE(state->isLibraryVisible()) << "pressing again leaves it open";
    const bool dark = appearance->isDarkMode();
    ASSERT_TRUE(click(view().bottomBar().appearanceToggle().button()));
    EXPECT_EQ(appearance->isDarkMode(), !dark);
}

} // namespace
} // namespace kovi::test
