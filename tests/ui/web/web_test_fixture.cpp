#include "web_test_fixture.h"

#include "core/support/files.h"
#include "core/support/gobject_ptr.h"
#include "support/web_script.h"
#include "ui/web/web_view_container.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <webkit/webkit.h>

namespace kovi::test {

WebFixture::WebFixture()
    : sessionsRoot(files::join(files::join(g_get_user_data_dir(), "test-sessions"), Uuid::random().toString()))
{
    ensureGtk();
    makeCore();
    makeWebContent();
    window = new Gtk::Window();
    window->set_default_size(1000, 700);
    window->present();
}

WebFixture::~WebFixture()
{
    shown = nullptr;
    window->unset_child();
    window->destroy();
    delete window;
    web.reset();
    drainMainLoop();
}

void WebFixture::makeCore()
{
    core = std::make_unique<BrowserCore>(BrowserCore::Options{.dataDirectory = dir.file("data"),
                                                              .defaultsPath = "",
                                                              .updateFeedUrl = "http://127.0.0.1:9/updates/latest.json"});
    preferences = &core->preferences();
    notifications = &core->notifications();
    state = &core->state();
    appearance = &core->appearance();
    extensions = &core->extensions();
}

void WebFixture::makeWebContent()
{
    WebContent::Folders folders;
    folders.sessionData = files::join(sessionsRoot, "data");
    folders.sessionCache = files::join(sessionsRoot, "cache");
    folders.downloads = dir.file("Downloads");
    folders.partialDownloads = dir.file("partial");
    web = std::make_unique<WebContent>(*state, *notifications, *preferences, *appearance, *extensions, core->http(),
                                       folders);
}

void WebFixture::restart()
{
    state->saveState();
    shown = nullptr;
    window->unset_child();
    web.reset();
    core.reset();
    drainMainLoop();
    makeCore();
    makeWebContent();
}

Uuid WebFixture::openTab(const std::string& url, std::optional<Uuid> spaceId)
{
    Tab tab(Uuid::random(), *Url::parse(url), std::nullopt, false, false, spaceId ? spaceId : state->currentSpaceId(),
            std::nullopt);
    state->addTab(tab);
    return tab.id;
}

WebViewContainer& WebFixture::show(const Uuid& tabId)
{
    auto tab = state->tab(tabId);
    EXPECT_TRUE(tab.has_value());
    auto* container = Gtk::make_managed<WebViewContainer>(*web, *tab);
    window->set_child(*container);
    shown = container;
    return *container;
}

bool WebFixture::waitLoaded(const Uuid& tabId, double seconds)
{
    return runUntil(
        [&] {
            auto t = state->tab(tabId);
            return t && !t->isLoading && t->loadingProgress == 1.0;
        },
        seconds);
}

std::string WebFixture::evaluate(const Uuid& tabId, const std::string& script)
{
    // A timed-out or missing page reads as an error, never as an empty value a test expects.
    return evaluateScript(viewOf(tabId), script);
}

std::size_t WebFixture::requestsFor(const std::string& path) const
{
    std::size_t count = 0;
    for (const auto& request : server.requests())
        count += request.path == path ? 1 : 0;
    return count;
}

Uuid WebFixture::addSpace(const std::string& name)
{
    state->createNewSpace(name, SpaceColor::blue, "star");
    return *state->currentSpaceId();
}

std::string page(const std::string& title, const std::string& body, const std::string& head)
{
    return "<!doctype html><html><head><meta charset=utf-8><title>" + title + "</title>" + head + "</head><body>"
        + body + "</body></html>";
}

LoopbackServer::Reply html(const std::string& text)
{
    LoopbackServer::Reply reply;
    reply.body = text;
    reply.contentType = "text/html; charset=utf-8";
    return reply;
}

std::string pngBytes(int width, int height, unsigned rgba)
{
    auto pixbuf = GObjectPtr<GdkPixbuf>::adopt(gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, width, height));
    gdk_pixbuf_fill(pixbuf.get(), rgba);
    gchar* buffer = nullptr;
    gsize size = 0;
    gdk_pixbuf_save_to_buffer(pixbuf.get(), &buffer, &size, "png", nullptr, nullptr);
    std::string out(buffer, size);
    g_free(buffer);
    return out;
}

} // namespace kovi::test
