#include "ui/settings/settings_window.h"

#include "core/settings/auth_manager.h"
#include "ui/base/app_context.h"
#include "ui/design/dialogs.h"
#include "ui/design/theme.h"
#include "ui/settings/advanced_settings_tab.h"
#include "ui/settings/general_settings_tab.h"
#include "ui/settings/icon_settings_tab.h"
#include "ui/settings/links_settings_tab.h"
#include "ui/settings/max_settings_tab.h"
#include "ui/settings/profile_settings_tab.h"
#include "ui/settings/profiles_settings_tab.h"
#include "ui/settings/shortcuts_settings_tab.h"

#include <gtkmm/adjustment.h>
#include <gtkmm/separator.h>
#include <gtkmm/shortcutcontroller.h>

namespace kovi {

namespace {

Gtk::Widget* makeTabView(SettingsTab tab, AppContext& ctx)
{
    switch (tab) {
    case SettingsTab::profile:
        return Gtk::make_managed<ProfileSettingsTab>(ctx.auth);
    case SettingsTab::general:
        return Gtk::make_managed<GeneralSettingsTab>(ctx.state, ctx.appearance, ctx.preferences);
    case SettingsTab::profiles:
        return Gtk::make_managed<ProfilesSettingsTab>();
    case SettingsTab::max:
        return Gtk::make_managed<MaxSettingsTab>(ctx.preferences);
    case SettingsTab::links:
        return Gtk::make_managed<LinksSettingsTab>(ctx.preferences);
    case SettingsTab::shortcuts:
        return Gtk::make_managed<ShortcutsSettingsTab>();
    case SettingsTab::icon:
        return Gtk::make_managed<IconSettingsTab>();
    case SettingsTab::advanced:
        return Gtk::make_managed<AdvancedSettingsTab>(ctx.preferences);
    }
    return nullptr;
}

} // namespace

SettingsWindow::SettingsWindow(AppContext& ctx)
    : m_ctx(ctx), m_group(Gtk::WindowGroup::create()), m_tabBar([this](SettingsTab tab) { selectTab(tab); })
{
    joinApplication(*this);
    add_css_class("kovi-settings-window");
    set_title("Settings");
    set_resizable(false);
    set_hide_on_close(true);
    m_group->add_window(*this);

    // The title strip is the window's title bar: the user's name between the desktop's own
    // window buttons.
    m_strip.add_css_class("kovi-settings-title-strip");
    m_strip.set_size_request(-1, titleStripHeight);
    m_title.add_css_class("kovi-settings-title");
    m_title.set_ellipsize(Pango::EllipsizeMode::END);
    m_title.set_max_width_chars(40);
    m_strip.set_title_widget(m_title);
    set_titlebar(m_strip);

    m_root.add_css_class("kovi-settings-root");
    m_root.set_size_request(contentWidth, contentHeight - titleStripHeight);
    m_root.append(m_tabBar);
    m_root.append(*Gtk::make_managed<Gtk::Separator>(Gtk::Orientation::HORIZONTAL));
    m_scroller.set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    m_scroller.set_vexpand(true);
    m_scroller.set_propagate_natural_height(false);
    m_root.append(m_scroller);
    set_child(m_root);

    m_ctx.theme.attach(*this);
    addCloseKeys();
    m_connections.add(m_ctx.auth.currentUserChanged.connect([this] { refreshUser(); }));
    refreshUser();
    selectTab(SettingsTab::profile);
}

void SettingsWindow::selectTab(SettingsTab tab)
{
    if (tab == m_selected && m_tabView)
        return;
    m_selected = tab;
    m_tabBar.setSelectedTab(tab);
    m_tabView = makeTabView(tab, m_ctx);
    m_scroller.set_child(*m_tabView);
    m_scroller.get_vadjustment()->set_value(0);
}

void SettingsWindow::addCloseKeys()
{
    auto close = Gtk::NamedAction::create("window.close");
    // Escape after the focused widget, which may use it first (an open choice list).
    auto escape = Gtk::ShortcutController::create();
    escape->add_shortcut(
        Gtk::Shortcut::create(Gtk::KeyvalTrigger::create(GDK_KEY_Escape, Gdk::ModifierType{}), close));
    add_controller(escape);
    // Ctrl+W ahead of the application's shortcuts: it closes this window, as it closes a sheet,
    // never a tab of the browser window behind.
    auto closeWindow = Gtk::ShortcutController::create();
    closeWindow->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    closeWindow->add_shortcut(
        Gtk::Shortcut::create(Gtk::KeyvalTrigger::create(GDK_KEY_w, Gdk::ModifierType::CONTROL_MASK), close));
    add_controller(closeWindow);
}

void SettingsWindow::refreshUser()
{
    const auto& user = m_ctx.auth.currentUser();
    m_title.set_text(user ? user->displayName : "Settings");
    m_tabBar.setUserName(user ? user->displayName : "Profile");
}

} // namespace kovi
