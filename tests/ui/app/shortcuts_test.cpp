// Real key presses on the test's display reach the commands, whatever has the keyboard focus:
// the start page, a web page, or an open menu.
#include "app_fixture.h"

#include "core/support/notification_names.h"
#include "ui/base/view_slots.h"
#include "ui/layouts/content_view.h"
#include "ui/layouts/floating_sidebar.h"
#include "ui/layouts/page_area.h"
#include "ui/layouts/panel_overlays.h"
#include "ui/layouts/traditional_browser_view.h"
#include "ui/library/library_sheet.h"
#include "ui/settings/privacy_info_view.h"
#include "ui/sidebar/address_bar.h"
#include "ui/web/space_web_session_manager.h"
#include "ui/windows/floating_windows.h"

#include <gtkmm/menubutton.h>
#include <gtkmm/popover.h>
#include <webkit/webkit.h>

#include <map>
#include <tuple>

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
    // The sidebar, which holds the window's menu, and the history panel, over a tab.
    void startWithSidebarAndHistory()
    {
        ViewSlots slots;
        slots.sidebar = defaultViewSlots().sidebar;
        slots.historyPanel = defaultViewSlots().historyPanel;
        start(std::move(slots));
        state().addTab(makeTab(state(), "http://127.0.0.1:9/a"));
    }
    BrowserState& state() { return h->ctx().state; }
    // A page of plain HTML in the test's own engine session. The engine's default session would
    // be released as the program exits, after the display has gone, and releasing it then ended
    // the test program with status 1.
    GtkWidget* plainPage(const char* html)
    {
        SpaceWebSessionManager::Session& own = sessions.session(std::nullopt);
        GtkWidget* view = GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", own.context.get(),
                                                  "network-session", own.network.get(), nullptr));
        webkit_web_view_load_html(WEBKIT_WEB_VIEW(view), html, nullptr);
        return view;
    }

    TempDir dir;
    SpaceWebSessionManager sessions;
    std::unique_ptr<AppHarness> h;
};

// With no tab open, Ctrl+Shift+D (the reading list's key, unavailable there) fell through to the
// toolkit, which asked whether to open its inspector, and opened it: a key of the browser's is
// the browser's also when its command cannot act, and the toolkit's inspector keys do nothing
// in a release build.
TEST_F(ShortcutsTest, KeysReachTheCommandsFromTheStartPage)
{
    start();
    auto toplevels = [] { return g_list_model_get_n_items(gtk_window_get_toplevels()); };
    const guint windows = toplevels();
    ASSERT_TRUE(xdoKey("ctrl+shift+d"));
#ifdef NDEBUG
    ASSERT_TRUE(xdoKey("ctrl+shift+i"));
#endif
    ASSERT_TRUE(xdoKey("ctrl+k"));
    ASSERT_TRUE(runUntilGtk([&] { return state().isCommandBarVisible(); }, 5));
    EXPECT_EQ(toplevels(), windows) << "a window of the toolkit's opened";
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
        webView = plainPage("<html><body><input autofocus></body></html>");
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
        GtkWidget* view = plainPage("<html><body><input autofocus></body></html>");
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
    // Escape there kept the typed text over the page's address, and the keys (Space typed into
    // the field): it puts the address back and gives the keys to the page, as in the sidebar.
    ASSERT_TRUE(xdoType("typed"));
    ASSERT_TRUE(runUntilGtk([&] { return address.get_text() == "typed"; }, 5));
    ASSERT_TRUE(xdoKey("Escape"));
    EXPECT_TRUE(runUntilGtk([&] { return gtk_widget_has_focus(pages[*state().activeTabId()]); }, 5))
        << "Escape: the keys to the page";
    EXPECT_EQ(std::string(address.get_text()), state().activeTab()->url.string());
    ASSERT_TRUE(xdoKey("space"));
    settle(100);
    EXPECT_EQ(std::string(address.get_text()), state().activeTab()->url.string());
}

