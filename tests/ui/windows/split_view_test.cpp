#include "windows_fixture.h"

#include "core/windows/split_layout.h"
#include "ui/windows/split_view_container.h"
#include "ui/windows/split_view_toolbar.h"

#include <webkit/webkit.h>

namespace kovi::test {
namespace {

class SplitViewTest : public WindowsAppTest {
protected:
    void SetUp() override
    {
        WindowsAppTest::SetUp();
        a = openTab("/a");
        b = openTab("/b");
    }
    const SplitViewConfig& config() { return state().splitViewConfig(); }
    SplitPane& pane(SplitViewSide side) { return *splitView()->pane(side); }
    Uuid a, b;
};

// "Open Split View" used to blank the page area with no way back.
TEST_F(SplitViewTest, CtrlAltDShowsBothPagesAsTheyWereAndBringsTheSinglePageBack)
{
    // Page state that a reload would lose: a scroll position and typed text.
    ASSERT_EQ(evaluate(b, "document.getElementById('field').value='typed in beta';'ok'"), "ok");
    state().setActiveTabId(a);
    ASSERT_TRUE(showsSinglePage(a));
    ASSERT_EQ(evaluate(a, "window.scrollTo(0,400);document.getElementById('field').value='typed';window.scrollY"), "400");
    const std::size_t requests = requestCount();

    ASSERT_TRUE(xdoKey("ctrl+alt+d"));
    ASSERT_TRUE(waitForSplitView());
    EXPECT_EQ(config(), (SplitViewConfig{true, a, b, 0.5}));
    EXPECT_EQ(pane(SplitViewSide::left).tabId(), a);
    EXPECT_EQ(pane(SplitViewSide::right).tabId(), b);
    EXPECT_EQ(pane(SplitViewSide::left).chrome().titleLabel().get_text(), "127.0.0.1");
    EXPECT_TRUE(pane(SplitViewSide::left).isActive());
    EXPECT_FALSE(pane(SplitViewSide::right).isActive());
    EXPECT_TRUE(findWidget<SplitViewToolbar>(h->window())) << "the toolbar sits over the split";
    settle(300);
    screenshotIfAsked("split-view-dark");
    h->ctx().appearance.setIsDarkMode(false);
    settle(300);
    screenshotIfAsked("split-view-light");

    EXPECT_EQ(requestCount(), requests) << "no page was loaded again";
    EXPECT_EQ(evaluate(a, "window.scrollY"), "400");
    EXPECT_EQ(evaluate(a, "document.getElementById('field').value"), "typed");
    EXPECT_EQ(evaluate(b, "document.getElementById('field').value"), "typed in beta");

    ASSERT_TRUE(xdoKey("ctrl+alt+d"));
    ASSERT_TRUE(showsSinglePage(a));
    EXPECT_FALSE(config().isEnabled);
    EXPECT_EQ(requestCount(), requests);
    EXPECT_EQ(evaluate(a, "window.scrollY"), "400");
    EXPECT_EQ(evaluate(a, "document.getElementById('field').value"), "typed");
}

} // namespace
} // namespace kovi::test

