#include "core/support/json_coding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <cstring>
#include <functional>

namespace kovi {
namespace {

std::string nested(std::size_t depth, char open = '[', char close = ']')
{
    return std::string(depth, open) + std::string(depth, close);
}

// Nesting deep enough to exhaust the stack crashed every start that read such a file.
TEST(JsonReaderTest, NestingPastTheLimitIsRefusedNotFatal)
{
    EXPECT_NO_THROW(json::parse(nested(json::maxDepth)));
    EXPECT_THROW(json::parse(nested(json::maxDepth + 1)), DecodeError);
    for (std::size_t depth : {100'000u, 1'000'000u}) {
        try {
            json::parse(nested(depth));
            ADD_FAILURE() << depth;
        } catch (const DecodeError& error) {
            EXPECT_NE(std::string(error.what()).find("nested"), std::string::npos) << error.what();
        }
    }
    std::string objects;
    for (int i = 0; i < 100'000; ++i)
        objects += "{\"a\":";
    objects += "1" + std::string(100'000, '}');
    EXPECT_THROW(json::parse(objects), DecodeError);
    // Brackets inside strings are text, not nesting.
    EXPECT_EQ(json::parse("[\"" + std::string(100'000, '[') + "\"]")[0].get<std::string>().size(), 100'000u);
}

// Each key was inserted by searching every earlier key of its object: a page object with
// 100,000 extra keys took 13 seconds.
TEST(JsonReaderTest, ObjectsWithManyKeysReadInLinearTime)
{
    std::string text = "{\"first\":0";
    for (int i = 0; i < 400'000; ++i)
        text += ",\"key" + std::to_string(i) + "\":" + std::to_string(i);
    text += ",\"last\":1}";
    // Processor time, not wall time: a busy machine or a sanitizer build must not fail it.
    const std::clock_t started = std::clock();
    Json object = json::parse(text);
    const double seconds = static_cast<double>(std::clock() - started) / CLOCKS_PER_SEC;
    EXPECT_LT(seconds, 30.0); // linear: well under a second; quadratic insertion takes many minutes
    ASSERT_EQ(object.size(), 400'002u);
    EXPECT_EQ(object.begin().key(), "first"); // file order is kept
    EXPECT_EQ(object.back(), 1);
    EXPECT_EQ(object["key399999"], 399999);

    // A repeated key keeps its first place and its last value, in small and large objects.
    EXPECT_EQ(json::dump(json::parse(R"({"a":1,"b":2,"a":3})")), R"({"a":3,"b":2})");
    std::string large = "{";
    for (int i = 0; i < 40; ++i)
        large += "\"k" + std::to_string(i % 20) + "\":" + std::to_string(i) + (i < 39 ? "," : "}");
    Json repeated = json::parse(large);
    ASSERT_EQ(repeated.size(), 20u);
    EXPECT_EQ(repeated.begin().key(), "k0");
    EXPECT_EQ(repeated["k0"], 20);
    EXPECT_EQ(repeated["k19"], 39);
}

TEST(JsonReaderTest, MessagesNeverQuoteTheInput)
{
    for (std::string bad : {std::string("{\"secret\":\"\xff\xfe password\"}"), std::string("[1,2,secret]"),
                            std::string("{\"secret\":1,}")}) {
        try {
            json::parse(bad);
            ADD_FAILURE() << bad;
        } catch (const DecodeError& error) {
            EXPECT_EQ(std::string(error.what()).find("secret"), std::string::npos) << error.what();
            EXPECT_EQ(std::string(error.what()).find('\xff'), std::string::npos);
        }
    }
}

// A source that hands out `text` in small pieces and counts what it handed out.
struct PieceSource {
    std::string text;
    std::size_t given = 0;
    std::size_t operator()(char* buffer, std::size_t size)
    {
        const std::size_t count = std::min({size, text.size() - given, std::size_t(7)});
        std::memcpy(buffer, text.data() + given, count);
        given += count;
        return count;
    }
};

TEST(JsonReaderTest, AnArrayHeadIsReadWithoutTheRest)
{
    std::string text = "[{\"n\":0}";
    for (int i = 1; i < 20'000; ++i)
        text += ",{\"n\":" + std::to_string(i) + "}";
    text += "]";
    PieceSource source{text + "this tail is never read"};
    Json head = json::parseArrayHead(std::ref(source), 3);
    EXPECT_EQ(json::dump(head), R"([{"n":0},{"n":1},{"n":2}])");
    EXPECT_LT(source.given, 1000u); // the head and a few bytes beyond it, not 300 kB

    PieceSource shortArray{"[1, [2, 3], {\"a\": [4]}]"};
    EXPECT_EQ(json::dump(json::parseArrayHead(std::ref(shortArray), 10)), R"([1,[2,3],{"a":[4]}])");
    for (const char* bad : {"[1,", "[1 2]", "", "{\"a\":1", "[[[[1]]]] x"}) {
        PieceSource damaged{bad};
        EXPECT_THROW(json::parseArrayHead(std::ref(damaged), 10), DecodeError) << bad;
    }
    PieceSource deep{nested(100'000)};
    EXPECT_THROW(json::parseArrayHead(std::ref(deep), 10), DecodeError);
    // A failing source stops the reading.
    EXPECT_THROW(json::parseArrayHead([](char*, std::size_t) -> std::size_t { throw DecodeError("gone"); }, 1),
                 DecodeError);
}

} // namespace
} // namespace kovi
