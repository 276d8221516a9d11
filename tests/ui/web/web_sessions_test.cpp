// Each space keeps its own cookies and storage; page icons are captured with their limits; page
// extensions apply by pattern, in worlds of their own.
#include "web_test_fixture.h"

#include "core/support/files.h"
#include "core/web/page_extension.h"
#include "support/large_images.h"
#include "ui/design/favicon_decoder.h"

#include <webkit/webkit.h>

namespace kovi::test {
namespace {

class WebSessionsTest : public WebFixture {
protected:
    WebSessionsTest()
    {
        server.on("/set", html(page("Set", "<script>document.cookie = 'who=alice; path=/';"
                                           "localStorage.setItem('who', 'alice');</script>")));
        server.on("/read", html(page("Read")));
    }

    std::string cookieAndStorage(const Uuid& id)
    {
        return evaluate(id, "document.cookie + '|' + String(localStorage.getItem('who'))");
    }
};

TEST_F(WebSessionsTest, SpacesKeepCookiesAndStorageApartAndTabsOfOneSpaceShareThem)
{
    Uuid home = *state->currentSpaceId();
    Uuid writer = openTab(server.url("/set"), home);
    show(writer);
    ASSERT_TRUE(waitLoaded(writer));
    EXPECT_EQ(cookieAndStorage(writer), "who=alice|alice");

    Uuid sameSpace = openTab(server.url("/read"), home);
    show(sameSpace);
    ASSERT_TRUE(waitLoaded(sameSpace));
    // Another content process of the same session sees what the first one stored.
    EXPECT_TRUE(runUntil([&] { return cookieAndStorage(sameSpace) == "who=alice|alice"; }))
        << cookieAndStorage(sameSpace);

    Uuid work = addSpace("Work");
    Uuid otherSpace = openTab(server.url("/read"), work);
    show(otherSpace);
    ASSERT_TRUE(waitLoaded(otherSpace));
    EXPECT_EQ(cookieAndStorage(otherSpace), "|null");
    for (const auto& request : server.requests()) {
        if (request.path == "/read" && request.headers.count("cookie")) {
            EXPECT_EQ(request.headers.at("cookie"), "who=alice");
        }
    }
    EXPECT_EQ(server.requests().back().path, "/read");
    EXPECT_EQ(server.requests().back().headers.count("cookie"), 0u);
    EXPECT_NE(webkit_web_view_get_network_session(viewOf(otherSpace)),
              webkit_web_view_get_network_session(viewOf(writer)));
    // Each persistent session keeps its data in a folder named after its space.
    for (const Uuid& space : {home, work}) {
        const std::string folder = files::join(files::join(sessionsRoot, "data"), space.toString());
        EXPECT_TRUE(g_file_test(folder.c_str(), G_FILE_TEST_IS_DIR)) << folder;
    }
}

TEST_F(WebSessionsTest, PagesOfNoSpaceShareOneEphemeralSession)
{
    auto& a = web->sessions().session(std::nullopt);
    auto& b = web->sessions().session(std::nullopt);
    EXPECT_EQ(&a, &b);
    EXPECT_TRUE(webkit_network_session_is_ephemeral(a.network.get()));
    EXPECT_FALSE(webkit_network_session_is_ephemeral(web->sessions().session(Uuid::random()).network.get()));
}

class FaviconTest : public WebFixture {
protected:
    FaviconTest()
    {
        icon = pngBytes(16, 16);
        server.on("/icons", html(page("Icons", "", "<link rel=icon href='/missing.png'><link rel=icon href='img/good.png'>")));
        server.on("/img/good.png", LoopbackServer::Reply{200, icon, "image/png", {}});
        server.on("/huge", html(page("Huge", "", "<link rel=icon href='/big.png'><link rel='shortcut icon' href='/edge.png'>")));
        std::string big = icon + std::string(2'000'000 - icon.size(), '\0');
        edge = icon + std::string(1'999'999 - icon.size(), '\0');
        server.on("/big.png", LoopbackServer::Reply{200, big, "image/png", {}});
        server.on("/edge.png", LoopbackServer::Reply{200, edge, "image/png", {}});
        server.on("/junk", html(page("Junk", "", "<link rel=icon href='/junk.png'>")));
        server.on("/junk.png", LoopbackServer::Reply{200, "not an image at all", "image/png", {}});
        server.on("/plain", html(page("Plain")));
    }

