#include "core/support/text.h"

#include <gtest/gtest.h>

namespace kovi {
namespace {

TEST(TextTest, TrimsByTheRightCharacterClasses)
{
    EXPECT_EQ(text::trimSpacesAndTabs(" \t a b \t\n"), "a b \t\n");
    EXPECT_EQ(text::trimWhitespaceAndNewlines("\n\u00A0 a b\u2029 "), "a b");
    EXPECT_EQ(text::trimWhitespace("\u3000\ta\n "), "a\n");
    EXPECT_TRUE(text::isBlank(" \n\t\u00A0"));
    EXPECT_FALSE(text::isBlank(" x "));
    EXPECT_TRUE(text::containsWhitespace("recipe: pancakes"));
    EXPECT_FALSE(text::containsWhitespace("example.com"));
}

TEST(TextTest, CountsUserPerceivedCharacters)
{
    EXPECT_EQ(text::graphemeCount("e\u0301"), 1u);
    EXPECT_EQ(text::graphemeCount("👩‍👩‍👧"), 1u);
    EXPECT_EQ(text::graphemeCount("abc"), 3u);
    EXPECT_EQ(text::graphemePrefix("ae\u0301bc", 2), "ae\u0301");
    EXPECT_EQ(text::graphemePrefix("ab", 5), "ab");
    EXPECT_EQ(text::graphemePrefix("ab", 0), "");
    // Cut short for a menu: whole characters, an ellipsis in place of the last one that fits.
    EXPECT_EQ(text::shortenedTo("abc", 3), "abc");
    EXPECT_EQ(text::shortenedTo("abcd", 3), "ab\u2026");
    EXPECT_EQ(text::shortenedTo("e\u0301e\u0301e\u0301e\u0301", 3), "e\u0301e\u0301\u2026");
    // A page's title as labels show it: cut to the bound, whole characters, made displayable.
    const std::string fits(text::maxShownCharacters, 'W');
    EXPECT_EQ(text::shownText(fits), fits);
    EXPECT_EQ(text::shownText(std::string(1'000'000, 'W')),
              std::string(text::maxShownCharacters - 1, 'W') + "\u2026");
    std::string accents;
    for (std::size_t i = 0; i <= text::maxShownCharacters; ++i)
        accents += "e\u0301";
    const std::string shown = text::shownText(accents);
    EXPECT_EQ(text::graphemeCount(shown), text::maxShownCharacters);
    EXPECT_TRUE(shown.ends_with("e\u0301\u2026"));
    EXPECT_EQ(text::shownText(std::string("a\0b", 3)), "a\uFFFDb");
}

TEST(TextTest, CaseMappingIsLocaleIndependent)
{
    EXPECT_EQ(text::uppercased("straße"), "STRASSE");
    EXPECT_EQ(text::lowercased("İSTANBUL"), "i̇stanbul");
    EXPECT_EQ(text::lowercased("HELLO"), "hello");
    EXPECT_TRUE(text::containsCaseInsensitive("Große Welt", "GROSSE"));
    EXPECT_TRUE(text::containsCaseInsensitive("Cafe\u0301", "CAFÉ"));
    EXPECT_FALSE(text::containsCaseInsensitive("abc", ""));
}

TEST(TextTest, Utf8ValidationAndQueryEncoding)
{
    EXPECT_TRUE(text::isValidUtf8("ok ü 😀"));
    EXPECT_TRUE(text::isValidUtf8(std::string("a\0b", 3)));
    EXPECT_FALSE(text::isValidUtf8("\xC0\xAF"));      // overlong
    EXPECT_FALSE(text::isValidUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_FALSE(text::isValidUtf8("\xF4\x90\x80\x80")); // past U+10FFFF
    EXPECT_EQ(text::percentEncodeQueryValue("a b&c=ü~"), "a%20b%26c%3D%C3%BC~");
}

} // namespace
} // namespace kovi
