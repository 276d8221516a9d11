// How a chat bubble's text is cut into the pieces it is laid out in: nothing lost or split
// inside a character, no piece past its size, what cannot be shown shown as U+FFFD, and no
// trailing line breaks.
#include "core/ai/chat_text_pieces.h"

#include "core/support/text.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kovi {
namespace {

constexpr std::size_t pieceBytes = 64;

std::string joined(const std::vector<ChatTextPiece>& pieces)
{
    std::string all;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        all += pieces[i].text;
        if (i + 1 < pieces.size() && !pieces[i].continuesLine)
            all += '\n';
    }
    return all;
}

std::string repeated(const std::string& unit, std::size_t times)
{
    std::string out;
    for (std::size_t i = 0; i < times; ++i)
        out += unit;
    return out;
}

TEST(ChatTextPiecesTest, WhatIsShownOfAText)
{
    struct Case {
        const char* name;
        std::string text;
        std::string shown;
    };
    const Case cases[] = {
        {"plain", "Hello there.", "Hello there."},
        {"markup stays text", "<b>x</b> &amp;", "<b>x</b> &amp;"},
        {"empty", "", ""},
        {"a trailing line feed", "Short answer.\n", "Short answer."},
        {"trailing line breaks and blanks among them", "Done. \r\n \n\t\n", "Done."},
        {"a trailing paragraph separator", "Done.\xE2\x80\xA9", "Done."},
        {"only line breaks", "\n\n\n", ""},
        {"trailing blanks without a break stay", "two  ", "two  "},
        {"leading and inner breaks stay", "\n\nA\n\nB", "\n\nA\n\nB"},
        {"CR LF is one line end", "a\r\nb", "a\nb"},
        {"NUL does not end the text", std::string("before\0after", 12), "before\xEF\xBF\xBD" "after"},
        {"a byte that is not UTF-8", "caf\xE9!", "caf\xEF\xBF\xBD!"},
        {"a letter under a flood of marks keeps thirty", "a" + repeated("\u0301", 5000) + "b",
         "a" + repeated("\u0301", 30) + "b"},
        {"marks of every kind count together",
         "e" + repeated("\u0301\u093F\u200D", 20) + " " + repeated("\u0300", 31),
         "e" + repeated("\u0301\u093F\u200D", 10) + " " + repeated("\u0300", 30)},
        {"real stacks of marks stay", "Vi\u1EC7t e\u0301\u0302\u0323 \U0001F3F4\U000E0067\U000E0062\U000E0073"
         "\U000E0063\U000E0074\U000E007F", "Vi\u1EC7t e\u0301\u0302\u0323 \U0001F3F4\U000E0067\U000E0062"
         "\U000E0073\U000E0063\U000E0074\U000E007F"},
    };
    for (const auto& c : cases) {
        const auto pieces = chatTextPieces(c.text, pieceBytes);
        ASSERT_FALSE(pieces.empty()) << c.name;
        EXPECT_EQ(joined(pieces), c.shown) << c.name;
    }
}

TEST(ChatTextPiecesTest, LongTextsAreCutIntoWholeCharactersWithinTheSize)
{
    const std::string family = "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7"; // one cluster
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"one line without a space", std::string(1000, 'x')},
        {"words", repeated("lorem ipsum dolor ", 60)},
        {"Chinese", repeated("\xE4\xB8\xAD\xE6\x96\x87", 300)},
        {"clusters of several code points", repeated(family, 80)},
        {"letters with combining marks", repeated("e\xCC\x81\xCC\xA7", 200)},
        {"many short lines", repeated("line\n", 200) + "end"},
        {"many empty lines", repeated("\n", 300) + "end"},
        {"long and short lines mixed", repeated(std::string(150, 'a') + "\nshort\n\n", 10) + "end"},
    };
    for (const auto& c : cases) {
        const auto pieces = chatTextPieces(c.text, pieceBytes);
        EXPECT_EQ(joined(pieces), c.text) << c.name << ": nothing lost, nothing added";
        EXPECT_GT(pieces.size(), 1u) << c.name;
        std::size_t graphemes = 0;
        for (const auto& piece : pieces) {
            EXPECT_LE(piece.text.size(), pieceBytes) << c.name;
            EXPECT_TRUE(text::isValidUtf8(piece.text)) << c.name;
            graphemes += text::graphemeCount(piece.text);
        }
        // A character cut in two would count twice.
        const std::size_t lineEnds = std::count_if(pieces.begin(), pieces.end() - 1,
                                                   [](const ChatTextPiece& p) { return !p.continuesLine; });
        EXPECT_EQ(graphemes + lineEnds, text::graphemeCount(c.text)) << c.name;
        // Few pieces: each holds as much as fits.
        EXPECT_LE(pieces.size(), 2 * c.text.size() / pieceBytes + 2) << c.name;
    }
}

TEST(ChatTextPiecesTest, ACharacterLongerThanAPieceIsCutBetweenItsCodePoints)
{
    // Each of these is one character cluster, however long.
    const std::string cases[] = {
        repeated("\u0915\u094D", 300) + "\u0915",                 // conjuncts chained by viramas
        repeated("\u1100", 300),                                   // leading jamo
        repeated("\U0001F468\u200D", 300) + "\U0001F468",         // joined emoji
        repeated("\u0600", 300) + "1",                              // prepended signs
    };
    for (const auto& text : cases) {
        ASSERT_EQ(text::graphemeCount(text), 1u);
        const auto pieces = chatTextPieces(text, pieceBytes);
        EXPECT_EQ(joined(pieces), text) << "nothing lost, nothing added";
        EXPECT_GT(pieces.size(), text.size() / pieceBytes);
        for (const auto& piece : pieces) {
            EXPECT_LE(piece.text.size(), pieceBytes);
            EXPECT_TRUE(text::isValidUtf8(piece.text));
        }
    }
}

TEST(ChatTextPiecesTest, ALongLineIsCutAfterASpaceWhenOneIsNearTheEnd)
{
    const std::string words = repeated("word ", 30); // 150 bytes, a space every 5
    const auto pieces = chatTextPieces(words, pieceBytes);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].text, repeated("word ", 12));
    EXPECT_TRUE(pieces[0].continuesLine);
    EXPECT_FALSE(pieces[2].continuesLine);

    // A space early in the piece would leave it mostly empty: cut between characters instead.
    const std::string late = "a " + std::string(200, 'b');
    const auto cut = chatTextPieces(late, pieceBytes);
    EXPECT_EQ(cut[0].text.size(), pieceBytes);
}

} // namespace
} // namespace kovi
