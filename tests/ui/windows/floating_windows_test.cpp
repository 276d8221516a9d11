#include "windows_fixture.h"

#include "core/support/notification_names.h"
#include "ui/sidebar/sidebar_view.h"
#include "ui/web/space_web_session_manager.h"
#include "ui/windows/floating_windows.h"
#include "ui/windows/x11_window_placement.h"

#include <gtkmm/label.h>
#include <webkit/webkit.h>

#include <algorithm>
#include <random>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kovi::test {
namespace {

class FloatingWindowsTest : public WindowsAppTest {
protected:
    FloatingWindowController& little() { return floating().smallWindow(); }
    // Waits for the window's page to have loaded and its toolbar to show `title`.
    ::testing::AssertionResult waitForTitle(FloatingBrowserWindow& window, const std::string& title, double seconds = 20)
    {
        if (runUntilGtk([&] { return window.titleLabel().get_text().raw() == title && !window.pageState().isLoading; },
                        seconds))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the window shows \"" << window.titleLabel().get_text().raw() << "\""
                                             << (window.pageState().isLoading ? ", loading" : "") << " at "
                                             << window.pageState().currentUrl.string();
    }
    std::string evaluateIn(FloatingBrowserWindow& window, const std::string& script)
    {
        return evaluateScript(window.page().webView(), script);
    }
    Url url(const std::string& path) { return *Url::parse(server.url(path)); }
};

// "Open in Quick View" in a tab's menu used to be greyed out.
TEST_F(FloatingWindowsTest, OpenInQuickViewFromTheTabMenuOpensALittleWindowOnThePage)
{
    const Uuid a = openTab("/a");
    sidebar()->flushRefresh();
    SidebarTabRow& row = *sidebar()->tabList().topLevelRow(a);
    auto shown = [&] { return row.menu() && row.menu()->get_mapped(); };
    for (int attempt = 0; attempt < 2 && !shown(); ++attempt) {
        xdoClickWidget(row, 3);
        runUntilGtk(shown);
    }
    ASSERT_TRUE(shown());
    // The entry, as drawn in the open menu: enabled, and a click on it opens the window.
    Gtk::Widget* entry = nullptr;
    std::function<void(Gtk::Widget&)> look = [&](Gtk::Widget& widget) {
        if (auto* label = dynamic_cast<Gtk::Label*>(&widget); label && label->get_text() == "Open in Quick View")
            entry = label->get_parent();
        for (Gtk::Widget* child = widget.get_first_child(); child && !entry; child = child->get_next_sibling())
            look(*child);
    };
    look(*row.menu());
    ASSERT_TRUE(entry);
    EXPECT_TRUE(entry->get_sensitive());
    screenshotIfAsked("tab-menu-open");
    ASSERT_TRUE(xdoClickWidget(*entry));
    ASSERT_TRUE(runUntilGtk([&] { return little().size() == 1; }));

    ASSERT_EQ(little().size(), 1u);
    FloatingBrowserWindow& window = *little().window(0);
    EXPECT_EQ(window.get_title(), "Little Kovi");
    EXPECT_EQ(window.get_transient_for(), &h->window());
    EXPECT_FALSE(window.badge());
    ASSERT_TRUE(waitForTitle(window, "Alpha"));
    EXPECT_EQ(window.pageState().currentUrl, url("/a"));
    EXPECT_EQ(window.reloadButton().symbol(), "arrow.clockwise");
    EXPECT_FALSE(window.backButton().get_sensitive());
    EXPECT_TRUE(window.openInMainButton().get_sensitive());
    EXPECT_EQ(state().tabs().size(), 1u) << "the window's page belongs to no tab";
    EXPECT_GE(window.get_width(), FloatingWindowKind::minimumWidth);
    settle(200);
    screenshotIfAsked("floating-window-dark");
    h->ctx().appearance.setIsDarkMode(false);
    settle(200);
    screenshotIfAsked("floating-window-light");
}

// Sign-ins stay in their space: the window uses the session of the space it was opened from.
TEST_F(FloatingWindowsTest, ASpaceCookieReachesOnlyThatSpacesWindowsWithKovisUserAgent)
{
    const Uuid first = *state().currentSpaceId();
    const Uuid home = openTab("/set-cookie?one");
    state().createNewSpace("Work", SpaceColor::green, "briefcase");
    const Uuid work = openTab("/a");

    FloatingBrowserWindow& fromHome = floating().openSmallWindow(url("/show"), home);
    ASSERT_TRUE(waitForTitle(fromHome, "cookie=flavour=one"));
    EXPECT_EQ(evaluateIn(fromHome, "document.getElementById('agent').textContent"),
              SpaceWebSessionManager::userAgent);
    FloatingBrowserWindow& fromWork = floating().openSmallWindow(url("/show"), work);
    ASSERT_TRUE(waitForTitle(fromWork, "cookie=none"));

    // With no tab, the shown space's session.
    FloatingBrowserWindow& shownWork = floating().openQuickView(url("/show"));
    ASSERT_TRUE(waitForTitle(shownWork, "cookie=none"));
    EXPECT_TRUE(shownWork.badge()) << "the quick view's monogram";
    state().setCurrentSpaceId(first);
    FloatingBrowserWindow& shownHome = floating().openQuickView(url("/show"));
    ASSERT_TRUE(waitForTitle(shownHome, "cookie=flavour=one"));
    EXPECT_EQ(shownHome.page().spaceId(), first);
}

// Each window's buttons act on that window alone, and one kind's commands never reach the other.
TEST_F(FloatingWindowsTest, BackInOneWindowLeavesEveryOtherWindowWhereItIs)
{
    FloatingBrowserWindow& one = floating().openSmallWindow(url("/a"));
    FloatingBrowserWindow& two = floating().openSmallWindow(url("/a"));
    FloatingBrowserWindow& quick = floating().openQuickView(url("/a"));
    // Side by side, so a click meets the window it aims at.
    int x = 20;
    for (FloatingBrowserWindow* w : {&one, &two, &quick}) {
        ASSERT_TRUE(waitForWindow(*w));
        x11::moveWindow(*w, {double(x), 40});
        x += 420;
    }
    for (FloatingBrowserWindow* w : {&one, &two, &quick}) {
        ASSERT_TRUE(waitForTitle(*w, "Alpha"));
        ASSERT_EQ(evaluateIn(*w, "location.href='/a2';'ok'"), "ok");
    }
    for (FloatingBrowserWindow* w : {&one, &two, &quick}) {
        ASSERT_TRUE(waitForTitle(*w, "Alpha two"));
        ASSERT_TRUE(runUntilGtk([&] { return w->backButton().get_sensitive(); }));
    }
    ASSERT_TRUE(waitForWindow(one));
    ASSERT_TRUE(xdoClickWidget(one.backButton()));
    ASSERT_TRUE(waitForTitle(one, "Alpha"));
    EXPECT_EQ(one.pageState().currentUrl, url("/a"));
    EXPECT_TRUE(one.forwardButton().get_sensitive());
    settle(300);
    EXPECT_EQ(two.titleLabel().get_text(), "Alpha two");
    EXPECT_EQ(quick.titleLabel().get_text(), "Alpha two");

    // The other kind's command with a little window's id, or a command with no id: nothing.
    h->ctx().notifications.post(notifications::quickViewGoBack, two.id());
    h->ctx().notifications.post(notifications::smallWindowGoBack);
    h->ctx().notifications.post(notifications::smallWindowGoBack, quick.id());
    settle(400);
    EXPECT_EQ(two.pageState().currentUrl, url("/a2"));
    EXPECT_EQ(quick.pageState().currentUrl, url("/a2"));

    // Reload reaches one window's page only.
    const std::size_t before = requestsFor("/a2");
    h->ctx().notifications.post(notifications::quickViewReload, quick.id());
    ASSERT_TRUE(runUntilGtk([&] { return requestsFor("/a2") == before + 1; }));
    settle(300);
    EXPECT_EQ(requestsFor("/a2"), before + 1);
}

TEST_F(FloatingWindowsTest, OpenInMainWindowOpensThePageAsATabOfTheShownSpace)
{
    const Uuid first = *state().currentSpaceId();
    const Uuid tab = openTab("/b");
    FloatingBrowserWindow& window = floating().openSmallWindow(url("/a"), tab);
    ASSERT_TRUE(waitForTitle(window, "Alpha"));
    state().createNewSpace("Work", SpaceColor::green, "briefcase");
    const Uuid work = *state().currentSpaceId();
    ASSERT_NE(work, first);
    ASSERT_TRUE(xdoClickWidget(window.openInMainButton()));
    ASSERT_TRUE(runUntilGtk([&] { return state().activeTab() && state().activeTab()->url == url("/a"); }));
    EXPECT_EQ(state().activeTab()->spaceId, work);
    EXPECT_EQ(little().size(), 1u) << "the window stays open";
}

// A closed window is gone at once with its page: nothing of it keeps running or asking.
TEST_F(FloatingWindowsTest, ClosingAWindowStopsItsPageAtOnce)
{
    FloatingBrowserWindow& ticking = floating().openSmallWindow(url("/tick"));
    ASSERT_TRUE(runUntilGtk([&] { return requestsFor("/ping") >= 3; }));
    GObject* view = G_OBJECT(ticking.page().webView());
    g_object_add_weak_pointer(view, reinterpret_cast<gpointer*>(&view));
    ticking.close(); // as the window's close button does
    EXPECT_EQ(little().size(), 0u);
    EXPECT_FALSE(view) << "the page's view is destroyed at once";
    settle(300);
    const std::size_t pings = requestsFor("/ping");
    settle(1200);
    EXPECT_EQ(requestsFor("/ping"), pings);
}

TEST_F(FloatingWindowsTest, APageThatNeverAnswersCanBeStoppedAndClosed)
{
    FloatingBrowserWindow& window = floating().openSmallWindow(url("/hang"));
    ASSERT_TRUE(waitForWindow(window));
    ASSERT_TRUE(runUntilGtk([&] { return requestsFor("/hang") == 1; }));
    settle(300);
    EXPECT_EQ(window.titleLabel().get_text(), "Loading...");
    EXPECT_TRUE(window.pageState().isLoading);
    EXPECT_EQ(window.reloadButton().symbol(), "xmark");
    ASSERT_TRUE(xdoClickWidget(window.reloadButton()));
    ASSERT_TRUE(runUntilGtk([&] { return !window.pageState().isLoading; }));
    EXPECT_EQ(window.reloadButton().symbol(), "arrow.clockwise");
    window.close();
    EXPECT_EQ(little().size(), 0u);
}

// A loopback address where nothing listens: connecting to it fails at once.
std::string refusedUrl()
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/gone";
}

