#include "core/ai/ai_service.h"

#include "core/settings/preferences.h"
#include "core/support/defaults.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <vector>

namespace kovi {
namespace {

TEST(AIServiceTest, EmptyStoreGivesTheDefaultsAndWritesNothing)
{
    Defaults defaults;
    Preferences preferences(defaults);
    std::vector<std::string> written;
    defaults.signalChanged().connect([&](const std::string& key) { written.push_back(key); });
    AIService service(preferences);
    EXPECT_FALSE(service.isMaxEnabled());
    EXPECT_FALSE(service.isTidyTabTitlesEnabled());
    EXPECT_FALSE(service.isTidyDownloadsEnabled());
    EXPECT_FALSE(service.is5SecondPreviewsEnabled());
    EXPECT_EQ(service.apiKey(), "");
    EXPECT_EQ(service.selectedProvider(), AIProvider::openai);
    EXPECT_TRUE(written.empty());
}

TEST(AIServiceTest, StoredValuesOfTheWrongTypeFallBack)
{
    Defaults defaults;
    Preferences preferences(defaults);
    defaults.setString("isMaxEnabled", "maybe");
    defaults.setBytes("isTidyDownloadsEnabled", {1});
    defaults.setNumber("aiApiKey", 42);
    defaults.setNumber("aiProvider", 1);
    AIService service(preferences);
    EXPECT_FALSE(service.isMaxEnabled());
    EXPECT_FALSE(service.isTidyDownloadsEnabled());
    EXPECT_EQ(service.apiKey(), "");
    EXPECT_EQ(service.selectedProvider(), AIProvider::openai);
}

TEST(AIServiceTest, OnlyTheExactProviderNameSelectsItAndTheStoredTextIsKept)
{
    for (const char* stored : {"Anthropic", "ANTHROPIC", "claude", "", "anthropic "}) {
        Defaults defaults;
        Preferences preferences(defaults);
        defaults.setString("aiProvider", stored);
        AIService service(preferences);
        EXPECT_EQ(service.selectedProvider(), AIProvider::openai) << stored;
        EXPECT_EQ(defaults.stringValue("aiProvider"), stored);
    }
    Defaults defaults;
    Preferences preferences(defaults);
    defaults.setString("aiProvider", "anthropic");
    EXPECT_EQ(AIService(preferences).selectedProvider(), AIProvider::anthropic);

    EXPECT_EQ(fromRawValue<AIProvider>("anthropic"), AIProvider::anthropic);
    EXPECT_EQ(fromRawValue<AIProvider>("openai"), AIProvider::openai);
    EXPECT_FALSE(fromRawValue<AIProvider>("OpenAI"));
}

TEST(AIServiceTest, EverySetterNotifiesThenWritesItsKeyEvenWhenUnchanged)
{
    Defaults defaults;
    Preferences preferences(defaults);
    AIService service(preferences);
    std::vector<std::string> events;
    defaults.signalChanged().connect([&](const std::string& key) { events.push_back("write " + key); });
    service.isMaxEnabledChanged.connect([&] {
        // Observers already see the new value, before it reaches the store.
        events.push_back(std::string("notify ") + (service.isMaxEnabled() ? "on" : "off"));
    });

    service.setIsMaxEnabled(false);
    EXPECT_EQ(events, (std::vector<std::string>{"notify off", "write isMaxEnabled"}));
    EXPECT_EQ(defaults.boolValue("isMaxEnabled"), false);

    service.setIsTidyTabTitlesEnabled(true);
    service.setIsTidyDownloadsEnabled(true);
    service.setIs5SecondPreviewsEnabled(true);
    EXPECT_EQ(defaults.boolValue("isTidyTabTitlesEnabled"), true);
    EXPECT_EQ(defaults.boolValue("isTidyDownloadsEnabled"), true);
    EXPECT_EQ(defaults.boolValue("is5SecondPreviewsEnabled"), true);

    service.setApiKey("");
    EXPECT_EQ(defaults.stringValue("aiApiKey"), "");
    service.setSelectedProvider(AIProvider::anthropic);
    EXPECT_EQ(defaults.stringValue("aiProvider"), "anthropic");
    service.setSelectedProvider(AIProvider::openai);
    EXPECT_EQ(defaults.stringValue("aiProvider"), "openai");
}

TEST(AIServiceTest, SettingsSurviveARestartAndTheKeyIsKeptExactlyAsTyped)
{
    test::TempDir dir;
    const std::string path = dir.file("config/defaults.json");
    const std::string typed = "  sk-test\tkey with blanks ";
    {
        Defaults defaults(path);
        Preferences preferences(defaults);
        AIService service(preferences);
        service.setIsMaxEnabled(true);
        service.setIsTidyTabTitlesEnabled(true);
        service.setApiKey(typed);
        service.setSelectedProvider(AIProvider::anthropic);
    }
    Defaults defaults(path);
    Preferences preferences(defaults);
    AIService service(preferences);
    EXPECT_TRUE(service.isMaxEnabled());
    EXPECT_TRUE(service.isTidyTabTitlesEnabled());
    EXPECT_FALSE(service.isTidyDownloadsEnabled());
    EXPECT_EQ(service.apiKey(), typed);
    EXPECT_EQ(service.selectedProvider(), AIProvider::anthropic);
}

TEST(AIServiceTest, ErrorsDescribeThemselvesToTheUser)
{
    EXPECT_EQ(describe(AIError::noApiKey), "No API key configured. Go to Settings to add your API key.");
    EXPECT_EQ(describe(AIError::apiError), "Failed to get response from AI service.");
    EXPECT_EQ(describe(AIError::parseError), "Failed to parse AI response.");
}

} // namespace
} // namespace kovi
