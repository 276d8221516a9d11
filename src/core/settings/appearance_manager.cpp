#include "core/settings/appearance_manager.h"

#include "core/settings/persisted_bool.h"

namespace kovi {

AppearanceManager::AppearanceManager(Preferences& preferences)
    : m_preferences(preferences)
{
    m_isGlassEnabled = preferences.get(prefs::isGlassEnabled);
    m_isDarkMode = preferences.get(prefs::isDarkMode);
}

void AppearanceManager::setIsGlassEnabled(bool value)
{
    setPersistedBool(m_preferences, prefs::isGlassEnabled, m_isGlassEnabled, value,
                     isGlassEnabledChanged);
}

void AppearanceManager::setIsDarkMode(bool value)
{
    setPersistedBool(m_preferences, prefs::isDarkMode, m_isDarkMode, value, isDarkModeChanged);
}

} // namespace kovi
