#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace kovi {

// What the settings tabs offer, in the order shown. A stored value that none of the options
// carries selects nothing (and stays stored): the index lookups give nullopt for it.

// Theme: a view of the dark-mode switch, not a stored value. "System" is not a mode of its own:
// choosing it turns dark mode off.
struct ThemeOption {
    std::string_view title;
    std::string_view tag;
};
inline constexpr std::array<ThemeOption, 3> themeOptions = {{
    {"Light", "light"},
    {"Dark", "dark"},
    {"System", "system"},
}};
std::string_view themeTag(bool isDarkMode);
bool isDarkModeForThemeTag(std::string_view tag);

inline constexpr std::array<std::string_view, 4> searchEngineOptions = {"Google", "DuckDuckGo", "Bing", "Ecosia"};
std::optional<std::size_t> searchEngineIndex(std::string_view stored);

struct ArchiveHoursOption {
    std::string_view title;
    double hours;
};
inline constexpr std::array<ArchiveHoursOption, 6> archiveHoursOptions = {{
    {"6 hours", 6},
    {"12 hours", 12},
    {"24 hours", 24},
    {"2 days", 48},
    {"3 days", 72},
    {"7 days", 168},
}};
std::optional<std::size_t> archiveHoursIndex(double stored);

// Where links from other applications open; stored only.
struct LinkTargetOption {
    std::string_view rawValue;
    std::string_view title;
};
inline constexpr std::array<LinkTargetOption, 3> linkTargetOptions = {{
    {"newTab", "New Tab"},
    {"currentTab", "Current Tab"},
    {"quickView", "Quick View"},
}};
std::optional<std::size_t> linkTargetIndex(std::string_view stored);

// The application-icon choices of the Icon tab (a choice of the open tab only, never stored).
struct AppIconOption {
    std::string_view id;
    std::string_view name;
    std::string_view color; // a named colour of the design
};
inline constexpr std::array<AppIconOption, 6> appIconOptions = {{
    {"default", "Default", "blue"},
    {"purple", "Purple", "purple"},
    {"pink", "Pink", "pink"},
    {"orange", "Orange", "orange"},
    {"green", "Green", "green"},
    {"monochrome", "Monochrome", "gray"},
}};

} // namespace kovi