// F10 did nothing in the sidebar layout while the floating sidebar was hidden (the menu lives in
// it), and the menu it opened while a panel was open ignored the arrow keys (the focus went back
// to the panel). F10 opens the window's menu wherever it is, and the open menu has the keys.
TEST_F(ShortcutsTest, F10OpensTheWindowsMenuAndTheMenuTakesTheArrowKeys)
{
    startWithSidebarAndHistory();
    SidebarHost& host = h->root().contentView()->sidebarHost();
    auto menu = [&]() -> Gtk::Popover* {
        auto* button = findWindowMenu(*h->root().contentView());
        return button ? button->get_popover() : nullptr;
    };
    auto menuHasKeys = [&] {
        Gtk::Widget* focus = h->window().get_focus();
        return menu() && menu()->get_mapped() && focus && focus->is_ancestor(*menu());
    };
    auto arrowsMoveInTheMenu = [&] {
        ASSERT_TRUE(runUntilGtk(menuHasKeys, 5)) << "F10: the menu, with the keys";
        settle(200);
        ASSERT_TRUE(menuHasKeys()) << "the keys left the menu";
        for (int i = 0; i < 2; ++i) {
            Gtk::Widget* before = h->window().get_focus();
            ASSERT_TRUE(xdoKey("Down"));
            EXPECT_TRUE(runUntilGtk([&] { return menuHasKeys() && h->window().get_focus() != before; }, 5))
                << "Down moves in the menu";
        }
        ASSERT_TRUE(xdoKey("Escape"));
        ASSERT_TRUE(runUntilGtk([&] { return !menu()->get_mapped(); }, 5));
    };

    host.setIsPinned(false);
    host.setIsSidebarVisible(false);
    ASSERT_TRUE(runUntilGtk([&] { return menu() && !menu()->get_parent()->get_mapped(); }, 5));
    ASSERT_TRUE(waitForFrames(h->window()));
    ASSERT_TRUE(xdoKey("F10"));
    arrowsMoveInTheMenu();
    EXPECT_TRUE(runUntilGtk([&] { return !host.isSidebarVisible(); }, 5)) << "the sidebar it showed hides again";

    host.setIsPinned(true);
    ASSERT_TRUE(xdoKey("ctrl+y"));
    ASSERT_TRUE(runUntilGtk([&] { return state().isHistoryPanelVisible(); }, 5));
    ASSERT_TRUE(xdoKey("F10"));
    arrowsMoveInTheMenu();
    EXPECT_TRUE(state().isHistoryPanelVisible());
    OverlayLayer& history = h->root().contentView()->panels().historyLayer();
    EXPECT_TRUE(runUntilGtk([&] { return history.contains(h->window().get_focus()); }, 5)) << "back to the panel";
    ASSERT_TRUE(xdoKey("Escape"));
    ASSERT_TRUE(runUntilGtk([&] { return !state().isHistoryPanelVisible(); }, 5));

    // The menu stayed open out of sight when its button went with the layout (Ctrl+Shift+L from
    // the open menu) and held on to every key and click from then on: Ctrl+Q did nothing.
    ASSERT_TRUE(xdoKey("F10"));
    ASSERT_TRUE(runUntilGtk(menuHasKeys, 5));
    ASSERT_TRUE(xdoKey("ctrl+shift+l"));
    ASSERT_TRUE(runUntilGtk([&] { return h->root().traditionalView() != nullptr; }, 5));
    ASSERT_TRUE(waitForFrames(h->window()));
    ASSERT_TRUE(xdoKey("ctrl+t"));
    EXPECT_TRUE(runUntilGtk([&] { return state().isCommandBarVisible(); }, 5)) << "the keys work after the switch";
}

// A storm of real input on a busy machine ended with no key reaching the window (Ctrl+Q did
// nothing): the layout had switched from the open window's menu and another menu had opened
// before the first was seen to be left behind. The first stayed popped up with its button out of
// sight, and once the second closed, the keys went to it. A menu closes with its button.
TEST_F(ShortcutsTest, TheWindowsMenuClosesWhenItsButtonGoesOutOfSight)
{
    startWithSidebarAndHistory();
    Gtk::MenuButton* button = findWindowMenu(*h->root().contentView());
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(runUntilGtk([&] { return button->get_mapped(); }, 5));
    GtkWidget* menu = GTK_WIDGET(button->get_popover()->gobj());
    g_object_add_weak_pointer(G_OBJECT(menu), reinterpret_cast<gpointer*>(&menu));
    button->popup();
    state().setLayoutMode(BrowserLayoutMode::traditional);
    ASSERT_NE(h->root().traditionalView(), nullptr);
    Gtk::MenuButton* shown = findWindowMenu(*h->root().traditionalView());
    ASSERT_NE(shown, nullptr);
    shown->popup();
    ASSERT_TRUE(runUntilGtk([&] { return shown->get_popover()->get_mapped(); }, 5));
    ASSERT_TRUE(xdoKey("Escape"));
    ASSERT_TRUE(runUntilGtk([&] { return !shown->get_popover()->get_mapped(); }, 5));
    EXPECT_TRUE(!menu || !gtk_widget_get_visible(menu)) << "the first menu stayed open out of sight";
    if (menu)
        g_object_remove_weak_pointer(G_OBJECT(menu), reinterpret_cast<gpointer*>(&menu));
    ASSERT_TRUE(xdoKey("ctrl+t"));
    EXPECT_TRUE(runUntilGtk([&] { return state().isCommandBarVisible(); }, 5)) << "the keys reach the window";
}