    std::string favicon(const Uuid& id)
    {
        auto t = tab(id);
        if (!t || !t->favicon)
            return {};
        return std::string(t->favicon->begin(), t->favicon->end());
    }

    std::string icon;
    std::string edge;
};

TEST_F(FaviconTest, TheFirstUsableDeclaredIconIsTaken)
{
    Uuid id = openTab(server.url("/icons"));
    show(id);
    ASSERT_TRUE(waitLoaded(id));
    ASSERT_TRUE(runUntil([&] { return !favicon(id).empty(); }));
    EXPECT_EQ(favicon(id), icon);
    EXPECT_EQ(requestsFor("/missing.png"), 1u);
    for (const auto& request : server.requests()) {
        if (request.path != "/img/good.png")
            continue;
        // Asked for as the page's engine asks.
        EXPECT_EQ(request.headers.count("user-agent") ? request.headers.at("user-agent") : "none",
                  SpaceWebSessionManager::userAgent);
    }
}

TEST_F(FaviconTest, AnIconOfTwoMillionBytesIsRefusedAndOneByteLessIsTaken)
{
    Uuid id = openTab(server.url("/huge"));
    show(id);
    ASSERT_TRUE(waitLoaded(id));
    ASSERT_TRUE(runUntil([&] { return !favicon(id).empty(); }));
    EXPECT_EQ(favicon(id).size(), edge.size());
    EXPECT_EQ(requestsFor("/big.png"), 1u);
}

TEST_F(FaviconTest, UndecodableIconsAndPagesWithoutIconsKeepThePreviousFavicon)
{
    Uuid id = openTab(server.url("/icons"));
    show(id);
    ASSERT_TRUE(runUntil([&] { return !favicon(id).empty(); }));
    notifications->post("webViewNavigate", id, {{"url", *Url::parse(server.url("/junk"))}});
    ASSERT_TRUE(runUntil([&] { return requestsFor("/junk.png") == 1; }));
    ASSERT_TRUE(waitLoaded(id));
    drainMainLoop();
    EXPECT_EQ(favicon(id), icon);
}

TEST_F(FaviconTest, AnIconArrivingAfterTheTabMovedOnIsDropped)
{
    server.on("/slowicon", html(page("Slow icon", "", "<link rel=icon href='/slow.png'>")));
    LoopbackServer::Reply slow{200, pngBytes(8, 8, 0xff0000ff), "image/png", {}};
    slow.delayMs = 1500;
    server.on("/slow.png", slow);
    Uuid id = openTab(server.url("/slowicon"));
    show(id);
    ASSERT_TRUE(runUntil([&] { return requestsFor("/slow.png") == 1; }));
    notifications->post("webViewNavigate", id, {{"url", *Url::parse(server.url("/plain"))}});
    ASSERT_TRUE(runUntil([&] { return tab(id)->title == "Plain"; }));
    runUntil([] { return false; }, 2.0); // past the slow icon's answer
    EXPECT_TRUE(favicon(id).empty());
}

// Regression: a page that declared a 109 KB PNG icon of 30000×30000 pixels froze the main loop
// for seconds and took gigabytes while the icon was decoded whole, and again wherever the stored
// icon was shown.
TEST_F(FaviconTest, AnIconDeclaringAHugePictureIsNeverDecodedWhole)
{
    const std::string huge = largeBlankPng(30000, 30000);
    ASSERT_LT(huge.size(), 200'000u);
    server.on("/giant", html(page("Giant", "", "<link rel=icon href='/giant.png'><link rel=icon href='/img/good.png'>")));
    server.on("/giant.png", LoopbackServer::Reply{200, huge, "image/png", {}});
    const std::size_t peakBefore = peakResidentBytes();

    Uuid id = openTab(server.url("/giant"));
    show(id);
    ASSERT_TRUE(waitLoaded(id));
    ASSERT_TRUE(runUntil([&] { return !favicon(id).empty(); }));
    EXPECT_EQ(requestsFor("/giant.png"), 1u);
    EXPECT_EQ(favicon(id), icon) << "the next usable icon is taken";

    // Stored icons go through the same decoder wherever they are shown.
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(huge.data());
    EXPECT_FALSE(FaviconDecoder::decode(bytes, huge.size()));
    EXPECT_LT(peakResidentBytes() - peakBefore, 300u * 1024 * 1024);

    // Up to the limit an image is an icon; one pixel more is not; a vector image is drawn to fit.
    const std::string square = pngBytes(1024, 1024);
    auto largest = FaviconDecoder::decode(reinterpret_cast<const std::uint8_t*>(square.data()), square.size());
    ASSERT_TRUE(largest);
    EXPECT_EQ(largest->get_width(), 1024);
    const std::string wide = largeBlankPng(1025, 1);
    EXPECT_FALSE(FaviconDecoder::decode(reinterpret_cast<const std::uint8_t*>(wide.data()), wide.size()));
    const std::string svg = "<svg xmlns='http://www.w3.org/2000/svg' width='8000' height='4000'>"
                            "<rect width='8000' height='4000' fill='red'/></svg>";
    auto drawn = FaviconDecoder::decode(reinterpret_cast<const std::uint8_t*>(svg.data()), svg.size());
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->get_width(), 1024);
    EXPECT_EQ(drawn->get_height(), 512);
}

class PageExtensionInjectionTest : public WebFixture {
protected:
    PageExtensionInjectionTest()
    {
        server.on("/app/page", html(page("App", "<p id=p>text</p><script>window.pageSees = typeof window.extMarker;</script>")));
        server.on("/other", html(page("Other", "<p id=p>text</p>")));
    }

