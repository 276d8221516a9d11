#pragma once

#include "core/settings/auth_manager.h"

#include <gtkmm/box.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/label.h>
#include <gtkmm/overlay.h>

namespace kovi {

// The account panel's card: a round avatar (a question-mark figure on gray for a guest, else
// the initials on blue to purple), the name, the e-mail when there is one, a "Guest Account"
// badge for a guest, and for other accounts the date the account was made.
class AccountCard : public Gtk::Overlay {
public:
    explicit AccountCard(const KoviUser& user);

    const std::string& initials() const { return m_initials; }
    Gtk::Label& nameLabel() { return m_name; }
    Gtk::Label* emailLabel() const { return m_email; }
    Gtk::Widget* guestBadge() const { return m_guestBadge; }
    // The "Member since" value; nullptr for a guest.
    Gtk::Label* memberSinceLabel() const { return m_memberSince; }

private:
    std::string m_initials;
    Gtk::Box m_column{Gtk::Orientation::VERTICAL, 16};
    Gtk::DrawingArea m_border;
    Gtk::Label m_name;
    Gtk::Label* m_email = nullptr;
    Gtk::Widget* m_guestBadge = nullptr;
    Gtk::Label* m_memberSince = nullptr;
};

} // namespace kovi
