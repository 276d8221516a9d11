#include "core/model/canvas.h"

#include <gtest/gtest.h>

namespace kovi {
namespace {

const Uuid boardId = *Uuid::parse("1B4E28BA-2FA1-11D2-883F-0016D3CCA427");
const Uuid itemId = *Uuid::parse("0E984725-C51C-4BF4-9960-E1C80E27ABA0");
const Uuid spaceId = *Uuid::parse("6F9619FF-8B86-D011-B42D-00C04FC964FF");

Url url(const char* text)
{
    return *Url::parse(text);
}

CanvasItem item(CanvasItemType type)
{
    return CanvasItem{itemId, std::move(type), {10.5, -2}, {200, 100}, -3, Date(725760000)};
}

std::string decodeFailure(const char* text)
{
    try {
        CanvasItemType::fromJson(json::parse(text));
    } catch (const DecodeError& error) {
        return error.what();
    }
    return "decoded";
}

TEST(CanvasJson, EmptyBoardForm)
{
    KoviCanvas board{boardId, "Ideas", {}, CanvasBackground::standard, std::nullopt, Date(725760000), Date(725760001)};
    EXPECT_EQ(json::dump(toJson(board)),
              R"({"id":"1B4E28BA-2FA1-11D2-883F-0016D3CCA427","name":"Ideas","items":[],"backgroundColor":"default",)"
              R"("createdAt":725760000,"lastModifiedAt":725760001})");
    EXPECT_EQ(KoviCanvas::fromJson(toJson(board)), board);
}

TEST(CanvasJson, EveryItemKindRoundTrips)
{
    KoviCanvas board{boardId, "Board", {}, CanvasBackground::dots, spaceId, Date(1.5), Date(2.5)};
    board.items.push_back(item({CanvasItemType::WebPreview{url("https://example.com/"), "Example"}}));
    board.items.push_back(item({CanvasItemType::Note{"Buy milk", NoteColor::purple}}));
    board.items.push_back(item({CanvasItemType::Image{Bytes{}}}));
    board.items.push_back(item({CanvasItemType::Link{url("https://example.org/"), ""}}));
    Json written = toJson(board);
    EXPECT_EQ(written["items"][0]["position"], Json::array({10.5, -2}));
    EXPECT_EQ(written["items"][2]["type"]["image"]["data"], "");
    EXPECT_EQ(json::dump(written["items"][1]["type"]), R"({"note":{"text":"Buy milk","color":"purple"}})");
    KoviCanvas read = KoviCanvas::fromJson(json::parse(json::dump(written)));
    EXPECT_EQ(read, board);
    EXPECT_EQ(json::dump(toJson(read)), json::dump(written));
}

TEST(CanvasJson, ItemTypeNeedsExactlyOneCaseKey)
{
    EXPECT_EQ(decodeFailure(R"({"note":{"text":"a","color":"pink"},"link":{"url":"https://a.b/","title":""}})"),
              "Invalid number of keys found, expected one.");
    EXPECT_EQ(decodeFailure("{}"), "Invalid number of keys found, expected one.");
    EXPECT_EQ(decodeFailure(R"({"video":{}})"), "Invalid number of keys found, expected one.");
    EXPECT_EQ(CanvasItemType::fromJson(json::parse(R"({"note":{"text":"a","color":"pink"},"extra":1})")),
              (CanvasItemType{CanvasItemType::Note{"a", NoteColor::pink}}));
    EXPECT_NE(decodeFailure(R"({"note":{"text":"a","color":"Pink"}})"), "decoded");
    EXPECT_NE(decodeFailure(R"({"note":{"text":"a"}})"), "decoded");
    EXPECT_NE(decodeFailure(R"({"image":{"data":"%%%"}})"), "decoded");
}

TEST(CanvasJson, PositionsAreTwoNumberArrays)
{
    Json object = toJson(item({CanvasItemType::Image{Bytes{1}}}));
    object["position"] = Json::object({{"x", 1}, {"y", 2}});
    EXPECT_THROW(CanvasItem::fromJson(object), DecodeError);
    object["position"] = Json::array({1});
    EXPECT_THROW(CanvasItem::fromJson(object), DecodeError);
    object["position"] = Json::array({1, "2"});
    EXPECT_THROW(CanvasItem::fromJson(object), DecodeError);
    object["position"] = Json::array({1, 2});
    object.erase("zIndex");
    EXPECT_THROW(CanvasItem::fromJson(object), DecodeError);

    Json board = toJson(KoviCanvas{boardId, "B", {}, CanvasBackground::grid, std::nullopt, Date(0), Date(0)});
    board["backgroundColor"] = "Grid";
    EXPECT_THROW(KoviCanvas::fromJson(board), DecodeError);
    board["backgroundColor"] = "lines";
    board["spaceId"] = nullptr;
    EXPECT_FALSE(KoviCanvas::fromJson(board).spaceId);
    board.erase("items");
    EXPECT_THROW(KoviCanvas::fromJson(board), DecodeError);
}

TEST(CanvasEquality, CaseContentAndSignedZero)
{
    CanvasItemType preview{CanvasItemType::WebPreview{url("https://example.com/"), "E"}};
    CanvasItemType link{CanvasItemType::Link{url("https://example.com/"), "E"}};
    EXPECT_NE(preview, link);
    EXPECT_NE(hashValue(preview), hashValue(link));

    CanvasItem a = item(preview);
    CanvasItem b = a;
    a.position = {0.0, -0.0};
    b.position = {-0.0, 0.0};
    EXPECT_EQ(a, b);
    EXPECT_EQ(hashValue(a), hashValue(b));

    std::vector<std::string_view> notes;
    for (NoteColor color : allNoteColors)
        notes.push_back(rawValue(color));
    EXPECT_EQ(notes, (std::vector<std::string_view>{"yellow", "pink", "blue", "green", "purple", "orange"}));
    EXPECT_EQ(fromRawValue<CanvasBackground>("default"), CanvasBackground::standard);
    EXPECT_FALSE(fromRawValue<CanvasBackground>("standard"));
}

} // namespace
} // namespace kovi