namespace kovi::test {
namespace {

class SplitViewInputTest : public SplitViewTest {
protected:
    void SetUp() override
    {
        SplitViewTest::SetUp();
        state().setActiveTabId(a);
        state().toggleSplitView();
        ASSERT_TRUE(waitForSplitView());
        settle(150);
    }
    // Screen point of (x, y) in the split area.
    std::pair<int, int> at(double x, double y)
    {
        int sx = 0, sy = 0;
        EXPECT_TRUE(widgetPoint(*splitView(), x, y, sx, sy));
        return {sx, sy};
    }
    std::pair<int, int> centreOf(Gtk::Widget& widget)
    {
        int x = 0, y = 0;
        EXPECT_TRUE(widgetCenter(widget, x, y));
        return {x, y};
    }
};

TEST_F(SplitViewInputTest, TheDividerFollowsThePointerWithinRangeAndADoubleClickEvensIt)
{
    SplitViewContainer& split = *splitView();
    const double width = split.get_width();
    const double middle = split.get_height() / 2.0;
    auto [x0, y0] = centreOf(split.divider());
    xdoMoveTo(x0, y0);
    ASSERT_TRUE(runUntilGtk([&] { return split.divider().isHovered(); }));
    EXPECT_TRUE(split.divider().capsule().has_css_class("active")) << "wider and in the accent colour";

    // Under ten pixels nothing moves.
    dragPointer(x0, y0, x0 + 7, y0, 3);
    EXPECT_DOUBLE_EQ(config().splitRatio, 0.5);

    // The divider's centre lands under the pointer.
    auto [tx, ty] = at(width * 0.35, middle);
    dragPointer(x0, y0, tx, ty);
    EXPECT_NEAR(config().splitRatio, *SplitLayout::ratioForPointer(width * 0.35, width), 0.01);
    settle(100);
    EXPECT_NEAR(split.layout().left.width / (split.layout().left.width + split.layout().right.width),
                config().splitRatio, 0.01)
        << "the panes follow at once";
    EXPECT_FALSE(split.divider().isDragging());

    // Far beyond either edge: 0.2 and 0.8.
    std::tie(x0, y0) = centreOf(split.divider());
    auto [lx, ly] = at(-200, middle);
    dragPointer(x0, y0, std::max(0, lx), ly);
    EXPECT_DOUBLE_EQ(config().splitRatio, 0.2);
    std::tie(x0, y0) = centreOf(split.divider());
    auto [rx, ry] = at(width + 300, middle);
    dragPointer(x0, y0, std::min(1279, rx), ry);
    EXPECT_DOUBLE_EQ(config().splitRatio, 0.8);

    // A double click evens the panes from anywhere.
    std::tie(x0, y0) = centreOf(split.divider());
    xdoMoveTo(x0, y0);
    settle(60);
    EXPECT_TRUE(xdoDoubleClickUntil([&] { return config().splitRatio == 0.5; }));
}

// A press on a pane picks it and still reaches the page; each header drives its own page only.
TEST_F(SplitViewInputTest, PanesTakeClicksAndTheirButtonsActOnTheirOwnTab)
{
    SplitPane& right = pane(SplitViewSide::right);
    int x = 0, y = 0;
    ASSERT_TRUE(widgetPoint(right, right.get_width() / 2.0, right.get_height() * 0.6, x, y));
    ASSERT_TRUE(xdoClickAt(x, y));
    ASSERT_TRUE(runUntilGtk([&] { return state().activeSplitSide() == SplitViewSide::right; }, 30));
    EXPECT_EQ(state().activeTabId(), b);
    EXPECT_TRUE(runUntilGtk([&] { return evaluate(b, "window.clicks") == "1"; }, 30)) << "the page got the click too";
    EXPECT_TRUE(right.isActive());
    EXPECT_TRUE(right.chrome().has_css_class("active"));
    EXPECT_FALSE(pane(SplitViewSide::left).isActive());

    // The left page goes on to /a2; its header's Back brings it back while the right tab stays
    // the active one and its page stays where it is.
    SplitPane& left = pane(SplitViewSide::left);
    ASSERT_EQ(evaluate(a, "location.href='/a2';'ok'"), "ok");
    ASSERT_TRUE(runUntilGtk([&] { return state().tab(a)->url.path() == "/a2" && state().tab(a)->canGoBack; }, 30));
    ASSERT_TRUE(runUntilGtk([&] { return left.chrome().backButton().get_sensitive(); }, 30));
    EXPECT_FALSE(right.chrome().backButton().get_sensitive());
    const std::size_t requestsOfB = requestsFor("/b");
    ASSERT_TRUE(xdoClickWidget(left.chrome().backButton()));
    ASSERT_TRUE(runUntilGtk([&] { return state().tab(a)->url.path() == "/a"; }, 30));
    EXPECT_EQ(state().tab(b)->url.path(), "/b");
    EXPECT_EQ(requestsFor("/b"), requestsOfB);
    EXPECT_EQ(state().activeTabId(), b) << "the header's buttons do not pick their pane";
    EXPECT_EQ(state().activeSplitSide(), SplitViewSide::right);
}

TEST_F(SplitViewInputTest, TheToolbarSwapsEvensRestartsAndCloses)
{
    auto* toolbar = findWidget<SplitViewToolbar>(h->window());
    ASSERT_TRUE(toolbar);
    SplitPane* left = &pane(SplitViewSide::left);
    SplitPane* right = &pane(SplitViewSide::right);

    ASSERT_TRUE(xdoClickWidget(toolbar->swapButton()));
    ASSERT_TRUE(runUntilGtk([&] { return config().leftTabId == b; }, 30));
    EXPECT_EQ(config().rightTabId, a);
    EXPECT_EQ(state().activeSplitSide(), SplitViewSide::left) << "the accent stays on its side";
    EXPECT_EQ(state().activeTabId(), a);
    splitView()->flushPanes();
    EXPECT_EQ(splitView()->pane(SplitViewSide::left), right) << "the panes change places as they are";
    EXPECT_EQ(splitView()->pane(SplitViewSide::right), left);
    EXPECT_TRUE(waitForSplitView());

    state().setSplitRatio(0.27);
    ASSERT_TRUE(xdoClickWidget(toolbar->equalButton()));
    ASSERT_TRUE(runUntilGtk([&] { return config().splitRatio == 0.5; }, 30));

    // The split menu's entries start again with the active tab on the chosen side.
    state().setSplitRatio(0.7);
    ASSERT_TRUE(toolbar->activate_action("split.add-right"));
    EXPECT_EQ(config(), (SplitViewConfig{true, b, a, 0.5}));
    EXPECT_EQ(state().activeSplitSide(), SplitViewSide::right);
    ASSERT_TRUE(toolbar->activate_action("split.add-left"));
    EXPECT_EQ(config(), (SplitViewConfig{true, a, b, 0.5}));

    ASSERT_TRUE(xdoClickWidget(toolbar->closeButton()));
    ASSERT_TRUE(showsSinglePage(a));
    EXPECT_FALSE(config().isEnabled);
    EXPECT_FALSE(findWidget<SplitViewToolbar>(h->window()));
}

} // namespace
} // namespace kovi::test

