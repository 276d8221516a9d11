#include "ui/app/kovi_application.h"

#include "core/app/browser_core.h"
#include "core/commands/command_table.h"
#include "core/state/browser_state.h"
#include "core/support/defaults.h"
#include "core/support/url.h"
#include "ui/app/drawing_setup.h"
#include "ui/app/main_window.h"
#include "ui/app/command_actions.h"
#include "ui/app/save_failure_alert.h"
#include "ui/design/dialogs.h"
#include "ui/design/theme.h"
#include "ui/library/message_alert.h"
#include "ui/settings/update_alerts.h"
#include "ui/web/download_manager.h"
#include "ui/web/web_content.h"
#include "ui/windows/floating_windows.h"

#include <adwaita.h>
#include <glibmm/main.h>
#include <sigc++/adaptors/track_obj.h>
#include <glib-unix.h>

#include <csignal>
#include <functional>
#include <iostream>

namespace kovi {

// Construction order is dependency order; destruction runs backwards.
struct KoviApplication::Core {
    std::unique_ptr<BrowserCore> services;
    std::unique_ptr<Theme> theme;
    // Last, so the page views go before everything they report into.
    std::unique_ptr<WebContent> web;
    // Their pages live in the page layer's sessions: they go first.
    std::unique_ptr<FloatingWindows> floating;
};

namespace {

// Runs `work` once, on the main loop after the window's first frame has been painted, unless
// `owner` is gone by then.
void afterFirstPaint(Gtk::Window& window, sigc::trackable& owner, std::function<void()> work)
{
    auto pending = std::make_shared<std::function<void()>>(std::move(work));
    auto mapped = std::make_shared<sigc::connection>();
    *mapped = window.signal_map().connect([&window, &owner, pending, mapped] {
        mapped->disconnect();
        GdkFrameClock* clock = gtk_widget_get_frame_clock(GTK_WIDGET(window.gobj()));
        if (!clock)
            return;
        struct Call {
            std::shared_ptr<std::function<void()>> work;
            sigc::trackable* owner;
            gulong handler = 0;
            bool painted = false;
        };
        auto* call = new Call{pending, &owner};
        call->handler = g_signal_connect_data(
            clock, "after-paint", G_CALLBACK(+[](GdkFrameClock* c, gpointer data) {
                auto* self = static_cast<Call*>(data);
                self->painted = true;
                g_signal_handler_disconnect(c, self->handler); // frees `self`
            }),
            call,
            +[](gpointer data, GClosure*) {
                auto* self = static_cast<Call*>(data);
                // Not under the paint: idle, after it.
                if (self->painted)
                    Glib::signal_idle().connect_once(sigc::track_obj([work = self->work] { (*work)(); }, *self->owner));
                delete self;
            },
            GConnectFlags(0));
    });
}

} // namespace

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
                       Gio::Application::Flags::HANDLES_OPEN |
                           (options.nonUnique ? Gio::Application::Flags::NON_UNIQUE : Gio::Application::Flags::NONE)),
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
    if (m_core)
        m_core->services->setUpdateAlerts(nullptr, {});
    m_alerts.reset();
    m_core.reset();
}

