// The horizontal-tab layout on its own window: the tab strip (one widget per tab, pinned tabs,
// widths, odd titles and icons, 200 tabs, scrolling, the tabs' menus, the space menu, real
// drags), the navigation bar (typed text, the lock, back and forward) and the buttons that run
// commands.
#include "app/app_fixture.h"
#include "support/large_images.h"

#include "core/support/gobject_ptr.h"
#include "core/support/notification_names.h"
#include "core/support/text.h"
#include "ui/layouts/traditional_browser_view.h"
#include "ui/layouts/traditional_pinned_tab.h"
#include "ui/layouts/traditional_tab.h"

#include <gtkmm/adjustment.h>
#include <gtkmm/popovermenu.h>
#include <gtkmm/label.h>
#include <gtkmm/window.h>

#include <cmath>

namespace kovi::test {
namespace {

class TraditionalLayoutTest : public ::testing::Test {
protected:
    void SetUp() override { ensureGtk(); }
    void build(int width = 1100, int height = 700)
    {
        ViewSlots slots;
        slots.tabContent = [](AppContext&, const Tab& tab) -> Gtk::Widget* {
            return Gtk::make_managed<Gtk::Label>(tab.url.string());
        };
        window = std::make_unique<Gtk::Window>();
        window->set_default_size(width, height);
        core.theme.attach(*window);
        core.commands.attach(*window);
        view = Gtk::make_managed<TraditionalBrowserView>(core.ctx, slots);
        window->set_child(*view);
        window->present();
        ASSERT_TRUE(waitForWindow(*window));
        ASSERT_TRUE(waitForFrames(*window));
    }
    void TearDown() override
    {
        if (window)
            window->destroy();
        settle(20);
    }
    BrowserState& state() { return core.state; }
    TraditionalTabBar& bar() { return view->tabBar(); }
    TraditionalNavigationBar& nav() { return view->navigationBar(); }
    Uuid addTab(const std::string& url, const std::string& title = "", bool pinned = false)
    {
        return test::addTab(state(), url, title, pinned);
    }
    std::vector<std::string> stripTitles()
    {
        std::vector<std::string> titles;
        for (TraditionalTab* tab : bar().shownTabs())
            titles.push_back(tab->titleLabel().get_text());
        return titles;
    }
    // A real drag with the pointer from one widget to a point of another (paced like a hand).
    void drag(Gtk::Widget& from, Gtk::Widget& to, double toX = 0.5)
    {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        ASSERT_TRUE(widgetPoint(from, from.get_width() * 0.4, from.get_height() * 0.5, x0, y0));
        ASSERT_TRUE(widgetPoint(to, to.get_width() * toX, to.get_height() * 0.5, x1, y1));
        xdo({"mousemove", std::to_string(x0), std::to_string(y0)});
        settle(40);
        xdo({"mousedown", "1"});
        settle(40);
        for (int i = 1; i <= 12; ++i) {
            xdo({"mousemove", std::to_string(x0 + (x1 - x0) * i / 12), std::to_string(y0 + (y1 - y0) * i / 12)});
            settle(25);
        }
    }
    // Ends the drag; returns once no drag is recorded any more.
    bool release()
    {
        xdo({"mouseup", "1"});
        return runUntilGtk([&] { return !bar().drops().draggedTabId(); });
    }
    // The tab lies wholly inside the strip's visible part.
    bool inView(Gtk::Widget& tab)
    {
        graphene_rect_t r;
        if (tab.get_width() == 0 ||
            !gtk_widget_compute_bounds(tab.gobj(), GTK_WIDGET(bar().scroller().gobj()), &r))
            return false;
        return r.origin.x >= -0.5 && r.origin.x + r.size.width <= bar().scroller().get_width() + 0.5;
    }
    double scrolled() { return bar().scroller().get_hadjustment()->get_value(); }

