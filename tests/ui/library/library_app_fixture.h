#pragma once

#include "app/app_fixture.h"
#include "support/loopback_server.h"
#include "ui/layouts/content_view.h"

#include <gtkmm/button.h>
#include <gtkmm/window.h>

#include <functional>
#include <memory>
#include <string>

namespace kovi::test {

// The whole application with the real views on a temporary profile, signed in and past the
// onboarding, its window focused for real input; and a loopback server for pages.
class LibraryAppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        h = std::make_unique<AppHarness>(dir.path(), std::nullopt, false, defaultViewSlots());
        ASSERT_TRUE(h->showBrowser());
    }
    void TearDown() override { h.reset(); }

    BrowserState& state() { return h->ctx().state; }
    BrowserLibrary& library() { return h->ctx().library; }
    ContentView& content() { return *h->root().contentView(); }
    std::string dataFile(const std::string& name) const { return dir.file("data/" + name); }
    std::string readDataFile(const std::string& name) const
    {
        return dir.exists("data/" + name) ? dir.read("data/" + name) : std::string();
    }

    // Clicks a widget like a user; tries once more when the busy virtual display drops the click.
    bool click(Gtk::Widget& widget, const std::function<bool()>& done, int button = 1)
    {
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (xdoClickWidget(widget, button) && runUntilGtk(done))
                return true;
        }
        return false;
    }

    TempDir dir;
    LoopbackServer server;
    std::unique_ptr<AppHarness> h;
};

// A web page with a title.
inline LoopbackServer::Reply htmlPage(const std::string& title)
{
    return LoopbackServer::Reply{200, "<html><head><title>" + title + "</title></head><body><h1>" + title +
                                          "</h1></body></html>",
                                 "text/html", {}};
}

} // namespace kovi::test
