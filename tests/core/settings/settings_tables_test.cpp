#include "core/settings/settings_options.h"
#include "core/settings/settings_tab.h"
#include "core/settings/shortcut_rows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>

namespace kovi {
namespace {

TEST(SettingsTablesTest, TabsRoundTripThroughTheirExactRawValues)
{
    std::set<std::string_view> titles;
    for (SettingsTab tab : allSettingsTabs) {
        EXPECT_EQ(fromRawValue<SettingsTab>(rawValue(tab)), tab);
        EXPECT_FALSE(symbolName(tab).empty());
        titles.insert(rawValue(tab));
    }
    EXPECT_EQ(titles.size(), allSettingsTabs.size());
    EXPECT_EQ(rawValue(allSettingsTabs.front()), "Profile");
    EXPECT_EQ(rawValue(allSettingsTabs.back()), "Advanced");
    EXPECT_EQ(fromRawValue<SettingsTab>("profile"), std::nullopt);
    EXPECT_EQ(fromRawValue<SettingsTab>("Profile "), std::nullopt);
    EXPECT_EQ(fromRawValue<SettingsTab>(""), std::nullopt);
}

TEST(SettingsTablesTest, StoredValuesOutsideTheOptionsSelectNothing)
{
    EXPECT_EQ(archiveHoursIndex(6), 0u);
    EXPECT_EQ(archiveHoursIndex(168), 5u);
    EXPECT_EQ(archiveHoursIndex(24.0), 2u);
    for (double odd : {0.0, -6.0, 5.0, 6.5, 1e9, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity()})
        EXPECT_EQ(archiveHoursIndex(odd), std::nullopt) << odd;

    EXPECT_EQ(searchEngineIndex("DuckDuckGo"), 1u);
    EXPECT_EQ(searchEngineIndex("duckduckgo"), std::nullopt);
    EXPECT_EQ(searchEngineIndex(""), std::nullopt);
    EXPECT_EQ(linkTargetIndex("quickView"), 2u);
    EXPECT_EQ(linkTargetIndex("Quick View"), std::nullopt);
}

TEST(SettingsTablesTest, OnlyTheDarkTagTurnsDarkModeOn)
{
    EXPECT_EQ(themeTag(true), "dark");
    EXPECT_EQ(themeTag(false), "light");
    EXPECT_TRUE(isDarkModeForThemeTag("dark"));
    EXPECT_FALSE(isDarkModeForThemeTag("system"));
    EXPECT_FALSE(isDarkModeForThemeTag("light"));
    EXPECT_FALSE(isDarkModeForThemeTag("Dark"));
}

TEST(SettingsTablesTest, ShortcutTextsUseTheLinuxModifierNames)
{
    std::vector<std::string> shown;
    for (const auto& row : shortcutRows)
        shown.push_back(std::string(row.action) + " " + shortcutText(row.accelerator));
    EXPECT_EQ(shown, (std::vector<std::string>{"New Tab Ctrl+T", "Close Tab Ctrl+W", "Command Bar Ctrl+K",
                                               "Switch Tabs Ctrl+Shift+O", "Split View Ctrl+Alt+D",
                                               "Find in Page Ctrl+F", "History Ctrl+Y", "Downloads Ctrl+Alt+J"}));
    // Modifiers in one order whatever the accelerator's order; symbol keys as symbols.
    EXPECT_EQ(shortcutText("<Shift><Alt><Control>x"), "Ctrl+Alt+Shift+X");
    EXPECT_EQ(shortcutText("<Primary>comma"), "Ctrl+,");
    EXPECT_EQ(shortcutText("<Control>bracketleft"), "Ctrl+[");
    EXPECT_EQ(shortcutText("<Control><Alt>Right"), "Ctrl+Alt+Right");
    EXPECT_EQ(shortcutText("F5"), "F5");
    EXPECT_EQ(shortcutText("<Control"), "<Control");
}

} // namespace
} // namespace kovi
