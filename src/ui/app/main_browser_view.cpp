#include "ui/app/main_browser_view.h"

#include "core/library/browser_library.h"
#include "core/settings/auth_manager.h"
#include "core/settings/preferences.h"
#include "core/state/browser_state.h"
#include "core/support/notification_center.h"
#include "core/support/notification_names.h"
#include "ui/app/typing_hold.h"
#include "ui/base/app_context.h"
#include "ui/design/dialogs.h"
#include "ui/design/open_menus.h"
#include "ui/design/theme.h"
#include "ui/layouts/browser_layout_settings_view.h"
#include "ui/layouts/content_view.h"
#include "ui/layouts/onboarding_view.h"
#include "ui/layouts/traditional_browser_view.h"
#include "ui/settings/auth_view.h"

#include <adwaita.h>
#include <glibmm/main.h>
#include <gtk/gtk.h>
#include <gtkmm/shortcutcontroller.h>

namespace kovi {

MainBrowserView::MainBrowserView(AppContext& ctx, ViewSlots slots, Gtk::Window& window, TypingHold& hold,
                                 std::function<Gtk::Widget*()> makeChromeStart)
    : m_ctx(ctx), m_slots(std::move(slots)), m_window(window), m_hold(hold),
      m_makeChromeStart(std::move(makeChromeStart)),
      m_aiChatLayer(true, [this] { m_ctx.state.setIsAIChatVisible(false); }),
      m_aiSettingsLayer(true, [this] { m_ctx.state.setIsKoviMaxSettingsVisible(false); }),
      m_accountLayer(true, [this] { m_ctx.state.setIsAccountSettingsVisible(false); })
{
    add_css_class("kovi-root");
    set_hexpand(true);
    set_vexpand(true);
    m_hasCompletedOnboarding = m_ctx.preferences.get(prefs::hasCompletedOnboarding);

    m_screens.set_hexpand(true);
    m_screens.set_vexpand(true);
    m_screens.set_transition_type(Gtk::StackTransitionType::NONE);
    // The window has no title bar of the desktop's: the welcome and onboarding screens get one
    // of their own above them (the browser layouts bring their own buttons and drag areas).
    m_screenBar.add_css_class("kovi-screen-title-bar");
    m_screenBar.set_size_request(-1, 38);
    m_screenBar.set_visible(false);
    m_screenBarRow.set_margin_start(8);
    m_screenBarRow.set_margin_end(8);
    auto* gap = Gtk::make_managed<Gtk::Box>();
    gap->set_hexpand(true);
    m_screenBarRow.append(m_screenStartControls);
    m_screenBarRow.append(*gap);
    m_screenBarRow.append(m_screenEndControls);
    for (Gtk::WindowControls* controls : {&m_screenStartControls, &m_screenEndControls}) {
        controls->set_valign(Gtk::Align::CENTER);
        auto fit = [controls] { controls->set_visible(!controls->get_empty()); };
        controls->property_empty().signal_changed().connect(fit);
        fit();
    }
    m_screenBar.set_child(m_screenBarRow);
    m_screenColumn.append(m_screenBar);
    m_screenColumn.append(m_screens);
    set_child(m_screenColumn);

    m_layoutStack.set_transition_type(Gtk::StackTransitionType::NONE);
    m_layoutStack.set_hexpand(true);
    m_layoutStack.set_vexpand(true);
    m_browser.set_child(m_layoutStack);

    BrowserState& state = m_ctx.state;
    m_connections.add(m_ctx.auth.authStateChanged.connect([this] { scheduleRoute(); }));
    m_connections.add(state.layoutModeChanged.connect([this] { refreshLayout(); }));
    m_connections.add(state.isAIChatVisibleChanged.connect([this] { refreshPanels(); }));
    m_connections.add(state.isKoviMaxSettingsVisibleChanged.connect([this] { refreshPanels(); }));
    m_connections.add(state.isAccountSettingsVisibleChanged.connect([this] { refreshPanels(); }));
    m_connections.add(state.openPanelsChanged.connect([this] { stackLayers(); }));
    m_connections.add(state.isLayoutSettingsVisibleChanged.connect([this] { refreshSheets(); }));
    m_connections.add(state.isLibraryVisibleChanged.connect([this] {
        refreshSheets();
        refreshLibraryAlert();
    }));
    m_connections.add(state.isExtensionsVisibleChanged.connect([this] { refreshSheets(); }));
    m_connections.add(m_ctx.library.errorMessageChanged.connect([this] { refreshLibraryAlert(); }));
    m_connections.add(m_ctx.notifications.observe(notifications::showAccountSettings,
                                                        [this](const Notification&) {
                                                            m_ctx.state.setIsAccountSettingsVisible(true);
                                                        }));
    m_connections.add(m_ctx.notifications.observe(notifications::showSettings, [this](const Notification&) {
        // Whatever screen is shown.
        if (m_slots.openSettings)
            m_slots.openSettings(m_ctx, m_window);
    }));
    m_connections.add(m_ctx.preferences.changed(prefs::hasCompletedOnboarding).connect([this] {
        const bool stored = m_ctx.preferences.get(prefs::hasCompletedOnboarding);
        if (stored != m_hasCompletedOnboarding) {
            m_hasCompletedOnboarding = stored;
            scheduleRoute();
        }
    }));

    route();
    refreshSheets();
    refreshLibraryAlert();
}

MainBrowserView::~MainBrowserView()
{
    m_hold.cancel("library-alert");
    m_connections.clear();
    m_routeIdle.disconnect();
    m_sheetIdle.disconnect();
    if (m_libraryAlert) {
        g_signal_handlers_disconnect_by_data(m_libraryAlert, this);
        gtk_window_destroy(GTK_WINDOW(m_libraryAlert));
    }
}

void MainBrowserView::setHasCompletedOnboarding(bool value)
{
    m_hasCompletedOnboarding = value;
    m_ctx.preferences.set(prefs::hasCompletedOnboarding, value);
    scheduleRoute();
}

void MainBrowserView::scheduleRoute()
{
    // Routing replaces the screen whose button may still be running its handler.
    if (m_routeIdle.connected())
        return;
    m_routeIdle = Glib::signal_idle().connect([this] {
        route();
        return false;
    });
}

void MainBrowserView::route()
{
    if (!m_ctx.auth.isAuthenticated())
        showScreen(Screen::welcome);
    else if (!m_hasCompletedOnboarding)
        showScreen(Screen::onboarding);
    else
        showScreen(Screen::browser);
}

void MainBrowserView::showScreen(Screen screen)
{
    if (screen == m_screen)
        return;
    Gtk::Widget* old = m_screenWidget;
    Gtk::Widget* next = nullptr;
    switch (screen) {
    case Screen::welcome:
        next = Gtk::make_managed<AuthView>(m_ctx.auth);
        break;
    case Screen::onboarding:
        next = Gtk::make_managed<OnboardingView>(m_ctx.state, m_ctx.preferences, [this] {
            m_hasCompletedOnboarding = true;
            m_ctx.preferences.set(prefs::hasCompletedOnboarding, true);
            scheduleRoute();
        });
        break;
    case Screen::browser:
        next = &m_browser;
        break;
    case Screen::none:
        break;
    }
    m_screen = screen;
    m_screenWidget = next;
    m_screenBar.set_visible(screen == Screen::welcome || screen == Screen::onboarding);
    if (next) {
        m_screens.add(*next);
        m_screens.set_visible_child(*next);
    }
    if (old)
        m_screens.remove(*old);
    if (screen == Screen::browser) {
        refreshLayout();
        refreshPanels();
        stackLayers();
    } else {
        // Leaving the browser (a sign-out) drops its layout; it is built anew on return.
        if (m_layout) {
            for (OverlayLayer* layer : browserLayers())
                layer->setHost(nullptr);
            m_layoutStack.remove(*m_layout);
            m_layout = nullptr;
            m_layoutKind = LayoutKind::none;
        }
    }
}

void MainBrowserView::refreshLayout()
{
    if (m_screen != Screen::browser)
        return;
    const LayoutKind kind =
        m_ctx.state.layoutMode() == BrowserLayoutMode::traditional ? LayoutKind::traditional : LayoutKind::content;
    if (kind == m_layoutKind && m_layout)
        return;
    Gtk::Widget* next = nullptr;
    if (kind == LayoutKind::traditional) {
        auto* traditional = Gtk::make_managed<TraditionalBrowserView>(m_ctx, m_slots);
        if (m_makeChromeStart)
            traditional->setWindowMenu(m_makeChromeStart);
        next = traditional;
    } else {
        auto* content = Gtk::make_managed<ContentView>(m_ctx, m_slots);
        if (m_makeChromeStart)
            content->setChromeStart(m_makeChromeStart);
        next = content;
    }
    // The old layout goes at once: while it lived it could take a page view back from the new
    // one (each tab's view has one place in the window).
    Gtk::Widget* old = m_layout;
    m_layout = next;
    m_layoutKind = kind;
    m_layoutStack.add(*next);
    m_layoutStack.set_visible_child(*next);
    hostBrowserLayers();
    if (old)
        m_layoutStack.remove(*old);
}

std::array<OverlayLayer*, 3> MainBrowserView::browserLayers()
{
    return {&m_aiChatLayer, &m_aiSettingsLayer, &m_accountLayer};
}

void MainBrowserView::hostBrowserLayers()
{
    // Among the layout's own panels, so that all of them stack by one order.
    auto* host = dynamic_cast<Gtk::Overlay*>(m_layout);
    if (!host)
        return;
    for (OverlayLayer* layer : browserLayers())
        layer->setHost(host);
    m_keyLayer = nullptr; // the layout's panels are new
    stackLayers();
}

OverlayLayer* MainBrowserView::layerOf(BrowserState::Panel panel)
{
    using Panel = BrowserState::Panel;
    PanelOverlays* panels = contentView() ? &contentView()->panels()
                            : traditionalView() ? &traditionalView()->panels()
                                                : nullptr;
    switch (panel) {
    case Panel::commandBar: return panels ? &panels->commandBarLayer() : nullptr;
    case Panel::history: return panels ? &panels->historyLayer() : nullptr;
    case Panel::downloads: return panels ? &panels->downloadsLayer() : nullptr;
    case Panel::aiChat: return &m_aiChatLayer;
    case Panel::aiSettings: return &m_aiSettingsLayer;
    case Panel::account: return &m_accountLayer;
    }
    return nullptr;
}

void MainBrowserView::stackLayers()
{
    // The open panels lie in the order the state keeps, the top one drawn and picked first and
    // given the keyboard when it became the top.
    auto* host = dynamic_cast<Gtk::Overlay*>(m_layout);
    if (m_screen != Screen::browser || !host)
        return;
    for (BrowserState::Panel panel : m_ctx.state.openPanels()) {
        OverlayLayer* layer = layerOf(panel);
        if (layer && layer->isPresented() && layer->get_parent() == host)
            gtk_widget_insert_before(GTK_WIDGET(layer->gobj()), GTK_WIDGET(host->gobj()), nullptr);
    }
    OverlayLayer* top = topLayer();
    if (top != m_keyLayer && top) {
        // A panel opened or raised from an open menu (its key pressed there) takes the keys from
        // the menu, which would keep them over any layer.
        closeMenusWithin(GTK_WIDGET(m_window.gobj()));
        top->giveKeys();
    }
    m_keyLayer = top;
}

ContentView* MainBrowserView::contentView() const
{
    return dynamic_cast<ContentView*>(m_layout);
}

TraditionalBrowserView* MainBrowserView::traditionalView() const
{
    return dynamic_cast<TraditionalBrowserView*>(m_layout);
}

PageArea* MainBrowserView::pageArea() const
{
    if (auto* content = contentView())
        return &content->pageArea();
    if (auto* traditional = traditionalView())
        return &traditional->pageArea();
    return nullptr;
}

OverlayLayer* MainBrowserView::topLayer()
{
    if (m_screen != Screen::browser)
        return nullptr;
    const auto& open = m_ctx.state.openPanels();
    for (auto panel = open.rbegin(); panel != open.rend(); ++panel) {
        if (OverlayLayer* layer = layerOf(*panel); layer && layer->isPresented())
            return layer;
    }
    return nullptr;
}

AuthView* MainBrowserView::authView() const
{
    return m_screen == Screen::welcome ? dynamic_cast<AuthView*>(m_screenWidget) : nullptr;
}

OnboardingView* MainBrowserView::onboardingView() const
{
    return m_screen == Screen::onboarding ? dynamic_cast<OnboardingView*>(m_screenWidget) : nullptr;
}

void MainBrowserView::refreshPanels()
{
    auto update = [this](OverlayLayer& layer, bool wanted, const std::function<Gtk::Widget*(AppContext&)>& make) {
        if (wanted == layer.isPresented())
            return;
        if (wanted)
            layer.present(make ? make(m_ctx) : nullptr);
        else
            layer.dismiss();
    };
    const bool browser = m_screen == Screen::browser;
    update(m_aiChatLayer, browser && m_ctx.state.isAIChatVisible(), m_slots.aiChatPanel);
    update(m_aiSettingsLayer, browser && m_ctx.state.isKoviMaxSettingsVisible(), m_slots.aiSettingsPanel);
    update(m_accountLayer, browser && m_ctx.state.isAccountSettingsVisible(), m_slots.accountPanel);
}

void MainBrowserView::updateSheet(std::unique_ptr<Gtk::Window>& sheet, bool wanted,
                                  const std::function<Gtk::Window*()>& make, std::function<void()> onClosed)
{
    if (wanted && !sheet) {
        Gtk::Window* window = make ? make() : nullptr;
        if (!window)
            return;
        sheet.reset(window);
        window->set_transient_for(m_window);
        window->set_modal(true);
        m_ctx.theme.attach(*window);
        window->signal_close_request().connect(
            [onClosed] {
                onClosed();
                return true; // the flag change takes the window down
            },
            false);
        // The browser's shortcuts do not reach a sheet; Close Tab's key closes it, as it closes
        // the panels over the page, and so does Escape that nothing in it took.
        auto keys = Gtk::ShortcutController::create();
        keys->add_shortcut(Gtk::Shortcut::create(
            Gtk::AlternativeTrigger::create(Gtk::KeyvalTrigger::create(GDK_KEY_w, Gdk::ModifierType::CONTROL_MASK),
                                            Gtk::KeyvalTrigger::create(GDK_KEY_Escape, Gdk::ModifierType{})),
            Gtk::NamedAction::create("window.close")));
        window->add_controller(keys);
        window->present();
    } else if (!wanted && sheet) {
        sheet->hide();
        // Deleted outside any handler the window may still be running.
        m_closedSheets.push_back(std::move(sheet));
        if (!m_sheetIdle.connected()) {
            m_sheetIdle = Glib::signal_idle().connect([this] {
                m_closedSheets.clear();
                return false;
            });
        }
    }
}

void MainBrowserView::refreshSheets()
{
    BrowserState& state = m_ctx.state;
    updateSheet(m_layoutSheet, state.isLayoutSettingsVisible(),
                [this]() -> Gtk::Window* { return new BrowserLayoutSettingsView(m_ctx.state, m_window); },
                [this] { m_ctx.state.setIsLayoutSettingsVisible(false); });
    updateSheet(m_librarySheet, state.isLibraryVisible(),
                [this]() -> Gtk::Window* { return m_slots.librarySheet ? m_slots.librarySheet(m_ctx, m_window) : nullptr; },
                [this] { m_ctx.state.setIsLibraryVisible(false); });
    updateSheet(m_extensionsSheet, state.isExtensionsVisible(),
                [this]() -> Gtk::Window* {
                    return m_slots.extensionsSheet ? m_slots.extensionsSheet(m_ctx, m_window) : nullptr;
                },
                [this] { m_ctx.state.setIsExtensionsVisible(false); });
    // "Done" of the layout sheet hides it: treat that as closing.
    if (m_layoutSheet && !m_layoutSheet->get_visible())
        state.setIsLayoutSettingsVisible(false);
}

void MainBrowserView::refreshLibraryAlert()
{
    // The library sheet shows its own errors, but only a sheet that is really up: the flag alone
    // must not silence the message.
    const bool wanted = m_ctx.library.errorMessage().has_value() && !m_librarySheet;
    if (!wanted || m_libraryAlert)
        return;
    m_hold.whenNotTyping("library-alert", [this] { showLibraryAlert(); });
}

void MainBrowserView::showLibraryAlert()
{
    const auto& message = m_ctx.library.errorMessage();
    if (!message || m_librarySheet || m_libraryAlert)
        return;
    const char* heading =
        m_ctx.library.errorIsReadFailure() ? "Library could not be read" : "Library could not be saved";
    GtkWidget* dialog = adw_message_dialog_new(GTK_WINDOW(m_window.gobj()), heading, message->c_str());
    adw_message_dialog_add_response(ADW_MESSAGE_DIALOG(dialog), "ok", "OK");
    adw_message_dialog_set_default_response(ADW_MESSAGE_DIALOG(dialog), "ok");
    adw_message_dialog_set_close_response(ADW_MESSAGE_DIALOG(dialog), "ok");
    m_libraryAlert = ADW_MESSAGE_DIALOG(dialog);
    g_signal_connect(dialog, "response", G_CALLBACK(+[](AdwMessageDialog* alert, const char*, gpointer self) {
                         auto* view = static_cast<MainBrowserView*>(self);
                         closeDialogSoon(GTK_WINDOW(alert));
                         view->m_libraryAlert = nullptr;
                         // Any dismissal clears the message.
                         view->m_ctx.library.setErrorMessage(std::nullopt);
                     }),
                     this);
    presentOverParent(GTK_WINDOW(dialog));
}

} // namespace kovi
