// Live pages in pooled views: what the page reports reaches the tab, commands reach only their
// own tab, and switching tabs keeps each page alive.
#include "web_test_fixture.h"

#include "core/commandbar/omnibox_ranking.h"
#include "core/support/notification_names.h"
#include "ui/web/web_view_container.h"
#include "ui/web/web_view_coordinator.h"
#include "ui/web/web_view_representable.h"

#include <gtkmm/widget.h>
#include <webkit/webkit.h>

namespace kovi::test {
namespace {

class WebViewCoordinatorTest : public WebFixture {
protected:
    WebViewCoordinatorTest()
    {
        server.on("/one", html(page("Page One", "<a id=next href='/two'>two</a>")));
        server.on("/two", html(page("Page Two")));
        server.on("/redirect", LoopbackServer::Reply{302, "", "text/plain", {{"Location", "/two"}}});
        server.on("/untitled", html("<!doctype html><body>no title</body>"));
    }
};

TEST_F(WebViewCoordinatorTest, LoadReportsTitleFinalAddressAndProgress)
{
    Uuid id = openTab(server.url("/redirect"));
    show(id);
    std::vector<double> progress;
    auto watch = state->tabsChanged.connect([&] {
        if (auto t = tab(id); t && t->isLoading)
            progress.push_back(t->loadingProgress);
    });
    ASSERT_TRUE(waitLoaded(id));
    ASSERT_TRUE(runUntil([&] { return tab(id)->title == "Page Two"; }));
    watch.disconnect();
    EXPECT_EQ(tab(id)->url.string(), server.url("/two"));
    EXPECT_FALSE(progress.empty());
    for (double p : progress) {
        EXPECT_GE(p, 0.0);
        EXPECT_LE(p, 1.0);
    }
    EXPECT_FALSE(shown->isErrorShown());
}

TEST_F(WebViewCoordinatorTest, HistoryButtonsFollowNavigationAndCommandsReachOnlyTheirTab)
{
    Uuid first = openTab(server.url("/one"));
    show(first);
    ASSERT_TRUE(waitLoaded(first));
    evaluate(first, "document.getElementById('next').click()");
    ASSERT_TRUE(runUntil([&] { return tab(first)->url.string() == server.url("/two") && tab(first)->canGoBack; }));
    ASSERT_TRUE(waitLoaded(first));
    EXPECT_FALSE(tab(first)->canGoForward);

    // Another tab, or no tab at all, does not move this page.
    notifications->post(notifications::webViewGoBack, Uuid::random());
    notifications->post(notifications::webViewGoBack);
    drainMainLoop();
    EXPECT_EQ(tab(first)->url.string(), server.url("/two"));

    notifications->post(notifications::webViewGoBack, first);
    ASSERT_TRUE(runUntil([&] { return tab(first)->url.string() == server.url("/one") && tab(first)->canGoForward; }));
    notifications->post(notifications::webViewGoForward, first);
    ASSERT_TRUE(runUntil([&] { return tab(first)->url.string() == server.url("/two"); }));
}

TEST_F(WebViewCoordinatorTest, EmptyTitlesKeepThePreviousTitle)
{
    Uuid id = openTab(server.url("/one"));
    show(id);
    ASSERT_TRUE(runUntil([&] { return tab(id)->title == "Page One"; }));
    evaluate(id, "document.title = ''");
    drainMainLoop();
    EXPECT_EQ(tab(id)->title, "Page One");
}

// Regression: the history recorded a visit only when a tab was activated. A link followed in the
// shown tab never reached it, and the visit of a new tab kept its host as its title.
TEST_F(WebViewCoordinatorTest, ALinkFollowedInTheShownTabIsRecordedWithThePagesTitle)
{
    server.on("/links", html(page("Links", "<a href='/two' style='display:block;height:400px'>two</a>")));
    Uuid id = openTab(server.url("/links"));
    show(id);
    ASSERT_TRUE(waitLoaded(id));
    Gtk::Widget* view = Glib::wrap(GTK_WIDGET(viewOf(id)));
    ASSERT_TRUE(runUntilGtk([&] { return view->get_mapped() && view->get_width() > 200; }));
    ASSERT_TRUE(xdoClickWidget(*view, 1, 100, 100));
    ASSERT_TRUE(runUntil([&] { return tab(id)->title == "Page Two"; }));
    ASSERT_TRUE(runUntil([&] { return state->history().front().title == "Page Two"; }));

    auto visits = [&] {
        std::vector<std::string> list;
        for (const HistoryItem& item : state->historyForCurrentSpace())
            list.push_back(item.url.string() + " " + item.title);
        return list;
    };
    const std::vector<std::string> expected{server.url("/two") + " Page Two", server.url("/links") + " Links"};
    EXPECT_EQ(visits(), expected);
    const omnibox::Sources sources{state->tabs(), state->history(), state->currentSpaceId()};
    auto found = omnibox::historyURLMatches("page two", sources, Date::now());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].url->string(), server.url("/two"));

