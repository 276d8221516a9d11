#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/window.h>

#include <string>

namespace kovi {

class AuthManager;

// One statement of the privacy sheet: a coloured symbol, a title and a wrapping description.
class PrivacyPoint : public Gtk::Box {
public:
    PrivacyPoint(const std::string& icon, const std::string& colorClass, const std::string& title,
                 const std::string& description);
};

// The privacy sheet: four statements and two buttons, as a modal window 420 px wide. "Got it!"
// and Escape close it; "Continue as Guest" replaces the account with a new guest account, then
// closes it.
class PrivacyInfoView : public Gtk::Window {
public:
    static constexpr int width = 420;

    PrivacyInfoView(AuthManager& auth, Gtk::Window& parent);

    Gtk::Button& gotItButton() { return m_gotIt; }
    Gtk::Button& continueAsGuestButton() { return m_continue; }

private:
    AuthManager& m_auth;
    Gtk::Button m_gotIt;
    Gtk::Button m_continue;
};

} // namespace kovi
