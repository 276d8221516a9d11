#include "ui/sidebar/top_bar.h"

#include "core/state/browser_state.h"
#include "core/support/notification_center.h"
#include "core/support/notification_names.h"
#include "ui/base/sidebar_host.h"
#include "ui/sidebar/sidebar_support.h"

#include <gtkmm/eventcontrollermotion.h>
#include <gtkmm/window.h>

namespace kovi {

namespace {

Gtk::Window* windowOf(Gtk::Widget& widget)
{
    return dynamic_cast<Gtk::Window*>(widget.get_root());
}

void styleIconButton(Gtk::Button& button, const char* cssClass, const char* tooltip)
{
    button.set_has_frame(false);
    button.set_focus_on_click(false);
    button.add_css_class(cssClass);
    button.set_valign(Gtk::Align::CENTER);
    button.set_tooltip_text(tooltip);
}

} // namespace

SidebarTopBar::SidebarTopBar(BrowserState& state, NotificationCenter& notifications, SidebarHost& host)
    : m_state(state), m_notifications(notifications), m_host(host)
{
    add_css_class("sidebar-top-bar");
    m_row.set_spacing(8);
    set_child(m_row);

    m_lights.set_spacing(8);
    m_lights.add_css_class("sidebar-traffic-lights");
    struct Light {
        Gtk::Button& button;
        Gtk::Image& glyph;
        const char* cssClass;
        const char* symbol;
        const char* tooltip;
    };
    for (const Light& light : {Light{m_closeLight, m_closeGlyph, "close", "xmark", "Close"},
                               Light{m_minimizeLight, m_minimizeGlyph, "minimize", "minus", "Minimize"},
                               Light{m_zoomLight, m_zoomGlyph, "zoom", "plus", "Maximize"}}) {
        light.button.set_has_frame(false);
        light.button.set_focus_on_click(false);
        light.button.add_css_class("traffic-light");
        light.button.add_css_class(light.cssClass);
        light.button.set_valign(Gtk::Align::CENTER);
        light.button.set_tooltip_text(light.tooltip);
        setSymbol(light.glyph, light.symbol, 8);
        light.glyph.set_opacity(0);
        light.button.set_child(light.glyph);
        m_lights.append(light.button);
    }
    m_closeLight.signal_clicked().connect([this] {
        if (auto* window = windowOf(*this))
            window->close();
    });
    m_minimizeLight.signal_clicked().connect([this] {
        if (auto* window = windowOf(*this))
            window->minimize(); // a request: some window managers ignore it
    });
    m_zoomLight.signal_clicked().connect([this] {
        if (auto* window = windowOf(*this)) {
            if (window->is_maximized())
                window->unmaximize();
            else
                window->maximize();
        }
    });
    auto hover = Gtk::EventControllerMotion::create();
    hover->signal_enter().connect([this](double, double) { setLightsHovered(true); });
    hover->signal_leave().connect([this] { setLightsHovered(false); });
    m_lights.add_controller(hover);
    m_row.append(m_lights);

    styleIconButton(m_pin, "sidebar-button", "Toggle Sidebar");
    m_pin.set_icon_name(sidebarIconName("sidebar.left"));
    m_pin.signal_clicked().connect([this] { m_host.setIsPinned(!m_host.isPinned()); });
    m_sidebarButtons.set_spacing(4);
    m_sidebarButtons.append(m_pin);
    m_chromeSlot.add_css_class("sidebar-window-menu");
    m_chromeSlot.set_valign(Gtk::Align::CENTER);
    m_chromeSlot.set_visible(false);
    m_sidebarButtons.append(m_chromeSlot);
    m_row.append(m_sidebarButtons);

    auto* spacer = Gtk::make_managed<Gtk::Box>();
    spacer->set_hexpand(true);
    m_row.append(*spacer);

    m_nav.set_spacing(6);
    styleIconButton(m_back, "sidebar-nav-button", "Back");
    styleIconButton(m_forward, "sidebar-nav-button", "Forward");
    styleIconButton(m_reload, "sidebar-nav-button", "Reload");
    m_back.set_icon_name(sidebarIconName("chevron.left"));
    m_forward.set_icon_name(sidebarIconName("chevron.right"));
    m_back.signal_clicked().connect([this] { post(notifications::webViewGoBack); });
    m_forward.signal_clicked().connect([this] { post(notifications::webViewGoForward); });
    // One button and one command: the page stops while loading and reloads otherwise.
    m_reload.signal_clicked().connect([this] { post(notifications::webViewReload); });
    m_nav.append(m_back);
    m_nav.append(m_forward);
    m_nav.append(m_reload);
    m_row.append(m_nav);

    auto refreshSlot = [this] { refresh(); };
    m_connections.push_back(m_state.activeTabIdChanged.connect(refreshSlot));
    m_connections.push_back(m_state.tabsChanged.connect(refreshSlot));
    m_connections.push_back(m_host.isPinnedChanged.connect(refreshSlot));
    m_connections.push_back(m_host.chromeWidgetChanged.connect([this] { adoptChromeWidget(); }));
    adoptChromeWidget();
    refresh();
}

SidebarTopBar::~SidebarTopBar()
{
    for (auto& connection : m_connections)
        connection.disconnect();
}

void SidebarTopBar::setLightsHovered(bool hovered)
{
    for (Gtk::Image* glyph : {&m_closeGlyph, &m_minimizeGlyph, &m_zoomGlyph})
        glyph->set_opacity(hovered ? 1 : 0);
}

void SidebarTopBar::adoptChromeWidget()
{
    if (!m_host.hasChromeWidget())
        return;
    Gtk::Widget* widget = m_host.takeChromeWidget();
    if (!widget)
        return;
    if (auto* old = m_chromeSlot.get_first_child())
        m_chromeSlot.remove(*old);
    widget->set_valign(Gtk::Align::CENTER);
    m_chromeSlot.append(*widget);
    m_chromeSlot.set_visible(true);
}

void SidebarTopBar::post(const char* name)
{
    if (auto id = m_state.activeTabId())
        m_notifications.post(name, *id);
}

void SidebarTopBar::refresh()
{
    auto tab = m_state.activeTab();
    m_back.set_sensitive(tab && tab->canGoBack);
    m_forward.set_sensitive(tab && tab->canGoForward);
    const bool loading = tab && tab->isLoading;
    m_reload.set_icon_name(sidebarIconName(loading ? "xmark" : "arrow.clockwise"));
    m_reload.set_tooltip_text(loading ? "Stop" : "Reload");
    setClass(m_pin, "active", m_host.isPinned());
}

} // namespace kovi
