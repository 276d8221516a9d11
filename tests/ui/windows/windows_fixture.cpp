#include "windows_fixture.h"

#include "ui/base/view_slots.h"
#include "ui/sidebar/sidebar_view.h"
#include "ui/web/web_content.h"
#include "ui/web/web_view_container.h"
#include "ui/windows/split_view_container.h"

#include <webkit/webkit.h>

namespace kovi::test {

namespace {

LoopbackServer::Reply html(const std::string& text, std::map<std::string, std::string> headers = {})
{
    LoopbackServer::Reply reply;
    reply.body = text;
    reply.contentType = "text/html; charset=utf-8";
    reply.headers = std::move(headers);
    return reply;
}

std::string page(const std::string& title, const std::string& body)
{
    return "<!doctype html><html><head><meta charset=utf-8><title>" + title
        + "</title><style>body{font:16px sans-serif;margin:24px}</style></head><body>" + body + "</body></html>";
}

} // namespace

void WindowsAppTest::SetUp()
{
    const std::string counter = "<script>window.clicks=0;document.addEventListener('click',()=>window.clicks++)</script>";
    std::string lines;
    for (int i = 1; i <= 120; ++i)
        lines += "<p>Line " + std::to_string(i) + " of the alpha page.</p>";
    server.on("/a", html(page("Alpha", "<h1>Alpha</h1><textarea id=field></textarea><p><a id=next href='/a2'>next</a></p>"
                                       + lines + counter)));
    server.on("/a2", html(page("Alpha two", "<h1>Alpha two</h1>")));
    server.on("/b", html(page("Beta", "<h1>Beta</h1><textarea id=field></textarea>" + counter)));
    server.on("/c", html(page("Gamma", "<h1>Gamma</h1>")));
    server.on("/set-cookie", [](const LoopbackServer::Request& request) {
        return html(page("Cookie set", "<h1>Cookie</h1>"),
                    {{"Set-Cookie", "flavour=" + request.query + "; Path=/; Max-Age=3600"}});
    });
    server.on("/show", [](const LoopbackServer::Request& request) {
        auto header = [&](const char* name) { // names arrive in lower case
            auto it = request.headers.find(name);
            return it == request.headers.end() ? std::string("none") : it->second;
        };
        return html(page("cookie=" + header("cookie"), "<p id=agent>" + header("user-agent") + "</p>"));
    });
    server.on("/tick", html(page("Ticking", "<script>setInterval(()=>fetch('/ping?'+Date.now()),100)</script>")));
    server.on("/ping", html("pong"));
    LoopbackServer::Reply hang;
    hang.neverAnswer = true;
    server.on("/hang", hang);

    h = std::make_unique<AppHarness>(dir.path(), std::nullopt, false, defaultViewSlots());
    ASSERT_TRUE(h->showBrowser());
}

void WindowsAppTest::TearDown()
{
    h.reset();
    settle(50);
}

WebKitWebView* WindowsAppTest::viewOf(const Uuid& tabId)
{
    return h->ctx().web->pool().webView(tabId);
}

std::size_t WindowsAppTest::requestsFor(const std::string& path) const
{
    std::size_t count = 0;
    for (const auto& request : server.requests())
        count += request.path == path ? 1 : 0;
    return count;
}

SplitViewContainer* WindowsAppTest::splitView()
{
    return findWidget<SplitViewContainer>(h->window());
}

SidebarView* WindowsAppTest::sidebar()
{
    return findWidget<SidebarView>(h->window());
}

bool WindowsAppTest::waitForSplitView(double seconds)
{
    return runUntilGtk(
        [&] {
            SplitViewContainer* split = splitView();
            if (!split || !split->get_mapped())
                return false;
            for (auto side : {SplitViewSide::left, SplitViewSide::right}) {
                SplitPane* pane = split->pane(side);
                WebKitWebView* view = pane ? viewOf(pane->tabId()) : nullptr;
                if (!view || !gtk_widget_get_mapped(GTK_WIDGET(view))
                    || !gtk_widget_is_ancestor(GTK_WIDGET(view), GTK_WIDGET(pane->gobj())))
                    return false;
            }
            return true;
        },
        seconds);
}

bool WindowsAppTest::showsSinglePage(const Uuid& tabId)
{
    return runUntilGtk([&] {
        // Pages of other tabs are kept, hidden, beside it.
        auto* container = findWidget<WebViewContainer>(
            h->window(), [&](WebViewContainer& c) { return c.tabId() == tabId && c.get_mapped(); });
        GtkWidget* view = GTK_WIDGET(viewOf(tabId));
        return !splitView() && container && view && gtk_widget_is_ancestor(view, GTK_WIDGET(container->gobj()))
            && gtk_widget_get_mapped(view);
    });
}

void WindowsAppTest::dragPointer(int x0, int y0, int x1, int y1, int steps)
{
    xdo({"mousemove", std::to_string(x0), std::to_string(y0)});
    settle(40);
    xdo({"mousedown", "1"});
    settle(40);
    for (int i = 1; i <= steps; ++i) {
        xdo({"mousemove", std::to_string(x0 + (x1 - x0) * i / steps), std::to_string(y0 + (y1 - y0) * i / steps)});
        settle(25);
    }
    settle(40);
    xdo({"mouseup", "1"});
    settle(120);
}

} // namespace kovi::test
