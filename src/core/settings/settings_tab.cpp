#include "core/settings/settings_tab.h"

namespace kovi {

namespace {

struct TabInfo {
    SettingsTab tab;
    std::string_view title;
    std::string_view symbol;
};

constexpr std::array<TabInfo, 8> tabTable = {{
    {SettingsTab::profile, "Profile", "person.crop.square.fill"},
    {SettingsTab::general, "General", "gearshape"},
    {SettingsTab::profiles, "Profiles", "person.2"},
    {SettingsTab::max, "Max", "sparkles"},
    {SettingsTab::links, "Links", "link"},
    {SettingsTab::shortcuts, "Shortcuts", "keyboard"},
    {SettingsTab::icon, "Icon", "app.gift"},
    {SettingsTab::advanced, "Advanced", "slider.horizontal.3"},
}};

const TabInfo& info(SettingsTab tab)
{
    return tabTable[static_cast<std::size_t>(tab)];
}

} // namespace

std::string_view rawValue(SettingsTab tab)
{
    return info(tab).title;
}

std::string_view symbolName(SettingsTab tab)
{
    return info(tab).symbol;
}

std::optional<SettingsTab> settingsTabFromRawValue(std::string_view text)
{
    for (const TabInfo& entry : tabTable) {
        if (entry.title == text)
            return entry.tab;
    }
    return std::nullopt;
}

} // namespace kovi