    PageExtension extension(std::vector<std::string> matches, std::string runAt = "document_end")
    {
        PageExtension e;
        e.name = "Test";
        e.version = "1.0";
        e.description = "d";
        PageExtension::Script script;
        script.matches = std::move(matches);
        script.css = "p { color: rgb(1, 2, 3) !important; }";
        script.javascript = "window.extMarker = 'set'; document.documentElement.dataset.ext = 'ran';";
        script.runAt = runAt;
        e.scripts.push_back(script);
        return e;
    }

    std::string color(const Uuid& id) { return evaluate(id, "getComputedStyle(document.getElementById('p')).color"); }
};

TEST_F(PageExtensionInjectionTest, ScriptsAndStylesApplyByPatternInTheirOwnWorld)
{
    extensions->install(extension({"http://127.0.0.1/app/*"}));
    Uuid matching = openTab(server.url("/app/page"));
    show(matching);
    ASSERT_TRUE(waitLoaded(matching));
    ASSERT_TRUE(runUntil([&] { return evaluate(matching, "document.documentElement.dataset.ext || ''") == "ran"; }));
    EXPECT_EQ(color(matching), "rgb(1, 2, 3)");
    // The extension's globals stay in its world: the page never sees them.
    EXPECT_EQ(evaluate(matching, "typeof window.extMarker"), "undefined");
    EXPECT_EQ(evaluate(matching, "String(window.pageSees)"), "undefined");
    EXPECT_EQ(evaluate(matching, "String(document.querySelectorAll('style[id^=kovi-style-]').length)"), "1");

    Uuid other = openTab(server.url("/other"));
    show(other);
    ASSERT_TRUE(waitLoaded(other));
    EXPECT_EQ(evaluate(other, "document.documentElement.dataset.ext || 'none'"), "none");
    EXPECT_NE(color(other), "rgb(1, 2, 3)");
}

TEST_F(PageExtensionInjectionTest, DisablingAnExtensionReachesShownPagesAtTheirNextLoad)
{
    extensions->install(extension({"*://*/*"}));
    Uuid id = openTab(server.url("/other"));
    show(id);
    ASSERT_TRUE(waitLoaded(id));
    ASSERT_EQ(color(id), "rgb(1, 2, 3)");
    auto installed = extensions->extensions().back().id;
    extensions->setEnabled(installed, false);
    notifications->post("webViewReload", id);
    ASSERT_TRUE(runUntil([&] { return requestsFor("/other") == 2; }));
    ASSERT_TRUE(waitLoaded(id));
    EXPECT_NE(color(id), "rgb(1, 2, 3)");
    EXPECT_TRUE(web->pool().entry(id)->scripts->installed().empty());
}

} // namespace
} // namespace kovi::test