    TempDir dir;
    CoreObjects core{dir.path()};
    std::unique_ptr<Gtk::Window> window;
    TraditionalBrowserView* view = nullptr;
};

TEST_F(TraditionalLayoutTest, StripKeepsOneWidgetPerTabAcrossChanges)
{
    const Uuid p = addTab("https://pinned.example/", "Pinned", true);
    const Uuid a = addTab("https://a.example/", "A");
    const Uuid b = addTab("https://b.example/", "B");
    const Uuid c = addTab("https://c.example/", "C");
    build();
    EXPECT_EQ(stripTitles(), (std::vector<std::string>{"A", "B", "C"}));
    ASSERT_NE(bar().pinnedTabWidget(p), nullptr);
    EXPECT_EQ(bar().pinnedTabWidget(p)->get_tooltip_text(), "Pinned");
    EXPECT_TRUE(bar().pinnedSeparator().get_visible());
    EXPECT_TRUE(bar().tabWidget(c)->isActive());
    EXPECT_TRUE(bar().tabWidget(c)->isCloseShown()) << "the active tab shows its close button";
    EXPECT_FALSE(bar().tabWidget(a)->isCloseShown());

    TraditionalTab* widgetA = bar().tabWidget(a);
    // A title the tab cuts short shows whole in the tab's tooltip, on hover.
    const std::string longTitle = "A page whose title is far longer than any tab is wide";
    state().updateTabTitle(a, longTitle);
    EXPECT_EQ(widgetA->get_tooltip_text().raw(), longTitle);
    ASSERT_TRUE(waitForFrames(bar()));
    ASSERT_TRUE(xdoMoveToWidget(*widgetA));
    EXPECT_TRUE(runUntilGtk([&] { return tooltipShown(*window); })) << "the tooltip shows on hover";
    ASSERT_TRUE(xdoMoveToWidget(view->pageArea()));
    state().updateTabTitle(a, "A renamed");
    EXPECT_EQ(widgetA->get_tooltip_text(), "A renamed");
    state().reorderTab(c, a);
    state().setActiveTabId(a);
    EXPECT_EQ(bar().tabWidget(a), widgetA) << "updated in place, never rebuilt";
    EXPECT_EQ(stripTitles(), (std::vector<std::string>{"C", "A renamed", "B"}));
    EXPECT_TRUE(widgetA->isActive());
    EXPECT_FALSE(bar().tabWidget(c)->isActive());

    // The close button closes its own tab even when it is not the active one.
    bar().tabWidget(b)->setHovered(true);
    g_signal_emit_by_name(bar().tabWidget(b)->closeButton().gobj(), "clicked");
    EXPECT_FALSE(state().tab(b));
    EXPECT_EQ(bar().tabWidget(b), nullptr);
    EXPECT_EQ(state().activeTabId(), a);

    // A click on the pinned tab activates it; only pinned tabs left: no separator.
    ASSERT_TRUE(waitForFrames(bar())); // the strip has just lost a tab
    ASSERT_TRUE(xdoClickWidget(*bar().pinnedTabWidget(p)));
    ASSERT_TRUE(runUntilGtk([&] { return state().activeTabId() == p; }));
    EXPECT_TRUE(bar().pinnedTabWidget(p)->isActive());
    state().removeTab(a);
    state().removeTab(c);
    EXPECT_FALSE(bar().pinnedSeparator().get_visible());
    screenshotIfAsked("horizontal-pinned-only");
}

TEST_F(TraditionalLayoutTest, OddTitlesAndIconsKeepTheTabShape)
{
    const std::string endless(10000, 'W');
    const Uuid longTitle = addTab("https://long.example/", endless);
    const Uuid longPinned = addTab("https://long-pinned.example/", endless, true);
    const Uuid rtl = addTab("https://rtl.example/", "\u05e9\u05dc\u05d5\u05dd \u05e2\u05d5\u05dc\u05dd");
    const Uuid shortTitle = addTab("https://s.example/", "x");
    const Uuid broken = addTab("https://broken.example/", "Broken icon");
    state().updateTabFavicon(broken, Bytes{0x89, 'P', 'N', 'G', 1, 2, 3});
    const Uuid good = addTab("https://good.example/", "Icon");
    const std::string png = largeBlankPng(16, 16);
    state().updateTabFavicon(good, Bytes(png.begin(), png.end()));
    build();
    for (const Uuid& id : {longTitle, rtl, shortTitle}) {
        const int width = bar().tabWidget(id)->get_width();
        EXPECT_GE(width, TraditionalTab::minimumWidth);
        EXPECT_LE(width, TraditionalTab::maximumWidth);
    }
    EXPECT_EQ(bar().tabWidget(longTitle)->get_height(), bar().tabWidget(shortTitle)->get_height());
    EXPECT_EQ(bar().tabWidget(shortTitle)->favicon().shownKind(), "globe");
    EXPECT_EQ(bar().tabWidget(broken)->favicon().shownKind(), "globe");
    EXPECT_EQ(bar().tabWidget(good)->favicon().shownKind(), "favicon");
    state().updateTabLoading(good, true, 0.3);
    EXPECT_EQ(bar().tabWidget(good)->favicon().shownKind(), "loading");
    state().updateTabLoading(good, false, 1);
    EXPECT_EQ(bar().tabWidget(good)->favicon().shownKind(), "favicon");
    EXPECT_EQ(bar().get_height(), TraditionalTabBar::height);

    // Hovered, the title shows cut short in a tooltip that breaks inside words: one word as wide
    // as the toolkit's own tooltip took is past what the GL renderer can draw (an abort).
    auto tooltip = [&] { return shownTooltip(*window); };
    for (Gtk::Widget* tab : std::initializer_list<Gtk::Widget*>{bar().tabWidget(longTitle), bar().pinnedTabWidget(longPinned)}) {
        const std::string tip = tab->get_tooltip_text();
        EXPECT_TRUE(tip == std::string(text::maxShownCharacters - 1, 'W') + "\u2026")
            << "a tooltip of " << tip.size() << " bytes";
        // Onto the tab from a place with no tooltip. For a moment after a tooltip goes, the
        // toolkit may show none for the next widget (seen with the GL renderer): then the
        // pointer leaves and comes again.
        bool shown = false;
        for (int attempt = 0; attempt < 3 && !shown; ++attempt) {
            ASSERT_TRUE(xdoMoveToWidget(view->pageArea()));
            ASSERT_TRUE(runUntilGtk([&] { return !tooltip(); }));
            settle(100);
            ASSERT_TRUE(xdoMoveToWidget(*tab));
            shown = runUntilGtk([&] { return tooltip() && tooltip()->get_width() > 0; }, 5);
        }
        ASSERT_TRUE(shown) << "no tooltip on hover";
        ASSERT_TRUE(waitForFrames(*window));
        EXPECT_LE(tooltip()->get_width(), window->get_width());
    }
    screenshotIfAsked("horizontal-5-tabs");
    core.appearance.setIsDarkMode(!core.appearance.isDarkMode());
    screenshotIfAsked("horizontal-5-tabs-other-appearance");
}

TEST_F(TraditionalLayoutTest, TwoHundredTabsScrollAndTheActiveOneIsInView)
{
    std::vector<Uuid> ids;
    for (int i = 0; i < 200; ++i)
        ids.push_back(addTab("https://t" + std::to_string(i) + ".example/", "Tab " + std::to_string(i)));
    build();
    auto adjustment = bar().scroller().get_hadjustment();
    ASSERT_TRUE(runUntilGtk([&] { return adjustment->get_upper() > adjustment->get_page_size() * 10; }));
    EXPECT_EQ(bar().get_height(), TraditionalTabBar::height);
    auto shown = [&](const Uuid& id) { return inView(*bar().tabWidget(id)); };
    // The last added tab is active: scrolled to the end.
    EXPECT_TRUE(runUntilGtk([&] { return shown(ids.back()); }));
    state().setActiveTabId(ids.front());
    EXPECT_TRUE(runUntilGtk([&] { return shown(ids.front()); }));
    state().setActiveTabId(ids[120]);
    EXPECT_TRUE(runUntilGtk([&] { return shown(ids[120]); }));
    screenshotIfAsked("horizontal-200-tabs");
}

// Bug: a click on a tab in view made the strip jump, a new tab at the end of a full strip stayed
// out of sight until its page loaded, and the wheel did not scroll the strip.
TEST_F(TraditionalLayoutTest, TheStripMovesOnlyToShowTheActiveTabAndWithTheWheel)
{
    std::vector<Uuid> ids;
    for (int i = 0; i < 40; ++i)
        ids.push_back(addTab("https://t" + std::to_string(i) + ".example/", "Tab " + std::to_string(i)));
    build();
    ASSERT_TRUE(runUntilGtk([&] { return inView(*bar().tabWidget(ids.back())); })) << "the active tab is in view";

    // A click on a tab in view moves nothing.
    TraditionalTab* visible = bar().tabWidget(ids[ids.size() - 3]);
    ASSERT_TRUE(inView(*visible));
    const double before = scrolled();
    ASSERT_TRUE(xdoClickWidget(*visible));
    ASSERT_TRUE(runUntilGtk([&] { return state().activeTabId() == ids[ids.size() - 3]; }));
    ASSERT_TRUE(waitForFrames(bar()));
    EXPECT_EQ(scrolled(), before);

    // A scroll that would leave a tab partly hidden at the start (the toolkit's own, to a
    // focused widget) rests at that tab's edge: the tab is in view, and a click on it moves
    // nothing and keeps it under the pointer.
    TraditionalTab* partly = bar().tabWidget(ids[20]);
    graphene_rect_t r;
    ASSERT_TRUE(gtk_widget_compute_bounds(partly->gobj(), GTK_WIDGET(bar().scroller().gobj()), &r));
    bar().scroller().get_hadjustment()->set_value(scrolled() + r.origin.x + 30);
    ASSERT_TRUE(runUntilGtk([&] {
        graphene_rect_t now;
        return gtk_widget_compute_bounds(partly->gobj(), GTK_WIDGET(bar().scroller().gobj()), &now) &&
               std::abs(now.origin.x) < 0.5;
    }));
    const double edge = scrolled();
    int x = 0, y = 0;
    ASSERT_TRUE(widgetPoint(*partly, 50, partly->get_height() / 2.0, x, y));
    ASSERT_TRUE(xdoClickAt(x, y));
    ASSERT_TRUE(runUntilGtk([&] { return state().activeTabId() == ids[20]; }));
    ASSERT_TRUE(waitForFrames(bar()));
    EXPECT_EQ(scrolled(), edge);
    int left = 0, top = 0, right = 0, bottom = 0;
    ASSERT_TRUE(widgetPoint(*partly, 0, 0, left, top));
    ASSERT_TRUE(widgetPoint(*partly, partly->get_width(), partly->get_height(), right, bottom));
    EXPECT_TRUE(x >= left && x < right) << "the tab stays under the pointer";

    // The wheel scrolls the strip sideways, both ways.
    const double resting = scrolled();
    ASSERT_TRUE(xdoMoveToWidget(*partly));
    ASSERT_TRUE(xdo({"click", "5"}));
    ASSERT_TRUE(runUntilGtk([&] { return scrolled() > resting; })) << "wheel down scrolls on";
    const double further = scrolled();
    ASSERT_TRUE(xdo({"click", "4", "click", "4"}));
    ASSERT_TRUE(runUntilGtk([&] { return scrolled() < further; })) << "wheel up scrolls back";

    // A new tab at the end, from the start of the strip: in view with no page ever loading.
    bar().scroller().get_hadjustment()->set_value(0);
    const Uuid added = addTab("https://new.example/", "New");
    EXPECT_TRUE(runUntilGtk([&] { return bar().tabWidget(added) && inView(*bar().tabWidget(added)); }));
    screenshotIfAsked("horizontal-strip-new-tab");
}

// Bug: with a dozen tabs each title read "Kovi Test…" (an inactive tab kept room for its hidden
// close button), and clicks on a × held still were lost every second time (the tab that slid
// under the pointer was not hovered).
TEST_F(TraditionalLayoutTest, TitlesUseTheRoomOfTheHiddenCloseAndEveryCloseClickHeldStillCounts)
{
    // More tabs than the strip shows, the last one active: the strip is scrolled to its end.
    std::vector<Uuid> ids;
    for (int i = 0; i < 14; ++i)
        ids.push_back(addTab("https://t" + std::to_string(i) + ".example/", "Kovi Test Page " + std::to_string(i)));
    build(1280);
    ASSERT_TRUE(runUntilGtk([&] { return inView(*bar().tabWidget(ids.back())); }));
    std::size_t k = 0;
    while (k < ids.size() && !inView(*bar().tabWidget(ids[k])))
        ++k;
    ASSERT_GT(k, 0u) << "scrolled";
    ASSERT_LT(k + 5, ids.size());
    auto rightEdge = [](Gtk::Widget& widget, Gtk::Widget& in) {
        graphene_rect_t r{};
        return gtk_widget_compute_bounds(widget.gobj(), in.gobj(), &r) ? r.origin.x + r.size.width : -1.0f;
    };
    auto leftEdge = [](Gtk::Widget& widget, Gtk::Widget& in) {
        graphene_rect_t r{};
        return gtk_widget_compute_bounds(widget.gobj(), in.gobj(), &r) ? r.origin.x : -1.0f;
    };
    TraditionalTab* inactive = bar().tabWidget(ids[k]);
    ASSERT_EQ(inactive->get_width(), TraditionalTab::minimumWidth) << "a full strip";
    EXPECT_GE(rightEdge(inactive->titleLabel(), *inactive), rightEdge(inactive->closeButton(), *inactive) - 0.5)
        << "the title reaches over the hidden button's place";
    TraditionalTab* active = bar().tabWidget(ids.back());
    EXPECT_LE(rightEdge(active->titleLabel(), *active), leftEdge(active->closeButton(), *active))
        << "a shown close button never lies over the title";
    screenshotIfAsked("horizontal-14-tabs");

    // The first tab in view: its ×, five times with the pointer held still. Five tabs close,
    // the ones after it sliding into its place (the strip does not scroll back under the
    // pointer), the active tab stays, and the tab under the pointer shows its ×.
    ASSERT_TRUE(xdoMoveToWidget(*inactive));
    ASSERT_TRUE(runUntilGtk([&] { return inactive->isCloseShown(); }));
    const int width = inactive->get_width();
    ASSERT_TRUE(waitForFrames(bar()));
    EXPECT_EQ(inactive->get_width(), width) << "a hover never resizes the tab";
    EXPECT_LE(rightEdge(inactive->titleLabel(), *inactive), leftEdge(inactive->closeButton(), *inactive));
    ASSERT_TRUE(xdoMoveToWidget(inactive->closeButton()));
    ASSERT_TRUE(waitForFrames(bar()));
    for (std::size_t i = 0; i < 5; ++i) {
        const std::size_t before = state().tabs().size();
        ASSERT_TRUE(xdo({"mousedown", "1"}));
        settle(80);
        ASSERT_TRUE(xdo({"mouseup", "1"}));
        ASSERT_TRUE(runUntilGtk([&] { return state().tabs().size() == before - 1; }))
            << "click " << i + 1 << " of 5 closed nothing";
        ASSERT_EQ(state().activeTabId(), ids.back()) << "click " << i + 1 << " activated a tab";
        ASSERT_FALSE(state().tab(ids[k + i])) << "click " << i + 1 << " closed another tab";
        TraditionalTab* next = bar().tabWidget(ids[k + i + 1]);
        ASSERT_TRUE(runUntilGtk([&] { return next->isCloseShown(); })) << "the tab now under the pointer";
        settle(200);
    }
}

// Bug: at a 1280-px window the first tab lay half under the space menu (the strip, scrolled to
// the active tab at its end, was cut wherever the room ended), and so it did after tabs were
// closed from an overflowing strip, even once the rest fitted.
TEST_F(TraditionalLayoutTest, TheStripShowsWholeTabsOnly)
{
    std::vector<Uuid> pinned, ids;
    for (int i = 0; i < 2; ++i)
        pinned.push_back(addTab("https://p" + std::to_string(i) + ".example/", "Pinned", true));
    for (int i = 0; i < 9; ++i)
        ids.push_back(addTab("https://t" + std::to_string(i) + ".example/", "Kovi Test Page " + std::to_string(i)));
    build(1280);
    Gtk::Widget& strip = bar().scroller();
    auto bounds = [&](Gtk::Widget& tab, Gtk::Widget& in) {
        graphene_rect_t r{};
        return gtk_widget_compute_bounds(tab.gobj(), in.gobj(), &r) ? r : graphene_rect_t{};
    };
    // Every tab is wholly in view or wholly out of it.
    auto wholeTabs = [&](std::string& cut) {
        std::vector<Gtk::Widget*> tabs;
        for (const Uuid& id : pinned)
            if (auto* tab = bar().pinnedTabWidget(id))
                tabs.push_back(tab);
        for (TraditionalTab* tab : bar().shownTabs())
            tabs.push_back(tab);
        for (Gtk::Widget* tab : tabs) {
            const graphene_rect_t r = bounds(*tab, strip);
            const bool in = r.origin.x >= -0.5 && r.origin.x + r.size.width <= strip.get_width() + 0.5;
            const bool out = r.origin.x + r.size.width <= 0.5 || r.origin.x >= strip.get_width() - 0.5;
            if (!in && !out) {
                cut = "a tab at " + std::to_string(r.origin.x) + " of a strip " + std::to_string(strip.get_width()) +
                      " wide";
                return false;
            }
        }
        return true;
    };
    // In view, and clear of the space menu before the strip.
    auto clearlyShown = [&](Gtk::Widget& tab) {
        const graphene_rect_t menu = bounds(bar().spaceMenu(), *window);
        return inView(tab) && bounds(tab, *window).origin.x >= menu.origin.x + menu.size.width;
    };
    std::string cut;
    ASSERT_TRUE(runUntilGtk([&] { return inView(*bar().tabWidget(ids.back())); })) << "the active tab is in view";
    ASSERT_TRUE(waitForFrames(bar()));
    ASSERT_FALSE(inView(*bar().pinnedTabWidget(pinned.front()))) << "more tabs than fit";
    EXPECT_TRUE(wholeTabs(cut)) << cut;
    screenshotIfAsked("horizontal-whole-tabs");

    // Notch by notch of the wheel to the start, where the first tab shows whole.
    ASSERT_TRUE(xdoMoveToWidget(*bar().tabWidget(ids.back())));
    for (int notch = 0; notch < 12 && scrolled() > 0; ++notch) {
        const double before = scrolled();
        ASSERT_TRUE(xdo({"click", "4"}));
        ASSERT_TRUE(runUntilGtk([&] { return scrolled() < before; })) << "notch " << notch;
        ASSERT_TRUE(waitForFrames(bar()));
        EXPECT_TRUE(wholeTabs(cut)) << "notch " << notch << ": " << cut;
    }
    EXPECT_TRUE(clearlyShown(*bar().pinnedTabWidget(pinned.front())));
    EXPECT_TRUE(clearlyShown(*bar().tabWidget(ids.front())));
    // A tab out of view made active comes wholly into view, and so does one that takes the keys.
    state().setActiveTabId(ids[7]);
    ASSERT_TRUE(runUntilGtk([&] { return inView(*bar().tabWidget(ids[7])); }));
    ASSERT_TRUE(waitForFrames(bar()));
    EXPECT_TRUE(wholeTabs(cut)) << cut;
    ASSERT_TRUE(bar().pinnedTabWidget(pinned.back())->grab_focus());
    ASSERT_TRUE(runUntilGtk([&] { return inView(*bar().pinnedTabWidget(pinned.back())); }));
    ASSERT_TRUE(waitForFrames(bar()));
    EXPECT_TRUE(wholeTabs(cut)) << cut;
    window->unset_focus();

    // Closing tabs with the pointer held still on the ×: the tab after each slides into its
    // place; once the rest fits, the strip shows every tab from its start.
    state().setActiveTabId(ids.back());
    ASSERT_TRUE(runUntilGtk([&] { return inView(*bar().tabWidget(ids.back())); }));
    std::size_t k = 0;
    while (!inView(*bar().tabWidget(ids[k])))
        ++k;
    ASSERT_TRUE(xdoMoveToWidget(*bar().tabWidget(ids[k])));
    ASSERT_TRUE(runUntilGtk([&] { return bar().tabWidget(ids[k])->isCloseShown(); }));
    ASSERT_TRUE(xdoMoveToWidget(bar().tabWidget(ids[k])->closeButton()));
    ASSERT_TRUE(waitForFrames(bar()));
    bool fits = false;
    for (std::size_t i = k; i < ids.size() - 1 && !fits; ++i) {
        const std::size_t before = state().tabs().size();
        ASSERT_TRUE(xdo({"mousedown", "1"}));
        settle(80);
        ASSERT_TRUE(xdo({"mouseup", "1"}));
        ASSERT_TRUE(runUntilGtk([&] { return state().tabs().size() == before - 1; })) << "closed nothing";
        ASSERT_FALSE(state().tab(ids[i])) << "closed another tab";
        ASSERT_TRUE(waitForFrames(bar()));
        EXPECT_TRUE(wholeTabs(cut)) << cut;
        fits = inView(*bar().tabWidget(ids.front())) && inView(*bar().tabWidget(ids.back()));
        if (!fits) {
            ASSERT_TRUE(runUntilGtk([&] { return bar().tabWidget(ids[i + 1])->isCloseShown(); }));
        }
    }
    ASSERT_TRUE(fits) << "the tabs left fit, all of them in view";
    EXPECT_TRUE(clearlyShown(*bar().pinnedTabWidget(pinned.front())));
    screenshotIfAsked("horizontal-whole-tabs-after-closing");
}

TEST_F(TraditionalLayoutTest, TabsHaveTheirSidebarRowsMenus)
{
    const Uuid p = addTab("https://pinned.example/", "Pinned", true);
    const Uuid a = addTab("https://a.example/", "A");
    const Uuid b = addTab("https://b.example/", "B");
    state().toggleAutoArchiveExcluded(b);
    build();
    auto openMenu = [&](Gtk::Widget& tab, TabMenu& menu) -> Gtk::PopoverMenu* {
        if (!xdoClickWidget(tab, 3) || !runUntilGtk([&] { return menu.popover() && menu.popover()->get_mapped(); }))
            return nullptr;
        return menu.popover();
    };
    auto choose = [&](Gtk::PopoverMenu& popover, const std::string& label) {
        Gtk::Widget* item = findMenuItem(popover, label);
        return item && runUntilGtk([&] { return item->get_width() > 0; }) && xdoClickWidget(*item);
    };
    using V = std::vector<std::string>;

    Gtk::PopoverMenu* menu = openMenu(*bar().tabWidget(a), *bar().tabWidget(a)->menu());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menuLabels(menu->get_menu_model()),
              (V{"Pin to Favorites", "Keep in Sidebar", "-", "Open in Split View", "Open in Quick View", "-",
                 "New Folder with Tab", "-", "Duplicate Tab", "Copy URL", "-", "Close"}));
    ASSERT_TRUE(choose(*menu, "Close"));
    ASSERT_TRUE(runUntilGtk([&] { return !state().tab(a); }));

