#include "core/model/tab.h"
#include "core/model/tab_folder.h"

#include <gtest/gtest.h>

namespace kovi {
namespace {

const Uuid tabId = *Uuid::parse("1B4E28BA-2FA1-11D2-883F-0016D3CCA427");
const Uuid spaceId = *Uuid::parse("6F9619FF-8B86-D011-B42D-00C04FC964FF");
const Uuid folderId = *Uuid::parse("0E984725-C51C-4BF4-9960-E1C80E27ABA0");

Url url(const char* text)
{
    return *Url::parse(text);
}

Tab sampleTab()
{
    Tab tab(tabId, url("https://example.com/a"), std::string("A"), false, false, std::nullopt, std::nullopt);
    tab.createdAt = Date(725760000);
    tab.lastAccessedAt = Date(725760000.5);
    return tab;
}

TEST(TabConstruction, TitleFallsBackToHostThenNewTab)
{
    EXPECT_EQ(Tab(tabId, url("https://www.example.com:8080/x"), std::nullopt, false, false, {}, {}).title,
              "www.example.com");
    EXPECT_EQ(Tab(tabId, url("about:blank"), std::nullopt, false, false, {}, {}).title, "New Tab");
    EXPECT_EQ(Tab(tabId, url("https://example.com"), std::string(), false, false, {}, {}).title, "");
}

TEST(TabConstruction, NewTabIsIdleAndStampedNow)
{
    ManualClock clock(Date(800000000.25));
    Clock::Override use(clock);
    Tab tab(tabId, url("https://example.com"), std::nullopt, true, true, spaceId, folderId);
    EXPECT_FALSE(tab.favicon);
    EXPECT_FALSE(tab.isLoading);
    EXPECT_EQ(tab.loadingProgress, 0);
    EXPECT_FALSE(tab.canGoBack);
    EXPECT_FALSE(tab.canGoForward);
    EXPECT_EQ(tab.createdAt, Date(800000000.25));
    EXPECT_EQ(tab.lastAccessedAt, Date(800000000.25));
    EXPECT_TRUE(tab.isPinned);
    EXPECT_TRUE(tab.isAutoArchiveExcluded);
    EXPECT_EQ(tab.spaceId, spaceId);
    EXPECT_EQ(tab.folderId, folderId);
}

TEST(TabJson, WritesFieldsInOrderAndLeavesOutAbsentOptionals)
{
    EXPECT_EQ(json::dump(toJson(sampleTab())),
              R"({"id":"1B4E28BA-2FA1-11D2-883F-0016D3CCA427","url":"https://example.com/a","title":"A",)"
              R"("isPinned":false,"isAutoArchiveExcluded":false,"createdAt":725760000,"lastAccessedAt":725760000.5,)"
              R"("isLoading":false,"loadingProgress":0,"canGoBack":false,"canGoForward":false})");
}

TEST(TabJson, RoundTripsEveryField)
{
    Tab tab = sampleTab();
    tab.favicon = Bytes{0, 1, 2, 255};
    tab.isPinned = true;
    tab.isAutoArchiveExcluded = true;
    tab.spaceId = spaceId;
    tab.folderId = folderId;
    tab.isLoading = true;
    tab.loadingProgress = 0.375;
    tab.canGoBack = true;
    tab.canGoForward = true;
    Json written = toJson(tab);
    EXPECT_EQ(Tab::fromJson(json::parse(json::dump(written))), tab);
    EXPECT_EQ(written["favicon"], "AAEC/w==");
    EXPECT_EQ(Tab::fromJson(json::parse(json::dump(toJson(sampleTab())))), sampleTab());
}

TEST(TabJson, ReadsHandWrittenFormsAndDefaults)
{
    // Lower-case UUIDs, escaped slashes, keys in another order, an unknown key, a null favicon and
    // no "isAutoArchiveExcluded".
    Tab tab = Tab::fromJson(json::parse(
        R"({"canGoForward":false,"canGoBack":true,"loadingProgress":1,"isLoading":false,"lastAccessedAt":2,)"
        R"("createdAt":1,"folderId":null,"spaceId":"6f9619ff-8b86-d011-b42d-00c04fc964ff","isPinned":true,)"
        R"("favicon":null,"title":"T","url":"https:\/\/example.com\/p","id":"1b4e28ba-2fa1-11d2-883f-0016d3cca427",)"
        R"("extra":[1,2]})"));
    EXPECT_EQ(tab.id, tabId);
    EXPECT_EQ(tab.url.string(), "https://example.com/p");
    EXPECT_EQ(tab.spaceId, spaceId);
    EXPECT_FALSE(tab.folderId);
    EXPECT_FALSE(tab.favicon);
    EXPECT_FALSE(tab.isAutoArchiveExcluded);
    EXPECT_TRUE(tab.canGoBack);
    EXPECT_EQ(json::dump(toJson(tab)).find("extra"), std::string::npos);

    Json object = toJson(sampleTab());
    object["isAutoArchiveExcluded"] = nullptr;
    EXPECT_FALSE(Tab::fromJson(object).isAutoArchiveExcluded);
}

TEST(TabJson, RefusesMissingRequiredKeysAndWrongTypes)
{
    for (const char* key : {"id", "url", "title", "isPinned", "createdAt", "lastAccessedAt", "isLoading",
                            "loadingProgress", "canGoBack", "canGoForward"}) {
        Json object = toJson(sampleTab());
        object.erase(key);
        EXPECT_THROW(Tab::fromJson(object), DecodeError) << key;
        object = toJson(sampleTab());
        object[key] = nullptr;
        EXPECT_THROW(Tab::fromJson(object), DecodeError) << key;
    }
    auto with = [](const char* key, Json value) {
        Json object = toJson(sampleTab());
        object[key] = std::move(value);
        return object;
    };
    EXPECT_THROW(Tab::fromJson(with("isPinned", 1)), DecodeError);
    EXPECT_THROW(Tab::fromJson(with("isAutoArchiveExcluded", "no")), DecodeError);
    EXPECT_THROW(Tab::fromJson(with("id", "not-a-uuid")), DecodeError);
    EXPECT_THROW(Tab::fromJson(with("url", "")), DecodeError);
    EXPECT_THROW(Tab::fromJson(with("favicon", "***")), DecodeError);
    EXPECT_THROW(Tab::fromJson(with("createdAt", "2024")), DecodeError);
    EXPECT_THROW(Tab::fromJson(Json::array()), DecodeError);
}

TEST(TabJson, NonFiniteProgressCannotBeWritten)
{
    Tab tab = sampleTab();
    tab.loadingProgress = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(toJson(tab), EncodeError);
    tab.loadingProgress = std::numeric_limits<double>::infinity();
    EXPECT_THROW(toJson(tab), EncodeError);
}

TEST(TabEquality, CoversEveryFieldAndHashesAlike)
{
    Tab a = sampleTab();
    Tab b = a;
    EXPECT_EQ(a, b);
    EXPECT_EQ(hashValue(a), hashValue(b));
    b.canGoBack = true;
    EXPECT_NE(a, b);
    b = a;
    b.loadingProgress = 0.5;
    EXPECT_NE(a, b);
    b = a;
    b.favicon = Bytes{};
    EXPECT_NE(a, b); // an empty favicon is present
    a.loadingProgress = -0.0;
    b = a;
    b.loadingProgress = 0.0;
    EXPECT_EQ(a, b);
    EXPECT_EQ(hashValue(a), hashValue(b));
}

TEST(TabFolderJson, FormsDefaultsAndFailures)
{
    TabFolder folder{folderId, "Work", std::nullopt, {tabId, spaceId}, true, Date(725760000)};
    EXPECT_EQ(json::dump(toJson(folder)),
              R"({"id":"0E984725-C51C-4BF4-9960-E1C80E27ABA0","name":"Work",)"
              R"("tabIds":["1B4E28BA-2FA1-11D2-883F-0016D3CCA427","6F9619FF-8B86-D011-B42D-00C04FC964FF"],)"
              R"("isExpanded":true,"createdAt":725760000})");
    EXPECT_EQ(TabFolder::fromJson(toJson(folder)), folder);

    folder.spaceId = spaceId;
    EXPECT_EQ(TabFolder::fromJson(json::parse(json::dump(toJson(folder)))), folder);

    Json object = toJson(folder);
    object["spaceId"] = nullptr;
    EXPECT_FALSE(TabFolder::fromJson(object).spaceId);
    object.erase("tabIds");
    EXPECT_THROW(TabFolder::fromJson(object), DecodeError);
    object = toJson(folder);
    object["tabIds"] = Json::array({"nope"});
    EXPECT_THROW(TabFolder::fromJson(object), DecodeError);

    TabFolder other = folder;
    other.tabIds = {spaceId, tabId};
    EXPECT_NE(other, folder);
    EXPECT_EQ(hashValue(folder), hashValue(TabFolder(folder)));
}

} // namespace
} // namespace kovi
