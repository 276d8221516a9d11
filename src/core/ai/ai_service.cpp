#include "core/ai/ai_service.h"

#include "core/support/defaults.h"
#include "core/support/persisted_bool.h"

namespace kovi {

AIService::AIService(Defaults& defaults)
    : m_defaults(defaults)
{
    m_isMaxEnabled = defaults.boolForKey(isMaxEnabledKey);
    m_isTidyTabTitlesEnabled = defaults.boolForKey(isTidyTabTitlesEnabledKey);
    m_isTidyDownloadsEnabled = defaults.boolForKey(isTidyDownloadsEnabledKey);
    m_is5SecondPreviewsEnabled = defaults.boolForKey(is5SecondPreviewsEnabledKey);
    m_apiKey = defaults.stringValue(apiKeyKey).value_or("");
    // An unknown stored provider reads as the default but is left in the store until the user
    // picks one.
    m_selectedProvider = defaults.stringValue(providerKey).value_or("openai") == "anthropic"
        ? AIProvider::anthropic
        : AIProvider::openai;
}

void AIService::setIsMaxEnabled(bool value)
{
    setPersistedBool(m_defaults, isMaxEnabledKey, m_isMaxEnabled, value, isMaxEnabledChanged);
}

void AIService::setIsTidyTabTitlesEnabled(bool value)
{
    setPersistedBool(m_defaults, isTidyTabTitlesEnabledKey, m_isTidyTabTitlesEnabled, value,
                     isTidyTabTitlesEnabledChanged);
}

void AIService::setIsTidyDownloadsEnabled(bool value)
{
    setPersistedBool(m_defaults, isTidyDownloadsEnabledKey, m_isTidyDownloadsEnabled, value,
                     isTidyDownloadsEnabledChanged);
}

void AIService::setIs5SecondPreviewsEnabled(bool value)
{
    setPersistedBool(m_defaults, is5SecondPreviewsEnabledKey, m_is5SecondPreviewsEnabled, value,
                     is5SecondPreviewsEnabledChanged);
}

void AIService::setApiKey(std::string value)
{
    m_apiKey = std::move(value);
    apiKeyChanged.emit();
    m_defaults.setString(apiKeyKey, m_apiKey);
}

void AIService::setSelectedProvider(AIProvider value)
{
    m_selectedProvider = value;
    selectedProviderChanged.emit();
    m_defaults.setString(providerKey, std::string(rawValue(m_selectedProvider)));
}

} // namespace kovi
