// Real key presses on the test's display reach the commands, whatever has the keyboard focus:
// the start page, a web page, or an open menu.
#include "app_fixture.h"

#include "ui/app/content_view.h"
#include "ui/base/view_parts.h"

#include <gtkmm/menubutton.h>
#include <gtkmm/popover.h>
#include <webkit/webkit.h>

namespace kovi::test {
namespace {

class ShortcutsTest : public ::testing::Test {
protected:
    void start(ViewParts parts = {})
    {
        h = std::make_unique<AppHarness>(dir.path(), std::nullopt, false, std::move(parts));
        h->ctx().auth.continueAsGuest();
        h->root().setHasCompletedOnboarding(true);
        ASSERT_TRUE(runUntilGtk([&] { return h->root().screen() == MainBrowserView::Screen::browser; }));
        ASSERT_TRUE(waitForWindow(h->window()));
        settle(200);
        ASSERT_TRUE(xdoFocusWindow(h->window()));
        settle(100);
        screenshotIfAsked("shortcut-start");
    }
    BrowserState& state() { return h->ctx().state; }

    TempDir dir;
    std::unique_ptr<AppHarness> h;
};

TEST_F(ShortcutsTest, KeysReachTheCommandsFromTheStartPage)
{
    start();
    ASSERT_TRUE(xdoKey("ctrl+k"));
    ASSERT_TRUE(runUntilGtk([&] { return state().isCommandBarVisible(); }, 5));
    ASSERT_TRUE(xdoKey("ctrl+k"));
    ASSERT_TRUE(runUntilGtk([&] { return !state().isCommandBarVisible(); }, 5));

    ASSERT_TRUE(xdoKey("ctrl+shift+n"));
    ASSERT_TRUE(runUntilGtk([&] { return state().spaces().size() == 2; }, 5));
    ASSERT_TRUE(xdoKey("ctrl+alt+1"));
    ASSERT_TRUE(runUntilGtk([&] { return state().currentSpaceId() == state().spaces()[0].id; }, 5));

    ASSERT_TRUE(xdoKey("ctrl+y"));
    ASSERT_TRUE(runUntilGtk([&] { return state().isHistoryPanelVisible(); }, 5));
}

TEST_F(ShortcutsTest, KeysReachTheCommandsWhileAWebPageHasTheFocus)
{
    GtkWidget* webView = nullptr;
    ViewParts parts;
    parts.tabContent = [&](AppContext&, const Tab&) -> Gtk::Widget* {
        webView = webkit_web_view_new();
        webkit_web_view_load_html(WEBKIT_WEB_VIEW(webView), "<html><body><input autofocus></body></html>", nullptr);
        return Gtk::manage(Glib::wrap(webView));
    };
    start(std::move(parts));
    state().addTab(makeTab(state(), "https://example.com/", "Example"));
    ASSERT_TRUE(runUntilGtk([&] { return webView && gtk_widget_get_mapped(webView); }));
    gtk_widget_grab_focus(webView);
    settle(300);
    ASSERT_TRUE(gtk_widget_has_focus(webView) || gtk_widget_is_focus(webView));

    ASSERT_TRUE(xdoKey("ctrl+t"));
    ASSERT_TRUE(runUntilGtk([&] { return state().isCommandBarVisible(); }, 5));
    state().setIsCommandBarVisible(false);
    gtk_widget_grab_focus(webView);
    settle(100);
    const bool bezel = state().isBrowserBezelEnabled();
    ASSERT_TRUE(xdoKey("ctrl+alt+b"));
    EXPECT_TRUE(runUntilGtk([&] { return state().isBrowserBezelEnabled() != bezel; }, 5));
}

TEST_F(ShortcutsTest, KeysWorkWhileTheMenuIsOpen)
{
    ViewParts parts;
    parts.sidebar = defaultViewParts().sidebar;
    start(std::move(parts));
    auto* content = h->root().contentView();
    ASSERT_NE(content, nullptr);
    // The sidebar takes the window's menu button into its top bar, docked and floating; the
    // strip that would hold it above the sidebar stays away.
    auto findMenuButton = [&] {
        Gtk::MenuButton* found = nullptr;
        std::function<void(Gtk::Widget&)> find = [&](Gtk::Widget& w) {
            if (auto* b = dynamic_cast<Gtk::MenuButton*>(&w))
                found = b;
            for (auto* c = w.get_first_child(); c && !found; c = c->get_next_sibling())
                find(*c);
        };
        find(content->dock().sidebarColumn());
        return found;
    };
    auto inTopBar = [](Gtk::Widget* w) {
        for (; w; w = w->get_parent()) {
            if (w->has_css_class("sidebar-top-bar"))
                return true;
        }
        return false;
    };
    for (bool pinned : {false, true}) {
        h->root().contentView()->sidebarHost().setIsPinned(pinned);
        settle(100);
        content = h->root().contentView();
        EXPECT_FALSE(content->dock().chromeStrip().get_visible());
        Gtk::MenuButton* menuButton = findMenuButton();
        ASSERT_NE(menuButton, nullptr);
        EXPECT_TRUE(inTopBar(menuButton));
        if (!pinned)
            content->sidebarHost().setIsSidebarVisible(true);
        menuButton->popup();
        ASSERT_TRUE(runUntilGtk([&] { return menuButton->get_popover() && menuButton->get_popover()->get_visible(); }, 5));
        settle(200);
        screenshotIfAsked(pinned ? "shortcut-menu" : "shortcut-menu-floating");
        state().setIsDownloadsPanelVisible(false);
        ASSERT_TRUE(xdoKey("ctrl+alt+j"));
        ASSERT_TRUE(runUntilGtk([&] { return state().isDownloadsPanelVisible(); }, 5));
        menuButton->popdown();
        state().setIsDownloadsPanelVisible(false);
        settle(100);
    }
}

} // namespace
} // namespace kovi::test