    // A kept tab offers what the "Keep" section does.
    menu = openMenu(*bar().tabWidget(b), *bar().tabWidget(b)->menu());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menuLabels(menu->get_menu_model()),
              (V{"Pin to Favorites", "Allow Auto-Archive", "-", "Duplicate Tab", "-", "Close Tab"}));
    ASSERT_TRUE(choose(*menu, "Pin to Favorites"));
    ASSERT_TRUE(runUntilGtk([&] { return bar().pinnedTabWidget(b) != nullptr; }));

    // A pinned tab, the favourites' menu.
    TraditionalPinnedTab* pinned = bar().pinnedTabWidget(p);
    menu = openMenu(*pinned, pinned->menu());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menuLabels(menu->get_menu_model()), (V{"Unpin", "Close"}));
    ASSERT_TRUE(choose(*menu, "Unpin"));
    ASSERT_TRUE(runUntilGtk([&] { return bar().tabWidget(p) != nullptr; }));
    EXPECT_EQ(bar().pinnedTabWidget(p), nullptr);
}

TEST_F(TraditionalLayoutTest, SpaceMenuSwitchesAndCreatesSpaces)
{
    addTab("https://a.example/", "A");
    build();
    const std::string first = state().spaces().front().name;
    EXPECT_EQ(bar().spaceMenu().shownName(), first);
    EXPECT_EQ(bar().spaceMenu().itemLabels(), (std::vector<std::string>{first + " \u2713", "New Space..."}));

    // Its tooltip shows on hover, and goes while its own menu is open.
    ASSERT_TRUE(xdoMoveToWidget(bar().spaceMenu()));
    ASSERT_TRUE(runUntilGtk([&] { return tooltipShown(*window); })) << "the tooltip shows on hover";
    ASSERT_TRUE(xdoClickWidget(bar().spaceMenu()));
    ASSERT_TRUE(runUntilGtk([&] { return bar().spaceMenu().menu().get_mapped(); }));
    int x = 0, y = 0;
    ASSERT_TRUE(widgetPoint(bar().spaceMenu(), bar().spaceMenu().get_width() / 2.0 + 3, 10, x, y));
    ASSERT_TRUE(xdoMoveTo(x, y)); // the pointer rests on the button
    EXPECT_FALSE(runUntilGtk([&] { return tooltipShown(*window); }, 3)) << "no tooltip over its open menu";
    // The last item is "New Space...".
    Gtk::Widget* items = bar().spaceMenu().menu().get_child();
    ASSERT_NE(items, nullptr);
    ASSERT_TRUE(runUntilGtk([&] { return items->get_last_child()->get_width() > 0; }));
    ASSERT_TRUE(xdoClickWidget(*items->get_last_child()));
    ASSERT_TRUE(runUntilGtk([&] { return state().spaces().size() == 2; }));
    EXPECT_EQ(state().spaces().back().name, "Space 2");
    EXPECT_EQ(state().currentSpaceId(), state().spaces().back().id);
    EXPECT_EQ(bar().spaceMenu().shownName(), "Space 2");
    EXPECT_TRUE(bar().shownTabs().empty()) << "the new space has no tabs";
    EXPECT_FALSE(bar().spaceMenu().menu().get_visible());

    // Back to the first space through its item.
    ASSERT_TRUE(xdoClickWidget(bar().spaceMenu()));
    ASSERT_TRUE(runUntilGtk([&] { return bar().spaceMenu().menu().get_visible(); }));
    ASSERT_TRUE(runUntilGtk([&] { return items->get_first_child()->get_width() > 0; }));
    ASSERT_TRUE(xdoClickWidget(*items->get_first_child()));
    ASSERT_TRUE(runUntilGtk([&] { return state().currentSpaceId() == state().spaces().front().id; }));
    EXPECT_EQ(stripTitles(), (std::vector<std::string>{"A"}));

    // No current space: no menu.
    state().setCurrentSpaceId(std::nullopt);
    if (!state().currentSpaceId()) {
        EXPECT_FALSE(bar().spaceMenu().get_visible());
    }
}