void KoviApplication::createCore()
{
    m_core = std::make_unique<Core>();
    Core& c = *m_core;
    BrowserCore::Options options;
    options.dataDirectory = m_options.storageDirectory;
    if (!m_options.defaultsPath.empty())
        options.defaultsPath = m_options.defaultsPath;
    options.updateFeedUrl = m_options.updateFeedUrl;
    c.services = std::make_unique<BrowserCore>(std::move(options));
    c.theme = std::make_unique<Theme>(c.services->appearance());

    m_alerts = std::make_unique<UpdateAlerts>([this]() -> Gtk::Window* { return m_window; },
                                              [this](std::function<void()> show) {
                                                  whenNotTyping("update-alert", std::move(show));
                                              });
    c.services->setUpdateAlerts(m_alerts.get(), &UpdateAlerts::openInDefaultBrowser);
    // A setting that cannot be written still shows its new value: say once that it won't last.
    m_settingsSaveFailed = c.services->defaults().signalSaveFailed().connect([this](const std::string& reason) {
        showSettingsSaveFailure(reason);
    });

    // Web processes start only when a page is first shown: the sessions are made on first use.
    BrowserCore& core = *c.services;
    c.web = std::make_unique<WebContent>(core.state(), core.notifications(), core.preferences(), core.appearance(),
                                         core.extensions(), core.http());
    // A download that starts while the user types in the window shows its panel once they stop.
    c.web->downloads().setPanelOpener([this, &state = core.state()] {
        whenNotTyping("downloads-panel", [&state] { state.openDownloadsPanelForDownload(); });
    });

    m_context = std::make_unique<AppContext>(AppContext::of(core, *c.theme, c.web.get()));
    c.floating = std::make_unique<FloatingWindows>(*m_context, [this]() -> Gtk::Window* { return m_window; });
    m_context->floatingWindows = c.floating.get();
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
    refuseInspectorKeys();
    DrawingSetup::displayOpened();
    // Before the first window: GTK reads the renderer choice when it realizes one.
    DrawingSetup::keepFrameBuffersAllocated();
    DrawingSetup::chooseRenderer(gdk_display_get_default());
    Theme::installResources();
    // The icon is named by the application id, as the launcher entry names it.
    Gtk::Window::set_default_icon_name(applicationId);
    createCore();
    createCommands();
}

void KoviApplication::refuseInspectorKeys()
{
#ifdef NDEBUG
    // The toolkit opens its inspector on keys of its own (Ctrl+Shift+I and D) in every window; a
    // release build is no place for it. A window's own handler runs before the toolkit's and
    // stops the signal there, so each window gets one as it is made. Once per process: the list
    // of windows is global.
    static const bool refused = [] {
        auto refuse = +[](GListModel* windows, guint position, guint, guint added, gpointer) {
            for (guint i = position; i < position + added; ++i) {
                GObject* window = G_OBJECT(g_list_model_get_item(windows, i));
                if (!g_object_get_data(window, "kovi-inspector-refused")) {
                    g_object_set_data(window, "kovi-inspector-refused", GINT_TO_POINTER(1));
                    g_signal_connect(window, "enable-debugging",
                                     G_CALLBACK(+[](GtkWindow* window, gboolean, gpointer) -> gboolean {
                                         g_signal_stop_emission_by_name(window, "enable-debugging");
                                         return TRUE;
                                     }),
                                     nullptr);
                }
                g_object_unref(window);
            }
        };
        GListModel* windows = gtk_window_get_toplevels();
        g_signal_connect(windows, "items-changed", G_CALLBACK(refuse), nullptr);
        refuse(windows, 0, 0, g_list_model_get_n_items(windows), nullptr);
        return true;
    }();
    (void)refused;
#endif
}

void KoviApplication::whenNotTyping(const std::string& name, std::function<void()> open)
{
    if (m_window)
        m_window->typingHold().whenNotTyping(name, std::move(open));
    else
        open();
}

void KoviApplication::createCommands()
{
    CommandTable::Hooks hooks;
    hooks.showAbout = [this] { showAbout(); };
    hooks.quit = [this] { quit(); };
    BrowserCore& core = *m_core->services;
    m_commandTable = std::make_unique<CommandTable>(
        CommandTable::Services{core.state(), core.appearance(), core.library(), core.notifications(),
                               core.preferences(), &core.updates()},
        std::move(hooks));
    m_commands = std::make_unique<CommandActions>(*m_commandTable, *this);
    m_commands->installAccelerators(*this);
    // A page's menu holds the keyboard while open, as the window's menu does: both carry the shortcuts.
    m_core->web->setPopupShortcuts([this] { return m_commands->makeShortcutController(); });
}

