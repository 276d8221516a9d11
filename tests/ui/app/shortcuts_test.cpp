// Real key presses on the test's display reach the commands, whatever has the keyboard focus:
// the start page, a web page, or an open menu.
#include "app_fixture.h"

#include "core/support/notification_names.h"
#include "ui/base/view_slots.h"
#include "ui/layouts/content_view.h"
#include "ui/layouts/traditional_browser_view.h"
#include "ui/sidebar/address_bar.h"

#include <gtkmm/menubutton.h>
#include <gtkmm/popover.h>
#include <webkit/webkit.h>

#include <map>

namespace kovi::test {
namespace {

class ShortcutsTest : public ::testing::Test {
protected:
    void start(ViewSlots slots = {})
    {
        h = std::make_unique<AppHarness>(dir.path(), std::nullopt, false, std::move(slots));
        ASSERT_TRUE(h->showBrowser());
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
    ViewSlots slots;
    slots.tabContent = [&](AppContext&, const Tab&) -> Gtk::Widget* {
        webView = webkit_web_view_new();
        webkit_web_view_load_html(WEBKIT_WEB_VIEW(webView), "<html><body><input autofocus></body></html>", nullptr);
        return Gtk::manage(Glib::wrap(webView));
    };
    start(std::move(slots));
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

// The desktop's usual keys while a web page has the keyboard: the page kept Alt+Left and F5, the
// toolkit moved the focus on Ctrl+Tab. Back, forward, reload, next and previous tab, the address
// (the sidebar's or the horizontal layout's field) and the window's menu run from the page.
TEST_F(ShortcutsTest, TheDesktopsKeysWorkWhileAWebPageHasTheFocus)
{
    std::map<Uuid, GtkWidget*> pages;
    ViewSlots slots;
    slots.sidebar = defaultViewSlots().sidebar;
    slots.commandBar = defaultViewSlots().commandBar;
    slots.tabContent = [&](AppContext&, const Tab& tab) -> Gtk::Widget* {
        GtkWidget* view = webkit_web_view_new();
        webkit_web_view_load_html(WEBKIT_WEB_VIEW(view), "<html><body><input autofocus></body></html>", nullptr);
        pages[tab.id] = view;
        return Gtk::manage(Glib::wrap(view));
    };
    start(std::move(slots));
    for (const char* path : {"a", "b", "c"})
        state().addTab(makeTab(state(), std::string("https://example.com/") + path));
    auto focusPage = [&] {
        GtkWidget* page = pages[*state().activeTabId()];
        if (!runUntilGtk([&] { return gtk_widget_get_mapped(page); }))
            return false;
        gtk_widget_grab_focus(page);
        return runUntilGtk([&] { return gtk_widget_has_focus(page) || gtk_widget_is_focus(page); });
    };
    auto windowMenuOpen = [&] {
        std::function<bool(Gtk::Widget&)> open = [&](Gtk::Widget& w) {
            auto* button = dynamic_cast<Gtk::MenuButton*>(&w);
            if (button && button->has_css_class("kovi-window-menu") && button->get_popover() &&
                button->get_popover()->get_mapped())
                return true;
            for (auto* c = w.get_first_child(); c; c = c->get_next_sibling()) {
                if (open(*c))
                    return true;
            }
            return false;
        };
        return open(h->window());
    };

    for (const auto& [forward, back] : {std::pair{"ctrl+Tab", "ctrl+shift+Tab"}, {"ctrl+Page_Down", "ctrl+Page_Up"}}) {
        const Uuid before = *state().activeTabId();
        ASSERT_TRUE(focusPage());
        ASSERT_TRUE(xdoKey(forward));
        ASSERT_TRUE(runUntilGtk([&] { return state().activeTabId() != before; }, 5)) << forward;
        ASSERT_TRUE(focusPage());
        ASSERT_TRUE(xdoKey(back));
        ASSERT_TRUE(runUntilGtk([&] { return state().activeTabId() == before; }, 5)) << back;
    }

    const Uuid shown = *state().activeTabId();
    state().updateTabNavigation(shown, true, true); // as if the page had a history both ways
    NotificationProbe backProbe(h->ctx().notifications, notifications::webViewGoBack);
    NotificationProbe forwardProbe(h->ctx().notifications, notifications::webViewGoForward);
    NotificationProbe reloadProbe(h->ctx().notifications, notifications::webViewReload);
    const std::pair<const char*, std::function<bool()>> pageKeys[] = {
        {"alt+Left", [&] { return backProbe.count == 1 && backProbe.lastObject == shown; }},
        {"alt+Right", [&] { return forwardProbe.count == 1 && forwardProbe.lastObject == shown; }},
        {"F5", [&] { return reloadProbe.count == 1 && reloadProbe.lastObject == shown; }},
        {"ctrl+r", [&] { return reloadProbe.count == 2; }},
    };
    for (const auto& [keys, done] : pageKeys) {
        ASSERT_TRUE(focusPage());
        ASSERT_TRUE(xdoKey(keys));
        EXPECT_TRUE(runUntilGtk(done, 5)) << keys;
    }

    // Ctrl+L edits the shown page's address in the sidebar's field (it opened a new tab's
    // command bar); Escape leaves it, and no tab was opened.
    auto focusIn = [&](Gtk::Widget& target) {
        Gtk::Widget* focus = h->window().get_focus();
        return focus && (focus == &target || focus->is_ancestor(target));
    };
    auto* sidebarAddress = findWidget<SidebarAddressBar>(h->window());
    ASSERT_NE(sidebarAddress, nullptr);
    const auto tabCount = state().tabs().size();
    ASSERT_TRUE(focusPage());
    ASSERT_TRUE(xdoKey("ctrl+l"));
    ASSERT_TRUE(runUntilGtk([&] { return focusIn(sidebarAddress->entry()); }, 5)) << "Ctrl+L: the sidebar's field";
    EXPECT_EQ(std::string(sidebarAddress->entry().get_text()), state().activeTab()->url.string());
    EXPECT_FALSE(state().isCommandBarVisible());
    ASSERT_TRUE(xdoKey("Escape"));
    // The keys go back to the page, not to the field's star (the stack handed them on, ringed).
    GtkWidget* page = pages[*state().activeTabId()];
    EXPECT_TRUE(runUntilGtk([&] { return gtk_widget_has_focus(page) || gtk_widget_is_focus(page); }, 5));
    EXPECT_EQ(state().tabs().size(), tabCount);

    // The horizontal layout has an address field for Ctrl+L.
    state().setLayoutMode(BrowserLayoutMode::traditional);
    ASSERT_TRUE(runUntilGtk([&] { return h->root().traditionalView() != nullptr; }));
    Gtk::Entry& address = h->root().traditionalView()->navigationBar().addressField();
    for (const char* keys : {"F10", "ctrl+l"}) {
        ASSERT_TRUE(focusPage());
        ASSERT_TRUE(xdoKey(keys));
        if (std::string(keys) == "F10") {
            ASSERT_TRUE(runUntilGtk(windowMenuOpen, 5)) << "F10: the window's menu";
            ASSERT_TRUE(xdoKey("Escape"));
            ASSERT_TRUE(runUntilGtk([&] { return !windowMenuOpen(); }, 5));
        } else {
            EXPECT_TRUE(runUntilGtk([&] { return focusIn(address); }, 5)) << "Ctrl+L: the address field";
            EXPECT_FALSE(state().isCommandBarVisible());
        }
    }
}

TEST_F(ShortcutsTest, KeysWorkWhileTheMenuIsOpen)
{
    ViewSlots slots;
    slots.sidebar = defaultViewSlots().sidebar;
    start(std::move(slots));
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

// Ctrl+W while the command bar was open closed the tab behind the bar and left the bar open:
// 200 fast Ctrl+T, Ctrl+W pairs closed all 30 tabs.
TEST_F(ShortcutsTest, AnOpenPanelTakesTheKeysAndCtrlWClosesThePanel)
{
    ViewSlots slots;
    slots.commandBar = defaultViewSlots().commandBar;
    start(std::move(slots));
    for (int i = 0; i < 30; ++i)
        state().addTab(makeTab(state(), "http://127.0.0.1:9/" + std::to_string(i)));
    const auto active = state().activeTabId();
    settle(100);

    std::vector<std::string> pairs{"key", "--delay", "4"};
    for (int i = 0; i < 200; ++i) {
        pairs.push_back("ctrl+t");
        pairs.push_back("ctrl+w");
    }
    ASSERT_TRUE(xdo(pairs));
    ASSERT_TRUE(xdoKey("ctrl+t"));
    ASSERT_TRUE(runUntilGtk([&] { return state().isCommandBarVisible(); }, 5));
    EXPECT_EQ(state().tabs().size(), 30u);

    // Other commands' keys stay with the bar; its own still work there.
    ASSERT_TRUE(xdoKey("ctrl+alt+Right ctrl+1 ctrl+shift+o"));
    ASSERT_TRUE(runUntilGtk([&] { return state().commandBarMode() == BrowserState::CommandBarMode::tabs; }, 5));
    EXPECT_EQ(state().activeTabId(), active);
    ASSERT_TRUE(xdoKey("ctrl+w"));
    ASSERT_TRUE(runUntilGtk([&] { return !state().isCommandBarVisible(); }, 5));
    EXPECT_EQ(state().commandBarMode(), BrowserState::CommandBarMode::all);
    EXPECT_EQ(state().tabs().size(), 30u);

    // A panel over a scrim the same way; with nothing open, Ctrl+W closes the tab again.
    ASSERT_TRUE(xdoKey("ctrl+y"));
    ASSERT_TRUE(runUntilGtk([&] { return state().isHistoryPanelVisible(); }, 5));
    ASSERT_TRUE(xdoKey("ctrl+w"));
    ASSERT_TRUE(runUntilGtk([&] { return !state().isHistoryPanelVisible(); }, 5));
    EXPECT_EQ(state().tabs().size(), 30u);
    ASSERT_TRUE(xdoKey("ctrl+w"));
    ASSERT_TRUE(runUntilGtk([&] { return state().tabs().size() == 29u; }, 5));
}

// Regression: Escape left the history and downloads panels open; it closes whichever is open and
// nothing else.
TEST_F(ShortcutsTest, EscapeClosesTheOpenPanel)
{
    start({});
    state().addTab(makeTab(state(), "http://127.0.0.1:9/page"));
    settle(100);
    for (const char* key : {"ctrl+y", "ctrl+alt+j"}) {
        ASSERT_TRUE(xdoKey(key));
        ASSERT_TRUE(runUntilGtk([&] { return state().isHistoryPanelVisible() || state().isDownloadsPanelVisible(); }, 5));
        ASSERT_TRUE(xdoKey("Escape"));
        ASSERT_TRUE(runUntilGtk([&] { return !state().isHistoryPanelVisible() && !state().isDownloadsPanelVisible(); }, 5));
    }
    EXPECT_EQ(state().tabs().size(), 1u);
}

// The sheets are windows of their own, where the menu's shortcuts do not reach: Ctrl+W closes
// the sheet there, as it closes a panel over the page, and never a tab.
TEST_F(ShortcutsTest, CtrlWInASheetClosesTheSheet)
{
    start(defaultViewSlots());
    state().addTab(makeTab(state(), "http://127.0.0.1:9/a"));
    state().setIsExtensionsVisible(true);
    Gtk::Window* sheet = nullptr;
    ASSERT_TRUE(runUntilGtk([&] { return (sheet = h->root().extensionsSheet()) && sheet->get_mapped(); }, 5));
    ASSERT_TRUE(xdoFocusWindow(*sheet));
    ASSERT_TRUE(xdoKey("ctrl+w"));
    ASSERT_TRUE(runUntilGtk([&] { return !state().isExtensionsVisible(); }, 5));
    EXPECT_EQ(state().tabs().size(), 1u);
}

} // namespace
} // namespace kovi::test
