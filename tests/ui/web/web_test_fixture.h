#pragma once

#include "core/app/browser_core.h"
#include "core/model/tab.h"
#include "core/settings/appearance_manager.h"
#include "core/settings/preferences.h"
#include "core/state/browser_state.h"
#include "core/support/notification_center.h"
#include "core/web/page_extension_store.h"
#include "support/gtk_test_support.h"
#include "support/loopback_server.h"
#include "support/main_loop.h"
#include "support/temp_dir.h"
#include "ui/web/web_content.h"
#include "ui/web/web_view_container.h"

#include <gtest/gtest.h>
#include <gtkmm/window.h>

#include <memory>
#include <optional>
#include <string>

typedef struct _WebKitWebView WebKitWebView;

namespace kovi::test {

// The browser's core on a temp folder (settings in memory), the page layer with every folder
// inside it, a loopback server and a window to show pages in.
class WebFixture : public testing::Test {
protected:
    WebFixture();
    ~WebFixture() override;

    // A new active tab in the given space (the shown one by default).
    Uuid openTab(const std::string& url, std::optional<Uuid> spaceId = std::nullopt);
    // Shows the tab's content container in the window (replacing what it showed).
    WebViewContainer& show(const Uuid& tabId);
    // Waits until the tab finished loading (loading off, progress 1).
    bool waitLoaded(const Uuid& tabId, double seconds = 20);
    // Runs JavaScript in the tab's page and returns the result as text ("" on error).
    std::string evaluate(const Uuid& tabId, const std::string& script);
    WebKitWebView* viewOf(const Uuid& tabId) { return web->pool().webView(tabId); }
    std::optional<Tab> tab(const Uuid& id) { return state->tab(id); }
    std::size_t requestsFor(const std::string& path) const;
    // A second space, which becomes the shown one.
    Uuid addSpace(const std::string& name);
    // Quits and starts again on the same folders, as the application does: the state is saved,
    // every page is closed, and the state and the page layer are made anew from the files.
    void restart();

    void makeCore();
    void makeWebContent();

    TempDir dir;
    // The sessions' data and cache, in folders of their own that stay until the program ends,
    // outside `dir`: the engine's network process finishes with a released session in its own
    // time, and folders removed under it made it crash. The next test's pages lost their loads
    // to it, and its end, reported later on the main loop, crashed the test program in the engine.
    // The browser never removes a session's folders.
    const std::string sessionsRoot;
    // The core is made anew by restart(), so everything of it is reached through pointers.
    std::unique_ptr<BrowserCore> core;
    Preferences* preferences = nullptr;
    NotificationCenter* notifications = nullptr;
    BrowserState* state = nullptr;
    AppearanceManager* appearance = nullptr;
    PageExtensionStore* extensions = nullptr;
    std::unique_ptr<WebContent> web;
    LoopbackServer server;
    Gtk::Window* window = nullptr;
    WebViewContainer* shown = nullptr;
};

// An HTML page with a title and a body.
std::string page(const std::string& title, const std::string& body = "", const std::string& head = "");
LoopbackServer::Reply html(const std::string& text);
// A small PNG of the given size and colour.
std::string pngBytes(int width, int height, unsigned rgba = 0x3366ccff);

} // namespace kovi::test
