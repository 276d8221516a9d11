#include "core/settings/persisted_bool.h"
#include "core/settings/preferences.h"

#include "core/support/defaults.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

namespace kovi {
namespace {

using Value = Defaults::Value;

TEST(PreferencesTest, EveryKeyIsStoredUnderItsOwnNameWithItsOwnType)
{
    test::TempDir dir;
    Defaults store(dir.file("defaults.json"));
    Preferences preferences(store);
    std::set<std::string> written;
    store.signalChanged().connect([&](const std::string& name) { written.insert(name); });

    for (const BoolKey* key : {&prefs::isDevToolsEnabled, &prefs::isBrowserBezelEnabled, &prefs::autoArchiveEnabled,
                               &prefs::isDarkMode, &prefs::isGlassEnabled, &prefs::showBookmarksBar,
                               &prefs::hasCompletedOnboarding, &prefs::autoPiPEnabled, &prefs::isMaxEnabled,
                               &prefs::isTidyTabTitlesEnabled, &prefs::isTidyDownloadsEnabled,
                               &prefs::is5SecondPreviewsEnabled, &prefs::hasLaunchedBefore, &prefs::maxEnabled,
                               &prefs::tidyTabTitles, &prefs::aiSummaries, &prefs::developerMode,
                               &prefs::hardwareAcceleration})
        preferences.set(*key, key->defaultValue);
    for (const StringKey* key : {&prefs::browserLayoutMode, &prefs::aiApiKey, &prefs::aiProvider,
                                 &prefs::defaultSearchEngine, &prefs::openLinksIn})
        preferences.set(*key, std::string(key->defaultValue));
    preferences.set(prefs::autoArchiveHours, prefs::autoArchiveHours.defaultValue);
    preferences.set(prefs::lastUpdateCheckDate, prefs::lastUpdateCheckDate.defaultValue);
    preferences.set(prefs::koviCurrentUser, Defaults::Bytes{'{', '}'});

    ASSERT_EQ(written.size(), std::size(prefs::allKeys)) << "a key of the registry is not covered here";
    // What earlier runs wrote and later runs must read: names, types and the values when unset.
    EXPECT_EQ(dir.read("defaults.json"),
              R"({"aiApiKey":{"type":"string","value":""},)"
              R"("aiProvider":{"type":"string","value":"openai"},)"
              R"("aiSummaries":{"type":"bool","value":true},)"
              R"("autoArchiveEnabled":{"type":"bool","value":true},)"
              R"("autoArchiveHours":{"type":"number","value":24},)"
              R"("autoPiPEnabled":{"type":"bool","value":true},)"
              R"("browserLayoutMode":{"type":"string","value":"vertical"},)"
              R"("defaultSearchEngine":{"type":"string","value":"Google"},)"
              R"("developerMode":{"type":"bool","value":false},)"
              R"("hardwareAcceleration":{"type":"bool","value":true},)"
              R"("hasCompletedOnboarding":{"type":"bool","value":false},)"
              R"("hasLaunchedBefore":{"type":"bool","value":false},)"
              R"("is5SecondPreviewsEnabled":{"type":"bool","value":false},)"
              R"("isBrowserBezelEnabled":{"type":"bool","value":true},)"
              R"("isDarkMode":{"type":"bool","value":true},)"
              R"("isDevToolsEnabled":{"type":"bool","value":false},)"
              R"("isLiquidGlassEnabled":{"type":"bool","value":false},)"
              R"("isMaxEnabled":{"type":"bool","value":false},)"
              R"("isTidyDownloadsEnabled":{"type":"bool","value":false},)"
              R"("isTidyTabTitlesEnabled":{"type":"bool","value":false},)"
              R"("koviCurrentUser":{"type":"bytes","value":"e30="},)"
              R"("lastUpdateCheckDate":{"type":"date","value":-63113904000},)"
              R"("maxEnabled":{"type":"bool","value":true},)"
              R"("openLinksIn":{"type":"string","value":"newTab"},)"
              R"("showBookmarksBar":{"type":"bool","value":false},)"
              R"("tidyTabTitles":{"type":"bool","value":true}})");
}

TEST(PreferencesTest, FileIsTheSameAsTheStoreAloneWroteIt)
{
    // The calls the services made on the store before the registry existed, and the same
    // writes through the registry: the files must match byte for byte, both ways.
    test::TempDir dir;
    {
        Defaults store(dir.file("before.json"));
        store.setString("browserLayoutMode", "traditional");
        store.setBool("isBrowserBezelEnabled", false);
        store.setNumber("autoArchiveHours", 6.5);
        store.setString("aiApiKey", "  sk-é\tkey ");
        store.setDate("lastUpdateCheckDate", Date(725760000.25));
        store.setBytes("koviCurrentUser", {0, 1, 254, 255});
        store.setBool("hasCompletedOnboarding", true);
    }
    {
        Defaults store(dir.file("after.json"));
        Preferences preferences(store);
        preferences.set(prefs::browserLayoutMode, "traditional");
        preferences.set(prefs::isBrowserBezelEnabled, false);
        preferences.set(prefs::autoArchiveHours, 6.5);
        preferences.set(prefs::aiApiKey, "  sk-é\tkey ");
        preferences.set(prefs::lastUpdateCheckDate, Date(725760000.25));
        preferences.set(prefs::koviCurrentUser, {0, 1, 254, 255});
        preferences.set(prefs::hasCompletedOnboarding, true);
    }
    EXPECT_EQ(dir.read("after.json"), dir.read("before.json"));

    Defaults store(dir.file("before.json"));
    Preferences preferences(store);
    EXPECT_EQ(preferences.get(prefs::browserLayoutMode), "traditional");
    EXPECT_FALSE(preferences.get(prefs::isBrowserBezelEnabled));
    EXPECT_EQ(preferences.get(prefs::autoArchiveHours), 6.5);
    EXPECT_EQ(preferences.get(prefs::aiApiKey), "  sk-é\tkey ");
    EXPECT_EQ(preferences.get(prefs::lastUpdateCheckDate), Date(725760000.25));
    EXPECT_EQ(preferences.get(prefs::koviCurrentUser), (Defaults::Bytes{0, 1, 254, 255}));
    EXPECT_TRUE(preferences.get(prefs::hasCompletedOnboarding));
}

TEST(PreferencesTest, StrictBoolsCountOnlyAStoredBool)
{
    Defaults store;
    Preferences preferences(store);
    EXPECT_TRUE(preferences.get(prefs::isBrowserBezelEnabled));
    EXPECT_FALSE(preferences.get(prefs::isDevToolsEnabled));
    for (const Value& other : {Value(0.0), Value(1.0), Value(std::string("false")), Value(std::string("true")),
                               Value(Defaults::Bytes{}), Value(Date(1))}) {
        store.set("isBrowserBezelEnabled", other);
        store.set("isDevToolsEnabled", other);
        EXPECT_TRUE(preferences.get(prefs::isBrowserBezelEnabled));
        EXPECT_FALSE(preferences.get(prefs::isDevToolsEnabled));
    }
    store.setBool("isBrowserBezelEnabled", false);
    store.setBool("isDevToolsEnabled", true);
    EXPECT_FALSE(preferences.get(prefs::isBrowserBezelEnabled));
    EXPECT_TRUE(preferences.get(prefs::isDevToolsEnabled));

    // Picture in picture stays on unless a stored Bool says false.
    EXPECT_TRUE(preferences.get(prefs::autoPiPEnabled));
    for (const Value& other : {Value(0.0), Value(std::string("no")), Value(std::string("false"))}) {
        store.set("autoPiPEnabled", other);
        EXPECT_TRUE(preferences.get(prefs::autoPiPEnabled));
    }
    store.setBool("autoPiPEnabled", false);
    EXPECT_FALSE(preferences.get(prefs::autoPiPEnabled));
}

TEST(PreferencesTest, LenientBoolsTakeNumbersAndWords)
{
    Defaults store;
    Preferences preferences(store);
    EXPECT_FALSE(preferences.get(prefs::showBookmarksBar));
    const std::pair<Value, bool> cases[] = {
        {Value(true), true},
        {Value(false), false},
        {Value(2.0), true},
        {Value(-0.5), true},
        {Value(0.0), false},
        {Value(std::string("YES")), true},
        {Value(std::string("True")), true},
        {Value(std::string("1")), true},
        {Value(std::string("no")), false},
        {Value(std::string("2")), false},
        {Value(std::string("")), false},
        {Value(Defaults::Bytes{1}), false},
        {Value(Date(5)), false},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        store.set("showBookmarksBar", cases[i].first);
        store.set("isTidyTabTitlesEnabled", cases[i].first);
        EXPECT_EQ(preferences.get(prefs::showBookmarksBar), cases[i].second) << "case " << i;
        EXPECT_EQ(preferences.get(prefs::isTidyTabTitlesEnabled), cases[i].second) << "case " << i;
    }
}

TEST(PreferencesTest, OtherKindsFallBackWhenAbsentOrOfAnotherType)
{
    Defaults store;
    Preferences preferences(store);
    EXPECT_EQ(preferences.get(prefs::autoArchiveHours), 24.0);
    EXPECT_EQ(preferences.get(prefs::aiProvider), "openai");
    EXPECT_EQ(preferences.get(prefs::lastUpdateCheckDate), Date::distantPast());
    EXPECT_FALSE(preferences.get(prefs::koviCurrentUser));

    store.setString("autoArchiveHours", "6");
    store.setNumber("aiProvider", 1);
    store.setNumber("lastUpdateCheckDate", 725760000);
    store.setString("koviCurrentUser", "{}");
    EXPECT_EQ(preferences.get(prefs::autoArchiveHours), 24.0);
    EXPECT_EQ(preferences.get(prefs::aiProvider), "openai");
    EXPECT_EQ(preferences.get(prefs::lastUpdateCheckDate), Date::distantPast());
    EXPECT_FALSE(preferences.get(prefs::koviCurrentUser));

    store.setNumber("autoArchiveHours", 0);
    store.setString("aiProvider", "");
    EXPECT_EQ(preferences.get(prefs::autoArchiveHours), 0.0);
    EXPECT_EQ(preferences.get(prefs::aiProvider), "") << "a stored empty text is a value";

    preferences.remove(prefs::koviCurrentUser);
    EXPECT_FALSE(store.contains("koviCurrentUser"));
}

TEST(PreferencesTest, EachKeySignalsItsOwnWritesOnly)
{
    Defaults store;
    Preferences preferences(store);
    std::vector<std::string> events;
    preferences.changed(prefs::isDarkMode).connect([&] { events.push_back("dark"); });
    preferences.changed(prefs::browserLayoutMode).connect([&] {
        events.push_back("layout " + preferences.get(prefs::browserLayoutMode));
    });

    preferences.set(prefs::isDarkMode, true);
    preferences.set(prefs::isDarkMode, true); // unchanged, still a write
    preferences.set(prefs::isDevToolsEnabled, true);
    preferences.set(prefs::browserLayoutMode, "traditional");
    store.setString("browserLayoutMode", "vertical"); // straight through the store
    store.setBool("isDarkModeX", true);
    preferences.remove(prefs::isDarkMode);
    EXPECT_EQ(events, (std::vector<std::string>{"dark", "dark", "layout traditional", "layout vertical", "dark"}));
}

TEST(PreferencesTest, ASlotMayListenToAnotherKeyWhileSignalled)
{
    Defaults store;
    Preferences preferences(store);
    int bezel = 0;
    preferences.changed(prefs::isDarkMode).connect([&] {
        // Adds signals while one is being emitted.
        for (const BoolKey* key : {&prefs::isBrowserBezelEnabled, &prefs::aiSummaries, &prefs::developerMode})
            preferences.changed(*key).connect([&bezel, key] { bezel += key == &prefs::isBrowserBezelEnabled; });
    });
    preferences.set(prefs::isDarkMode, false);
    preferences.set(prefs::isBrowserBezelEnabled, false);
    EXPECT_EQ(bezel, 1);
}

TEST(PreferencesTest, SignalsStopWithThePreferences)
{
    Defaults store;
    int calls = 0;
    {
        Preferences preferences(store);
        preferences.changed(prefs::isDarkMode).connect([&] { ++calls; });
        store.setBool("isDarkMode", false);
    }
    store.setBool("isDarkMode", true);
    EXPECT_EQ(calls, 1);
}

TEST(PreferencesTest, PersistedSwitchTellsObserversBeforeItWrites)
{
    Defaults store;
    Preferences preferences(store);
    std::vector<std::string> changed;
    store.signalChanged().connect([&](const std::string& key) { changed.push_back(key); });
    bool storage = false;
    sigc::signal<void()> published;
    int notifications = 0;
    published.connect([&] {
        ++notifications;
        EXPECT_TRUE(storage); // observers see the stored value before the settings are written
        EXPECT_FALSE(store.contains("isDarkMode"));
    });
    setPersistedBool(preferences, prefs::isDarkMode, storage, true, published);
    published.clear();
    setPersistedBool(preferences, prefs::isDarkMode, storage, true, published);
    EXPECT_EQ(notifications, 1);
    EXPECT_EQ(changed, (std::vector<std::string>{"isDarkMode", "isDarkMode"}));
    EXPECT_EQ(store.boolValue("isDarkMode"), true);
}

TEST(PreferencesTest, KeyNamesAreUniqueLowerCamelWords)
{
    std::set<std::string_view> names;
    for (const PreferenceKey* key : prefs::allKeys) {
        EXPECT_TRUE(names.insert(key->name).second) << key->name << " is declared twice";
        ASSERT_FALSE(key->name.empty());
        EXPECT_TRUE(std::islower(static_cast<unsigned char>(key->name.front()))) << key->name;
        for (char c : key->name)
            EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << key->name;
    }
}

} // namespace
} // namespace kovi
