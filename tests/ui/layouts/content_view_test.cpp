// The sidebar layout: the sidebar docked and floating, its resize handles, the window's controls
// above it, and the space swipe.
#include "app/app_fixture.h"

#include "ui/layouts/content_view.h"
#include "ui/layouts/empty_state_view.h"

#include <gtkmm/label.h>
#include <gtkmm/window.h>

namespace kovi::test {
namespace {

class ContentViewTest : public ::testing::Test {
protected:
    void SetUp() override { ensureGtk(); }
    // `sidebarMinimum` gives the stand-in sidebar content that needs at least that width.
    void build(ViewSlots slots = {}, int sidebarMinimum = -1)
    {
        slots.sidebar = [this, sidebarMinimum](AppContext&, SidebarHost& host) -> Gtk::Widget* {
            hostSeen = &host;
            auto* sidebar = Gtk::make_managed<Gtk::Label>("sidebar");
            sidebar->set_size_request(sidebarMinimum, -1);
            return sidebar;
        };
        window = std::make_unique<Gtk::Window>();
        window->set_default_size(1000, 700);
        core.theme.attach(*window);
        core.commands.attach(*window);
        view = Gtk::make_managed<ContentView>(core.ctx, std::move(slots));
        window->set_child(*view);
        window->present();
        ASSERT_TRUE(waitForWindow(*window));
        settle(50);
    }
    void TearDown() override
    {
        if (window)
            window->destroy();
        settle(20);
    }
    BrowserState& state() { return core.state; }
    Uuid addTab(const std::string& url, std::optional<Uuid> space = std::nullopt)
    {
        return test::addTab(state(), url, "", false, space);
    }

