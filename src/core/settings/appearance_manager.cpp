#include "core/settings/appearance_manager.h"

#include "core/support/defaults.h"
#include "core/support/persisted_bool.h"

namespace kovi {

AppearanceManager::AppearanceManager(Defaults& defaults)
    : m_defaults(defaults)
{
    m_isLiquidGlassEnabled = defaults.boolForKey(isLiquidGlassEnabledKey);
    // Only a stored Boolean counts; anything else keeps the dark default.
    m_isDarkMode = defaults.boolValue(isDarkModeKey).value_or(true);
}

void AppearanceManager::setIsLiquidGlassEnabled(bool value)
{
    setPersistedBool(m_defaults, isLiquidGlassEnabledKey, m_isLiquidGlassEnabled, value, isLiquidGlassEnabledChanged);
}

void AppearanceManager::setIsDarkMode(bool value)
{
    setPersistedBool(m_defaults, isDarkModeKey, m_isDarkMode, value, isDarkModeChanged);
}

} // namespace kovi
