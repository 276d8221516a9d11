#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>

namespace kovi {

class AuthManager;

// The welcome screen, shown instead of everything else until someone is signed in. Its one
// action, "Start Browsing", creates the local guest account; the root view then moves on by
// itself because it watches the same AuthManager.
class AuthView : public Gtk::Box {
public:
    static constexpr int minimumWidth = 500;
    static constexpr int minimumHeight = 450;

    explicit AuthView(AuthManager& auth);
    Gtk::Button& startButton() { return m_start; }

private:
    AuthManager& m_auth;
    Gtk::Button m_start;
};

} // namespace kovi