TEST_F(TraditionalLayoutTest, RealDragsReorderAndStrayDropsDoNot)
{
    const Uuid a = addTab("https://a.example/", "A");
    const Uuid b = addTab("https://b.example/", "B");
    const Uuid c = addTab("https://c.example/", "C");
    build();
    ASSERT_TRUE(xdoFocusWindow(*window));
    TraditionalTab* widgetA = bar().tabWidget(a);

    // A onto C: lands between B and C; the dragged widget is the one moved.
    drag(*widgetA, *bar().tabWidget(c));
    ASSERT_TRUE(runUntilGtk([&] { return bar().drops().draggedTabId() == a && bar().tabWidget(c)->isDragTarget(); }))
        << "the drag reached C";
    screenshotIfAsked("horizontal-dragging");
    ASSERT_TRUE(release());
    ASSERT_TRUE(runUntilGtk([&] { return stripTitles() == std::vector<std::string>{"B", "A", "C"}; }))
        << testing::PrintToString(stripTitles());
    EXPECT_EQ(bar().tabWidget(a), widgetA);
    EXPECT_FALSE(bar().drops().draggedTabId());
    EXPECT_FALSE(bar().tabWidget(c)->isDragTarget());

    // Onto itself: nothing.
    drag(*bar().tabWidget(b), *bar().tabWidget(b), 0.8);
    ASSERT_TRUE(runUntilGtk([&] { return bar().drops().draggedTabId() == b; }));
    EXPECT_FALSE(bar().tabWidget(b)->isDragTarget());
    ASSERT_TRUE(release());
    EXPECT_EQ(stripTitles(), (std::vector<std::string>{"B", "A", "C"}));

    // A drag that ends elsewhere (here over the page; a cancel with Escape ends the same way)
    // leaves no drag recorded, and nothing moves.
    drag(*bar().tabWidget(c), view->pageArea());
    ASSERT_TRUE(runUntilGtk([&] { return bar().drops().draggedTabId() == c; }));
    ASSERT_TRUE(release());
    EXPECT_EQ(stripTitles(), (std::vector<std::string>{"B", "A", "C"}));
    EXPECT_FALSE(bar().drops().validateDrop(b)) << "a stale drag would let any text move a tab";
    EXPECT_EQ(state().unpinnedTabs().front().id, b);
}

