#include "core/settings/appearance_manager.h"

#include "core/settings/preferences.h"
#include "core/support/defaults.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kovi {
namespace {

TEST(AppearanceManagerTest, FreshInstallIsDarkWithOpaqueChromeAndWritesNothing)
{
    Defaults defaults;
    Preferences preferences(defaults);
    int writes = 0;
    defaults.signalChanged().connect([&](const std::string&) { ++writes; });
    AppearanceManager appearance(preferences);
    EXPECT_TRUE(appearance.isDarkMode());
    EXPECT_FALSE(appearance.isGlassEnabled());
    EXPECT_EQ(writes, 0);
    EXPECT_FALSE(defaults.contains("isDarkMode"));
}

TEST(AppearanceManagerTest, StoredValuesAreReadBackAndOnlyABooleanCountsForDarkMode)
{
    Defaults defaults;
    Preferences preferences(defaults);
    defaults.setBool("isDarkMode", false);
    defaults.setBool("isLiquidGlassEnabled", true);
    AppearanceManager light(preferences);
    EXPECT_FALSE(light.isDarkMode());
    EXPECT_TRUE(light.isGlassEnabled());

    for (auto value : {Defaults::Value(0.0), Defaults::Value(std::string("false")), Defaults::Value(Defaults::Bytes{})}) {
        defaults.set("isDarkMode", value);
        EXPECT_TRUE(AppearanceManager(preferences).isDarkMode());
    }
}

TEST(AppearanceManagerTest, SettingNotifiesThenWritesEvenTheSameValue)
{
    Defaults defaults;
    Preferences preferences(defaults);
    AppearanceManager appearance(preferences);
    std::vector<std::string> events;
    defaults.signalChanged().connect([&](const std::string& key) { events.push_back("write " + key); });
    appearance.isDarkModeChanged.connect([&] { events.push_back(appearance.isDarkMode() ? "dark" : "light"); });
    appearance.isGlassEnabledChanged.connect([&] { events.push_back("glass"); });

    appearance.setIsDarkMode(true);
    appearance.setIsDarkMode(false);
    appearance.setIsGlassEnabled(true);
    EXPECT_EQ(events, (std::vector<std::string>{"dark", "write isDarkMode", "light", "write isDarkMode", "glass",
                                                "write isLiquidGlassEnabled"}));
    EXPECT_EQ(defaults.boolValue("isDarkMode"), false);
    EXPECT_EQ(defaults.boolValue("isLiquidGlassEnabled"), true);
    EXPECT_FALSE(AppearanceManager(preferences).isDarkMode());
}

} // namespace
} // namespace kovi
