#pragma once

#include "core/support/scoped_connections.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>

namespace kovi {

class Preferences;

// The Advanced tab: the developer-mode and hardware-acceleration switches (stored only) and the
// data buttons, which do nothing yet.
class AdvancedSettingsTab : public Gtk::Box {
public:
    explicit AdvancedSettingsTab(Preferences& preferences);

    Gtk::CheckButton& developerModeCheck() { return m_developer; }
    Gtk::CheckButton& hardwareAccelerationCheck() { return m_hardware; }
    Gtk::Button& clearButton() { return m_clear; }
    Gtk::Button& exportButton() { return m_export; }

private:
    void refresh();

    Preferences& m_preferences;
    Gtk::CheckButton m_developer;
    Gtk::CheckButton m_hardware;
    Gtk::Button m_clear;
    Gtk::Button m_export;
    int m_refreshing = 0;
    ScopedConnections m_connections;
};

} // namespace kovi
