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
    ASSERT_TRUE(runUntilGtk([&] { return state->currentSpaceId() == work; }));
    catchUp();
    EXPECT_EQ(view().spaceHeaderLabel().get_text(), "Work");
    EXPECT_EQ(view().bottomBar().dot(work), workDot) << "a switch restyles the dots, it does not rebuild them";
    EXPECT_TRUE(view().bottomBar().dot(work)->has_css_class("selected"));
    screenshotIfAsked("sidebar-space-work");

    // Edit it: the dot's menu, then the editor's fields with real typing and clicks.
    ASSERT_TRUE(click(*view().bottomBar().dot(work), 3));
    settle(100);
    ASSERT_TRUE(view().bottomBar().activate_action("space.edit"));
    ASSERT_TRUE(view().spaceEditor());
    EXPECT_LT(view().spaceEditor()->content().get_opacity(), 1.0) << "the sheet's content comes in";
    ASSERT_TRUE(runUntilGtk([&] { return view().spaceEditor() && view().spaceEditor()->get_mapped() && view().spaceEditor()->saveButton().get_width() > 0; }));
    SpaceEditorWindow& editor = *view().spaceEditor();
    ASSERT_TRUE(runUntilGtk([&] { return editor.content().get_opacity() == 1.0; }));
    EXPECT_EQ(editor.draft().name, "Work");
    ASSERT_TRUE(xdoFocusWindow(editor));
    ASSERT_TRUE(click(editor.nameEntry()));
    editor.nameEntry().grab_focus();
    ASSERT_TRUE(runUntilGtk([&] { return editor.get_focus() && editor.get_focus()->is_ancestor(editor.nameEntry()); }));
    xdo({"key", "--clearmodifiers", "ctrl+a"});
    xdo({"type", "--delay", "20", "  Office "});
    runUntilGtk([&] { return editor.draft().name == "  Office "; });
    ASSERT_EQ(editor.draft().name, "  Office ");
    ASSERT_TRUE(click(*editor.colorSwatch(SpaceColor::green)));
    ASSERT_TRUE(click(*editor.iconCell("star.fill")));
    screenshotIfAsked("sidebar-space-editor");
    ASSERT_TRUE(click(editor.saveButton()));
    ASSERT_TRUE(runUntilGtk([&] { return !view().spaceEditor(); }));
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
    ASSERT_TRUE(runUntilGtk([&] { return header.get_opacity() == 1.0; }));

    // The shown space's content comes in from transparent and ends fully opaque.
    state->setCurrentSpaceId(home);
    view().flushRefresh();
    EXPECT_LT(header.get_opacity(), 0.5);
    EXPECT_DOUBLE_EQ(view().bottomBar().get_opacity(), 1.0) << "only the space's own content fades";
    ASSERT_TRUE(runUntilGtk([&] { return header.get_opacity() == 1.0; }));
    EXPECT_DOUBLE_EQ(list().pinnedGrid().get_opacity(), 1.0);

    // A tab pinned in the shown space fades into the grid; tiles already there stay shown.
    const Uuid second = open("https://second.example/", "Second");
    state->pinTab(first);
    catchUp();
    ASSERT_TRUE(list().pinnedTile(first));
    ASSERT_TRUE(runUntilGtk([&] { return list().pinnedTile(first)->get_opacity() == 1.0; }));
    state->pinTab(second);
    view().flushRefresh();
    ASSERT_TRUE(list().pinnedTile(second));
    EXPECT_DOUBLE_EQ(list().pinnedTile(first)->get_opacity(), 1.0);
    ASSERT_TRUE(runUntilGtk([&] { return list().pinnedTile(second)->get_mapped(); }));
    ASSERT_TRUE(runUntilGtk([&] { return list().pinnedTile(second)->get_opacity() == 1.0; }));
}

