#include "ui/sidebar/top_bar.h"

#include "core/state/browser_state.h"
#include "ui/base/command_action.h"
#include "ui/base/sidebar_host.h"
#include "ui/design/styles.h"
#include "ui/sidebar/sidebar_support.h"

#include <giomm/simpleactiongroup.h>

namespace kovi {

namespace {

void styleIconButton(Gtk::Button& button, const char* cssClass, const char* tooltip)
{
    button.set_has_frame(false);
    button.set_focus_on_click(false);
    button.add_css_class(cssClass);
    button.set_valign(Gtk::Align::CENTER);
    button.set_tooltip_text(tooltip);
}

} // namespace

SidebarTopBar::SidebarTopBar(BrowserState& state, SidebarHost& host) : m_state(state), m_host(host)
{
    add_css_class("sidebar-top-bar");
    m_row.set_spacing(8);
    m_rows.setStartGroup(m_startControls);
    m_rows.setMain(m_row);
    m_rows.setEndGroup(m_endControls);
    set_child(m_rows);

    // The desktop's own buttons, on the sides its button layout names; a side without any takes
    // no room.
    for (Gtk::WindowControls* controls : {&m_startControls, &m_endControls}) {
        controls->set_valign(Gtk::Align::CENTER);
        auto fit = [controls] { controls->set_visible(!controls->get_empty()); };
        controls->property_empty().signal_changed().connect(fit);
        fit();
    }

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
    // The menu's Go Back and Go Forward are always enabled; these buttons only while the tab
    // can go that way, so they run the commands through actions of their own.
    auto navigation = Gio::SimpleActionGroup::create();
    m_goBack = navigation->add_action("back", [this] { activate_action(appAction(commands::goBack)); });
    m_goForward =
        navigation->add_action("forward", [this] { activate_action(appAction(commands::goForward)); });
    insert_action_group("sidebar-nav", navigation);
    m_back.set_action_name("sidebar-nav.back");
    m_forward.set_action_name("sidebar-nav.forward");
    // One button and one command: the page stops while loading and reloads otherwise.
    m_reload.set_action_name(appAction(commands::reload));
    m_nav.append(m_back);
    m_nav.append(m_forward);
    m_nav.append(m_reload);
    m_row.append(m_nav);

    auto refreshSlot = [this] { refresh(); };
    m_connections.add(m_state.activeTabIdChanged.connect(refreshSlot));
    m_connections.add(m_state.tabsChanged.connect(refreshSlot));
    m_connections.add(m_host.isPinnedChanged.connect(refreshSlot));
    m_connections.add(m_host.chromeWidgetChanged.connect([this] { adoptChromeWidget(); }));
    adoptChromeWidget();
    refresh();
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

void SidebarTopBar::refresh()
{
    auto tab = m_state.activeTab();
    m_goBack->set_enabled(tab && tab->canGoBack);
    m_goForward->set_enabled(tab && tab->canGoForward);
    const bool loading = tab && tab->isLoading;
    m_reload.set_icon_name(sidebarIconName(loading ? "xmark" : "arrow.clockwise"));
    m_reload.set_tooltip_text(loading ? "Stop" : "Reload");
    setClass(m_pin, "active", m_host.isPinned());
}

} // namespace kovi
