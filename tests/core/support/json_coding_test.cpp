#include "core/support/json_coding.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kovi {
namespace {

TEST(JsonCodingTest, NumbersAreWrittenTheWayTheReferenceEncoderPrintsThem)
{
    EXPECT_EQ(json::dump(json::date(Date(725760000))), "725760000");
    EXPECT_EQ(json::dump(json::number(-0.0)), "0");
    EXPECT_EQ(json::dump(json::number(0.25)), "0.25");
    EXPECT_EQ(json::dump(json::number(725760000.5)), "725760000.5");
    EXPECT_THROW(json::number(std::nan("")), EncodeError);
    EXPECT_THROW(json::number(INFINITY), EncodeError);
}

TEST(JsonCodingTest, StrictTypesOnReading)
{
    Json object = json::parse(R"({"b":true,"n":1,"f":2.5,"s":"x","null":null})");
    EXPECT_TRUE(json::requireBool(object, "b"));
    EXPECT_THROW(json::requireBool(object, "n"), DecodeError);
    EXPECT_THROW(json::requireDouble(object, "b"), DecodeError);
    EXPECT_EQ(json::requireDouble(object, "n"), 1);
    EXPECT_EQ(json::requireInt64(object, "n"), 1);
    EXPECT_THROW(json::requireInt64(object, "f"), DecodeError);
    EXPECT_THROW(json::requireString(object, "missing"), DecodeError);
    EXPECT_THROW(json::requireString(object, "null"), DecodeError);
    EXPECT_FALSE(json::optional(object, "null", json::asString));
    EXPECT_FALSE(json::optional(object, "missing", json::asString));
    EXPECT_THROW(json::optional(object, "n", json::asString), DecodeError);
    EXPECT_EQ(json::asInt64(json::parse("5.0")), 5);

    Json records = json::parse(R"({"list":[1,2],"one":{"a":1},"null":null})");
    EXPECT_EQ(json::requireArrayMember(records, "list").size(), 2u);
    EXPECT_EQ(json::requireMember(records, "one")["a"], 1);
    for (const char* key : {"missing", "null", "one"})
        EXPECT_THROW(json::requireArrayMember(records, key), DecodeError) << key;
    EXPECT_THROW(json::requireMember(records, "null"), DecodeError);
}

TEST(JsonCodingTest, AcceptsEscapedSlashesAndLowerCaseIdentifiers)
{
    Json object = json::parse(R"({"url":"https:\/\/example.com\/a","id":"0f8fad5b-d9cb-469f-a165-70867728950e"})");
    EXPECT_EQ(json::requireUrl(object, "url").string(), "https://example.com/a");
    EXPECT_EQ(json::requireUuid(object, "id").toString(), "0F8FAD5B-D9CB-469F-A165-70867728950E");
    EXPECT_EQ(json::dump(Json("a/b")), "\"a/b\"");
}

TEST(JsonCodingTest, Base64IsStrict)
{
    Bytes data{0, 1, 2, 253, 254, 255, 'a'};
    EXPECT_EQ(json::base64Decode(json::base64Encode(data)), data);
    EXPECT_EQ(json::base64Encode({'M', 'a'}), "TWE=");
    EXPECT_EQ(json::base64Decode(""), Bytes{});
    for (const char* bad : {"TWE", "TW=E", "T===", "TWE=TWE=", "TW E", "TWE*", "====", "TWE=\n"})
        EXPECT_FALSE(json::base64Decode(bad)) << bad;
}

TEST(JsonCodingTest, OneKeyEnumerations)
{
    Json item = json::parse(R"({"tab":{"_0":"x"},"other":1})");
    auto [name, payload] = json::oneCase(item, {"tab", "folder"});
    EXPECT_EQ(name, "tab");
    EXPECT_TRUE(payload->is_object());
    for (const char* bad : {R"({})", R"({"tab":{},"folder":{}})", R"({"other":1})"}) {
        try {
            json::oneCase(json::parse(bad), {"tab", "folder"});
            ADD_FAILURE() << bad;
        } catch (const DecodeError& error) {
            EXPECT_STREQ(error.what(), "Invalid number of keys found, expected one.");
        }
    }
}

TEST(JsonCodingTest, UuidKeyedDictionariesAreFlatArrays)
{
    Uuid a = *Uuid::parse("00000000-0000-0000-0000-00000000000A");
    Uuid b = *Uuid::parse("00000000-0000-0000-0000-00000000000B");
    std::vector<std::pair<Uuid, int>> entries{{a, 1}, {b, 2}};
    Json array = json::uuidKeyedArray(entries, [](int v) { return Json(v); });
    EXPECT_EQ(json::dump(array),
              R"(["00000000-0000-0000-0000-00000000000A",1,"00000000-0000-0000-0000-00000000000B",2])");
    auto back = json::decodeUuidKeyedArray(array, [](const Json& v) { return v.get<int>(); });
    EXPECT_EQ(back, entries);
    EXPECT_THROW(json::decodeUuidKeyedArray(json::parse(R"(["00000000-0000-0000-0000-00000000000A"])"),
                                            [](const Json& v) { return 0; }),
                 DecodeError);
}

TEST(JsonCodingTest, RefusesMalformedJsonWithoutCrashing)
{
    for (const char* bad : {"", "{", "[1,]", "{\"a\":}", "nul", "\"\\uD800\"x", "[[[[[[[[[[[[[[[[[[[[["})
        EXPECT_THROW(json::parse(bad), DecodeError) << bad;
    EXPECT_THROW(json::parse(std::string(100000, '[')), DecodeError);
}

// The public JSON conformance suite, when the shared test data is present.
TEST(JsonCodingTest, ConformanceSuite)
{
    std::filesystem::path dir = std::filesystem::path(KOVI_SHARED_TESTDATA) / "JSONTestSuite/test_parsing";
    if (!std::filesystem::is_directory(dir))
        GTEST_SKIP() << "shared test data not present";
    int checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::string name = entry.path().filename().string();
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream buffer;
        buffer << in.rdbuf();
        bool parsed = true;
        try {
            json::parse(buffer.str());
        } catch (const DecodeError&) {
            parsed = false;
        }
        if (name.rfind("y_", 0) == 0)
            EXPECT_TRUE(parsed) << name;
        else if (name.rfind("n_", 0) == 0)
            EXPECT_FALSE(parsed) << name;
        ++checked;
    }
    EXPECT_GT(checked, 100);
}

} // namespace
} // namespace kovi
