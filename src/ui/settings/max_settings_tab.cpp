#include "ui/settings/max_settings_tab.h"

#include "core/settings/preferences.h"
#include "ui/settings/settings_section.h"

namespace kovi {

using namespace settings_ui;

MaxSettingsTab::MaxSettingsTab(Preferences& preferences)
    : Gtk::Box(Gtk::Orientation::VERTICAL, 20), m_preferences(preferences)
{
    add_css_class("kovi-settings-page");
    set_margin(24);

    auto* main = Gtk::make_managed<SettingsSection>();
    auto* texts = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 4);
    texts->append(*makeLabel("Kovi Max", {"kovi-settings-heading"}));
    texts->append(*makeLabel("AI-powered features for a smarter browsing experience", {"kovi-settings-12", "kovi-secondary"}));
    main->add(*makeRow(*texts, m_max));
    append(*main);

    m_features = Gtk::make_managed<SettingsSection>();
    addHeading(*m_features, "Features");
    m_tidy.set_label("Tidy Tab Titles");
    m_tidy.add_css_class("kovi-settings-13");
    m_features->add(m_tidy);
    m_features->add(*makeDescription("Automatically shorten long tab titles to be more readable", true));
    m_features->add(*makeDivider());
    m_summaries.set_label("AI Summaries");
    m_summaries.add_css_class("kovi-settings-13");
    m_features->add(m_summaries);
    m_features->add(*makeDescription("Get quick summaries of web pages", true));
    append(*m_features);

    auto write = [this](const BoolKey& key, auto& control) {
        m_connections.add(control.property_active().signal_changed().connect([this, &key, &control] {
            if (m_refreshing == 0)
                m_preferences.set(key, control.get_active());
        }));
        m_connections.add(m_preferences.changed(key).connect([this] { refresh(); }));
    };
    write(prefs::maxEnabled, m_max);
    write(prefs::tidyTabTitles, m_tidy);
    write(prefs::aiSummaries, m_summaries);
    refresh();
}

void MaxSettingsTab::refresh()
{
    ++m_refreshing;
    const bool enabled = m_preferences.get(prefs::maxEnabled);
    m_max.set_active(enabled);
    m_tidy.set_active(m_preferences.get(prefs::tidyTabTitles));
    m_summaries.set_active(m_preferences.get(prefs::aiSummaries));
    m_features->set_visible(enabled);
    --m_refreshing;
}

} // namespace kovi