void KoviApplication::on_activate()
{
    if (!m_window) {
        m_core->web->holdPages();
        ViewSlots slots = m_options.slots ? *m_options.slots : defaultViewSlots();
        m_window = new MainWindow(*m_context, std::move(slots), *m_commands);
        add_window(*m_window);
        m_windowHidden = m_window->signal_hide().connect([this] {
            // Closing the window ends the application (the last window closed).
            quit();
        });
        // Closed, the window goes out of sight but stays whole until the views are taken down in
        // order: what is still under way (a download's tab closing, an alert) never meets a
        // window that has gone.
        m_windowClosing = m_window->signal_close_request().connect(
            [this] {
                m_window->set_visible(false);
                return true;
            },
            false);
        // The pages (the engine's drawing side, its processes) and the update check (the network
        // stack's proxy and TLS modules): not before the window has painted once.
        const bool check = m_options.startupUpdateCheck;
        afterFirstPaint(*m_window, *this, [this, check] {
            if (!m_window)
                return; // closed straight after its first frame
            m_stateSaveAlert =
                std::make_unique<SaveFailureAlert>(m_core->services->state(), *m_window, m_window->typingHold());
            m_core->web->releasePages();
            m_window->pagesMade();
            if (check)
                m_core->services->updates().startupCheck();
        });
    }
    m_window->present();
}

void KoviApplication::on_open(const type_vec_files& files, const Glib::ustring&)
{
    // Addresses handed over by the desktop (a link opened elsewhere, a page opened with Kovi):
    // each in a new tab of the current space. Other schemes could run script or reach places
    // a page may not, so they are refused.
    for (const auto& file : files) {
        const std::string uri = file->get_uri();
        const auto url = Url::parse(uri);
        if (url && (url->isHttpOrHttps() || url->schemeLowercased() == "file"))
            m_context->state.createNewTab(*url);
        else
            std::cerr << "Kovi can't open " << uri << '\n';
    }
    activate();
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
    m_windowClosing.disconnect();
    m_settingsSaveFailed.disconnect();
    m_settingsAlert.reset();
    m_stateSaveAlert.reset();
    // The floating windows refer to the context and to the main window: they go first.
    if (m_context)
        m_context->floatingWindows = nullptr;
    if (m_core)
        m_core->floating.reset();
    delete m_window;
    m_window = nullptr;
    if (m_core)
        m_core->web->setPopupShortcuts({});
    m_commands.reset();
}

void KoviApplication::showSettingsSaveFailure(const std::string& reason)
{
    whenNotTyping("settings-save-failure", [this, reason] {
        Gtk::Window* parent = get_active_window();
        if (!parent)
            parent = m_window;
        if (!parent || (m_settingsAlert && m_settingsAlert->isOpen()))
            return;
        m_settingsAlert = std::make_unique<MessageAlert>(
            *parent, "Settings could not be saved",
            "Changes to your settings last only until Kovi quits. " + reason + ".");
    });
}

MessageAlert* KoviApplication::stateSaveAlert() const
{
    return m_stateSaveAlert ? m_stateSaveAlert->alert() : nullptr;
}

void KoviApplication::saveOnShutdown()
{
    if (m_saved || !m_core)
        return;
    m_saved = true;
    m_core->services->state().saveState();
}

void KoviApplication::showAbout()
{
    GtkWidget* about = adw_about_window_new();
    AdwAboutWindow* window = ADW_ABOUT_WINDOW(about);
    adw_about_window_set_application_name(window, "Kovi");
    adw_about_window_set_version(window, KOVI_VERSION);
    adw_about_window_set_application_icon(window, applicationId);
    adw_about_window_add_link(window, "WebKit", "https://webkit.org/");
    adw_about_window_add_link(window, "WebKit Licenses", "https://webkit.org/licensing-webkit/");
    if (m_window)
        gtk_window_set_transient_for(GTK_WINDOW(about), GTK_WINDOW(m_window->gobj()));
    joinApplication(GTK_WINDOW(about));
    gtk_window_present(GTK_WINDOW(about));
}

} // namespace kovi
