#include "ui/settings/advanced_settings_tab.h"

#include "core/settings/preferences.h"
#include "ui/settings/settings_section.h"

namespace kovi {

using namespace settings_ui;

AdvancedSettingsTab::AdvancedSettingsTab(Preferences& preferences)
    : Gtk::Box(Gtk::Orientation::VERTICAL, 20), m_preferences(preferences)
{
    add_css_class("kovi-settings-page");
    set_margin(24);

    auto addSwitchSection = [this](const char* heading, Gtk::CheckButton& check, const char* title,
                                   const char* description, const BoolKey& key) {
        auto* section = Gtk::make_managed<SettingsSection>();
        addHeading(*section, heading);
        check.set_label(title);
        check.add_css_class("kovi-settings-13");
        section->add(check);
        section->add(*makeDescription(description, true));
        append(*section);
        m_connections.add(check.signal_toggled().connect([this, &check, &key] {
            if (m_refreshing == 0)
                m_preferences.set(key, check.get_active());
        }));
        m_connections.add(m_preferences.changed(key).connect([this] { refresh(); }));
    };
    addSwitchSection("Developer", m_developer, "Developer Mode",
                     "Enable developer tools and additional debugging options", prefs::developerMode);
    addSwitchSection("Performance", m_hardware, "Hardware Acceleration", "Use GPU for rendering when available",
                     prefs::hardwareAcceleration);

    auto* data = Gtk::make_managed<SettingsSection>();
    addHeading(*data, "Data");
    for (auto [button, label, title] : {std::tuple{&m_clear, "Clear...", "Clear Browsing Data"},
                                        std::tuple{&m_export, "Export...", "Export Data"}}) {
        button->set_label(label);
        button->add_css_class("kovi-settings-small-button");
        markUnavailable(*button);
        data->add(*makeRow(title, *button));
    }
    append(*data);
    refresh();
}

void AdvancedSettingsTab::refresh()
{
    ++m_refreshing;
    m_developer.set_active(m_preferences.get(prefs::developerMode));
    m_hardware.set_active(m_preferences.get(prefs::hardwareAcceleration));
    --m_refreshing;
}

} // namespace kovi