// A pinned tab dragged out shows the tab's card (icon and title), not the text it carries.
TEST_F(TraditionalLayoutTest, PinnedTabDragShowsTheTabsCard)
{
    const Uuid p = addTab("https://pinned.example/", "Pinned page", true);
    addTab("https://a.example/", "A");
    build();
    ASSERT_TRUE(xdoFocusWindow(*window));
    TraditionalPinnedTab* pinned = bar().pinnedTabWidget(p);
    ASSERT_NE(pinned, nullptr);
    GtkDragSource* source = nullptr;
    auto controllers = GObjectPtr<GListModel>::adopt(gtk_widget_observe_controllers(GTK_WIDGET(pinned->gobj())));
    for (guint i = 0; i < g_list_model_get_n_items(controllers.get()) && !source; ++i) {
        auto controller = GObjectPtr<GObject>::adopt(G_OBJECT(g_list_model_get_item(controllers.get(), i)));
        if (GTK_IS_DRAG_SOURCE(controller.get()))
            source = GTK_DRAG_SOURCE(controller.get());
    }
    ASSERT_NE(source, nullptr);

    drag(*pinned, view->pageArea());
    ASSERT_TRUE(runUntilGtk([&] { return gtk_drag_source_get_drag(source) != nullptr; }));
    GtkWidget* icon = gtk_drag_icon_get_for_drag(gtk_drag_source_get_drag(source));
    GtkWidget* shown = gtk_drag_icon_get_child(GTK_DRAG_ICON(icon));
    ASSERT_NE(shown, nullptr);
    EXPECT_FALSE(GTK_IS_LABEL(shown)) << "the payload's text: " << gtk_label_get_text(GTK_LABEL(shown));
    ASSERT_TRUE(GTK_IS_PICTURE(shown));
    GdkPaintable* card = gtk_picture_get_paintable(GTK_PICTURE(shown));
    ASSERT_NE(card, nullptr);
    EXPECT_GE(gdk_paintable_get_intrinsic_width(card), 220); // the sidebar's drag card
    screenshotIfAsked("horizontal-pinned-dragging");
    release();
}