// Bug: the title stayed "Loading..." for a page without a title, with an empty one or one that
// failed to load, and going back to such a page left it blank.
TEST_F(FloatingWindowsTest, TheTitleFollowsEveryPageAlsoBackAndForward)
{
    server.on("/untitled", LoopbackServer::Reply{200, "<html><head></head><body><h1>No title</h1></body></html>",
                                                 "text/html"});
    server.on("/empty-title", LoopbackServer::Reply{
                                  200, "<html><head><title></title></head><body><h1>Empty title</h1></body></html>",
                                  "text/html"});
    const std::string failed = "This page couldn\u2019t load";
    FloatingBrowserWindow& window = floating().openSmallWindow(url("/untitled"));
    ASSERT_TRUE(waitForTitle(window, "Untitled"));
    auto go = [&](const std::string& address) { ASSERT_EQ(evaluateIn(window, "location.href='" + address + "';'ok'"), "ok"); };
    go(url("/empty-title").string());
    ASSERT_TRUE(waitForTitle(window, ""));
    go(url("/c").string());
    ASSERT_TRUE(waitForTitle(window, "Gamma"));
    go(refusedUrl());
    ASSERT_TRUE(waitForTitle(window, failed));

    // Back and forward with the window's own buttons.
    ASSERT_TRUE(xdoFocusWindow(window));
    for (const char* title : {"Gamma", "", "Untitled"}) {
        ASSERT_TRUE(runUntilGtk([&] { return window.backButton().get_sensitive(); }));
        ASSERT_TRUE(xdoClickWidget(window.backButton()));
        ASSERT_TRUE(waitForTitle(window, title)) << "back to \"" << title << "\"";
        settle(200); // a late report would change it
        EXPECT_EQ(window.titleLabel().get_text().raw(), title);
    }
    for (const std::string& title : {std::string(""), std::string("Gamma"), failed}) {
        ASSERT_TRUE(runUntilGtk([&] { return window.forwardButton().get_sensitive(); }));
        ASSERT_TRUE(xdoClickWidget(window.forwardButton()));
        ASSERT_TRUE(waitForTitle(window, title)) << "forward to \"" << title << "\"";
    }
}

