#include "core/model/dragged_item.h"
#include "core/model/sidebar_item.h"
#include "core/model/space.h"

#include <gtest/gtest.h>

#include <unordered_set>

namespace kovi {
namespace {

const Uuid spaceId = *Uuid::parse("6F9619FF-8B86-D011-B42D-00C04FC964FF");
const Uuid tabId = *Uuid::parse("1B4E28BA-2FA1-11D2-883F-0016D3CCA427");
const Uuid folderId = *Uuid::parse("0E984725-C51C-4BF4-9960-E1C80E27ABA0");

Space sampleSpace()
{
    return Space{spaceId, "Personal", SpaceColor::blue, "person.fill", {tabId},
                 {SidebarItem::folder(folderId), SidebarItem::tab(tabId)}, std::nullopt, Date(725760000.25)};
}

TEST(SpaceJson, WritesEveryKeyAndRoundTrips)
{
    EXPECT_EQ(json::dump(toJson(sampleSpace())),
              R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","name":"Personal","color":"blue","icon":"person.fill",)"
              R"("tabOrder":["1B4E28BA-2FA1-11D2-883F-0016D3CCA427"],)"
              R"("sidebarOrder":[{"folder":{"_0":"0E984725-C51C-4BF4-9960-E1C80E27ABA0"}},)"
              R"({"tab":{"_0":"1B4E28BA-2FA1-11D2-883F-0016D3CCA427"}}],"createdAt":725760000.25})");
    EXPECT_EQ(Space::fromJson(json::parse(json::dump(toJson(sampleSpace())))), sampleSpace());

    Space remembered = sampleSpace();
    remembered.lastActiveTabId = tabId;
    EXPECT_EQ(Space::fromJson(toJson(remembered)), remembered);
}

TEST(SpaceJson, SidebarOrderIsOptionalOtherKeysAreNot)
{
    Json object = toJson(sampleSpace());
    object.erase("sidebarOrder");
    EXPECT_TRUE(Space::fromJson(object).sidebarOrder.empty());
    object["sidebarOrder"] = nullptr;
    EXPECT_TRUE(Space::fromJson(object).sidebarOrder.empty());

    for (const char* key : {"id", "name", "color", "icon", "tabOrder", "createdAt"}) {
        Json broken = toJson(sampleSpace());
        broken.erase(key);
        EXPECT_THROW(Space::fromJson(broken), DecodeError) << key;
    }
}

TEST(SpaceJson, ColourMustMatchExactly)
{
    Json object = toJson(sampleSpace());
    object["color"] = "Blue";
    EXPECT_THROW(Space::fromJson(object), DecodeError);
    object["color"] = "grey";
    EXPECT_THROW(Space::fromJson(object), DecodeError);
    object["color"] = "gray";
    EXPECT_EQ(Space::fromJson(object).color, SpaceColor::gray);
}

TEST(SpaceCatalogues, ColoursAndIcons)
{
    std::vector<std::string_view> names;
    for (SpaceColor color : allSpaceColors)
        names.push_back(rawValue(color));
    EXPECT_EQ(names, (std::vector<std::string_view>{"red", "orange", "yellow", "green", "blue", "purple", "pink", "gray"}));
    EXPECT_EQ(fromRawValue<SpaceColor>("pink"), SpaceColor::pink);
    EXPECT_FALSE(fromRawValue<SpaceColor>("Pink"));

    const auto& icons = SpaceIcons::all();
    ASSERT_EQ(icons.size(), 69u);
    EXPECT_EQ(icons.front(), "person.fill");
    EXPECT_EQ(icons.back(), "wrench.and.screwdriver.fill");
    EXPECT_EQ(std::unordered_set<std::string>(icons.begin(), icons.end()).size(), 69u);
}

TEST(SpaceEquality, OrderMattersAndHashesAgree)
{
    Space a = sampleSpace();
    Space b = a;
    EXPECT_EQ(hashValue(a), hashValue(b));
    std::reverse(b.sidebarOrder.begin(), b.sidebarOrder.end());
    EXPECT_NE(a, b);
    b = a;
    b.color = SpaceColor::red;
    EXPECT_NE(a, b);
}

TEST(SidebarItemJson, OneCaseKeyExactly)
{
    EXPECT_EQ(SidebarItem::tab(tabId).id(), "tab-1B4E28BA-2FA1-11D2-883F-0016D3CCA427");
    EXPECT_EQ(SidebarItem::folder(tabId).id(), "folder-1B4E28BA-2FA1-11D2-883F-0016D3CCA427");
    EXPECT_NE(SidebarItem::tab(tabId), SidebarItem::folder(tabId));
    EXPECT_NE(hashValue(SidebarItem::tab(tabId)), hashValue(SidebarItem::folder(tabId)));

    auto expectInvalidKeys = [](const char* text) {
        try {
            SidebarItem::fromJson(json::parse(text));
            ADD_FAILURE() << text;
        } catch (const DecodeError& error) {
            EXPECT_STREQ(error.what(), "Invalid number of keys found, expected one.") << text;
        }
    };
    expectInvalidKeys(R"({"tab":{"_0":"1B4E28BA-2FA1-11D2-883F-0016D3CCA427"},"folder":{"_0":"1B4E28BA-2FA1-11D2-883F-0016D3CCA427"}})");
    expectInvalidKeys(R"({})");
    expectInvalidKeys(R"({"other":1})");

    EXPECT_EQ(SidebarItem::fromJson(json::parse(R"({"tab":{"_0":"1b4e28ba-2fa1-11d2-883f-0016d3cca427","x":1},"note":2})")),
              SidebarItem::tab(tabId));
    EXPECT_THROW(SidebarItem::fromJson(json::parse(R"({"folder":{}})")), DecodeError);
    EXPECT_THROW(SidebarItem::fromJson(json::parse(R"({"folder":{"_0":"zz"}})")), DecodeError);
    EXPECT_THROW(SidebarItem::fromJson(json::parse(R"({"folder":"1B4E28BA-2FA1-11D2-883F-0016D3CCA427"})")), DecodeError);
}

TEST(DraggedItemText, ParsesOnlyExactPayloads)
{
    const std::string upper = tabId.toString();
    std::string lower = upper;
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);