TEST_F(TraditionalLayoutTest, AddressFieldLoadsSearchesAndOpensTabs)
{
    build();
    NotificationProbe navigate(core.notifications, notifications::webViewNavigate);
    ASSERT_TRUE(xdoFocusWindow(*window));
    EXPECT_FALSE(nav().canGoBack());
    EXPECT_FALSE(nav().canGoForward());
    EXPECT_FALSE(nav().isLockShown());

    // No active tab: an address opens a new tab.
    nav().addressField().grab_focus();
    ASSERT_TRUE(xdoType("127.0.0.1:8/first"));
    ASSERT_TRUE(runUntilGtk([&] { return nav().addressField().get_text() == "127.0.0.1:8/first"; }));
    ASSERT_TRUE(xdoKey("Return"));
    ASSERT_TRUE(runUntilGtk([&] { return state().activeTab().has_value(); }));
    EXPECT_EQ(state().activeTab()->url.string(), "http://127.0.0.1:8/first");
    EXPECT_EQ(nav().addressField().get_text(), "http://127.0.0.1:8/first");
    EXPECT_EQ(navigate.count, 0);
    Gtk::Widget* focus = window->get_focus();
    EXPECT_TRUE(!focus || (focus != &nav().addressField() && !focus->is_ancestor(nav().addressField())))
        << "Enter hands the keys on to the page";

    // With one: blanks do nothing, script text is searched, words are searched.
    nav().addressField().set_text("   ");
    g_signal_emit_by_name(nav().addressField().gobj(), "activate");
    EXPECT_EQ(navigate.count, 0);
    nav().addressField().set_text("javascript:alert(1)");
    g_signal_emit_by_name(nav().addressField().gobj(), "activate");
    EXPECT_EQ(navigate.count, 1);
    EXPECT_EQ(navigate.lastObject, state().activeTabId());
    nav().addressField().set_text(std::string(10000, 'q'));
    g_signal_emit_by_name(nav().addressField().gobj(), "activate");
    EXPECT_EQ(navigate.count, 2);
    EXPECT_EQ(state().tabs().size(), 1u);

    // The page reports: the text, the lock and history follow.
    const Uuid id = *state().activeTabId();
    state().updateTabURL(id, *Url::parse("https://secure.example/"));
    state().updateTabNavigation(id, true, false);
    EXPECT_EQ(nav().addressField().get_text(), "https://secure.example/");
    EXPECT_TRUE(nav().isLockShown());
    EXPECT_TRUE(nav().canGoBack());
    EXPECT_FALSE(nav().canGoForward());
    EXPECT_FALSE(nav().forwardButton().is_sensitive());

    // Back runs the command table's command for the active tab.
    NotificationProbe back(core.notifications, notifications::webViewGoBack);
    ASSERT_TRUE(xdoClickWidget(nav().backButton()));
    ASSERT_TRUE(runUntilGtk([&] { return back.count == 1; }));
    EXPECT_EQ(back.lastObject, id);
}

