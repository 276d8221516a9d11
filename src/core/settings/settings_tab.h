#pragma once

#include "core/support/name_table.h"

#include <array>
#include <string_view>

namespace kovi {

// The tabs of the settings window, in the order of its tab bar. The raw value is also the title.
enum class SettingsTab { profile, general, profiles, max, links, shortcuts, icon, advanced };

inline constexpr std::array<SettingsTab, 8> allSettingsTabs = {
    SettingsTab::profile, SettingsTab::general,   SettingsTab::profiles, SettingsTab::max,
    SettingsTab::links,   SettingsTab::shortcuts, SettingsTab::icon,     SettingsTab::advanced,
};

NameTable<SettingsTab> rawValueNames(SettingsTab);
// The symbol name of the tab's picture.
std::string_view symbolName(SettingsTab tab);

} // namespace kovi
