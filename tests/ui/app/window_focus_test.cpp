// Where the keyboard focus of the main window goes: where typing is expected, never onto the
// window's own buttons unless the user tabs there.
#include "app_fixture.h"

#include "ui/layouts/content_view.h"
#include "ui/app/window_focus.h"
#include "ui/layouts/empty_state_view.h"
#include "ui/sidebar/sidebar_rows.h"
#include "ui/sidebar/sidebar_view.h"
#include "ui/sidebar/top_bar.h"

#include <gtkmm/windowcontrols.h>

namespace kovi::test {
namespace {

// The first focus went to the window's close button, so Return or Space right after start, or
// after a click on a sidebar row, closed the window.
class WindowFocusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        {
            Defaults defaults(dir.path() + "/config/defaults.json");
            Preferences preferences(defaults);
            AuthManager(preferences).continueAsGuest();
            preferences.set(prefs::hasCompletedOnboarding, true);
        }
        h = std::make_unique<AppHarness>(dir.path(), std::nullopt, false, defaultViewSlots());
        ASSERT_TRUE(runUntilGtk([&] { return h->root().screen() == MainBrowserView::Screen::browser; }));
        ASSERT_TRUE(xdoFocusWindow(h->window()));
        settle(200);
    }
    BrowserState& state() { return h->ctx().state; }
    Gtk::Widget* focus() { return h->window().get_focus(); }
    ContentView& content() { return *h->root().contentView(); }
    // Presses the keys and lets them take effect; the window must still be there.
    void pressKeepsTheWindow(const std::string& keys)
    {
        ASSERT_TRUE(xdoKey(keys));
        settle(300);
        EXPECT_TRUE(h->window().get_visible()) << keys << " closed the window";
    }
    bool inside(Gtk::Widget* widget, Gtk::Widget& ancestor)
    {
        for (; widget; widget = widget->get_parent()) {
            if (widget == &ancestor)
                return true;
        }
        return false;
    }

    TempDir dir;
    std::unique_ptr<AppHarness> h;
};

TEST_F(WindowFocusTest, TheStartPageFieldThenThePageHoldTheFocusAndReturnClosesNothing)
{
    ASSERT_NE(content().pageArea().startPage(), nullptr);
    EXPECT_EQ(focus(), &content().pageArea().startPage()->searchButton());
    pressKeepsTheWindow("space");
    EXPECT_TRUE(state().isCommandBarVisible()) << "Space on the start page's field opens the command bar";
    state().setIsCommandBarVisible(false);
    settle(100);

    state().addTab(makeTab(state(), "http://127.0.0.1:9/a"));
    state().addTab(makeTab(state(), "http://127.0.0.1:9/b"));
    ASSERT_TRUE(runUntilGtk([&] { return focus() && content().pageArea().shownPage() && inside(focus(), *content().pageArea().shownPage()); }))
        << "the page takes the focus";

    // A click on another tab's row: the new page takes it, the window stays.
    auto* sidebar = dynamic_cast<SidebarView*>(content().dock().sidebarWidget());
    ASSERT_NE(sidebar, nullptr);
    const Uuid first = state().tabsForCurrentSpace().front().id;
    SidebarTabRow* row = sidebar->tabList().topLevelRow(first);
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(xdoClickWidget(*row));
    ASSERT_TRUE(runUntilGtk([&] { return state().activeTabId() == first; }));
    pressKeepsTheWindow("Return");
    pressKeepsTheWindow("space");
    EXPECT_FALSE(WindowFocus::isWindowControl(focus()));
}

// The desktop's window buttons take no keyboard focus: neither a grab nor Tab leaves it there.
TEST_F(WindowFocusTest, WindowControlsNeverHoldTheFocus)
{
    auto* sidebar = dynamic_cast<SidebarView*>(content().dock().sidebarWidget());
    ASSERT_NE(sidebar, nullptr);
    SidebarTopBar& top = sidebar->topBar();
    const bool atEnd = !top.endControls().get_empty();
    Gtk::WindowControls& controls = atEnd ? top.endControls() : top.startControls();
    ASSERT_FALSE(controls.get_empty());
    Gtk::Widget* close = controls.get_first_child();
    while (close && !close->get_visible())
        close = close->get_next_sibling();
    ASSERT_TRUE(close && WindowFocus::isWindowControl(close));
    close->grab_focus();
    ASSERT_TRUE(runUntilGtk([&] { return focus() && !WindowFocus::isWindowControl(focus()); }));
    pressKeepsTheWindow("Return");

    // Tabbing from the button beside them passes them by.
    (atEnd ? top.reloadButton() : top.pinButton()).grab_focus();
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(xdoKey(atEnd ? "Tab" : "shift+Tab"));
        settle(30);
        EXPECT_FALSE(WindowFocus::isWindowControl(focus()));
    }
}

} // namespace
} // namespace kovi::test
