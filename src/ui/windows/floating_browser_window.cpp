#include "ui/windows/floating_browser_window.h"

#include "core/support/notification_names.h"
#include "core/support/text.h"
#include "ui/design/dialogs.h"

#include <gtkmm/application.h>
#include <gtkmm/label.h>
#include <gtkmm/separator.h>
#include <gtkmm/windowcontrols.h>

namespace kovi {

namespace {

constexpr int toolbarHeight = 38; // 22-px buttons and 8 px above and below

} // namespace

FloatingBrowserWindow::FloatingBrowserWindow(const FloatingWindowKind& kind, WebContent& web,
                                             NotificationCenter& notifications, const Url& url,
                                             std::optional<Uuid> spaceId)
    : m_kind(kind), m_notifications(notifications), m_id(Uuid::random()), m_state(url),
      m_watchdog(m_watchdogTimer,
                 [this] {
                     m_timedOut = true;
                     m_page.stopLoading();
                     refreshTitle();
                 }),
      m_back("chevron.left", "kovi-mini-nav", "Back"), m_forward("chevron.right", "kovi-mini-nav", "Forward"),
      m_reload(m_state.reloadSymbol(), "kovi-mini-nav", "Stop"),
      m_openInMain("arrow.up.forward.square", "kovi-mini-nav", "Open in Main Window"),
      m_page(web, std::move(spaceId), [this] { return makeKeys(); })
{
    joinApplication(*this);
    add_css_class("kovi-floating-window");
    set_title(kind.title);
    set_default_size(kind.width, kind.height);
    buildToolbar();

    // The whole window never gets smaller than the kind's minimum, toolbar included.
    m_content.set_size_request(FloatingWindowKind::minimumWidth, FloatingWindowKind::minimumHeight - toolbarHeight);
    m_content.append(*Gtk::make_managed<Gtk::Separator>(Gtk::Orientation::HORIZONTAL));
    m_content.append(m_page);
    set_child(m_content);
    add_controller(makeKeys());

    m_connections.add(m_page.titleChanged.connect(sigc::mem_fun(*this, &FloatingBrowserWindow::refreshTitle)));
    m_connections.add(m_page.loadFinished.connect(sigc::mem_fun(*this, &FloatingBrowserWindow::refreshTitle)));
    m_connections.add(m_page.addressChanged.connect(sigc::mem_fun(*this, &FloatingBrowserWindow::addressChanged)));
    m_connections.add(m_page.loadingChanged.connect(sigc::mem_fun(*this, &FloatingBrowserWindow::loadingChanged)));
    m_connections.add(m_page.progressChanged.connect([this] { m_watchdog.progressed(); }));
    m_connections.add(m_page.historyChanged.connect(sigc::mem_fun(*this, &FloatingBrowserWindow::historyChanged)));
    obey(kind.goBack, &FloatingBrowserWindow::goBack);
    obey(kind.goForward, &FloatingBrowserWindow::goForward);
    obey(kind.reload, &FloatingBrowserWindow::reloadOrStop);

    m_watchdog.loadingChanged(true);
    m_page.load(url);
}

FloatingBrowserWindow::~FloatingBrowserWindow()
{
    m_connections.clear();
    closePage();
}

Glib::RefPtr<Gtk::ShortcutController> FloatingBrowserWindow::makeKeys()
{
    // Ctrl+W closes it, also from its page. The browser's other shortcuts belong to the browser
    // window; Escape stays with the page. The application's quit key is here too, for the page's
    // popups, which hold the keyboard and which the application's own keys do not reach.
    auto keys = Gtk::ShortcutController::create();
    keys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    keys->add_shortcut(Gtk::Shortcut::create(Gtk::KeyvalTrigger::create(GDK_KEY_w, Gdk::ModifierType::CONTROL_MASK),
                                             Gtk::NamedAction::create("window.close")));
    if (const auto application = get_application()) {
        for (const Glib::ustring& accel : application->get_accels_for_action("app.quit")) {
            if (auto trigger = Gtk::ShortcutTrigger::parse_string(accel))
                keys->add_shortcut(Gtk::Shortcut::create(trigger, Gtk::NamedAction::create("app.quit")));
        }
    }
    return keys;
}

void FloatingBrowserWindow::buildToolbar()
{
    m_toolbar.add_css_class("kovi-floating-toolbar");
    if (m_kind.showsBadge) {
        auto* badge = Gtk::make_managed<Gtk::Label>("K");
        badge->add_css_class("kovi-floating-badge");
        badge->set_size_request(20, 20);
        badge->set_valign(Gtk::Align::CENTER);
        m_toolbar.append(*badge);
        m_badge = badge;
    }
    m_back.set_sensitive(false);
    m_forward.set_sensitive(false);
    m_back.signal_clicked().connect([this] { post(m_kind.goBack); });
    m_forward.signal_clicked().connect([this] { post(m_kind.goForward); });
    m_history.append(m_back);
    m_history.append(m_forward);
    m_toolbar.append(m_history);

    m_title.add_css_class("kovi-floating-title");
    m_title.set_text(text::shownText(m_state.pageTitle));
    m_title.set_ellipsize(Pango::EllipsizeMode::END);
    m_title.set_single_line_mode(true);
    m_title.set_xalign(0);
    m_title.set_hexpand(true);
    m_toolbar.append(m_title);

    m_reload.signal_clicked().connect([this] { post(m_kind.reload); });
    m_toolbar.append(m_reload);
    m_openInMain.signal_clicked().connect([this] {
        m_notifications.post(m_kind.openInMain, m_id, {{"url", m_state.currentUrl}});
    });
    m_toolbar.append(m_openInMain);
    // The window's own buttons (close, and what the desktop adds) end the bar.
    auto* controls = Gtk::make_managed<Gtk::WindowControls>(Gtk::PackType::END);
    controls->set_valign(Gtk::Align::CENTER);
    m_toolbar.append(*controls);

    // The bar moves the window when dragged, as a title bar does.
    m_titlebar.set_child(m_toolbar);
    set_titlebar(m_titlebar);
}

void FloatingBrowserWindow::post(const char* name)
{
    m_notifications.post(name, m_id);
}

void FloatingBrowserWindow::obey(const char* name, void (FloatingBrowserWindow::*action)())
{
    m_connections.add(m_notifications.observe(name, [this, action](const Notification& note) {
        if (note.object == m_id)
            (this->*action)();
    }));
}

void FloatingBrowserWindow::closePage()
{
    m_watchdog.loadingChanged(false);
    m_page.close();
}

void FloatingBrowserWindow::goBack()
{
    m_page.goBack();
}

void FloatingBrowserWindow::goForward()
{
    m_page.goForward();
}

void FloatingBrowserWindow::reloadOrStop()
{
    m_page.reloadOrStop();
}

void FloatingBrowserWindow::refreshTitle()
{
    ++m_titleQuery; // an answer still on its way is out of date
    if (m_page.showsLoadError() || m_timedOut) {
        m_state.loadFailed();
        showTitle();
        return;
    }
    const std::optional<std::string> title = m_page.title();
    if (title && !title->empty()) {
        m_state.titleReported(title);
        showTitle();
        return;
    }
    // The engine reports no title and an empty one alike; the page's document tells them apart.
    m_page.queryHasTitleElement([this, query = m_titleQuery](bool hasTitle) {
        if (query != m_titleQuery)
            return;
        m_state.titleReported(hasTitle ? std::optional<std::string>("") : std::nullopt);
        showTitle();
    });
}

void FloatingBrowserWindow::showTitle()
{
    m_title.set_text(text::shownText(m_state.pageTitle));
}

void FloatingBrowserWindow::addressChanged()
{
    m_state.addressReported(m_page.address());
}

void FloatingBrowserWindow::loadingChanged()
{
    m_state.isLoading = m_page.isLoading();
    if (m_state.isLoading)
        m_timedOut = false;
    m_watchdog.loadingChanged(m_state.isLoading);
    m_reload.setSymbol(m_state.reloadSymbol());
    m_reload.set_tooltip_text(m_state.isLoading ? "Stop" : "Reload");
}

void FloatingBrowserWindow::historyChanged()
{
    m_state.canGoBack = m_page.canGoBack();
    m_state.canGoForward = m_page.canGoForward();
    m_back.set_sensitive(m_state.canGoBack);
    m_forward.set_sensitive(m_state.canGoForward);
}

} // namespace kovi