TEST_F(SidebarSpacesTest, FavouritesGlideToTheirNewCellsWhileARemovedOneFadesWhereItStood)
{
    std::vector<Uuid> ids;
    for (int i = 0; i < 5; ++i) {
        ids.push_back(open("https://f" + std::to_string(i) + ".example/", "F" + std::to_string(i)));
        state->pinTab(ids.back());
    }
    catchUp();
    FavouritesGrid& grid = list().pinnedGrid();
    auto at = [&](Gtk::Widget* tile) {
        graphene_point_t origin = GRAPHENE_POINT_INIT(0, 0), point;
        EXPECT_TRUE(gtk_widget_compute_point(tile->gobj(), GTK_WIDGET(grid.gobj()), &origin, &point));
        return std::pair<int, int>(static_cast<int>(std::lround(point.x)), static_cast<int>(std::lround(point.y)));
    };
    PinnedTabIcon* first = list().pinnedTile(ids[0]);
    PinnedTabIcon* second = list().pinnedTile(ids[1]);
    PinnedTabIcon* fifth = list().pinnedTile(ids[4]);
    ASSERT_TRUE(runUntilGtk([&] { return !grid.isAnimating() && fifth->get_opacity() == 1.0 && grid.get_height() > 0; }));
    const auto firstCell = at(first), secondCell = at(second), fourthCell = at(list().pinnedTile(ids[3]));
    EXPECT_GT(at(fifth).second, firstCell.second) << "four to a row";
    const int twoRowsHigh = grid.get_height();
    screenshotIfAsked("sidebar-favourites");

    // Every frame of the change: where the second tile is, and where and how clear the first.
    struct Frame {
        std::pair<int, int> second, first;
        double firstOpacity;
    };
    struct Watch {
        std::function<void()> record;
    } watch;
    std::vector<Frame> frames;
    watch.record = [&] {
        if (!grid.leavingTiles().empty())
            frames.push_back({at(second), at(first), first->get_opacity()});
    };
    const guint tick = gtk_widget_add_tick_callback(
        GTK_WIDGET(grid.gobj()),
        [](GtkWidget*, GdkFrameClock*, gpointer data) -> gboolean {
            static_cast<Watch*>(data)->record();
            return G_SOURCE_CONTINUE;
        },
        &watch, nullptr);
    state->unpinTab(ids[0]);
    view().flushRefresh();
    EXPECT_EQ(grid.leavingTiles(), std::vector<Gtk::Widget*>{first});
    EXPECT_FALSE(first->get_can_target()) << "a tile on its way out takes no clicks";
    EXPECT_EQ(list().pinnedTile(ids[1]), second) << "tiles that stay keep their widgets";
    ASSERT_TRUE(runUntilGtk([&] { return !grid.isAnimating() && grid.leavingTiles().empty(); }));
    gtk_widget_remove_tick_callback(GTK_WIDGET(grid.gobj()), tick);

    EXPECT_EQ(at(second), firstCell) << "the second tile took the first cell";
    EXPECT_EQ(at(fifth), fourthCell) << "the fifth moved up a row";
    EXPECT_LT(grid.get_height(), twoRowsHigh) << "one row left";
    ASSERT_FALSE(frames.empty());
    EXPECT_TRUE(std::any_of(frames.begin(), frames.end(), [&](const Frame& f) {
        return f.second.first > firstCell.first && f.second.first < secondCell.first;
    })) << "the second tile glides rather than jumps";
    for (const Frame& f : frames)
        EXPECT_EQ(f.first, firstCell) << "the removed tile fades where it stood";
    EXPECT_TRUE(std::is_sorted(frames.rbegin(), frames.rend(),
                               [](const Frame& x, const Frame& y) { return x.firstOpacity < y.firstOpacity; }));
    EXPECT_EQ(grid.tiles().size(), 4u) << "and then goes";
}

TEST_F(SidebarSpacesTest, AddingASpaceProposesTheNextNameAndShowsIt)
{
    ASSERT_TRUE(click(view().bottomBar().addSpaceButton()));
    ASSERT_TRUE(runUntilGtk([&] { return view().spaceEditor() && view().spaceEditor()->get_mapped() && view().spaceEditor()->saveButton().get_width() > 0; }));
    SpaceEditorWindow& editor = *view().spaceEditor();
    EXPECT_EQ(editor.draft().name, "Space 2");
    EXPECT_EQ(editor.draft().color, SpaceColor::purple);
    // A blank name keeps Create disabled.
    editor.nameEntry().set_text(" \t ");
    EXPECT_FALSE(editor.saveButton().get_sensitive());
    editor.nameEntry().set_text("Travel");
    ASSERT_TRUE(click(editor.saveButton()));
    ASSERT_TRUE(runUntilGtk([&] { return state->spaces().size() == 2; }));
    catchUp();
    EXPECT_EQ(state->space(*state->currentSpaceId())->name, "Travel");
    EXPECT_EQ(view().spaceHeaderLabel().get_text(), "Travel");
    EXPECT_TRUE(view().bottomBar().dot(*state->currentSpaceId()));
}

// A very long space name is cut short with an ellipsis: the sidebar keeps its width and the page
// keeps the rest of the window.
TEST_F(SidebarSpacesTest, ALongSpaceNameKeepsTheSidebarsWidth)
{
    const int sidebarWidth = view().get_width();
    const int pageWidth = page->get_width();
    ASSERT_TRUE(click(view().bottomBar().addSpaceButton()));
    ASSERT_TRUE(runUntilGtk([&] { return view().spaceEditor() && view().spaceEditor()->get_mapped() && view().spaceEditor()->saveButton().get_width() > 0; }));
    std::string name;
    while (name.size() < 205)
        name += "Research and reading ";
    name.resize(205);
    view().spaceEditor()->nameEntry().set_text(name);
    ASSERT_TRUE(click(view().spaceEditor()->saveButton()));
    ASSERT_TRUE(runUntilGtk([&] { return state->spaces().size() == 2; }));
    catchUp(200);
    ASSERT_EQ(std::string(view().spaceHeaderLabel().get_text()), name);
    EXPECT_EQ(view().get_width(), sidebarWidth);
    EXPECT_EQ(page->get_width(), pageWidth);
    EXPECT_LE(view().spaceHeaderLabel().get_width(), sidebarWidth);
    // It asks for no more than the width it is given.
    int minimum = 0, natural = 0, ignored = 0, requested = 0;
    view().measure(Gtk::Orientation::HORIZONTAL, -1, minimum, natural, ignored, ignored);
    view().get_size_request(requested, ignored);
    EXPECT_LE(natural, requested);
}

TEST_F(SidebarSpacesTest, TheLastSpaceCannotBeDeleted)
{
    const Uuid only = *state->currentSpaceId();
    view().openSpaceEditor(state->space(only));
    ASSERT_TRUE(runUntilGtk([&] { return view().spaceEditor() && view().spaceEditor()->get_mapped() && view().spaceEditor()->saveButton().get_width() > 0; }));
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
    ASSERT_TRUE(click(view().bottomBar().appearanceToggle().button()));
    EXPECT_EQ(appearance->isDarkMode(), dark) << "each click offers the other mode";
    ASSERT_TRUE(click(view().bottomBar().extensionsButton().button()));
    EXPECT_TRUE(state->isExtensionsVisible());
}

} // namespace
} // namespace kovi::test
