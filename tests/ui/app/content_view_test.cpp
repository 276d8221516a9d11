// The sidebar-layout main view: docked and floating sidebar, resize handle, page area choice,
// overlays, and the space swipe.
#include "app_fixture.h"

#include "ui/app/content_view.h"
#include "ui/layouts/empty_state_view.h"

#include <gtkmm/label.h>
#include <gtkmm/window.h>

namespace kovi::test {
namespace {

class ContentViewTest : public ::testing::Test {
protected:
    void SetUp() override { ensureGtk(); }
    // `sidebarMinimum` gives the stand-in sidebar content that needs at least that width.
    void build(ViewParts parts = {}, int sidebarMinimum = -1)
    {
        parts.sidebar = [this, sidebarMinimum](AppContext&, SidebarHost& host) -> Gtk::Widget* {
            hostSeen = &host;
            auto* sidebar = Gtk::make_managed<Gtk::Label>("sidebar");
            sidebar->set_size_request(sidebarMinimum, -1);
            return sidebar;
        };
        window = std::make_unique<Gtk::Window>();
        window->set_default_size(1000, 700);
        core.theme.attach(*window);
        core.commands.attach(*window);
        view = Gtk::make_managed<ContentView>(core.ctx, std::move(parts));
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
        Tab tab = makeTab(state(), url, "", false, space);
        state().addTab(tab);
        return tab.id;
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
    EXPECT_EQ(view->sidebarColumn().get_width(), 280);

    SidebarResizeHandle& handle = view->dockedResizeHandle();
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
    EXPECT_TRUE(runUntilGtk([&] { return view->sidebarColumn().get_width() == 220; }, 3))
        << view->sidebarColumn().get_width();
}

TEST_F(ContentViewTest, ASidebarWiderThanItsStoredWidthKeepsTheHandleOnItsEdgeAndHidesWhole)
{
    state().setSidebarWidth(220);
    build({}, 300);
    ASSERT_EQ(view->sidebarColumn().get_width(), 300);
    graphene_point_t origin = GRAPHENE_POINT_INIT(0, 0), at;
    ASSERT_TRUE(gtk_widget_compute_point(GTK_WIDGET(view->dockedResizeHandle().gobj()),
                                         GTK_WIDGET(view->sidebarColumn().gobj()), &origin, &at));
    // The 6-px strip lies just inside the column's edge, its hit area either side of it.
    const int stripStart = 300 - SidebarResizeHandle::handleWidth;
    EXPECT_EQ(static_cast<int>(at.x) + SidebarResizeHandle::hitInset, stripStart);

    view->sidebarHost().setIsPinned(false);
    EXPECT_LE(view->floatingSidebarOffset(), -(300 + 8));
}

TEST_F(ContentViewTest, ResizeHandleDraggedWithTheRealPointer)
{
    build();
    int x = 0, y = 0;
    ASSERT_TRUE(widgetCenter(view->dockedResizeHandle(), x, y));
    ASSERT_TRUE(xdoMoveTo(x, y));
    settle(50);
    const std::string row = std::to_string(y);
    ASSERT_TRUE(xdo({"mousedown", "1", "mousemove", std::to_string(x + 10), row, "sleep", "0.05", "mousemove",
                     std::to_string(x + 30), row, "sleep", "0.05", "mousemove", std::to_string(x + 40), row, "sleep",
                     "0.05", "mouseup", "1"}));
    ASSERT_TRUE(runUntilGtk([&] { return !view->dockedResizeHandle().isDragging() && state().sidebarWidth() != 280; }, 5));
    EXPECT_NEAR(state().sidebarWidth(), 320, 1);
}

TEST_F(ContentViewTest, PageAreaShowsStartPageTabPageOrSplitView)
{
    int tabPages = 0, splitPages = 0;
    ViewParts parts;
    parts.tabContent = [&](AppContext&, const Tab& tab) -> Gtk::Widget* {
        ++tabPages;
        return Gtk::make_managed<Gtk::Label>(tab.url.string());
    };
    parts.splitView = [&](AppContext&) -> Gtk::Widget* {
        ++splitPages;
        return Gtk::make_managed<Gtk::Label>("split");
    };
    build(std::move(parts));
    ASSERT_NE(view->startPage(), nullptr);

    const Uuid a = addTab("https://a.example/");
    auto* label = dynamic_cast<Gtk::Label*>(view->shownPage());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->get_text(), "https://a.example/");
    EXPECT_EQ(tabPages, 1);
    state().updateTabTitle(a, "A"); // a page report rebuilds nothing
    EXPECT_EQ(tabPages, 1);

    addTab("https://b.example/");
    EXPECT_EQ(tabPages, 2);
    state().toggleSplitView();
    ASSERT_TRUE(state().splitViewConfig().isEnabled);
    EXPECT_EQ(splitPages, 1);
    EXPECT_EQ(dynamic_cast<Gtk::Label*>(view->shownPage())->get_text(), "split");

