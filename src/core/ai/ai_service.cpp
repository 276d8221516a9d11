#include "core/ai/ai_service.h"

#include "core/settings/persisted_bool.h"

namespace kovi {

AIService::AIService(Preferences& preferences)
    : m_preferences(preferences)
{
    m_isMaxEnabled = preferences.get(prefs::isMaxEnabled);
    m_isTidyTabTitlesEnabled = preferences.get(prefs::isTidyTabTitlesEnabled);
    m_isTidyDownloadsEnabled = preferences.get(prefs::isTidyDownloadsEnabled);
    m_is5SecondPreviewsEnabled = preferences.get(prefs::is5SecondPreviewsEnabled);
    m_apiKey = preferences.get(prefs::aiApiKey);
    // An unknown stored provider reads as the default but is left in the store until the user
    // picks one.
    m_selectedProvider = fromRawValue<AIProvider>(preferences.get(prefs::aiProvider)).value_or(AIProvider::openai);
}

void AIService::setIsMaxEnabled(bool value)
{
    setPersistedBool(m_preferences, prefs::isMaxEnabled, m_isMaxEnabled, value, isMaxEnabledChanged);
}

void AIService::setIsTidyTabTitlesEnabled(bool value)
{
    setPersistedBool(m_preferences, prefs::isTidyTabTitlesEnabled, m_isTidyTabTitlesEnabled, value,
                     isTidyTabTitlesEnabledChanged);
}

void AIService::setIsTidyDownloadsEnabled(bool value)
{
    setPersistedBool(m_preferences, prefs::isTidyDownloadsEnabled, m_isTidyDownloadsEnabled, value,
                     isTidyDownloadsEnabledChanged);
}

void AIService::setIs5SecondPreviewsEnabled(bool value)
{
    setPersistedBool(m_preferences, prefs::is5SecondPreviewsEnabled, m_is5SecondPreviewsEnabled, value,
                     is5SecondPreviewsEnabledChanged);
}

void AIService::setApiKey(std::string value)
{
    m_apiKey = std::move(value);
    apiKeyChanged.emit();
    m_preferences.set(prefs::aiApiKey, m_apiKey);
}

void AIService::setSelectedProvider(AIProvider value)
{
    m_selectedProvider = value;
    selectedProviderChanged.emit();
    m_preferences.set(prefs::aiProvider, std::string(rawValue(m_selectedProvider)));
}

} // namespace kovi
