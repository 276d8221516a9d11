#include "core/settings/settings_tab.h"

namespace kovi {

NameTable<SettingsTab> rawValueNames(SettingsTab)
{
    static constexpr NamedCase<SettingsTab> titles[] = {
        {SettingsTab::profile, "Profile"},
        {SettingsTab::general, "General"},
        {SettingsTab::profiles, "Profiles"},
        {SettingsTab::max, "Max"},
        {SettingsTab::links, "Links"},
        {SettingsTab::shortcuts, "Shortcuts"},
        {SettingsTab::icon, "Icon"},
        {SettingsTab::advanced, "Advanced"},
    };
    return titles;
}

std::string_view symbolName(SettingsTab tab)
{
    static constexpr NamedCase<SettingsTab> symbols[] = {
        {SettingsTab::profile, "person.crop.square.fill"},
        {SettingsTab::general, "gearshape"},
        {SettingsTab::profiles, "person.2"},
        {SettingsTab::max, "sparkles"},
        {SettingsTab::links, "link"},
        {SettingsTab::shortcuts, "keyboard"},
        {SettingsTab::icon, "app.gift"},
        {SettingsTab::advanced, "slider.horizontal.3"},
    };
    return nameIn<SettingsTab>(symbols, tab);
}

} // namespace kovi
