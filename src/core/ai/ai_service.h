#pragma once

#include "core/ai/ai_types.h"
#include "core/support/url.h"

#include <sigc++/signal.h>

#include <string>
#include <string_view>

namespace kovi {

class Preferences;

// The AI assistant's settings (four switches, the user's API key and the chosen provider), kept
// in the settings store under their own keys, and the local title and file-name tidying.
// Values are read once at construction; every assignment writes its key, also when unchanged.
// Main thread only.
class AIService {
public:
    explicit AIService(Preferences& preferences);

    AIService(const AIService&) = delete;
    AIService& operator=(const AIService&) = delete;

    bool isMaxEnabled() const { return m_isMaxEnabled; }
    void setIsMaxEnabled(bool value);
    sigc::signal<void()> isMaxEnabledChanged;

    bool isTidyTabTitlesEnabled() const { return m_isTidyTabTitlesEnabled; }
    void setIsTidyTabTitlesEnabled(bool value);
    sigc::signal<void()> isTidyTabTitlesEnabledChanged;

    bool isTidyDownloadsEnabled() const { return m_isTidyDownloadsEnabled; }
    void setIsTidyDownloadsEnabled(bool value);
    sigc::signal<void()> isTidyDownloadsEnabledChanged;

    bool is5SecondPreviewsEnabled() const { return m_is5SecondPreviewsEnabled; }
    void setIs5SecondPreviewsEnabled(bool value);
    sigc::signal<void()> is5SecondPreviewsEnabledChanged;

    // Stored exactly as typed; an empty key means none is set.
    const std::string& apiKey() const { return m_apiKey; }
    void setApiKey(std::string value);
    sigc::signal<void()> apiKeyChanged;

    AIProvider selectedProvider() const { return m_selectedProvider; }
    void setSelectedProvider(AIProvider value);
    sigc::signal<void()> selectedProviderChanged;

    // Drops known site suffixes (" - YouTube", " · GitHub", …) and shortens long titles to 30
    // user-perceived characters. The URL is not consulted.
    static std::string tidyTabTitle(std::string_view title, const Url& url);
    static std::string tidyTabTitle(std::string_view title);
    // Drops copy counters, hash tails and "copy", and turns underscores into spaces.
    static std::string tidyDownloadFilename(std::string_view filename);

private:
    Preferences& m_preferences;
    bool m_isMaxEnabled = false;
    bool m_isTidyTabTitlesEnabled = false;
    bool m_isTidyDownloadsEnabled = false;
    bool m_is5SecondPreviewsEnabled = false;
    std::string m_apiKey;
    AIProvider m_selectedProvider = AIProvider::openai;
};

} // namespace kovi
