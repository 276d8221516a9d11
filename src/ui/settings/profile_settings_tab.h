#pragma once

#include "core/support/scoped_connections.h"
#include "ui/settings/membership_card.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/menubutton.h>
#include <gtkmm/popover.h>

namespace kovi {

class AuthManager;
class SettingsSection;

// The Profile tab: the membership card beside the account row (with a menu whose "Sign Out"
// signs out at once), the local-data note and the sharing invitation. Shows the current user
// and follows every change of it.
class ProfileSettingsTab : public Gtk::Box {
public:
    explicit ProfileSettingsTab(AuthManager& auth);

    MembershipCard& card() { return m_card; }
    Gtk::Label& emailLabel() { return m_email; }
    Gtk::MenuButton& accountMenuButton() { return m_menuButton; }
    Gtk::Button& signOutItem() { return m_signOut; }
    Gtk::Button& shareButton() { return m_share; }
    // The guest note under the account row.
    Gtk::Widget& guestNote() { return m_guestNote; }

private:
    void refresh();

    AuthManager& m_auth;
    MembershipCard m_card;
    Gtk::Label m_email;
    Gtk::MenuButton m_menuButton;
    Gtk::Popover m_menu;
    Gtk::Button m_signOut;
    Gtk::Box m_guestNote{Gtk::Orientation::VERTICAL, 12};
    Gtk::Button m_share;
    ScopedConnections m_connections;
};

} // namespace kovi
