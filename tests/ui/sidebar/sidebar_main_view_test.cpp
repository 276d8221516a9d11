#include "app/app_fixture.h"
#include "sidebar_ui_fixture.h"
#include "ui/layouts/content_view.h"
#include "ui/base/view_slots.h"

#include <gtkmm/button.h>

namespace kovi::test {
namespace {

// The sidebar in the main window's sidebar layout, docked and floating, light and dark.
class SidebarInMainViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureGtk();
        ViewSlots slots;
        slots.sidebar = [](AppContext& ctx, SidebarHost& host) { return makeSidebarView(ctx, host); };
        window = std::make_unique<Gtk::Window>();
        window->set_decorated(false);
        window->set_default_size(1100, 800);
        content = Gtk::make_managed<ContentView>(core.ctx, slots);
        window->set_child(*content);
        core.theme.attach(*window);
        core.commands.attach(*window);
        window->present();
        ASSERT_TRUE(runUntilGtk([&] { return window->get_mapped() && window->get_width() > 0; }));
        settle(200);
    }
    void TearDown() override
    {
        window->destroy();
        window.reset();
        settle(30);
    }
    SidebarView* sidebar() const { return dynamic_cast<SidebarView*>(content->dock().sidebarWidget()); }

    TempDir dir;
    CoreObjects core{dir.path()};
    BrowserState* state = &core.state;
    AppearanceManager* appearance = &core.appearance;
    std::unique_ptr<Gtk::Window> window;
    ContentView* content = nullptr;
};

TEST_F(SidebarInMainViewTest, DockedAndFloatingInBothAppearances)
{
    for (const char* url : {"https://news.example/", "https://mail.example/", "https://docs.example/"})
        state->addTab(Tab(Uuid::random(), *Url::parse(url), std::nullopt, false, false, state->currentSpaceId(),
                          std::nullopt));
    const Uuid pinned = state->tabsForCurrentSpace().front().id;
    state->pinTab(pinned);
    state->createFolder("Projects", {state->tabsForCurrentSpace().front().id});
    const Uuid kept = Uuid::random();
    state->addTab(Tab(kept, *Url::parse("https://kept.example/"), std::string("Kept page"), false, false,
                      state->currentSpaceId(), std::nullopt));
    state->toggleAutoArchiveExcluded(kept);
    settle(200);

    SidebarView* view = sidebar();
    ASSERT_TRUE(view) << "the main view hosts the sidebar";
    EXPECT_TRUE(content->isDocked());
    // The window's controls, given after the sidebar exists, land in its top bar, not in a strip.
    content->setChromeStart([]() -> Gtk::Widget* { return Gtk::make_managed<Gtk::Button>("menu"); });
    ASSERT_NE(view->topBar().chromeWidget(), nullptr);
    EXPECT_FALSE(content->dock().chromeStrip().get_visible());
    EXPECT_TRUE(view->tabList().pinnedTile(pinned));
    EXPECT_TRUE(view->tabList().keepRow(kept));
    screenshotIfAsked("main-docked-dark");
    appearance->setIsDarkMode(false);
    settle(200);
    screenshotIfAsked("main-docked-light");

    // The pin toggle of the sidebar's own top bar undocks it; revealed, it floats over the page.
    int x = 0, y = 0;
    ASSERT_TRUE(widgetPoint(view->topBar().pinButton(), 14, 14, x, y));
    xdo({"mousemove", std::to_string(x), std::to_string(y), "click", "1"});
    ASSERT_TRUE(runUntilGtk([&] { return !content->isDocked(); }));
    content->dock().floating().pointerEnteredRevealStrip();
    ASSERT_TRUE(runUntilGtk([&] { return content->sidebarHost().isSidebarVisible(); }));
    EXPECT_EQ(sidebar(), view) << "the same sidebar moves into the floating panel";
    ASSERT_NE(view->topBar().chromeWidget(), nullptr);
    EXPECT_TRUE(runUntilGtk([&] { return view->topBar().chromeWidget()->get_mapped(); }));
    screenshotIfAsked("main-floating-light");
    appearance->setIsDarkMode(true);
    settle(200);
    screenshotIfAsked("main-floating-dark");
}

// Bug: the favourites and the "Keep" section sit above the scrolling list and set the column's
// height: with a hundred of them the window opened taller than the screen and the bottom bar
// was cut off.
TEST_F(SidebarInMainViewTest, ManyFavouritesAndKeptTabsScrollInsideTheWindow)
{
    for (int i = 0; i < 100; ++i) {
        Tab tab(Uuid::random(), *Url::parse("https://site" + std::to_string(i) + ".example/"),
                "Page " + std::to_string(i), false, false, state->currentSpaceId(), std::nullopt);
        state->addTab(tab);
        if (i % 2)
            state->pinTab(tab.id);
        else
            state->toggleAutoArchiveExcluded(tab.id);
    }
    SidebarView* view = sidebar();
    ASSERT_TRUE(view);
    view->flushRefresh();
    settle(300);
    EXPECT_EQ(window->get_height(), 800);
    graphene_rect_t bottom;
    ASSERT_TRUE(gtk_widget_compute_bounds(GTK_WIDGET(view->bottomBar().gobj()), GTK_WIDGET(window->gobj()), &bottom));
    EXPECT_LE(bottom.origin.y + bottom.size.height, window->get_height());
    EXPECT_GT(bottom.size.height, 0);
    // The list below keeps a place of its own.
    EXPECT_GT(view->spaceHeader().get_height(), 0);
}

} // namespace
} // namespace kovi::test