// Bug: a click into the field put the caret at the end, and typing added to the page's address.
TEST_F(TraditionalLayoutTest, AFirstClickIntoTheAddressFieldSelectsTheAddress)
{
    addTab("https://a.example/page", "A");
    build();
    ASSERT_TRUE(xdoFocusWindow(*window));
    Gtk::Entry& field = nav().addressField();
    ASSERT_EQ(field.get_text(), "https://a.example/page");
    auto typed = [&](const std::string& keys, const std::string& text) {
        return xdoType(keys) && runUntilGtk([&] { return field.get_text().raw() == text; });
    };

    // The first click selects the whole address; a second one places the caret (here after
    // the short text, the rest of the field being empty).
    ASSERT_TRUE(xdoClickWidget(field));
    EXPECT_TRUE(typed("abc", "abc")) << field.get_text();
    ASSERT_TRUE(xdoClickWidget(field, 1, field.get_width() * 0.75, field.get_height() / 2.0)); // no double-click
    EXPECT_TRUE(typed("d", "abcd")) << field.get_text();

    // Escape gives the keys to the page; the next click selects again. A drag selects what it
    // passes over, no more.
    ASSERT_TRUE(xdoKey("Escape"));
    ASSERT_TRUE(runUntilGtk([&] { return field.get_text() == "https://a.example/page" && !window->get_focus(); }));
    ASSERT_TRUE(xdoClickWidget(field));
    EXPECT_TRUE(typed("xy", "xy")) << field.get_text();
    ASSERT_TRUE(xdoKey("Escape"));
    ASSERT_TRUE(runUntilGtk([&] { return field.get_text() == "https://a.example/page" && !window->get_focus(); }));
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    ASSERT_TRUE(widgetPoint(field, field.get_width() * 0.9, field.get_height() / 2.0, x0, y0));
    ASSERT_TRUE(widgetPoint(field, 40, field.get_height() / 2.0, x1, y1));
    ASSERT_TRUE(xdo({"mousemove", std::to_string(x0), std::to_string(y0)}));
    settle(40);
    ASSERT_TRUE(xdo({"mousedown", "1"}));
    for (int i = 1; i <= 8; ++i) {
        settle(25);
        ASSERT_TRUE(xdo({"mousemove", std::to_string(x0 + (x1 - x0) * i / 8), std::to_string(y0)}));
    }
    ASSERT_TRUE(xdo({"mouseup", "1"}));
    ASSERT_TRUE(xdoType("z"));
    ASSERT_TRUE(runUntilGtk([&] { return field.get_text() != "https://a.example/page"; }));
    const std::string kept = field.get_text();
    EXPECT_TRUE(kept.size() > 1 && kept.back() == 'z' && kept.size() <= 12 &&
                std::string("https://a.example/page").starts_with(kept.substr(0, kept.size() - 1)))
        << "the text before the dragged part stays: " << kept;
}

