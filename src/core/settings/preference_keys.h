#pragma once

#include "core/support/date.h"

#include <cstddef>
#include <string_view>

namespace kovi {

// How a stored Bool is read back.
enum class BoolReading {
    // Only a stored Bool counts; absent or stored with another type gives the key's default.
    strict,
    // The usual settings-store reading: absent gives the default; a non-zero number and the
    // texts "true", "yes", "1" (any case) count as true; anything else as false.
    lenient,
};

// A stored setting: its name in the settings file. The typed kinds below add the value read
// when the key is absent (or unreadable).
struct PreferenceKey {
    std::string_view name;
};

struct BoolKey : PreferenceKey {
    bool defaultValue;
    BoolReading reading;
};

struct NumberKey : PreferenceKey {
    double defaultValue; // also when the stored value is not a number
};

struct StringKey : PreferenceKey {
    std::string_view defaultValue; // also when the stored value is not a text
};

struct DateKey : PreferenceKey {
    Date defaultValue; // also when the stored value is not a date
};

// Raw bytes; absent reads as none.
struct BytesKey : PreferenceKey {
};

// Every setting the browser keeps, once. Names are the stored names and never change: they are
// what earlier runs wrote into the settings file.
namespace prefs {

// Window layout and the browser state's switches.
inline constexpr StringKey browserLayoutMode{"browserLayoutMode", "vertical"};
inline constexpr BoolKey isDevToolsEnabled{"isDevToolsEnabled", false, BoolReading::strict};
inline constexpr BoolKey isBrowserBezelEnabled{"isBrowserBezelEnabled", true, BoolReading::strict};
// Closing of idle tabs; hours of 0 or less switch it off.
inline constexpr BoolKey autoArchiveEnabled{"autoArchiveEnabled", true, BoolReading::strict};
inline constexpr NumberKey autoArchiveHours{"autoArchiveHours", 24.0};

// Appearance.
inline constexpr BoolKey isDarkMode{"isDarkMode", true, BoolReading::strict};
// Stored under the name earlier versions wrote.
inline constexpr BoolKey isGlassEnabled{"isLiquidGlassEnabled", false, BoolReading::lenient};
inline constexpr BoolKey showBookmarksBar{"showBookmarksBar", false, BoolReading::lenient};

// First run.
inline constexpr BoolKey hasCompletedOnboarding{"hasCompletedOnboarding", false, BoolReading::strict};

// Pages: only a stored false keeps video from going picture-in-picture on its own.
inline constexpr BoolKey autoPiPEnabled{"autoPiPEnabled", true, BoolReading::strict};

// The AI assistant.
inline constexpr BoolKey isMaxEnabled{"isMaxEnabled", false, BoolReading::lenient};
inline constexpr BoolKey isTidyTabTitlesEnabled{"isTidyTabTitlesEnabled", false, BoolReading::lenient};
inline constexpr BoolKey isTidyDownloadsEnabled{"isTidyDownloadsEnabled", false, BoolReading::lenient};
inline constexpr BoolKey is5SecondPreviewsEnabled{"is5SecondPreviewsEnabled", false, BoolReading::lenient};
inline constexpr StringKey aiApiKey{"aiApiKey", ""};
inline constexpr StringKey aiProvider{"aiProvider", "openai"};

// The local account.
inline constexpr BytesKey koviCurrentUser{"koviCurrentUser"};
inline constexpr BoolKey hasLaunchedBefore{"hasLaunchedBefore", false, BoolReading::strict};

// The update check.
inline constexpr DateKey lastUpdateCheckDate{"lastUpdateCheckDate", Date::distantPast()};

// The settings window's own keys.
inline constexpr StringKey defaultSearchEngine{"defaultSearchEngine", "Google"};
inline constexpr BoolKey maxEnabled{"maxEnabled", true, BoolReading::strict};
inline constexpr BoolKey tidyTabTitles{"tidyTabTitles", true, BoolReading::strict};
inline constexpr BoolKey aiSummaries{"aiSummaries", true, BoolReading::strict};
inline constexpr StringKey openLinksIn{"openLinksIn", "newTab"};
inline constexpr BoolKey developerMode{"developerMode", false, BoolReading::strict};
inline constexpr BoolKey hardwareAcceleration{"hardwareAcceleration", true, BoolReading::strict};

// Every key above; a new key is added here too.
inline constexpr const PreferenceKey* allKeys[] = {
    &browserLayoutMode,
    &isDevToolsEnabled,
    &isBrowserBezelEnabled,
    &autoArchiveEnabled,
    &autoArchiveHours,
    &isDarkMode,
    &isGlassEnabled,
    &showBookmarksBar,
    &hasCompletedOnboarding,
    &autoPiPEnabled,
    &isMaxEnabled,
    &isTidyTabTitlesEnabled,
    &isTidyDownloadsEnabled,
    &is5SecondPreviewsEnabled,
    &aiApiKey,
    &aiProvider,
    &koviCurrentUser,
    &hasLaunchedBefore,
    &lastUpdateCheckDate,
    &defaultSearchEngine,
    &maxEnabled,
    &tidyTabTitles,
    &aiSummaries,
    &openLinksIn,
    &developerMode,
    &hardwareAcceleration,
};

constexpr bool namesAreUnique()
{
    for (std::size_t i = 0; i < std::size(allKeys); ++i)
        for (std::size_t j = i + 1; j < std::size(allKeys); ++j)
            if (allKeys[i]->name == allKeys[j]->name)
                return false;
    return true;
}
static_assert(namesAreUnique(), "two settings share one stored name");

} // namespace prefs
} // namespace kovi