#include "ui/sidebar/sidebar_view.h"

#include <gtkmm/dragsource.h>
#include <gtkmm/label.h>

namespace kovi::test {
namespace {

// Drags onto the panes: a sidebar tab fills a pane (or swaps with the other one) and its "tab:"
// text never reaches the page; everything else leaves the split as it was.
class SplitViewDropTest : public SplitViewTest {
protected:
    void SetUp() override
    {
        SplitViewTest::SetUp();
        // Opened first: while split view is on, the page area shows only the two panes.
        c = openTab("/c");
        state().setActiveTabId(a);
        state().toggleSplitView();
        ASSERT_TRUE(waitForSplitView());
        ASSERT_EQ(config(), (SplitViewConfig{true, a, b, 0.5}));
        settle(150);
    }
    SidebarTabRow& row(const Uuid& id) { return *sidebar()->tabList().topLevelRow(id); }
    // The middle of the text field of the tab's page, in the page's coordinates (below the
    // pane's header).
    std::pair<double, double> fieldCentre(const Uuid& tabId)
    {
        const std::string box = evaluate(tabId, "(()=>{const r=document.getElementById('field').getBoundingClientRect();"
                                                "return Math.round(r.left+r.width/2)+','+Math.round(r.top+r.height/2)})()");
        const auto comma = box.find(',');
        EXPECT_NE(comma, std::string::npos) << box;
        if (comma == std::string::npos)
            return {0, 0};
        return {std::stod(box.substr(0, comma)), std::stod(box.substr(comma + 1))};
    }
    // Drags the sidebar row onto the pane, over the text field of the page it shows.
    void dragRowOnto(const Uuid& tabId, SplitViewSide side, const Uuid& shownTab)
    {
        sidebar()->flushRefresh();
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        SidebarTabRow& from = row(tabId);
        ASSERT_TRUE(widgetPoint(from, from.get_width() * 0.3, from.get_height() * 0.5, x0, y0));
        const auto [fx, fy] = fieldCentre(shownTab);
        ASSERT_TRUE(widgetPoint(*pane(side).page(), fx, fy, x1, y1));
        dragPointer(x0, y0, x1, y1);
    }
    Uuid c;
};

TEST_F(SplitViewDropTest, ASidebarTabReplacesAPaneOrSwapsAndIsNeverTypedIntoThePage)
{
    // The text field of the left page has the keyboard: a drop typed into the page would land here.
    ASSERT_EQ(evaluate(a, "document.getElementById('field').focus();document.activeElement.id"), "field");

    // The pane's own tab: taken, nothing moves.
    dragRowOnto(a, SplitViewSide::left, a);
    EXPECT_EQ(config(), (SplitViewConfig{true, a, b, 0.5}));
    EXPECT_EQ(evaluate(a, "document.getElementById('field').value"), "");

    // Another tab of the space fills the pane, which becomes the active one.
    dragRowOnto(c, SplitViewSide::left, a);
    ASSERT_TRUE(runUntilGtk([&] { return config().leftTabId == c; }));
    EXPECT_EQ(config().rightTabId, b);
    EXPECT_EQ(state().activeTabId(), c);
    EXPECT_TRUE(waitForSplitView());
    EXPECT_EQ(evaluate(a, "document.getElementById('field').value"), "") << "no \"tab:\" text in the page";
    EXPECT_FALSE(pane(SplitViewSide::left).isDropTargeted());

    // The other pane's tab: the panes swap. (The right page's field, over which it is dropped,
    // stays empty too.)
    dragRowOnto(b, SplitViewSide::right, b);
    EXPECT_EQ(config(), (SplitViewConfig{true, c, b, 0.5}));
    dragRowOnto(b, SplitViewSide::left, a);
    ASSERT_TRUE(runUntilGtk([&] { return config().leftTabId == b; }));
    EXPECT_EQ(config().rightTabId, c);
    EXPECT_TRUE(waitForSplitView());
    EXPECT_EQ(evaluate(b, "document.getElementById('field').value"), "");
}

TEST_F(SplitViewDropTest, FoldersUnknownTabsAndOtherProgramsTextChangeNothing)
{
    state().createFolder("Reading", {c});
    const Uuid folder = state().folders().begin()->first;
    const SplitViewConfig before = config();

    // Dropped straight onto the pane's drop handler, as the toolkit would deliver them.
    auto drop = [&](const std::string& text) {
        GValue value = G_VALUE_INIT;
        g_value_init(&value, G_TYPE_STRING);
        g_value_set_string(&value, text.c_str());
        gboolean taken = TRUE;
        g_signal_emit_by_name(pane(SplitViewSide::right).dropTarget()->gobj(), "drop", &value, 10.0, 10.0, &taken);
        g_value_unset(&value);
        return taken;
    };
    EXPECT_FALSE(drop("folder:" + folder.toString()));
    EXPECT_FALSE(drop("tab:" + Uuid::random().toString()));
    EXPECT_FALSE(drop("https://other.example/"));
    EXPECT_FALSE(drop("tab:12345"));
    EXPECT_EQ(config(), before);
    EXPECT_EQ(state().activeTabId(), a);

    // A real drag of plain text from another window onto the right page's text field: the pane
    // does not take it, the page does, as from any program; the split stays as it was.
    Gtk::Window source;
    source.set_default_size(160, 60);
    Gtk::Label label("foreign words");
    auto drag = Gtk::DragSource::create();
    drag->signal_prepare().connect(
        [](double, double) {
            Glib::Value<Glib::ustring> text;
            text.init(Glib::Value<Glib::ustring>::value_type());
            text.set("foreign words");
            return Gdk::ContentProvider::create(text);
        },
        false);
    label.add_controller(drag);
    source.set_child(label);
    source.present();
    ASSERT_TRUE(waitForWindow(source));
    int entered = 0;
    auto counting = pane(SplitViewSide::right).dropTarget()->signal_enter().connect(
        [&](double, double) {
            ++entered;
            return Gdk::DragAction::MOVE;
        },
        false);
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    ASSERT_TRUE(widgetCenter(label, x0, y0));
    SplitPane& right = pane(SplitViewSide::right);
    const auto [fx, fy] = fieldCentre(b);
    ASSERT_TRUE(widgetPoint(*right.page(), fx, fy, x1, y1));
    dragPointer(x0, y0, x1, y1);
    counting.disconnect();
    EXPECT_EQ(entered, 0);
    EXPECT_TRUE(runUntilGtk([&] { return evaluate(b, "document.getElementById('field').value") == "foreign words"; }));
    EXPECT_EQ(config(), before);
    EXPECT_EQ(state().activeTabId(), a);
    source.destroy();
}

// "Open in Split View" from a tab's menu used to blank the page area with no way back.
TEST_F(SplitViewTest, OpenInSplitViewFromTheTabMenuShowsBothTabsAndClosesBack)
{
    state().setActiveTabId(a);
    ASSERT_TRUE(showsSinglePage(a));
    SidebarTabRow& rowB = *sidebar()->tabList().topLevelRow(b);
    auto shown = [&] { return rowB.menu() && rowB.menu()->get_mapped(); };
    for (int attempt = 0; attempt < 2 && !shown(); ++attempt) {
        xdoClickWidget(rowB, 3);
        runUntilGtk(shown);
    }
    ASSERT_TRUE(shown());
    rowB.menu()->popdown();
    ASSERT_TRUE(rowB.activate_action("row.split"));
    ASSERT_TRUE(waitForSplitView());
    EXPECT_EQ(config(), (SplitViewConfig{true, a, b, 0.5}));

    // Leaving split view from the menu command brings the single page back.
    ASSERT_TRUE(xdoKey("ctrl+alt+d"));
    ASSERT_TRUE(showsSinglePage(a));
}

TEST_F(SplitViewTest, ClosingAPaneTabTheSpaceOrSwitchingSpaceLeavesSplitViewForASinglePage)
{
    const Uuid c = openTab("/c");
    state().enableSplitView(a, b);
    ASSERT_TRUE(waitForSplitView());
    state().removeTab(b);
    ASSERT_TRUE(showsSinglePage(*state().activeTabId()));
    EXPECT_FALSE(config().isEnabled);

    state().enableSplitView(a, c);
    ASSERT_TRUE(waitForSplitView());
    state().removeTab(a);
    state().removeTab(c);
    EXPECT_TRUE(runUntilGtk([&] { return !splitView(); }));
    EXPECT_FALSE(config().isEnabled);

    const Uuid d = openTab("/a2");
    const Uuid e = openTab("/b");
    state().enableSplitView(d, e);
    ASSERT_TRUE(waitForSplitView());
    const Uuid first = *state().currentSpaceId();
    state().createNewSpace("Work", SpaceColor::green, "briefcase");
    EXPECT_TRUE(runUntilGtk([&] { return !splitView(); }));
    EXPECT_FALSE(config().isEnabled);

    const Uuid w1 = openTab("/c");
    const Uuid w2 = openTab("/a2");
    state().enableSplitView(w1, w2);
    ASSERT_TRUE(waitForSplitView());
    const Uuid work = *state().currentSpaceId();
    state().removeSpace(work);
    ASSERT_TRUE(runUntilGtk([&] { return state().currentSpaceId() == first && !splitView(); }));
    EXPECT_FALSE(config().isEnabled);
    EXPECT_FALSE(viewOf(w1)) << "the closed space's pages are gone";
}

} // namespace
} // namespace kovi::test