    // Titles are page reports: an orderly quit keeps them.
    restart();
    EXPECT_EQ(visits(), expected);
}

TEST_F(WebViewCoordinatorTest, SwitchingTabsKeepsEachPageAliveWithoutReloading)
{
    Uuid a = openTab(server.url("/one"));
    show(a);
    ASSERT_TRUE(waitLoaded(a));
    WebKitWebView* viewA = viewOf(a);
    evaluate(a, "window.marker = 42");

    Uuid b = openTab(server.url("/two"));
    show(b);
    ASSERT_TRUE(waitLoaded(b));
    show(a);
    drainMainLoop();
    EXPECT_EQ(viewOf(a), viewA);
    EXPECT_EQ(evaluate(a, "String(window.marker)"), "42");
    EXPECT_EQ(requestsFor("/one"), 1u);
    EXPECT_EQ(requestsFor("/two"), 1u);
    EXPECT_EQ(web->pool().size(), 2u);
}

// Regression: a tab's page was followed only while its view was on screen. A tab left while its
// page was still loading kept its loading state (and its spinner turning) for good, and what the
// page reported while hidden (title, address, icon, a failure) never reached the tab. A hidden
// page that navigated crashed the program.
TEST_F(WebViewCoordinatorTest, ATabLeftWhileLoadingKeepsFollowingItsPage)
{
    LoopbackServer::Reply late = html(page("Late", "", "<link rel=icon href='/late.png'>"));
    late.delayMs = 800;
    server.on("/late", late);
    server.on("/late-redirect", LoopbackServer::Reply{302, "", "text/plain", {{"Location", "/late"}}});
    const std::string icon = pngBytes(16, 16, 0x22aa44ff);
    server.on("/late.png", LoopbackServer::Reply{200, icon, "image/png", {}});
    Uuid loading = openTab(server.url("/late-redirect"));
    show(loading);
    ASSERT_TRUE(runUntil([&] { return tab(loading)->isLoading; }));
    Uuid failing = openTab(server.url("/two"));
    show(failing);
    ASSERT_TRUE(waitLoaded(failing));
    Uuid other = openTab(server.url("/two"));
    show(other);

    // The page ends loading while hidden, another one fails; the tabs hear of it.
    ASSERT_TRUE(waitLoaded(loading));
    ASSERT_TRUE(runUntil([&] { return tab(loading)->title == "Late" && tab(loading)->favicon; }));
    EXPECT_EQ(tab(loading)->url.string(), server.url("/late"));
    const Bytes stored = *tab(loading)->favicon;
    EXPECT_TRUE(std::string(stored.begin(), stored.end()) == icon);
    webkit_web_view_terminate_web_process(viewOf(failing));
    ASSERT_TRUE(runUntil([&] { return state->navigationErrors().count(failing) == 1; }));
    EXPECT_FALSE(tab(failing)->isLoading);
    EXPECT_EQ(shown->tabId(), other);

    // A hidden page that moves on, by a command or by itself, is followed too (the engine's
    // swipe gesture used to crash the program here: it pictured the page through a window the
    // hidden view does not have).
    notifications->post(notifications::webViewNavigate, loading, {{"url", *Url::parse(server.url("/one"))}});
    ASSERT_TRUE(runUntil([&] { return tab(loading)->title == "Page One" && tab(loading)->canGoBack; }));
    evaluate(loading, "location.href = '/two'");
    ASSERT_TRUE(runUntil([&] { return tab(loading)->title == "Page Two"; }));
    EXPECT_EQ(shown->tabId(), other);
    auto gestures = [&](const Uuid& id) {
        return webkit_settings_get_enable_back_forward_navigation_gestures(webkit_web_view_get_settings(viewOf(id)));
    };
    EXPECT_FALSE(gestures(loading));
    EXPECT_TRUE(gestures(other)) << "the shown page still goes back with a swipe";
}

TEST_F(WebViewCoordinatorTest, ASessionAcrossTwoSpacesSwitchesWithoutReloadsAndStateFollows)
{
    for (int i = 0; i < 4; ++i)
        server.on("/p" + std::to_string(i), html(page("P" + std::to_string(i), "<input id=field>")));
    Uuid home = *state->currentSpaceId();
    Uuid work = addSpace("Work");
    std::vector<Uuid> tabs;
    for (int i = 0; i < 4; ++i) {
        tabs.push_back(openTab(server.url("/p" + std::to_string(i)), i % 2 ? work : home));
        show(tabs.back()); // the main view shows the active tab
        ASSERT_TRUE(waitLoaded(tabs.back()));
        evaluate(tabs.back(), "document.getElementById('field').value = 'typed " + std::to_string(i) + "'");
    }
    // Switching the way the main view does: the active tab changes (following it into its
    // space) and a new container shows it.
    for (int round = 0; round < 3; ++round) {
        for (int i : {2, 0, 3, 1}) {
            state->setActiveTabId(tabs[i]);
            EXPECT_EQ(state->currentSpaceId(), i % 2 ? work : home);
            show(tabs[i]);
            EXPECT_EQ(evaluate(tabs[i], "document.getElementById('field').value"), "typed " + std::to_string(i));
            EXPECT_EQ(tab(tabs[i])->title, "P" + std::to_string(i));
            EXPECT_FALSE(tab(tabs[i])->isLoading);
        }
    }
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(requestsFor("/p" + std::to_string(i)), 1u) << i;
    EXPECT_EQ(web->pool().size(), 4u);
    EXPECT_EQ(web->sessions().sessionCount(), 2u);
}