// The history panel, opened from the hidden sidebar's menu with F10 (or by its key), slid the
// sidebar in; once the panel closed the sidebar stayed, with the page dimmed beside it, and
// neither Escape nor moving the pointer over the page took it away. It goes with the panel.
TEST_F(ShortcutsTest, TheSidebarAHistoryPanelShowedGoesWithThePanel)
{
    startWithSidebarAndHistory();
    ContentView& content = *h->root().contentView();
    SidebarHost& host = content.sidebarHost();
    FloatingSidebar& floating = content.dock().floating();
    host.setIsPinned(false);
    host.setIsSidebarVisible(false);
    ASSERT_TRUE(runUntilGtk([&] { return !floating.scrim().get_visible(); }, 5));
    auto* menuButton = findWindowMenu(content);
    ASSERT_NE(menuButton, nullptr);
    Gtk::Popover& menu = *menuButton->get_popover();
    auto allGone = [&] { return !host.isSidebarVisible() && !floating.scrim().get_visible(); };

    for (bool byMenu : {true, false}) {
        SCOPED_TRACE(byMenu ? "F10, View, Show History" : "Ctrl+Y");
        ASSERT_TRUE(waitForFrames(h->window()) && xdoMoveToWidget(content.pageArea()));
        if (byMenu) {
            ASSERT_TRUE(xdoKey("F10"));
            for (const char* label : {"View", "Show History"}) {
                // Still where it is after 150 ms: the submenu has slid in.
                Gtk::Widget* item = nullptr;
                std::pair<int, int> at{-1, -1};
                gint64 since = 0;
                ASSERT_TRUE(runUntilGtk([&] {
                    item = menu.get_mapped() ? findMenuItem(menu, label) : nullptr;
                    std::pair<int, int> now{-1, -1};
                    if (!item || !item->get_mapped() || !widgetCenter(*item, now.first, now.second))
                        return false;
                    if (now != at)
                        std::tie(at, since) = std::pair(now, g_get_monotonic_time());
                    return g_get_monotonic_time() - since > 150000;
                }, 5)) << label;
                ASSERT_TRUE(xdoClickWidget(*item)) << label;
            }
        } else {
            ASSERT_TRUE(xdoKey("ctrl+y"));
        }
        ASSERT_TRUE(runUntilGtk([&] { return state().isHistoryPanelVisible() && host.isSidebarVisible(); }, 5));
        ASSERT_TRUE(runUntilGtk([&] { return !menu.get_mapped(); }, 5));
        ASSERT_TRUE(xdoKey("Escape"));
        ASSERT_TRUE(runUntilGtk([&] { return !state().isHistoryPanelVisible(); }, 5));
        ASSERT_TRUE(xdoMoveToWidget(content.pageArea(), content.pageArea().get_width() * 0.75, 40));
        EXPECT_TRUE(runUntilGtk(allGone, 5)) << "the sidebar and the dimming stay";
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

// Keys pressed in another window of the browser acted on the hidden browser window: Ctrl+T
// opened a command bar behind the library (the typed text went nowhere), Ctrl+Y the history;
// the page extensions, the privacy sheet and the small floating window took no Ctrl+Q, and the
// floating window no Ctrl+W either, also from its page. The browser's shortcuts act only in the
// browser window; every other window takes typing, closes on its own keys and quits on Ctrl+Q.
TEST_F(ShortcutsTest, EveryOtherWindowHasItsOwnKeysAndQuits)
{
    start(defaultViewSlots());
    state().addTab(makeTab(state(), "http://127.0.0.1:9/a"));
    int quits = 0;
    h->app->commands().action("quit")->signal_activate().connect([&](const Glib::VariantBase&) { ++quits; });
    auto browserKeysStayAway = [&](const std::string& name) {
        ASSERT_TRUE(xdoKey("ctrl+t ctrl+y ctrl+alt+j"));
        settle(300);
        EXPECT_FALSE(state().isCommandBarVisible()) << name;
        EXPECT_FALSE(state().isHistoryPanelVisible()) << name;
        EXPECT_FALSE(state().isDownloadsPanelVisible()) << name;
    };
    auto quitsFrom = [&](const std::string& name) {
        const int before = quits;
        ASSERT_TRUE(xdoKey("ctrl+q"));
        EXPECT_TRUE(runUntilGtk([&] { return quits == before + 1; }, 5)) << "Ctrl+Q in " << name;
    };
    auto focusOn = [&](Gtk::Window* window) {
        return window && runUntilGtk([&] { return window->get_mapped(); }) && xdoFocusWindow(*window) &&
               waitForFrames(*window);
    };

    // The sheets: the library's search takes typing at once; Ctrl+W and Escape close them.
    const struct {
        const char* name;
        std::function<void(bool)> show;
        std::function<Gtk::Window*()> sheet;
        const char* closeKey;
    } sheets[] = {
        {"the library", [&](bool on) { state().setIsLibraryVisible(on); }, [&] { return h->root().librarySheet(); },
         "ctrl+w"},
        {"the page extensions", [&](bool on) { state().setIsExtensionsVisible(on); },
         [&] { return h->root().extensionsSheet(); }, "Escape"},
    };
    for (const auto& sheet : sheets) {
        sheet.show(true);
        ASSERT_TRUE(runUntilGtk([&] { return sheet.sheet() != nullptr; }));
        ASSERT_TRUE(focusOn(sheet.sheet())) << sheet.name;
        browserKeysStayAway(sheet.name);
        if (auto* library = dynamic_cast<LibrarySheet*>(sheet.sheet())) {
            ASSERT_TRUE(xdoType("kovi"));
            EXPECT_TRUE(runUntilGtk([&] { return library->searchEntry().get_text() == "kovi"; }));
        }
        quitsFrom(sheet.name);
        ASSERT_TRUE(xdoKey(sheet.closeKey));
        EXPECT_TRUE(runUntilGtk([&] { return sheet.sheet() == nullptr; }, 5)) << sheet.closeKey << " in " << sheet.name;
        sheet.show(false);
    }

    // The privacy sheet over the account panel.
    {
        PrivacyInfoView privacy(h->ctx().auth, h->window());
        privacy.present();
        ASSERT_TRUE(focusOn(&privacy));
        browserKeysStayAway("the privacy sheet");
        quitsFrom("the privacy sheet");
        ASSERT_TRUE(xdoKey("ctrl+w"));
        EXPECT_TRUE(runUntilGtk([&] { return !privacy.get_visible(); }, 5)) << "Ctrl+W in the privacy sheet";
    }

    // The small floating window: Ctrl+W closes it, also once its page has the keys and from the
    // page's menu, which holds the keys while open; Escape stays with the page.
    FloatingWindowController& small = h->ctx().floatingWindows->smallWindow();
    FloatingBrowserWindow& floating = h->ctx().floatingWindows->openSmallWindow(*Url::parse("http://127.0.0.1:9/small"));
    ASSERT_TRUE(focusOn(&floating));
    browserKeysStayAway("the floating window");
    quitsFrom("the floating window");
    ASSERT_TRUE(xdoClickWidget(floating.page()));
    ASSERT_TRUE(xdoKey("Escape"));
    settle(200);
    EXPECT_EQ(small.size(), 1u) << "Escape closed the floating window";
    ASSERT_TRUE(xdoClickWidget(floating.page(), 3));
    ASSERT_TRUE(runUntilGtk([&] {
        return findWidget<Gtk::Popover>(floating.page(), [](Gtk::Popover& p) { return p.get_mapped(); }) != nullptr;
    })) << "the page's menu";
    quitsFrom("the floating window's page menu");
    ASSERT_TRUE(xdoKey("ctrl+w"));
    EXPECT_TRUE(runUntilGtk([&] { return small.size() == 0; }, 5)) << "Ctrl+W in the floating window";

    // Back in the browser window its keys work again.
    ASSERT_TRUE(xdoFocusWindow(h->window()));
    ASSERT_TRUE(xdoKey("ctrl+t"));
    EXPECT_TRUE(runUntilGtk([&] { return state().isCommandBarVisible(); }, 5));
    EXPECT_EQ(state().tabs().size(), 1u);
}

} // namespace
} // namespace kovi::test
