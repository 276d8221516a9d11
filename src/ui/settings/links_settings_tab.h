#pragma once

#include "core/support/scoped_connections.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/dropdown.h>

namespace kovi {

class Preferences;

// The Links tab: where links from other applications should open (stored only) and a
// default-browser row whose button does nothing yet.
class LinksSettingsTab : public Gtk::Box {
public:
    explicit LinksSettingsTab(Preferences& preferences);

    Gtk::DropDown& openLinksInPicker() { return m_picker; }
    Gtk::Button& makeDefaultButton() { return m_makeDefault; }

private:
    void refresh();

    Preferences& m_preferences;
    Gtk::DropDown m_picker;
    Gtk::Button m_makeDefault;
    int m_refreshing = 0;
    ScopedConnections m_connections;
};

} // namespace kovi