TEST_F(FloatingWindowsTest, TwentyWindowsClosedInAnyOrderLeaveNothingBehind)
{
    std::vector<FloatingBrowserWindow*> windows;
    std::vector<GObject*> views;
    for (int i = 0; i < 20; ++i) {
        FloatingBrowserWindow& w = i % 2 ? floating().openQuickView(url("/c")) : floating().openSmallWindow(url("/c"));
        windows.push_back(&w);
        views.push_back(G_OBJECT(w.page().webView()));
    }
    for (GObject*& view : views)
        g_object_add_weak_pointer(view, reinterpret_cast<gpointer*>(&view));
    EXPECT_EQ(little().size() + floating().quickView().size(), 20u);
    std::mt19937 random(12);
    std::shuffle(windows.begin(), windows.end(), random);
    for (std::size_t i = 0; i < windows.size(); ++i) {
        windows[i]->close();
        if (i % 5 == 0)
            settle(30);
    }
    EXPECT_EQ(little().size() + floating().quickView().size(), 0u);
    // The toolkit lets go of a closed window's last widgets over the next frames.
    EXPECT_TRUE(runUntilGtk([&] { return std::all_of(views.begin(), views.end(), [](GObject* v) { return !v; }); }));
    // Another one opens as usual afterwards.
    FloatingBrowserWindow& again = floating().openSmallWindow(url("/c"));
    EXPECT_TRUE(waitForTitle(again, "Gamma"));
}

