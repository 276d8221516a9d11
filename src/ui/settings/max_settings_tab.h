#pragma once

#include "core/support/scoped_connections.h"
#include "ui/settings/settings_section.h"

#include <gtkmm/box.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/switch.h>
#include <sigc++/connection.h>

#include <vector>

namespace kovi {

class Preferences;

// The Max tab: the "Kovi Max" switch and, while it is on, the feature switches, greyed out:
// their keys are kept apart and read by nothing (the AI assistant follows its own settings).
class MaxSettingsTab : public Gtk::Box {
public:
    explicit MaxSettingsTab(Preferences& preferences);

    Gtk::Switch& maxSwitch() { return m_max; }
    Gtk::CheckButton& tidyTabTitlesCheck() { return m_tidy; }
    Gtk::CheckButton& aiSummariesCheck() { return m_summaries; }
    Gtk::Widget& featuresSection() { return *m_features; }

private:
    void refresh();

    Preferences& m_preferences;
    Gtk::Switch m_max;
    Gtk::CheckButton m_tidy;
    Gtk::CheckButton m_summaries;
    SettingsSection* m_features = nullptr;
    ScopedConnections m_connections; // last: dropped before the members its slots use
};

} // namespace kovi
