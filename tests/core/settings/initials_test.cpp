#include "core/settings/initials.h"

#include <gtest/gtest.h>

#include <string>

namespace kovi {
namespace {

KoviUser user(std::string name, bool guest = false)
{
    return KoviUser{"id", "", std::move(name), Date(0), guest};
}

TEST(InitialsTest, AccountCardTakesTwoWordsOrTheFirstTwoCharacters)
{
    EXPECT_EQ(accountCardInitials("ada lovelace byron"), "AL");
    EXPECT_EQ(accountCardInitials("anna"), "AN");
    EXPECT_EQ(accountCardInitials("a"), "A");
    EXPECT_EQ(accountCardInitials(""), "");
    // Repeated and outer spaces make no words, but the one-word fallback keeps them.
    EXPECT_EQ(accountCardInitials("  ada   lovelace  "), "AL");
    EXPECT_EQ(accountCardInitials(" ada"), " A");
    EXPECT_EQ(accountCardInitials("   "), "  ");
    // Only U+0020 separates words.
    EXPECT_EQ(accountCardInitials("ada\u00A0lovelace"), "AD");
    EXPECT_EQ(accountCardInitials("ada\tlovelace"), "AD");
    // Full upper-case mapping.
    EXPECT_EQ(accountCardInitials("ßen"), "SSE");
}

TEST(InitialsTest, AccountButtonShowsOneCharacterForOneWordAndMarksGuestsAndNobody)
{
    EXPECT_EQ(accountButtonInitials(std::nullopt), "?");
    EXPECT_EQ(accountButtonInitials(user("Guest", true)), "G");
    EXPECT_EQ(accountButtonInitials(user("zoe quinn", true)), "G");
    EXPECT_EQ(accountButtonInitials(user("ada lovelace")), "AL");
    EXPECT_EQ(accountButtonInitials(user("ada")), "A");
    EXPECT_EQ(accountButtonInitials(user("")), "");
    EXPECT_EQ(accountButtonInitials(user(" ada")), " ");
}

TEST(InitialsTest, CharactersAreWholeGraphemesInEveryScript)
{
    // An emoji sequence, a flag and a letter with a combining accent each count as one.
    const std::string family = "\U0001F469\u200D\U0001F469\u200D\U0001F467";
    EXPECT_EQ(accountCardInitials(family + " family"), family + "F");
    EXPECT_EQ(accountCardInitials("\U0001F1EB\U0001F1F7"), "\U0001F1EB\U0001F1F7");
    EXPECT_EQ(accountCardInitials("e\u0301mile zola"), "E\u0301Z");
    EXPECT_EQ(accountButtonInitials(user("e\u0301mile")), "E\u0301");
    EXPECT_EQ(accountButtonInitials(user(family)), family);
    // A space carrying a combining mark is one character, not a separator.
    EXPECT_EQ(accountCardInitials("ab \u0301cd"), "AB");
    // Right-to-left names keep their logical order and have no case.
    EXPECT_EQ(accountCardInitials("\u0645\u062D\u0645\u062F \u0639\u0644\u064A"), "\u0645\u0639");
    EXPECT_EQ(accountButtonInitials(user("\u05D3\u05E0\u05D4")), "\u05D3");
}

TEST(InitialsTest, VeryLongNamesGiveShortInitials)
{
    const std::string oneWord(10000, 'q');
    EXPECT_EQ(accountCardInitials(oneWord), "QQ");
    EXPECT_EQ(accountButtonInitials(user(oneWord)), "Q");
    const std::string twoWords = std::string(5000, ' ') + std::string(4000, 'x') + " " + std::string(999, 'y');
    EXPECT_EQ(accountCardInitials(twoWords), "XY");
    std::string emoji;
    for (int i = 0; i < 10000; ++i)
        emoji += "\U0001F600";
    EXPECT_EQ(accountCardInitials(emoji), "\U0001F600\U0001F600");
}

} // namespace
} // namespace kovi