TEST_F(FloatingWindowsTest, ClosingTheMainWindowClosesEveryFloatingWindow)
{
    floating().openSmallWindow(url("/tick"));
    floating().openQuickView(url("/tick"));
    ASSERT_TRUE(runUntilGtk([&] { return requestsFor("/ping") >= 4; }));
    h->window().hide(); // as the application sees the window go
    EXPECT_EQ(little().size(), 0u);
    EXPECT_EQ(floating().quickView().size(), 0u);
    settle(300);
    const std::size_t pings = requestsFor("/ping");
    settle(1200);
    EXPECT_EQ(requestsFor("/ping"), pings) << "nothing keeps running";

    // A window closed by its close button is destroyed without being hidden first.
    Gtk::Window* parent = new Gtk::Window();
    parent->present();
    ASSERT_TRUE(waitForWindow(*parent));
    FloatingWindowController own(FloatingWindowKind::smallWindow, h->ctx(), [&parent] { return parent; });
    own.open(url("/c"));
    own.open(url("/c"));
    ASSERT_EQ(own.size(), 2u);
    parent->close();
    EXPECT_EQ(own.size(), 0u);
    parent = nullptr;
}

// On X11 the quick view opens at the pointer, kept 20 px inside the screen's right and bottom
// edges; a little window opens in the middle of the screen.
TEST_F(FloatingWindowsTest, TheQuickViewOpensAtThePointerAndTheLittleWindowInTheMiddle)
{
    auto origin = [](Gtk::Window& window) {
        int x = 0, y = 0;
        runUntilGtk([&] { return window.get_mapped() && window.get_width() > 0; });
        widgetPoint(window, 0, 0, x, y);
        return std::pair<int, int>{x, y};
    };
    ASSERT_TRUE(xdoMoveTo(300, 200));
    FloatingBrowserWindow& atPointer = floating().openQuickView(url("/c"));
    EXPECT_EQ(origin(atPointer), (std::pair<int, int>{300, 220}));

    ASSERT_TRUE(xdoMoveTo(1200, 950));
    FloatingBrowserWindow& nearCorner = floating().openQuickView(url("/c"));
    EXPECT_EQ(origin(nearCorner), (std::pair<int, int>{1280 - 520, 1024 - 20 - 420}));

    FloatingBrowserWindow& middle = floating().openSmallWindow(url("/c"));
    EXPECT_EQ(origin(middle), (std::pair<int, int>{(1280 - 480) / 2, (1024 - 400) / 2}));
}

} // namespace
} // namespace kovi::test
