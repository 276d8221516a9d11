#include "ui/app/kovi_application.h"

#include "core/ai/ai_service.h"
#include "core/commands/command_table.h"
#include "core/library/browser_library.h"
#include "core/settings/appearance_manager.h"
#include "core/settings/auth_manager.h"
#include "core/settings/update_manager.h"
#include "core/state/browser_state.h"
#include "core/support/defaults.h"
#include "core/support/notification_center.h"
#include "core/web/page_extension_store.h"
#include "ui/app/main_window.h"
#include "ui/app/command_actions.h"
#include "ui/design/theme.h"
#include "ui/settings/update_alerts.h"
#include "ui/web/web_content.h"

#include <adwaita.h>
#include <glib-unix.h>

#include <csignal>

namespace kovi {

// Construction order is dependency order; destruction runs backwards.
struct KoviApplication::Core {
    std::unique_ptr<Defaults> defaults;
    std::unique_ptr<NotificationCenter> notifications;
    std::unique_ptr<BrowserLibrary> library;
    std::unique_ptr<BrowserState> state;
    std::unique_ptr<AppearanceManager> appearance;
    std::unique_ptr<AIService> ai;
    std::unique_ptr<AuthManager> auth;
    std::unique_ptr<Theme> theme;
    std::unique_ptr<UpdateManager> updates;
    // Last, so the page views go before everything they report into.
    std::unique_ptr<PageExtensionStore> extensions;
    std::unique_ptr<WebContent> web;
};

Glib::RefPtr<KoviApplication> KoviApplication::create()
{
    return create(Options{});
}

Glib::RefPtr<KoviApplication> KoviApplication::create(Options options)
{
    return Glib::make_refptr_for_instance<KoviApplication>(new KoviApplication(std::move(options)));
}

KoviApplication::KoviApplication(Options options)
    : Gtk::Application(applicationId,
                       options.nonUnique ? Gio::Application::Flags::NON_UNIQUE : Gio::Application::Flags::NONE),
      m_options(std::move(options))
{
}

KoviApplication::~KoviApplication()
{
    // Runs while the application object is being finalised (its actions are gone already);
    // after a run, shutdown has taken the views down first.
    tearDownViews();
    m_commandTable.reset();
    m_context.reset();
    if (m_core) {
        m_core->updates.reset();
        m_alerts.reset();
    }
    m_core.reset();
}

void KoviApplication::createCore()
{
    m_core = std::make_unique<Core>();
    Core& c = *m_core;
    c.defaults = std::make_unique<Defaults>(m_options.defaultsPath.empty() ? Defaults::defaultFilePath()
                                                                           : m_options.defaultsPath);
    c.notifications = std::make_unique<NotificationCenter>();
    c.library = std::make_unique<BrowserLibrary>(m_options.storageDirectory);
    c.state = std::make_unique<BrowserState>(m_options.storageDirectory, *c.defaults, *c.notifications, *c.library);
    c.appearance = std::make_unique<AppearanceManager>(*c.defaults);
    c.ai = std::make_unique<AIService>(*c.defaults);
    c.auth = std::make_unique<AuthManager>(*c.defaults);
    c.theme = std::make_unique<Theme>(*c.appearance);

    m_alerts = std::make_unique<UpdateAlerts>([this]() -> Gtk::Window* { return m_window; });
    UpdateManager::Options updateOptions = UpdateManager::Options::standard();
    if (m_options.updateFeedUrl)
        updateOptions.feedUrl = *m_options.updateFeedUrl;
    c.updates = std::make_unique<UpdateManager>(*c.defaults, *m_alerts, &UpdateAlerts::openInDefaultBrowser,
                                                updateOptions);

    // Web processes start only when a page is first shown: the sessions are made on first use.
    c.extensions = std::make_unique<PageExtensionStore>(m_options.storageDirectory);
    c.web = std::make_unique<WebContent>(*c.state, *c.notifications, *c.defaults, *c.appearance, *c.extensions);

    m_context = std::unique_ptr<AppContext>(new AppContext{*c.defaults, *c.notifications, *c.library, *c.state,
                                                           *c.appearance, *c.ai, *c.auth, *c.theme,
                                                           c.updates.get(), c.extensions.get(), c.web.get()});
}

void KoviApplication::on_startup()
{
    Gtk::Application::on_startup();
    // An orderly stop from outside goes through quit, so the state is saved once. Installed
    // first: a signal during start-up must not kill the process unsaved.
    auto onSignal = +[](gpointer self) -> gboolean {
        static_cast<KoviApplication*>(self)->quit();
        return G_SOURCE_CONTINUE;
    };
    m_sigterm = g_unix_signal_add(SIGTERM, onSignal, this);
    m_sigint = g_unix_signal_add(SIGINT, onSignal, this);
    Theme::installResources();
    createCore();
    createCommands();
}

void KoviApplication::createCommands()
{
    CommandTable::Hooks hooks;
    hooks.showAbout = [this] { showAbout(); };
    hooks.quit = [this] { quit(); };
    hooks.isViewPanelOpen = [this] { return m_window && m_window->rootView().showAccountSettings(); };
    hooks.closeViewPanel = [this] {
        if (m_window)
            m_window->rootView().setShowAccountSettings(false);
    };
    Core& c = *m_core;
    m_commandTable = std::make_unique<CommandTable>(
        CommandTable::Services{*c.state, *c.appearance, *c.library, *c.notifications, *c.defaults, c.updates.get()},
        std::move(hooks));
    m_commands = std::make_unique<CommandActions>(*m_commandTable, *this);
    m_commands->installAccelerators(*this);
}

void KoviApplication::on_activate()
{
    if (!m_window) {
        ViewParts parts = m_options.parts ? *m_options.parts : defaultViewParts();
        m_window = new MainWindow(*m_context, std::move(parts), *m_commands);
        add_window(*m_window);
        m_windowHidden = m_window->signal_hide().connect([this] {
            // Closing the window ends the application (the last window closed).
            quit();
        });
        if (m_options.startupUpdateCheck && m_core->updates)
            m_core->updates->startupCheck();
    }
    m_window->present();
}

void KoviApplication::on_shutdown()
{
    saveOnShutdown();
    tearDownViews();
    if (m_sigterm)
        g_source_remove(m_sigterm);
    if (m_sigint)
        g_source_remove(m_sigint);
    m_sigterm = m_sigint = 0;
    Gtk::Application::on_shutdown();
}

void KoviApplication::tearDownViews()
{
    m_windowHidden.disconnect();
    delete m_window;
    m_window = nullptr;
    m_commands.reset();
}

void KoviApplication::saveOnShutdown()
{
    if (m_saved || !m_core || !m_core->state)
        return;
    m_saved = true;
    m_core->state->saveState();
}

void KoviApplication::showAbout()
{
    GtkWidget* about = adw_about_window_new();
    AdwAboutWindow* window = ADW_ABOUT_WINDOW(about);
    adw_about_window_set_application_name(window, "Kovi");
    adw_about_window_set_version(window, KOVI_VERSION);
    adw_about_window_set_application_icon(window, "web-browser-symbolic");
    adw_about_window_add_link(window, "WebKit", "https://webkit.org/");
    adw_about_window_add_link(window, "WebKit Licenses", "https://webkit.org/licensing-webkit/");
    if (m_window)
        gtk_window_set_transient_for(GTK_WINDOW(about), GTK_WINDOW(m_window->gobj()));
    gtk_window_present(GTK_WINDOW(about));
}

} // namespace kovi
