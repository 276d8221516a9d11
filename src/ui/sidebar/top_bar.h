#pragma once

#include <giomm/simpleaction.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/image.h>
#include <gtkmm/windowhandle.h>

#include <string>

namespace kovi {

class BrowserState;
class SidebarHost;

// The sidebar's first row: the window's own close, minimise and maximise buttons, the pin
// toggle beside the window's menu button (taken from the host, so no strip above the sidebar is
// needed for it), and Back, Forward and Stop/Reload for the active tab. Pressing and dragging
// its empty parts moves the window. The page buttons run the page commands of the menu.
class SidebarTopBar : public Gtk::WindowHandle {
public:
    SidebarTopBar(BrowserState& state, SidebarHost& host);
    ~SidebarTopBar() override;

    void refresh();

    Gtk::Button& backButton() { return m_back; }
    Gtk::Button& forwardButton() { return m_forward; }
    Gtk::Button& reloadButton() { return m_reload; }
    Gtk::Button& pinButton() { return m_pin; }
    // The window's controls taken from the host; nullptr until the host offers them.
    Gtk::Widget* chromeWidget() { return m_chromeSlot.get_first_child(); }

private:
    void setLightsHovered(bool hovered);
    void adoptChromeWidget();

    BrowserState& m_state;
    SidebarHost& m_host;
    Gtk::Box m_row;
    Gtk::Box m_lights;
    Gtk::Button m_closeLight, m_minimizeLight, m_zoomLight;
    Gtk::Image m_closeGlyph, m_minimizeGlyph, m_zoomGlyph;
    Gtk::Box m_sidebarButtons;
    Gtk::Button m_pin;
    Gtk::Box m_chromeSlot;
    Gtk::Box m_nav;
    Gtk::Button m_back, m_forward, m_reload;
    Glib::RefPtr<Gio::SimpleAction> m_goBack, m_goForward;
    std::vector<sigc::connection> m_connections;
};

} // namespace kovi
