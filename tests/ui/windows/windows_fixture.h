#pragma once

#include "app/app_fixture.h"
#include "support/loopback_server.h"
#include "support/web_script.h"

#include <gtkmm/widget.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

typedef struct _WebKitWebView WebKitWebView;

namespace kovi {
class SidebarView;
class SplitViewContainer;
class FloatingWindows;
} // namespace kovi

namespace kovi::test {

// The whole application with the real views, on a temporary profile, showing the browser, with
// local pages on a loopback server:
//   /a   "Alpha": a tall page with a text field and a link to /a2; counts clicks in `clicks`
//   /a2  "Alpha two"
//   /b   "Beta" with a text field, counting clicks; /c "Gamma"
//   /set-cookie  sets "flavour=<query>" for 127.0.0.1
//   /show        echoes the request's cookie and user agent in its title
//   /tick        asks the server for /ping every 100 ms
//   /hang        never answers
class WindowsAppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    BrowserState& state() { return h->ctx().state; }
    FloatingWindows& floating() { return *h->ctx().floatingWindows; }
    // A new active tab in the shown space on the server's `path`, once its page has loaded.
    Uuid openTab(const std::string& path) { return h->openLoaded(server.url(path)); }
    WebKitWebView* viewOf(const Uuid& tabId);
    std::string evaluate(const Uuid& tabId, const std::string& script) { return evaluateScript(viewOf(tabId), script); }
    std::size_t requestsFor(const std::string& path) const;
    std::size_t requestCount() const { return server.requests().size(); }

    SplitViewContainer* splitView();
    SidebarView* sidebar();
    // Waits for the split view with both panes' pages on screen.
    bool waitForSplitView(double seconds = 10);
    // Waits until the page area shows the tab's page alone (the split view gone), on screen.
    bool showsSinglePage(const Uuid& tabId);
    // A real drag with the pointer between two screen points, in small steps.
    void dragPointer(int x0, int y0, int x1, int y1, int steps = 12);

    TempDir dir;
    LoopbackServer server;
    std::unique_ptr<AppHarness> h;
};

} // namespace kovi::test
