#pragma once

#include "core/support/scoped_connections.h"
#include "ui/design/edge_groups_row.h"

#include <giomm/simpleaction.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/windowcontrols.h>
#include <gtkmm/windowhandle.h>

#include <string>

namespace kovi {

class BrowserState;
class SidebarHost;

// The sidebar's first row: the window's own buttons that the desktop puts at the start, the pin
// toggle beside the window's menu button (taken from the host, so no strip above the sidebar is
// needed for it), Back, Forward and Stop/Reload for the active tab, and the window's buttons
// that the desktop puts at the end; while the sidebar is too narrow for them all, the window's
// buttons take a line of their own above. Pressing and dragging its empty parts moves the
// window. The page buttons run the page commands of the menu.
class SidebarTopBar : public Gtk::WindowHandle {
public:
    SidebarTopBar(BrowserState& state, SidebarHost& host);

    void refresh();

    Gtk::Button& backButton() { return m_back; }
    Gtk::Button& forwardButton() { return m_forward; }
    Gtk::Button& reloadButton() { return m_reload; }
    Gtk::Button& pinButton() { return m_pin; }
    // The window's controls taken from the host; nullptr until the host offers them.
    Gtk::Widget* chromeWidget() { return m_chromeSlot.get_first_child(); }
    Gtk::WindowControls& startControls() { return m_startControls; }
    Gtk::WindowControls& endControls() { return m_endControls; }
    EdgeGroupsRow& rows() { return m_rows; }

private:
    void adoptChromeWidget();

    BrowserState& m_state;
    SidebarHost& m_host;
    Gtk::Box m_row;
    Gtk::WindowControls m_startControls{Gtk::PackType::START};
    Gtk::WindowControls m_endControls{Gtk::PackType::END};
    Gtk::Box m_sidebarButtons;
    Gtk::Button m_pin;
    Gtk::Box m_chromeSlot;
    Gtk::Box m_nav;
    Gtk::Button m_back, m_forward, m_reload;
    EdgeGroupsRow m_rows{8};
    Glib::RefPtr<Gio::SimpleAction> m_goBack, m_goForward;
    ScopedConnections m_connections;
};

} // namespace kovi
