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

    // Nothing reads these keys (the AI assistant has switches of its own): the controls show what
    // is stored and cannot be changed.
    for (Gtk::Widget* control : std::initializer_list<Gtk::Widget*>{&m_max, &m_tidy, &m_summaries})
        markUnavailable(*control);
    for (const BoolKey* key : {&prefs::maxEnabled, &prefs::tidyTabTitles, &prefs::aiSummaries})
        m_connections.add(m_preferences.changed(*key).connect([this] { refresh(); }));
    refresh();
}

void MaxSettingsTab::refresh()
{
    const bool enabled = m_preferences.get(prefs::maxEnabled);
    m_max.set_active(enabled);
    m_tidy.set_active(m_preferences.get(prefs::tidyTabTitles));
    m_summaries.set_active(m_preferences.get(prefs::aiSummaries));
    m_features->set_visible(enabled);
}

} // namespace kovi
