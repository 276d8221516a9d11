// Split view as the user meets it in the window: what a tab opened or picked during it shows,
// and that no part of it hides another at the window's sizes.
#include "windows_fixture.h"

#include "ui/layouts/content_view.h"
#include "ui/sidebar/sidebar_view.h"
#include "ui/windows/split_view_container.h"
#include "ui/windows/split_view_toolbar.h"

#include <gtkmm/popover.h>
#include <webkit/webkit.h>

namespace kovi::test {
namespace {

class SplitViewScreenTest : public WindowsAppTest {
protected:
    void SetUp() override
    {
        WindowsAppTest::SetUp();
        a = openTab("/a");
        b = openTab("/b");
        split();
    }
    void split()
    {
        state().setActiveTabId(a);
        state().enableSplitView(a, b);
        ASSERT_TRUE(waitForSplitView());
        settle(150);
    }
    // The widget's bounds in the window's coordinates.
    graphene_rect_t bounds(Gtk::Widget& widget)
    {
        graphene_rect_t rect;
        EXPECT_TRUE(gtk_widget_compute_bounds(widget.gobj(), GTK_WIDGET(h->window().gobj()), &rect));
        return rect;
    }
    Uuid a, b;
};

// Bug: a tab opened while split view was on was never shown nor loaded (no request reached the
// server until split view was closed), and clicking a tab's row did nothing. Activating a tab
// that neither pane shows now leaves split view and shows it alone.
TEST_F(SplitViewScreenTest, ATabOpenedOrPickedDuringSplitViewIsLoadedAndShown)
{
    // The keyboard: Ctrl+T, an address, Return.
    ASSERT_TRUE(xdoKey("ctrl+t"));
    ASSERT_TRUE(runUntilGtk([&] { return state().isCommandBarVisible(); }));
    settle(200);
    ASSERT_TRUE(xdoType(server.url("/a2")));
    settle(300);
    ASSERT_TRUE(xdoKey("Return"));
    ASSERT_TRUE(runUntilGtk([&] { return requestsFor("/a2") >= 1; })) << "the new tab's page is asked for";
    const Uuid opened = *state().activeTabId();
    EXPECT_NE(opened, a);
    EXPECT_NE(opened, b);
    ASSERT_TRUE(showsSinglePage(opened));
    EXPECT_FALSE(state().splitViewConfig().isEnabled);
    EXPECT_TRUE(h->waitLoaded(opened));

    // The sidebar: a click on the row of a tab outside the split.
    split();
    sidebar()->flushRefresh();
    SidebarTabRow* row = sidebar()->tabList().topLevelRow(opened);
    ASSERT_TRUE(row);
    ASSERT_TRUE(xdoClickWidget(*row, 1, row->get_width() * 0.4, row->get_height() / 2.0));
    ASSERT_TRUE(showsSinglePage(opened));
    EXPECT_EQ(state().activeTabId(), opened);

    // A row of a tab in the split picks its pane and keeps the split.
    split();
    sidebar()->flushRefresh();
    row = sidebar()->tabList().topLevelRow(b);
    ASSERT_TRUE(xdoClickWidget(*row, 1, row->get_width() * 0.4, row->get_height() / 2.0));
    ASSERT_TRUE(runUntilGtk([&] { return state().activeTabId() == b; }));
    settle(200);
    EXPECT_TRUE(state().splitViewConfig().isEnabled);
    EXPECT_TRUE(splitView());
}

// Bug: the panes' headers lay over the top of their pages, and the split toolbar covered the
// right pane's reload button and host.
TEST_F(SplitViewScreenTest, HeadersTakeTheirOwnRoomAndTheToolbarCoversNoHeader)
{
    auto* toolbar = findWidget<SplitViewToolbar>(h->window());
    ASSERT_TRUE(toolbar);
    // (The test display is 1280 wide.)
    const std::pair<int, int> sizes[] = {{800, 600}, {1280, 800}, {ContentView::minimumWidth, ContentView::minimumHeight}};
    for (const auto& [width, height] : sizes) {
        for (double ratio : {0.5, 0.2, 0.8}) {
            SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + " at " + std::to_string(ratio));
            state().setSplitRatio(ratio);
            // The X window holds the client-side shadow (5 px a side here) around the content.
            ASSERT_TRUE(xdoResizeWindow(h->window(), width + 10, height + 10));
            auto near = [](int got, int asked) { return std::abs(got - asked) <= 10; };
            ASSERT_TRUE(runUntilGtk([&] {
                return near(h->window().get_width(), width) && near(h->window().get_height(), height);
            })) << h->window().get_width() << "x" << h->window().get_height();
            settle(300);
            const graphene_rect_t bar = bounds(*toolbar);
            const graphene_rect_t area = bounds(*splitView());
            for (auto side : {SplitViewSide::left, SplitViewSide::right}) {
                SplitPane& pane = *splitView()->pane(side);
                SplitPaneChrome& header = pane.chrome();
                const graphene_rect_t page = bounds(*pane.page());
                const graphene_rect_t top = bounds(header);
                EXPECT_GE(page.origin.y, top.origin.y + top.size.height) << "the page starts below its header";
                for (Gtk::Widget* part : std::initializer_list<Gtk::Widget*>{
                         &header.backButton(), &header.forwardButton(), &header.reloadButton(), &header.titleLabel()}) {
                    const graphene_rect_t r = bounds(*part);
                    EXPECT_FALSE(graphene_rect_intersection(&bar, &r, nullptr)) << "the toolbar covers the header";
                    // Inside its own pane and the split area: no other pane lies over it.
                    EXPECT_GE(r.origin.x, bounds(pane).origin.x);
                    EXPECT_LE(r.origin.x + r.size.width, bounds(pane).origin.x + bounds(pane).size.width + 0.5);
                    EXPECT_LE(r.origin.x + r.size.width, area.origin.x + area.size.width + 0.5);
                }
            }
        }
        state().setSplitRatio(0.5);
        settle(200);
        for (bool dark : {true, false}) {
            h->ctx().appearance.setIsDarkMode(dark);
            settle(200);
            screenshotIfAsked("split-" + std::to_string(width) + "x" + std::to_string(height) + (dark ? "-dark" : "-light"));
        }
    }
}

// Bug: the "Split options" tooltip stayed over the menu its button had just opened.
TEST_F(SplitViewScreenTest, TheSplitMenusTooltipGoesWhileTheMenuIsOpen)
{
    auto* toolbar = findWidget<SplitViewToolbar>(h->window());
    ASSERT_TRUE(toolbar);
    Gtk::MenuButton& button = toolbar->splitMenuButton();
    auto menuShown = [&] { return button.get_popover() && button.get_popover()->get_mapped(); };
    auto tooltip = [&] { return tooltipShown(h->window()); };
    for (bool waitForTooltip : {false, true}) {
        SCOPED_TRACE(waitForTooltip ? "clicked once the tooltip showed" : "clicked at once");
        ASSERT_TRUE(xdoMoveTo(0, 0));
        ASSERT_TRUE(runUntilGtk([&] { return !tooltip(); }));
        ASSERT_TRUE(xdoMoveToWidget(button));
        if (waitForTooltip) {
            ASSERT_TRUE(runUntilGtk(tooltip)) << "the tooltip shows while the pointer rests on the button";
        }
        ASSERT_TRUE(xdo({"click", "1"}));
        ASSERT_TRUE(runUntilGtk(menuShown));
        // The pointer stays over the button while the menu is open.
        EXPECT_TRUE(runUntilGtk([&] { return !tooltip(); }));
        settle(1500);
        EXPECT_FALSE(tooltip()) << "the tooltip is over the open menu";
        screenshotIfAsked("split-menu-open");
        ASSERT_TRUE(xdoKey("Escape"));
        ASSERT_TRUE(runUntilGtk([&] { return !menuShown(); }));
        EXPECT_TRUE(button.get_has_tooltip()) << "the tooltip is back once the menu closes";
    }
}

} // namespace
} // namespace kovi::test