TEST_F(TraditionalLayoutTest, ButtonsRunTheirCommands)
{
    const Uuid a = addTab("https://a.example/", "A");
    addTab("https://b.example/", "B");
    state().setActiveTabId(a);
    build();
    ASSERT_TRUE(xdoClickWidget(bar().newTabButton()));
    ASSERT_TRUE(runUntilGtk([&] { return state().isCommandBarVisible(); }));
    EXPECT_EQ(state().commandBarMode(), BrowserState::CommandBarMode::all);
    state().setIsCommandBarVisible(false);

    g_signal_emit_by_name(bar().downloadsButton().gobj(), "clicked");
    EXPECT_TRUE(state().isDownloadsPanelVisible());
    g_signal_emit_by_name(bar().downloadsButton().gobj(), "clicked");
    EXPECT_FALSE(state().isDownloadsPanelVisible());

    g_signal_emit_by_name(nav().splitButton().gobj(), "clicked");
    EXPECT_TRUE(state().splitViewConfig().isEnabled);
    g_signal_emit_by_name(nav().splitButton().gobj(), "clicked");
    EXPECT_FALSE(state().splitViewConfig().isEnabled);
    g_signal_emit_by_name(nav().libraryButton().gobj(), "clicked");
    EXPECT_TRUE(state().isLibraryVisible());
    g_signal_emit_by_name(nav().extensionsButton().gobj(), "clicked");
    EXPECT_TRUE(state().isExtensionsVisible());
    // The star is the library's own: a second click removes the bookmark.
    g_signal_emit_by_name(nav().starButton().gobj(), "clicked");
    EXPECT_TRUE(core.library.isBookmarked(*Url::parse("https://a.example/")));
    g_signal_emit_by_name(nav().starButton().gobj(), "clicked");
    EXPECT_FALSE(core.library.isBookmarked(*Url::parse("https://a.example/")));

    // The spinner follows running downloads only.
    EXPECT_FALSE(bar().downloadsSpinner().get_visible());
    DownloadItem item{Uuid::random(), *Url::parse("http://127.0.0.1:9/file.bin"), "file.bin", std::nullopt, 100, 0,
                      DownloadStatus::paused, Clock::current().now(), std::nullopt};
    state().setDownloads({item});
    EXPECT_FALSE(bar().downloadsSpinner().get_visible());
    item.status = DownloadStatus::downloading;
    state().setDownloads({item});
    EXPECT_TRUE(bar().downloadsSpinner().get_visible());
    item.status = DownloadStatus::completed;
    state().setDownloads({item});
    EXPECT_FALSE(bar().downloadsSpinner().get_visible());
}

} // namespace
} // namespace kovi::test
