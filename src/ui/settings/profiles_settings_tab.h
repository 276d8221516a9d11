#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>

namespace kovi {

// The Profiles tab: a page announcing separate browsing profiles, with a button that is not
// available yet.
class ProfilesSettingsTab : public Gtk::Box {
public:
    static constexpr int descriptionMaxWidth = 300;

    ProfilesSettingsTab();
    Gtk::Button& createProfileButton() { return m_create; }
    Gtk::Label& description() { return *m_description; }

private:
    Gtk::Button m_create;
    Gtk::Label* m_description = nullptr;
};

} // namespace kovi
