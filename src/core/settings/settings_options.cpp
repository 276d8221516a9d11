#include "core/settings/settings_options.h"

namespace kovi {

std::string_view themeTag(bool isDarkMode)
{
    return isDarkMode ? "dark" : "light";
}

bool isDarkModeForThemeTag(std::string_view tag)
{
    return tag == "dark";
}

std::optional<std::size_t> searchEngineIndex(std::string_view stored)
{
    for (std::size_t i = 0; i < searchEngineOptions.size(); ++i) {
        if (searchEngineOptions[i] == stored)
            return i;
    }
    return std::nullopt;
}

std::optional<std::size_t> archiveHoursIndex(double stored)
{
    for (std::size_t i = 0; i < archiveHoursOptions.size(); ++i) {
        if (archiveHoursOptions[i].hours == stored)
            return i;
    }
    return std::nullopt;
}

std::optional<std::size_t> linkTargetIndex(std::string_view stored)
{
    for (std::size_t i = 0; i < linkTargetOptions.size(); ++i) {
        if (linkTargetOptions[i].rawValue == stored)
            return i;
    }
    return std::nullopt;
}

} // namespace kovi
