#pragma once

#include "core/settings/settings_tab.h"
#include "core/support/scoped_connections.h"
#include "ui/settings/settings_tab_bar.h"

#include <gtkmm/box.h>
#include <gtkmm/headerbar.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/window.h>
#include <gtkmm/windowgroup.h>

namespace kovi {

struct AppContext;

// The settings window: a title strip with the user's name, the bar of eight tabs and the
// selected tab's page, scrolled. A window of its own over the browser window, not resizable;
// closing (its own button, Escape or Ctrl+W) hides it.
// Its colours follow the appearance settings. Main thread only; `ctx` outlives the window.
class SettingsWindow : public Gtk::Window {
public:
    static constexpr int contentWidth = 680;
    static constexpr int contentHeight = 580;
    static constexpr int titleStripHeight = 52;

    explicit SettingsWindow(AppContext& ctx);

    SettingsTab selectedTab() const { return m_selected; }
    // Shows `tab`, its page built afresh when another tab was shown.
    void selectTab(SettingsTab tab);
    Gtk::Widget* tabView() const { return m_tabView; }
    SettingsTabBar& tabBar() { return m_tabBar; }
    Gtk::Label& titleLabel() { return m_title; }

private:
    void addCloseKeys();
    void refreshUser();

    AppContext& m_ctx;
    // Its own group: a sheet that is modal for the browser window does not block this window.
    Glib::RefPtr<Gtk::WindowGroup> m_group;
    Gtk::HeaderBar m_strip;
    Gtk::Label m_title;
    Gtk::Box m_root{Gtk::Orientation::VERTICAL};
    SettingsTabBar m_tabBar;
    Gtk::ScrolledWindow m_scroller;
    Gtk::Widget* m_tabView = nullptr;
    SettingsTab m_selected = SettingsTab::profile;
    ScopedConnections m_connections;
};

} // namespace kovi
