#pragma once

#include "core/ai/ai_service.h"
#include "core/app/browser_core.h"
#include "core/library/browser_library.h"
#include "core/settings/appearance_manager.h"
#include "core/settings/auth_manager.h"
#include "core/settings/preferences.h"
#include "core/state/browser_state.h"
#include "core/support/defaults.h"
#include "core/support/notification_center.h"
#include "support/gtk_test_support.h"
#include "support/temp_dir.h"
#include "support/window_commands.h"
#include "ui/base/app_context.h"
#include "ui/app/kovi_application.h"
#include "ui/app/main_window.h"
#include "ui/app/command_actions.h"
#include "ui/design/theme.h"

#include <gtest/gtest.h>
#include <gtkmm/menubutton.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kovi::test {

// The window's menu button within `root` (only a mapped one when asked); nullptr when none.
inline Gtk::MenuButton* findWindowMenu(Gtk::Widget& root, bool mappedOnly = false)
{
    return findWidget<Gtk::MenuButton>(root, [mappedOnly](Gtk::MenuButton& button) {
        return button.has_css_class("kovi-window-menu") && (!mappedOnly || button.get_mapped());
    });
}

// The long-lived objects of the application on a temporary folder, for tests that build one
// view by itself. The update check asks a port where nothing listens.
struct CoreObjects {
    explicit CoreObjects(const std::string& folder)
        : services({.dataDirectory = folder,
                    .defaultsPath = folder + "/defaults.json",
                    .updateFeedUrl = "http://127.0.0.1:9/updates/latest.json"}),
          defaults(services.defaults()), preferences(services.preferences()), notifications(services.notifications()),
          library(services.library()), state(services.state()), appearance(services.appearance()),
          ai(services.ai()), auth(services.auth()), theme(appearance), ctx(AppContext::of(services, theme)),
          commands({state, appearance, library, notifications, preferences})
    {
    }
    BrowserCore services;
    Defaults& defaults;
    Preferences& preferences;
    NotificationCenter& notifications;
    BrowserLibrary& library;
    BrowserState& state;
    AppearanceManager& appearance;
    AIService& ai;
    AuthManager& auth;
    Theme theme;
    AppContext ctx;
    WindowCommands commands; // attach() them to the test's window
};

// Counts the notifications of one name and keeps the last object.
struct NotificationProbe {
    NotificationProbe(NotificationCenter& center, const std::string& name)
    {
        connection = center.observe(name, [this](const Notification& n) {
            ++count;
            lastObject = n.object;
        });
    }
    ~NotificationProbe() { connection.disconnect(); }
    int count = 0;
    std::optional<Uuid> lastObject;
    sigc::connection connection;
};

// A tab of the shown space (or of `space`).
inline Tab makeTab(BrowserState& state, const std::string& url, const std::string& title = "",
                   bool pinned = false, std::optional<Uuid> space = std::nullopt)
{
    return Tab(Uuid::random(), *Url::parse(url), title.empty() ? std::nullopt : std::optional<std::string>(title),
               pinned, false, space ? space : state.currentSpaceId(), std::nullopt);
}

// Adds such a tab to the state; returns its id.
inline Uuid addTab(BrowserState& state, const std::string& url, const std::string& title = "", bool pinned = false,
                   std::optional<Uuid> space = std::nullopt)
{
    Tab tab = makeTab(state, url, title, pinned, space);
    state.addTab(tab);
    return tab.id;
}

// The whole application with its window, on a temporary profile; the feed address may point at
// a loopback server.
class AppHarness {
public:
    explicit AppHarness(const std::string& folder, std::optional<std::string> feedUrl = std::nullopt,
                        bool startupUpdateCheck = false, ViewSlots slots = {})
    {
        ensureGtk();
        KoviApplication::Options options;
        options.storageDirectory = folder + "/data";
        options.defaultsPath = folder + "/config/defaults.json";
        options.updateFeedUrl = feedUrl ? feedUrl : std::optional<std::string>("http://127.0.0.1:9/updates/latest.json");
        options.startupUpdateCheck = startupUpdateCheck;
        options.nonUnique = true;
        options.slots = std::move(slots);
        app = KoviApplication::create(std::move(options));
        app->register_application();
        app->activate();
    }
    ~AppHarness()
    {
        if (app && app->mainWindow())
            app->mainWindow()->hide();
        settle(20);
        // As at the end of a run: the views go and the window lets go of the application, which
        // would otherwise outlive the test (and stay the process's default application).
        g_signal_emit_by_name(app->gobj(), "shutdown");
        app.reset();
    }
    AppContext& ctx() { return app->context(); }
    MainWindow& window() { return *app->mainWindow(); }
    MainBrowserView& root() { return window().rootView(); }

    // Signs in as a guest (unless someone is signed in), skips onboarding and waits for the
    // browser in a drawn window that has the keyboard.
    bool showBrowser()
    {
        if (!ctx().auth.isAuthenticated())
            ctx().auth.continueAsGuest();
        root().setHasCompletedOnboarding(true);
        return runUntilGtk([this] { return root().screen() == MainBrowserView::Screen::browser; })
               && xdoFocusWindow(window()) && waitForFrames(window());
    }
    // A new active tab of the shown space on `url`.
    Uuid openTab(const std::string& url, const std::string& title = "", bool pinned = false)
    {
        return addTab(ctx().state, url, title, pinned);
    }
    // Waits until the tab's page has loaded (and shows `title`, when given).
    bool waitLoaded(const Uuid& id, const std::optional<std::string>& title = std::nullopt, double seconds = 60)
    {
        return runUntilGtk([&] {
            auto tab = ctx().state.tab(id);
            return tab && !tab->isLoading && tab->loadingProgress >= 1.0 && (!title || tab->title == *title);
        }, seconds);
    }
    // A new active tab on `url` once its page has loaded; the test fails when it does not load.
    Uuid openLoaded(const std::string& url, const std::optional<std::string>& title = std::nullopt)
    {
        const Uuid id = openTab(url);
        EXPECT_TRUE(waitLoaded(id, title)) << url;
        return id;
    }

    Glib::RefPtr<KoviApplication> app;
};

} // namespace kovi::test