    EXPECT_EQ(DraggedItem::fromEncodedString("tab:" + upper), (DraggedItem{tabId, false}));
    EXPECT_EQ(DraggedItem::fromEncodedString("folder:" + lower), (DraggedItem{tabId, true}));
    for (const std::string& bad : {std::string("tab:"), ":" + upper, upper, "Tab:" + upper, "FOLDER:" + upper,
                                   "tab: " + upper, "tab:" + upper + ":x", "window:" + upper, std::string()}) {
        EXPECT_FALSE(DraggedItem::fromEncodedString(bad)) << bad;
    }
}

TEST(DraggedItemText, ExportImportRoundTrip)
{
    for (bool isFolder : {false, true}) {
        DraggedItem item{folderId, isFolder};
        std::string text = item.encodedString();
        EXPECT_EQ(text, (isFolder ? "folder:" : "tab:") + folderId.toString());
        auto imported = DraggedItem::fromPlainText(text);
        ASSERT_TRUE(std::holds_alternative<DraggedItem>(imported));
        EXPECT_EQ(std::get<DraggedItem>(imported), item);
    }
    auto invalid = DraggedItem::fromPlainText(std::string("tab:\xff\xfe"));
    ASSERT_TRUE(std::holds_alternative<DraggedItemError>(invalid));
    EXPECT_EQ(std::get<DraggedItemError>(invalid), DraggedItemError::invalidPayload);
    EXPECT_TRUE(std::holds_alternative<DraggedItemError>(DraggedItem::fromPlainText("tab:nothing")));
}

TEST(DraggedItemJson, RequiresBothKeys)
{
    DraggedItem item{tabId, true};
    EXPECT_EQ(item.jsonData(), R"({"id":"1B4E28BA-2FA1-11D2-883F-0016D3CCA427","isFolder":true})");
    EXPECT_EQ(DraggedItem::fromJsonData(item.jsonData()), item);
    EXPECT_FALSE(DraggedItem::fromJsonData(R"({"id":"1B4E28BA-2FA1-11D2-883F-0016D3CCA427"})"));
    EXPECT_FALSE(DraggedItem::fromJsonData(R"({"id":"1B4E28BA-2FA1-11D2-883F-0016D3CCA427","isFolder":"yes"})"));
    EXPECT_FALSE(DraggedItem::fromJsonData("tab:1B4E28BA-2FA1-11D2-883F-0016D3CCA427"));
    EXPECT_EQ(DraggedItem::fromJsonData(R"({"isFolder":false,"x":0,"id":"1b4e28ba-2fa1-11d2-883f-0016d3cca427"})"),
              (DraggedItem{tabId, false}));
}

} // namespace
} // namespace kovi