    TempDir dir;
    CoreObjects core{dir.path()};
    std::unique_ptr<Gtk::Window> window;
    ContentView* view = nullptr;
    SidebarHost* hostSeen = nullptr;
};

TEST_F(ContentViewTest, DockedColumnIsTheSidebarWidthAndTheHandleFollowsThePointerWithinBounds)
{
    build();
    ASSERT_EQ(hostSeen, &view->sidebarHost());
    EXPECT_TRUE(view->isDocked());
    EXPECT_EQ(view->dock().sidebarColumn().get_width(), 280);

    SidebarResizeHandle& handle = view->dock().dockedResizeHandle();
    handle.beginDrag();
    handle.updateDrag(1, 1); // under 2 px: nothing
    EXPECT_FALSE(handle.isDragging());
    EXPECT_EQ(state().sidebarWidth(), 280);
    handle.updateDrag(20, 0);
    EXPECT_TRUE(handle.isDragging());
    EXPECT_EQ(state().sidebarWidth(), 300);
    // Successive updates carry the total translation from the start: the width follows the
    // pointer instead of running away.
    handle.updateDrag(25, 0);
    EXPECT_EQ(state().sidebarWidth(), 305);
    handle.updateDrag(-10, 0);
    EXPECT_EQ(state().sidebarWidth(), 270);
    handle.updateDrag(500, 0);
    EXPECT_EQ(state().sidebarWidth(), 320);
    EXPECT_TRUE(handle.isDragging()); // still dragging at the bound
    handle.updateDrag(-500, 0);
    EXPECT_EQ(state().sidebarWidth(), 220);
    handle.endDrag();
    EXPECT_FALSE(handle.isDragging());
    EXPECT_TRUE(runUntilGtk([&] { return view->dock().sidebarColumn().get_width() == 220; }))
        << view->dock().sidebarColumn().get_width();
}

TEST_F(ContentViewTest, ASidebarWiderThanItsStoredWidthKeepsTheHandleOnItsEdgeAndHidesWhole)
{
    state().setSidebarWidth(220);
    build({}, 300);
    ASSERT_EQ(view->dock().sidebarColumn().get_width(), 300);
    graphene_point_t origin = GRAPHENE_POINT_INIT(0, 0), at;
    ASSERT_TRUE(gtk_widget_compute_point(GTK_WIDGET(view->dock().dockedResizeHandle().gobj()),
                                         GTK_WIDGET(view->dock().sidebarColumn().gobj()), &origin, &at));
    // The 6-px strip lies just inside the column's edge, its hit area either side of it.
    const int stripStart = 300 - SidebarResizeHandle::handleWidth;
    EXPECT_EQ(static_cast<int>(at.x) + SidebarResizeHandle::hitInset, stripStart);

    view->sidebarHost().setIsPinned(false);
    EXPECT_LE(view->dock().floating().offset(), -(300 + 8));
}

TEST_F(ContentViewTest, ResizeHandleDraggedWithTheRealPointer)
{
    build();
    int x = 0, y = 0;
    ASSERT_TRUE(widgetCenter(view->dock().dockedResizeHandle(), x, y));
    ASSERT_TRUE(xdoMoveTo(x, y));
    settle(50);
    const std::string row = std::to_string(y);
    ASSERT_TRUE(xdo({"mousedown", "1", "mousemove", std::to_string(x + 10), row, "sleep", "0.05", "mousemove",
                     std::to_string(x + 30), row, "sleep", "0.05", "mousemove", std::to_string(x + 40), row, "sleep",
                     "0.05", "mouseup", "1"}));
    ASSERT_TRUE(runUntilGtk([&] { return !view->dock().dockedResizeHandle().isDragging() && state().sidebarWidth() != 280; }));
    EXPECT_NEAR(state().sidebarWidth(), 320, 1);
}

// The start page's buttons run the window's commands.
TEST_F(ContentViewTest, StartPageControlsSetTheirFlags)
{
    build();
    EmptyStateView* page = view->pageArea().startPage();
    ASSERT_NE(page, nullptr);
    state().setCommandBarMode(BrowserState::CommandBarMode::tabs);
    g_signal_emit_by_name(page->searchButton().gobj(), "clicked");
    EXPECT_TRUE(state().isCommandBarVisible());
    EXPECT_EQ(state().commandBarMode(), BrowserState::CommandBarMode::all);
    g_signal_emit_by_name(page->libraryButton().gobj(), "clicked");
    EXPECT_TRUE(state().isLibraryVisible());
    g_signal_emit_by_name(page->historyButton().gobj(), "clicked");
    g_signal_emit_by_name(page->historyButton().gobj(), "clicked"); // sets, never toggles
    EXPECT_TRUE(state().isHistoryPanelVisible());
    g_signal_emit_by_name(page->downloadsButton().gobj(), "clicked");
    EXPECT_TRUE(state().isDownloadsPanelVisible());
}

TEST_F(ContentViewTest, FloatingSidebarRevealsAndHidesByTheRules)
{
    build();
    SidebarHost& host = view->sidebarHost();
    SidebarDock& dock = view->dock();
    host.setIsPinned(false);
    EXPECT_FALSE(view->isDocked());
    EXPECT_FALSE(host.isSidebarVisible());
    EXPECT_DOUBLE_EQ(dock.floating().offset(), -(280 + 30));

    dock.floating().pointerEnteredRevealStrip();
    EXPECT_TRUE(host.isSidebarVisible());
    ASSERT_TRUE(runUntilGtk([&] { return dock.floating().offset() > -1; }, 30));

    // Leaving hides it 0.3 s later (the real pointer is over the page).
    int pageX = 0, pageY = 0;
    ASSERT_TRUE(widgetPoint(*view, view->get_width() - 100, view->get_height() / 2.0, pageX, pageY));
    ASSERT_TRUE(xdoMoveTo(pageX, pageY));
    settle(50);
    const gint64 left = g_get_monotonic_time();
    dock.floating().pointerLeftPanel();
    ASSERT_TRUE(runUntilGtk([&] { return !host.isSidebarVisible(); }, 30));
    EXPECT_GE(g_get_monotonic_time() - left, 290'000);

    // An open downloads panel reveals it and keeps it open on leave.
    state().setIsDownloadsPanelVisible(true);
    EXPECT_TRUE(host.isSidebarVisible());
    dock.floating().pointerLeftPanel();
    settle(450);
    EXPECT_TRUE(host.isSidebarVisible());
    // Closed, the panel takes it away again as a leave does (it stayed over a dimmed page).
    state().setIsDownloadsPanelVisible(false);
    ASSERT_TRUE(runUntilGtk([&] { return !host.isSidebarVisible(); }, 30));

    // The sidebar's address field locks it open.
    host.setIsSidebarVisible(true);
    host.setIsInteractionLocked(true);
    dock.floating().pointerLeftPanel();
    settle(450);
    EXPECT_TRUE(host.isSidebarVisible());
    // Regression: unlocked with the pointer away (Ctrl+L revealed it, Enter ended the editing),
    // it stayed open over a dimmed page until the pointer came and left again.
    host.setIsInteractionLocked(false);
    ASSERT_TRUE(runUntilGtk([&] { return !host.isSidebarVisible(); }, 30));

    host.setIsSidebarVisible(true);
    dock.floating().tapScrim();
    EXPECT_FALSE(host.isSidebarVisible());

    // Back to docked: the same sidebar widget moves into the column.
    host.setIsPinned(true);
    EXPECT_TRUE(view->isDocked());
    EXPECT_NE(dock.sidebarWidget(), nullptr);
}

// Bug: the hide-on-leave delay was never cancelled, so a pointer that left the floating sidebar
// and came back within 0.3 s, or a leave reported while the pointer was still on it, hid the
// sidebar under the pointer.
TEST_F(ContentViewTest, TheFloatingSidebarStaysWhileThePointerIsOnIt)
{
    build();
    SidebarHost& host = view->sidebarHost();
    SidebarDock& dock = view->dock();
    host.setIsPinned(false);
    host.setIsSidebarVisible(true);
    ASSERT_TRUE(runUntilGtk([&] { return dock.floating().offset() > -1; }));
    settle(100);
    int panelX = 0, panelY = 0, pageX = 0, pageY = 0;
    ASSERT_TRUE(widgetCenter(dock.floating().panel(), panelX, panelY));
    ASSERT_TRUE(widgetPoint(*view, view->get_width() - 100, view->get_height() / 2.0, pageX, pageY));
    ASSERT_TRUE(xdoMoveTo(panelX, panelY));
    settle(100);

    // Out and back within the delay.
    ASSERT_TRUE(xdo({"mousemove", std::to_string(pageX), std::to_string(pageY), "sleep", "0.1", "mousemove",
                     std::to_string(panelX), std::to_string(panelY)}));
    settle(600);
    EXPECT_TRUE(host.isSidebarVisible());

    // A leave reported while the pointer is still on the panel (a row or a menu took it).
    dock.floating().pointerLeftPanel();
    settle(500);
    EXPECT_TRUE(host.isSidebarVisible());

    // Really leaving still hides it.
    ASSERT_TRUE(xdoMoveTo(pageX, pageY));
    EXPECT_TRUE(runUntilGtk([&] { return !host.isSidebarVisible(); }));
}

TEST_F(ContentViewTest, SpaceSwipeIsDebouncedAndStopsAtTheEnds)
{
    build();
    ManualClock clock(Date(1024.0)); // binary-exact times below
    Clock::Override use(clock);
    state().createNewSpace("Two", SpaceColor::red, "folder");
    state().createNewSpace("Three", SpaceColor::green, "folder");
    const auto spaces = state().spaces();
    state().setCurrentSpaceId(spaces[0].id);

    view->switchToAdjacentSpace(-1); // first space: nothing, and no new window
    EXPECT_EQ(state().currentSpaceId(), spaces[0].id);
    view->switchToAdjacentSpace(1);
    EXPECT_EQ(state().currentSpaceId(), spaces[1].id);
    clock.set(Date(1024.125));
    view->switchToAdjacentSpace(1); // within 0.22 s
    EXPECT_EQ(state().currentSpaceId(), spaces[1].id);
    clock.set(Date(1024.21875)); // ignored calls do not restart the interval
    view->switchToAdjacentSpace(1);
    EXPECT_EQ(state().currentSpaceId(), spaces[1].id);
    clock.set(Date(1024.25));
    view->switchToAdjacentSpace(1);
    EXPECT_EQ(state().currentSpaceId(), spaces[2].id);
    clock.advance(1);
    view->switchToAdjacentSpace(1); // last space: nothing
    EXPECT_EQ(state().currentSpaceId(), spaces[2].id);
    view->switchToAdjacentSpace(-1);
    EXPECT_EQ(state().currentSpaceId(), spaces[1].id);
    EXPECT_EQ(view->lastSpaceSwipeStep(), -1);
    EXPECT_EQ(view->pageArea().spaceStep(), -1); // the next space change slides in from that side
    // The sidebar reports swipes through its host.
    clock.advance(1);
    view->sidebarHost().spaceSwipe(-1);
    EXPECT_EQ(state().currentSpaceId(), spaces[0].id);
}

TEST_F(ContentViewTest, TheWindowControlsMoveIntoTheSidebarWhenItTakesThem)
{
    build();
    int made = 0, announced = 0;
    auto connection = hostSeen->chromeWidgetChanged.connect([&] { ++announced; });
    EXPECT_FALSE(hostSeen->hasChromeWidget());
    view->setChromeStart([&]() -> Gtk::Widget* {
        ++made;
        return Gtk::make_managed<Gtk::Label>("menu");
    });
    EXPECT_EQ(announced, 1);
    EXPECT_TRUE(hostSeen->hasChromeWidget());
    EXPECT_TRUE(view->dock().chromeStrip().get_visible());
    Gtk::Widget* taken = hostSeen->takeChromeWidget();
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(made, 2);
    EXPECT_EQ(taken->get_parent(), nullptr); // free to be packed by the sidebar
    EXPECT_FALSE(view->dock().chromeStrip().get_visible());
    auto* box = Gtk::make_managed<Gtk::Box>();
    box->append(*taken);
    connection.disconnect();
}

} // namespace
} // namespace kovi::test