    state().disableSplitView();
    state().setActiveTabId(std::nullopt);
    EXPECT_NE(view->startPage(), nullptr);
}

TEST_F(ContentViewTest, ASpaceChangeSlidesTheNewPageInFromTheSideOfTheStepAndTheOldOneOut)
{
    ViewParts parts;
    parts.tabContent = [](AppContext&, const Tab& tab) -> Gtk::Widget* {
        return Gtk::make_managed<Gtk::Label>(tab.url.string());
    };
    build(std::move(parts));
    const Uuid home = *state().currentSpaceId();
    addTab("https://home.example/");
    state().createNewSpace("Work", SpaceColor::red, "briefcase.fill");
    addTab("https://work.example/");
    auto* pages = dynamic_cast<PageTransition*>(view->shownPage()->get_parent());
    ASSERT_NE(pages, nullptr);
    ASSERT_TRUE(runUntilGtk([&] { return !pages->isTransitionRunning() && pages->leavingPages().empty(); }));

    // Every frame of a transition: where the new and the old page are and how large and clear.
    struct Frame {
        double inX, inWidth, inOpacity, outX, outWidth;
    };
    struct Watch {
        PageTransition* pages;
        std::vector<Frame> frames;
    } watch{pages, {}};
    auto bounds = [](Gtk::Widget& page, Gtk::Widget& within) {
        graphene_rect_t r;
        EXPECT_TRUE(gtk_widget_compute_bounds(page.gobj(), within.gobj(), &r));
        return r;
    };
    const guint tick = gtk_widget_add_tick_callback(
        GTK_WIDGET(pages->gobj()),
        [](GtkWidget*, GdkFrameClock*, gpointer data) -> gboolean {
            auto* w = static_cast<Watch*>(data);
            if (w->pages->leavingPages().empty())
                return G_SOURCE_CONTINUE;
            graphene_rect_t in, out;
            // A new page has no place before its first layout.
            if (!gtk_widget_compute_bounds(w->pages->shownPage()->gobj(), GTK_WIDGET(w->pages->gobj()), &in) ||
                !gtk_widget_compute_bounds(w->pages->leavingPages().front()->gobj(), GTK_WIDGET(w->pages->gobj()), &out) ||
                in.size.width <= 0)
                return G_SOURCE_CONTINUE;
            w->frames.push_back({in.origin.x, in.size.width, w->pages->shownPage()->get_opacity(), out.origin.x,
                                 out.size.width});
            return G_SOURCE_CONTINUE;
        },
        &watch, nullptr);
    const double width = pages->get_width();
    auto describe = [](const std::vector<Frame>& frames) {
        std::string text;
        for (const Frame& f : frames)
            text += "(" + std::to_string(f.inX) + " " + std::to_string(f.inWidth) + " " + std::to_string(f.inOpacity) +
                    " " + std::to_string(f.outX) + " " + std::to_string(f.outWidth) + ") ";
        return text;
    };

    // A change by other means before any swipe comes in from the trailing side and pushes the
    // old page out by the leading side; a swipe back does the opposite, and later changes by
    // other means follow the last swipe.
    const Uuid work = *state().currentSpaceId();
    const std::vector<std::pair<std::function<void()>, int>> changes{
        {[&] { state().setCurrentSpaceId(home); }, 1},
        {[&] { view->switchToAdjacentSpace(1); }, 1},
        {[&] { view->switchToAdjacentSpace(-1); }, -1},
        {[&] { state().setCurrentSpaceId(work); }, -1},
    };
    for (const auto& [change, side] : changes) {
        SCOPED_TRACE(&change - &changes.front().first);
        watch.frames.clear();
        Gtk::Widget* before = view->shownPage();
        change();
        Gtk::Widget* after = view->shownPage();
        ASSERT_NE(after, before);
        EXPECT_EQ(pages->leavingPages(), std::vector<Gtk::Widget*>{before});
        EXPECT_FALSE(before->get_can_target()) << "the old page takes no input on its way out";
        ASSERT_TRUE(runUntilGtk([&] { return pages->leavingPages().empty(); }));
        ASSERT_FALSE(watch.frames.empty());
        EXPECT_GT(watch.frames.front().inX * side, width / 4) << "from the side of the step";
        EXPECT_TRUE(std::any_of(watch.frames.begin(), watch.frames.end(), [&](const Frame& f) {
            return f.inWidth < width && f.outWidth < width && f.inOpacity > 0 && f.inOpacity < 1 &&
                   f.outX * side < 0;
        })) << "both pages move, scaled, the new one fading in: " << describe(watch.frames);
        EXPECT_DOUBLE_EQ(bounds(*after, *pages).origin.x, 0);
        EXPECT_DOUBLE_EQ(bounds(*after, *pages).size.width, width);
        EXPECT_DOUBLE_EQ(after->get_opacity(), 1.0);
    }
    gtk_widget_remove_tick_callback(GTK_WIDGET(pages->gobj()), tick);

    // A tab change within the space swaps at once.
    addTab("https://other.example/");
    EXPECT_TRUE(pages->leavingPages().empty());
}

TEST_F(ContentViewTest, StartPageControlsSetTheirFlags)
{
    build();
    EmptyStateView* page = view->startPage();
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
    host.setIsPinned(false);
    EXPECT_FALSE(view->isDocked());
    EXPECT_FALSE(host.isSidebarVisible());
    EXPECT_DOUBLE_EQ(view->floatingSidebarOffset(), -(280 + 30));

    view->pointerEnteredRevealStrip();
    EXPECT_TRUE(host.isSidebarVisible());
    ASSERT_TRUE(runUntilGtk([&] { return view->floatingSidebarOffset() > -1; }, 3));

    // Leaving hides it 0.3 s later, even when the pointer came back meanwhile.
    const gint64 left = g_get_monotonic_time();
    view->pointerLeftFloatingSidebar();
    ASSERT_TRUE(runUntilGtk([&] { return !host.isSidebarVisible(); }, 2));
    EXPECT_GE(g_get_monotonic_time() - left, 290'000);

    // An open downloads panel reveals it and keeps it open on leave.
    state().setIsDownloadsPanelVisible(true);
    EXPECT_TRUE(host.isSidebarVisible());
    view->pointerLeftFloatingSidebar();
    settle(450);
    EXPECT_TRUE(host.isSidebarVisible());
    state().setIsDownloadsPanelVisible(false);
    settle(400);
    EXPECT_TRUE(host.isSidebarVisible()); // closing the panel does not hide it by itself

    // The sidebar's address field locks it open.
    host.setIsInteractionLocked(true);
    view->pointerLeftFloatingSidebar();
    settle(450);
    EXPECT_TRUE(host.isSidebarVisible());
    host.setIsInteractionLocked(false);

    view->tapFloatingScrim();
    EXPECT_FALSE(host.isSidebarVisible());

    // Back to docked: the same sidebar widget moves into the column.
    host.setIsPinned(true);
    EXPECT_TRUE(view->isDocked());
    EXPECT_NE(view->sidebarWidget(), nullptr);
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
    // The sidebar reports swipes through its host.
    clock.advance(1);
    view->sidebarHost().spaceSwipe(-1);
    EXPECT_EQ(state().currentSpaceId(), spaces[0].id);
}

TEST_F(ContentViewTest, BezelDragStripFindBarPlacementAndOverlayParts)
{
    int built = 0;
    ViewParts parts;
    parts.findBar = [&](AppContext&) -> Gtk::Widget* { return Gtk::make_managed<Gtk::Label>("find"); };
    parts.historyPanel = [&](AppContext&) -> Gtk::Widget* {
        ++built;
        return Gtk::make_managed<Gtk::Label>("history");
    };
    build(std::move(parts));

    state().setIsBrowserBezelEnabled(true);
    EXPECT_FALSE(view->dragStripWhenBezelOff().get_visible());
    EXPECT_TRUE(view->browserSurface().bezelEnabled());
    state().toggleFindInPage();
    ASSERT_TRUE(view->findBarLayer().isPresented());
    EXPECT_EQ(view->findBarLayer().get_margin_top(), 20);
    EXPECT_EQ(view->findBarLayer().get_margin_end(), 20);
    state().setIsBrowserBezelEnabled(false);
    EXPECT_TRUE(view->dragStripWhenBezelOff().get_visible());
    EXPECT_EQ(view->findBarLayer().get_margin_top(), 12);
    EXPECT_EQ(view->findBarLayer().get_margin_end(), 16);

    state().setIsHistoryPanelVisible(true);
    EXPECT_EQ(built, 1);
    ASSERT_TRUE(view->historyLayer().isPresented());
    view->historyLayer().tapScrim();
    EXPECT_FALSE(state().isHistoryPanelVisible());
    ASSERT_TRUE(runUntilGtk([&] { return view->historyLayer().content() == nullptr; }, 3));
    state().setIsHistoryPanelVisible(true);
    EXPECT_EQ(built, 2); // built anew each time it opens
}

} // namespace
} // namespace kovi::test

namespace kovi::test {
namespace {

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
    EXPECT_TRUE(view->chromeStrip().get_visible());
    Gtk::Widget* taken = hostSeen->takeChromeWidget();
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(made, 2);
    EXPECT_EQ(taken->get_parent(), nullptr); // free to be packed by the sidebar
    EXPECT_FALSE(view->chromeStrip().get_visible());
    auto* box = Gtk::make_managed<Gtk::Box>();
    box->append(*taken);
    connection.disconnect();
}

} // namespace
} // namespace kovi::test
