#include "core/settings/appearance_manager.h"

#include "core/settings/persisted_bool.h"

namespace kovi {

AppearanceManager::AppearanceManager(Preferences& preferences)
    : m_preferences(preferences)
{
    m_isLiquidGlassEnabled = preferences.get(prefs::isLiquidGlassEnabled);
    m_isDarkMode = preferences.get(prefs::isDarkMode);
}

void AppearanceManager::setIsLiquidGlassEnabled(bool value)
{
    setPersistedBool(m_preferences, prefs::isLiquidGlassEnabled, m_isLiquidGlassEnabled, value,
                     isLiquidGlassEnabledChanged);
}

void AppearanceManager::setIsDarkMode(bool value)
{
    setPersistedBool(m_preferences, prefs::isDarkMode, m_isDarkMode, value, isDarkModeChanged);
}

} // namespace kovi
