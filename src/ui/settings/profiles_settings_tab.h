#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>

namespace kovi {

// The Profiles tab: a page announcing separate browsing profiles, with a button that does
// nothing yet.
class ProfilesSettingsTab : public Gtk::Box {
public:
    ProfilesSettingsTab();
    Gtk::Button& createProfileButton() { return m_create; }

private:
    Gtk::Button m_create;
};

} // namespace kovi
