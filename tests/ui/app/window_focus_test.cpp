// Where the keyboard focus of the main window goes: where typing is expected and the window's
// keys work (the page, the start page's field, the newest open panel), never onto the window's
// own buttons unless the user tabs there, and never nowhere after its widget went away.
#include "app_fixture.h"

#include "support/loopback_server.h"
#include "ui/ai/ai_chat_panel.h"
#include "ui/app/window_focus.h"
#include "ui/commandbar/command_bar_view.h"
#include "ui/layouts/content_view.h"
#include "ui/layouts/empty_state_view.h"
#include "ui/layouts/page_area.h"
#include "ui/layouts/panel_overlays.h"
#include "ui/layouts/traditional_browser_view.h"
#include "ui/library/history_panel.h"
#include "ui/library/message_alert.h"
#include "ui/sidebar/sidebar_rows.h"
#include "ui/sidebar/sidebar_view.h"
#include "ui/sidebar/top_bar.h"
#include "ui/web/web_content.h"

#include <adwaita.h>
#include <gtkmm/menubutton.h>
#include <gtkmm/popover.h>
#include <gtkmm/windowcontrols.h>

#include <filesystem>
#include <tuple>

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
    // The shown page (of either layout) has the keyboard.
    bool pageHasFocus()
    {
        PageArea* area = h->root().pageArea();
        Gtk::Widget* page = area ? area->shownPage() : nullptr;
        return page && inside(focus(), *page);
    }
    bool layerHasFocus(OverlayLayer& layer) { return layer.isPresented() && layer.contains(focus()); }
    // The topmost widget at the middle of `widget`, as the pointer would find it.
    Gtk::Widget* pickedAtMiddleOf(Gtk::Widget& widget)
    {
        graphene_point_t middle{float(widget.get_width()) / 2, float(widget.get_height()) / 2}, at{};
        if (!gtk_widget_compute_point(widget.gobj(), GTK_WIDGET(h->window().gobj()), &middle, &at))
            return nullptr;
        return h->window().pick(at.x, at.y);
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

// A tab restored at start-up has no page until the window has painted once, so the toolkit's own
// pick, the sidebar's first button, kept the keys: Space hid the sidebar instead of scrolling.
TEST(WindowFocusAtStart, TheRestoredPageTakesTheKeysOnceItIsMade)
{
    TempDir dir;
    {
        BrowserCore core({.dataDirectory = dir.path() + "/data",
                          .defaultsPath = dir.path() + "/config/defaults.json",
                          .updateFeedUrl = "http://127.0.0.1:9/"});
        core.auth().continueAsGuest();
        core.preferences().set(prefs::hasCompletedOnboarding, true);
        core.state().addTab(makeTab(core.state(), "http://127.0.0.1:9/restored"));
        core.state().saveState();
    }
    AppHarness h(dir.path(), std::nullopt, false, defaultViewSlots());
    ASSERT_TRUE(runUntilGtk([&] { return h.root().screen() == MainBrowserView::Screen::browser; }));
    auto pageHasFocus = [&] {
        PageArea* area = h.root().pageArea();
        Gtk::Widget* page = area ? area->shownPage() : nullptr;
        Gtk::Widget* focus = h.window().get_focus();
        return page && focus && focus->is_ancestor(*page);
    };
    EXPECT_TRUE(runUntilGtk(pageHasFocus));
    SidebarHost& sidebar = h.root().contentView()->sidebarHost();
    const bool pinned = sidebar.isPinned();
    ASSERT_TRUE(xdoFocusWindow(h.window()));
    ASSERT_TRUE(xdoKey("space"));
    settle(300);
    EXPECT_EQ(sidebar.isPinned(), pinned) << "Space hid the sidebar";
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

// A tab opened only to reach a download closes when the download starts. Its page had the
// keyboard, which went with it: no shortcut worked until a click into the window.
TEST_F(WindowFocusTest, ADownloadThatClosesItsTabLeavesTheKeysWorking)
{
    LoopbackServer server;
    server.on("/page", LoopbackServer::Reply{200, "<html><body>page</body></html>", "text/html"});
    server.on("/report.bin", LoopbackServer::Reply{200, std::string(4096, 'x'), "application/octet-stream",
                                                    {{"Content-Disposition", "attachment; filename=report.bin"}}});
    state().addTab(makeTab(state(), server.url("/page")));
    ASSERT_TRUE(runUntilGtk([&] { return pageHasFocus(); }));
    std::size_t mostTabs = 0;
    struct Counting {
        sigc::connection connection;
        ~Counting() { connection.disconnect(); }
    } counting{state().tabsChanged.connect([&] { mostTabs = std::max(mostTabs, state().tabs().size()); })};

    ASSERT_TRUE(xdoKey("ctrl+t"));
    OverlayLayer& barLayer = content().panels().commandBarLayer();
    ASSERT_TRUE(runUntilGtk([&] { return layerHasFocus(barLayer); }));
    ASSERT_TRUE(xdoType(server.url("/report.bin")));
    ASSERT_TRUE(xdoKey("Return"));
    ASSERT_TRUE(runUntilGtk([&] { return !state().downloads().empty() && mostTabs == 2 && state().tabs().size() == 1; }, 30))
        << "the download's tab opens and closes";
    // The downloads panel shows the download, with the keyboard; closed, the page has it.
    ASSERT_TRUE(runUntilGtk([&] { return layerHasFocus(content().panels().downloadsLayer()); }));
    ASSERT_TRUE(xdoKey("Escape"));
    ASSERT_TRUE(runUntilGtk([&] { return !state().isDownloadsPanelVisible(); })) << "Escape after the download";
    EXPECT_TRUE(runUntilGtk([&] { return pageHasFocus(); }));
    for (bool visible : {true, false}) {
        ASSERT_TRUE(xdoKey("ctrl+alt+j"));
        ASSERT_TRUE(runUntilGtk([&] { return state().isDownloadsPanelVisible() == visible; })) << "Ctrl+Alt+J";
    }
    ASSERT_TRUE(xdoKey("ctrl+t"));
    ASSERT_TRUE(runUntilGtk([&] { return state().isCommandBarVisible(); })) << "Ctrl+T after the download";
}

// After an item of the window's menu ran (the bookmarks bar coming in moves the page), the
// keyboard was nowhere: Ctrl+T did nothing until a click into the window.
TEST_F(WindowFocusTest, TheKeysWorkAtOnceAfterAMenuItemRan)
{
    state().addTab(makeTab(state(), "http://127.0.0.1:9/a"));
    ASSERT_TRUE(runUntilGtk([&] { return pageHasFocus(); }));
    auto windowMenu = [&] { return findWindowMenu(h->window(), true); };
    auto menuOpen = [&] { return windowMenu() && windowMenu()->get_popover()->get_mapped(); };
    for (BrowserLayoutMode mode : {BrowserLayoutMode::vertical, BrowserLayoutMode::traditional}) {
        SCOPED_TRACE(mode == BrowserLayoutMode::vertical ? "sidebar layout" : "horizontal layout");
        state().setLayoutMode(mode);
        ASSERT_TRUE(runUntilGtk([&] { return windowMenu() && pageHasFocus(); }));
        const bool barShown = h->ctx().preferences.get(prefs::showBookmarksBar);
        ASSERT_TRUE(waitForFrames(*windowMenu()) && xdoClickWidget(*windowMenu()));
        ASSERT_TRUE(runUntilGtk(menuOpen));
        for (const char* label : {"Bookmarks", "Toggle Bookmarks Bar"}) {
            Gtk::Widget* item = findMenuItem(*windowMenu()->get_popover(), label);
            ASSERT_TRUE(item && runUntilGtk([&] { return item->get_mapped() && item->get_width() > 0; }));
            ASSERT_TRUE(waitForFrames(*item) && xdoClickWidget(*item)) << label;
        }
        ASSERT_TRUE(runUntilGtk([&] { return h->ctx().preferences.get(prefs::showBookmarksBar) != barShown; }));
        ASSERT_TRUE(runUntilGtk([&] { return !menuOpen(); }));

        ASSERT_TRUE(xdoKey("ctrl+t"));
        ASSERT_TRUE(runUntilGtk([&] { return state().isCommandBarVisible(); })) << "Ctrl+T after the menu";
        PanelOverlays& panels = mode == BrowserLayoutMode::vertical ? content().panels()
                                                                     : h->root().traditionalView()->panels();
        CommandBarView* bar = nullptr;
        ASSERT_TRUE(runUntilGtk([&] {
            bar = dynamic_cast<CommandBarView*>(panels.commandBarLayer().content());
            return bar && bar->get_mapped();
        }));
        ASSERT_TRUE(xdoType("kovi"));
        EXPECT_TRUE(runUntilGtk([&] { return bar->searchField().get_text() == "kovi"; })) << "typed into the bar";
        ASSERT_TRUE(xdoKey("Escape"));
        ASSERT_TRUE(runUntilGtk([&] { return !state().isCommandBarVisible() && pageHasFocus(); }));
    }
}

// Text typed right after Ctrl+Y went to the page; it searches the history.
TEST_F(WindowFocusTest, TypingAfterCtrlYSearchesTheHistory)
{
    state().addTab(makeTab(state(), "http://127.0.0.1:9/a"));
    ASSERT_TRUE(runUntilGtk([&] { return pageHasFocus(); }));
    ASSERT_TRUE(xdoKey("ctrl+y"));
    HistoryPanel* panel = nullptr;
    ASSERT_TRUE(runUntilGtk([&] {
        panel = dynamic_cast<HistoryPanel*>(content().panels().historyLayer().content());
        return panel && panel->get_mapped();
    }));
    ASSERT_TRUE(xdoType("kovi"));
    EXPECT_TRUE(runUntilGtk([&] { return panel->searchEntry().get_text() == "kovi"; }))
        << "typed: \"" << panel->searchEntry().get_text() << "\"";
}

// Ctrl+T with the downloads panel open put the command bar beneath the panel, where the typed
// text went nowhere. The newest panel is on top with the keyboard; Escape closes it and the
// keyboard goes back to the panel below, then to the page.
TEST_F(WindowFocusTest, TheNewestPanelIsOnTopWithTheKeysAndEscapeGoesBackDown)
{
    state().addTab(makeTab(state(), "http://127.0.0.1:9/a"));
    ASSERT_TRUE(runUntilGtk([&] { return pageHasFocus(); }));
    PanelOverlays& panels = content().panels();
    ASSERT_TRUE(xdoKey("ctrl+alt+j"));
    ASSERT_TRUE(runUntilGtk([&] { return layerHasFocus(panels.downloadsLayer()); }));

    ASSERT_TRUE(xdoKey("ctrl+t"));
    CommandBarView* bar = nullptr;
    ASSERT_TRUE(runUntilGtk([&] {
        bar = dynamic_cast<CommandBarView*>(panels.commandBarLayer().content());
        return bar && bar->get_mapped();
    })) << "Ctrl+T opens the bar over the panel";
    ASSERT_TRUE(xdoType("kovi"));
    EXPECT_TRUE(runUntilGtk([&] { return bar->searchField().get_text() == "kovi"; }))
        << "typed: \"" << bar->searchField().get_text() << "\"";
    EXPECT_TRUE(state().isDownloadsPanelVisible());
    EXPECT_EQ(h->root().topLayer(), &panels.commandBarLayer());
    ASSERT_TRUE(waitForFrames(h->window()));
    Gtk::Widget* picked = pickedAtMiddleOf(bar->searchField());
    EXPECT_TRUE(picked && inside(picked, *bar)) << "the bar lies over the panel's scrim";
    screenshotIfAsked("command-bar-over-downloads");

    ASSERT_TRUE(xdoKey("Escape"));
    ASSERT_TRUE(runUntilGtk([&] { return !state().isCommandBarVisible(); }));
    EXPECT_TRUE(state().isDownloadsPanelVisible());
    EXPECT_TRUE(runUntilGtk([&] { return layerHasFocus(panels.downloadsLayer()); })) << "back to the panel below";
    ASSERT_TRUE(xdoKey("Escape"));
    ASSERT_TRUE(runUntilGtk([&] { return !state().isDownloadsPanelVisible(); }));
    EXPECT_TRUE(runUntilGtk([&] { return pageHasFocus(); })) << "back to the page";
}

// On a busy machine the command bar opened again while its last showing still faded out took
// the keys before its layer counted as shown, so the layer never knew where its keys were:
// brought back over the history later, it gave them to nothing and the typing was lost.
TEST_F(WindowFocusTest, APanelOpenedAgainWhileItFadesOutGetsItsKeysBackFromBeneathAnother)
{
    PanelOverlays& panels = content().panels();
    auto bar = [&] { return dynamic_cast<CommandBarView*>(panels.commandBarLayer().content()); };
    auto barHasKeys = [&] { return bar() && bar()->get_mapped() && layerHasFocus(panels.commandBarLayer()); };
    ASSERT_TRUE(xdoKey("ctrl+t"));
    ASSERT_TRUE(runUntilGtk(barHasKeys));
    state().setIsCommandBarVisible(false);
    state().setIsCommandBarVisible(true);
    ASSERT_TRUE(runUntilGtk(barHasKeys));
    ASSERT_TRUE(xdoType("kovi"));
    ASSERT_TRUE(runUntilGtk([&] { return bar()->searchField().get_text() == "kovi"; }));
    ASSERT_TRUE(xdoKey("ctrl+y"));
    ASSERT_TRUE(runUntilGtk([&] { return layerHasFocus(panels.historyLayer()); }));
    ASSERT_TRUE(xdoKey("ctrl+t"));
    ASSERT_TRUE(runUntilGtk(barHasKeys));
    ASSERT_TRUE(xdoType("!"));
    EXPECT_TRUE(runUntilGtk([&] { return bar()->searchField().get_text() == "!"; }))
        << "typed over the selected text: \"" << bar()->searchField().get_text() << "\"";
}

// The downloads panel, opening by itself when a download started, came over the command bar the
// user was typing in and took the keys: the rest of the address, its Return and a fresh Ctrl+T
// reached nothing. It waits until the bar has closed; Ctrl+T brings the bar back over it.
TEST_F(WindowFocusTest, ADownloadStartingWhileTheUserTypesInTheCommandBarWaitsForTheBar)
{
    LoopbackServer server;
    for (const char* name : {"/one.bin", "/two.bin"})
        server.on(name, LoopbackServer::Reply{200, std::string(4096, 'x'), "application/octet-stream",
                                              {{"Content-Disposition", std::string("attachment; filename=") + (name + 1)}}});
    PanelOverlays& panels = content().panels();
    auto bar = [&] { return dynamic_cast<CommandBarView*>(panels.commandBarLayer().content()); };
    auto barHasKeys = [&] { return bar() && bar()->get_mapped() && layerHasFocus(panels.commandBarLayer()); };
    ASSERT_TRUE(xdoKey("ctrl+t"));
    ASSERT_TRUE(runUntilGtk(barHasKeys));
    ASSERT_TRUE(xdoType(server.url("/one.bin")));
    ASSERT_TRUE(xdoKey("Return"));
    ASSERT_TRUE(runUntilGtk([&] { return !state().isCommandBarVisible(); }));
    ASSERT_TRUE(xdoKey("ctrl+t"));
    ASSERT_TRUE(runUntilGtk(barHasKeys));
    ASSERT_TRUE(runUntilGtk([&] { return state().downloads().size() == 1; }, 30)) << "the first download starts";
    settle(300);
    EXPECT_FALSE(state().isDownloadsPanelVisible()) << "over the bar being typed in";
    ASSERT_TRUE(xdoType(server.url("/two.bin")));
    EXPECT_TRUE(runUntilGtk([&] { return bar() && std::string(bar()->searchField().get_text()) == server.url("/two.bin"); }))
        << "typed: \"" << (bar() ? std::string(bar()->searchField().get_text()) : "") << "\"";
    ASSERT_TRUE(xdoKey("Return"));
    ASSERT_TRUE(runUntilGtk([&] { return state().downloads().size() == 2; }, 30)) << "the second address was opened";
    EXPECT_TRUE(runUntilGtk([&] { return layerHasFocus(panels.downloadsLayer()); })) << "then the panel shows";

    ASSERT_TRUE(xdoKey("ctrl+t"));
    ASSERT_TRUE(runUntilGtk(barHasKeys)) << "Ctrl+T over the panel";
    ASSERT_TRUE(xdoType("kovi"));
    EXPECT_TRUE(runUntilGtk([&] { return bar()->searchField().get_text() == "kovi"; }));
    EXPECT_TRUE(state().isDownloadsPanelVisible());
    // The bar open beneath another panel: Ctrl+T brings it back on top with the keys.
    ASSERT_TRUE(xdoKey("ctrl+y"));
    ASSERT_TRUE(runUntilGtk([&] { return layerHasFocus(panels.historyLayer()); }));
    ASSERT_TRUE(xdoKey("ctrl+t"));
    ASSERT_TRUE(runUntilGtk(barHasKeys)) << "Ctrl+T with the bar beneath the history";
    ASSERT_TRUE(xdoType("!"));
    EXPECT_TRUE(runUntilGtk([&] { return bar()->searchField().get_text() == "!"; })) << "typed over the selected text: \"" << bar()->searchField().get_text() << "\"";
    EXPECT_EQ(h->root().topLayer(), &panels.commandBarLayer());
    ASSERT_TRUE(waitForFrames(h->window()));
    Gtk::Widget* picked = pickedAtMiddleOf(bar()->searchField());
    EXPECT_TRUE(picked && inside(picked, *bar())) << "the bar lies over the history's scrim";

    // From the window's open menu, which holds the keys over any panel: the menu closes.
    ASSERT_TRUE(xdoKey("Escape"));
    ASSERT_TRUE(runUntilGtk([&] { return !state().isCommandBarVisible(); }));
    auto* menuButton = findWindowMenu(content(), true);
    ASSERT_NE(menuButton, nullptr);
    ASSERT_TRUE(xdoKey("F10"));
    ASSERT_TRUE(runUntilGtk([&] { return focus() && focus()->is_ancestor(*menuButton->get_popover()); }));
    ASSERT_TRUE(xdoKey("ctrl+t"));
    ASSERT_TRUE(runUntilGtk(barHasKeys)) << "Ctrl+T from the menu";
    EXPECT_TRUE(runUntilGtk([&] { return !menuButton->get_popover()->get_visible(); }));
    ASSERT_TRUE(xdoType("kovi"));
    EXPECT_TRUE(runUntilGtk([&] { return bar()->searchField().get_text() == "kovi"; }))
        << "typed: \"" << bar()->searchField().get_text() << "\"";
}

// A page's menu and a list's choices hold the keyboard while open, and the window's shortcuts did
// not reach them: Ctrl+T, Ctrl+Q and the rest did nothing until the popup was closed. Each
// shortcut works there as over the page, and the popup closes when a panel comes over it.
TEST_F(WindowFocusTest, TheWindowsShortcutsWorkWhileAPagesMenuOrListIsOpen)
{
    LoopbackServer server;
    server.on("/menus", LoopbackServer::Reply{200, "<!doctype html><title>Menus</title><body style='margin:0'>"
                                                   "<select style='font-size:40px;width:300px'><option>one<option>two</select>"
                                                   "<p style='height:600px'>text</p>", "text/html", {}});
    const Uuid tab = h->openLoaded(server.url("/menus"), "Menus");
    auto* view = Glib::wrap(GTK_WIDGET(h->ctx().web->pool().webView(tab)));
    ASSERT_TRUE(runUntilGtk([&] { return view->get_mapped() && pageHasFocus(); }));
    PanelOverlays& panels = content().panels();
    auto bar = [&] { return dynamic_cast<CommandBarView*>(panels.commandBarLayer().content()); };
    auto popupOpen = [&] {
        return findWidget<Gtk::Popover>(*view, [](Gtk::Popover& p) { return p.get_mapped(); }) != nullptr;
    };
    // A right-click on the page's text opens its menu; a click on the list its choices.
    for (const auto& [button, x, y] : {std::tuple{3, 150.0, 300.0}, std::tuple{1, 100.0, 25.0}}) {
        SCOPED_TRACE(button == 3 ? "the page's menu" : "the list's choices");
        ASSERT_TRUE(waitForFrames(*view) && xdoClickWidget(*view, button, x, y));
        ASSERT_TRUE(runUntilGtk(popupOpen));
        ASSERT_TRUE(xdoKey("ctrl+t"));
        ASSERT_TRUE(runUntilGtk([&] { return bar() && bar()->get_mapped() && layerHasFocus(panels.commandBarLayer()); }))
            << "Ctrl+T over the popup";
        EXPECT_TRUE(runUntilGtk([&] { return !popupOpen(); }));
        ASSERT_TRUE(xdoType("kovi"));
        EXPECT_TRUE(runUntilGtk([&] { return bar()->searchField().get_text() == "kovi"; }))
            << "typed: \"" << bar()->searchField().get_text() << "\"";
        ASSERT_TRUE(xdoKey("Escape"));
        ASSERT_TRUE(runUntilGtk([&] { return !state().isCommandBarVisible() && pageHasFocus(); }));
    }
}

// A save that failed while the user typed in the command bar raised its alert there: the alert
// took the typing and the Escape meant for the bar dismissed it, unseen. It comes once the bar
// has closed.
TEST_F(WindowFocusTest, AnAlertRaisedWhileTheUserTypesComesOnceTheyStop)
{
    auto alertOpen = [&] { return h->app->stateSaveAlert() && h->app->stateSaveAlert()->isOpen(); };
    PanelOverlays& panels = content().panels();
    auto bar = [&] { return dynamic_cast<CommandBarView*>(panels.commandBarLayer().content()); };
    ASSERT_TRUE(xdoKey("ctrl+t"));
    ASSERT_TRUE(runUntilGtk([&] { return bar() && layerHasFocus(panels.commandBarLayer()); }));
    const std::string historyFile = dir.path() + "/data/history.json";
    std::filesystem::remove(historyFile);
    std::filesystem::create_directories(historyFile);
    state().saveHistory();
    ASSERT_FALSE(state().saveFailures().empty());
    ASSERT_TRUE(xdoType("kovi"));
    EXPECT_TRUE(runUntilGtk([&] { return bar()->searchField().get_text() == "kovi"; }))
        << "typed: \"" << bar()->searchField().get_text() << "\"";
    EXPECT_FALSE(alertOpen()) << "over the bar being typed in";
    ASSERT_TRUE(xdoKey("Escape"));
    ASSERT_TRUE(runUntilGtk([&] { return !state().isCommandBarVisible(); }));
    ASSERT_TRUE(runUntilGtk(alertOpen)) << "once the bar has closed";
    EXPECT_NE(std::string(adw_message_dialog_get_body(h->app->stateSaveAlert()->dialog())).find("Your history could not be saved"),
              std::string::npos);
    adw_message_dialog_response(h->app->stateSaveAlert()->dialog(), "ok");
}

// After the AI settings closed over the chat, the typed text went to the start page's field and
// opened a search tab; the keyboard goes back to the chat's field. With the chat open, Ctrl+T
// did nothing and the address typed next went to the chat (Enter sent it to the provider); Ctrl+Y
// and Ctrl+Alt+J did nothing either. Each opens its panel over the chat, with the keys, and the
// keys go back to the chat when it closes.
TEST_F(WindowFocusTest, PanelsOpenOverTheChatAndGiveTheKeysBackToIt)
{
    ASSERT_TRUE(xdoKey("ctrl+shift+a"));
    AIChatPanel* chat = nullptr;
    ASSERT_TRUE(runUntilGtk([&] {
        chat = dynamic_cast<AIChatPanel*>(h->root().aiChatLayer().content());
        return chat && inside(focus(), chat->input());
    }));
    ASSERT_TRUE(xdoType("hello"));
    ASSERT_TRUE(runUntilGtk([&] { return chat->input().text() == "hello"; }));

    h->app->commands().activate("toggle-max-settings");
    ASSERT_TRUE(runUntilGtk([&] { return layerHasFocus(h->root().aiSettingsLayer()); }));
    ASSERT_TRUE(xdoKey("Escape"));
    ASSERT_TRUE(runUntilGtk([&] { return !state().isKoviMaxSettingsVisible(); }));
    ASSERT_TRUE(xdoType(" there"));
    EXPECT_TRUE(runUntilGtk([&] { return chat->input().text() == "hello there"; }))
        << "typed: \"" << chat->input().text() << "\"";

    PanelOverlays& panels = content().panels();
    const struct {
        const char* keys;
        OverlayLayer& layer;
    } openers[] = {{"ctrl+t", panels.commandBarLayer()}, {"ctrl+y", panels.historyLayer()},
                   {"ctrl+alt+j", panels.downloadsLayer()}};
    for (const auto& opener : openers) {
        ASSERT_TRUE(xdoKey(opener.keys));
        ASSERT_TRUE(runUntilGtk([&] { return layerHasFocus(opener.layer); })) << opener.keys;
        EXPECT_EQ(h->root().topLayer(), &opener.layer) << opener.keys;
        ASSERT_TRUE(waitForFrames(h->window()));
        Gtk::Widget* picked = pickedAtMiddleOf(*opener.layer.content());
        EXPECT_TRUE(picked && inside(picked, *opener.layer.content())) << opener.keys << ": not on top";
        if (auto* bar = dynamic_cast<CommandBarView*>(opener.layer.content())) {
            ASSERT_TRUE(xdoType("kovi"));
            EXPECT_TRUE(runUntilGtk([&] { return bar->searchField().get_text() == "kovi"; }));
            screenshotIfAsked("command-bar-over-chat");
        }
        ASSERT_TRUE(xdoKey("Escape"));
        ASSERT_TRUE(runUntilGtk([&] { return !opener.layer.isPresented(); })) << opener.keys;
        EXPECT_TRUE(state().isAIChatVisible()) << opener.keys;
        EXPECT_TRUE(runUntilGtk([&] { return inside(focus(), chat->input()); })) << "back to the chat after " << opener.keys;
    }
    ASSERT_TRUE(xdoType("!"));
    EXPECT_TRUE(runUntilGtk([&] { return chat->input().text() == "hello there!"; }))
        << "typed: \"" << chat->input().text() << "\"";
    EXPECT_TRUE(state().tabs().empty());
}

// After Ctrl+Shift+L the new layout's space capsule had the focus, with its ring. The page has
// it, without a ring, after a switch either way.
TEST_F(WindowFocusTest, ALayoutSwitchLeavesTheFocusOnThePageWithoutARing)
{
    state().addTab(makeTab(state(), "http://127.0.0.1:9/a"));
    ASSERT_TRUE(runUntilGtk([&] { return pageHasFocus(); }));
    for (BrowserLayoutMode mode : {BrowserLayoutMode::traditional, BrowserLayoutMode::vertical}) {
        SCOPED_TRACE(mode == BrowserLayoutMode::vertical ? "to the sidebar layout" : "to the horizontal layout");
        ASSERT_TRUE(xdoKey("ctrl+shift+l"));
        ASSERT_TRUE(runUntilGtk([&] { return state().layoutMode() == mode && h->root().pageArea(); }));
        EXPECT_TRUE(runUntilGtk([&] { return pageHasFocus(); }));
        ASSERT_TRUE(waitForFrames(h->window()));
        EXPECT_TRUE(pageHasFocus()) << "kept";
        EXPECT_FALSE(h->window().get_focus_visible()) << "a focus ring shows";
        screenshotIfAsked(mode == BrowserLayoutMode::vertical ? "switched-to-sidebar" : "switched-to-horizontal");
    }
}

} // namespace
} // namespace kovi::test