TEST_F(WebViewCoordinatorTest, ClosingATabDestroysItsView)
{
    Uuid a = openTab(server.url("/one"));
    show(a);
    ASSERT_TRUE(waitLoaded(a));
    Uuid b = openTab(server.url("/two"));
    show(b);
    ASSERT_TRUE(waitLoaded(b));
    GObject* viewA = G_OBJECT(viewOf(a));
    bool finalized = false;
    g_object_weak_ref(viewA, [](gpointer flag, GObject*) { *static_cast<bool*>(flag) = true; }, &finalized);

    state->removeTab(a);
    EXPECT_EQ(viewOf(a), nullptr);
    EXPECT_TRUE(runUntil([&] { return finalized; }));
    EXPECT_NE(viewOf(b), nullptr);

    // A closed tab that is still shown stops being watched; nothing crashes and the page is gone.
    state->removeTab(b);
    drainMainLoop();
    EXPECT_EQ(viewOf(b), nullptr);
    EXPECT_EQ(web->pool().size(), 0u);
}

TEST_F(WebViewCoordinatorTest, ATabMovedToAnotherSpaceGetsAViewInThatSpacesSession)
{
    Uuid home = *state->currentSpaceId();
    Uuid a = openTab(server.url("/one"), home);
    show(a);
    ASSERT_TRUE(waitLoaded(a));
    WebKitWebView* before = viewOf(a);
    EXPECT_EQ(web->pool().entry(a)->spaceId, home);

    Uuid work = addSpace("Work");
    state->moveTabToSpace(a, work);
    show(a);
    WebKitWebView* after = viewOf(a);
    EXPECT_NE(after, before);
    EXPECT_EQ(web->pool().entry(a)->spaceId, work);
    EXPECT_EQ(webkit_web_view_get_network_session(after), web->sessions().session(work).network.get());
    ASSERT_TRUE(waitLoaded(a));
}

TEST_F(WebViewCoordinatorTest, SnapshotsAreAsynchronousAndKeptForHiddenTabs)
{
    bool answered = false;
    GdkTexture* picture = reinterpret_cast<GdkTexture*>(1);
    WebViewRepresentable::snapshot(*web, Uuid::random(), [&](GdkTexture* t) {
        answered = true;
        picture = t;
    });
    EXPECT_FALSE(answered); // never from inside the call
    ASSERT_TRUE(runUntil([&] { return answered; }));
    EXPECT_EQ(picture, nullptr);

    Uuid a = openTab(server.url("/one"));
    WebViewContainer& shown = show(a);
    ASSERT_TRUE(waitLoaded(a));
    ASSERT_TRUE(waitForFrames(shown)) << "drawn at least once";
    int width = 0;
    answered = false;
    WebViewRepresentable::snapshot(*web, a, [&](GdkTexture* t) {
        answered = true;
        width = t ? gdk_texture_get_width(t) : 0;
    });
    ASSERT_TRUE(runUntil([&] { return answered; }));
    EXPECT_GT(width, 100);

    // Hidden, the tab still has the picture taken as it went off screen.
    Uuid b = openTab(server.url("/two"));
    show(b);
    ASSERT_TRUE(runUntil([&] { return web->pool().entry(a)->lastSnapshot.get() != nullptr; }));
    answered = false;
    width = 0;
    WebViewRepresentable::snapshot(*web, a, [&](GdkTexture* t) {
        answered = true;
        width = t ? gdk_texture_get_width(t) : 0;
    });
    ASSERT_TRUE(runUntil([&] { return answered; }));
    EXPECT_GT(width, 100);
}

TEST_F(WebViewCoordinatorTest, EveryPageGetsTheFixedUserAgent)
{
    Uuid a = openTab(server.url("/one"));
    show(a);
    ASSERT_TRUE(waitLoaded(a));
    ASSERT_FALSE(server.requests().empty());
    EXPECT_EQ(server.requests().front().headers.at("user-agent"), SpaceWebSessionManager::userAgent);
    EXPECT_EQ(std::string(SpaceWebSessionManager::userAgent).size(), 117u);
}

} // namespace
} // namespace kovi::test
