#include "core/ai/ai_service.h"

#include <gtest/gtest.h>

#include <string>

namespace kovi {
namespace {

struct Example {
    std::string input;
    std::string expected;
};

void PrintTo(const Example& example, std::ostream* os)
{
    *os << '\'' << example.input << "' -> '" << example.expected << '\'';
}

class TabTitleTidying : public ::testing::TestWithParam<Example> {};

TEST_P(TabTitleTidying, GivesTheExpectedTitle)
{
    EXPECT_EQ(AIService::tidyTabTitle(GetParam().input, *Url::parse("https://example.com/")), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, TabTitleTidying,
    ::testing::Values(
        Example{"How to bake bread - YouTube", "How to bake bread"},
        Example{"how to bake bread - youtube", "how to bake bread"},
        Example{"sheets - Google Search", "sheets"},
        Example{"Docs - Google Drive - Notes", "Docs"},
        Example{"Question title : r/baking", "Question title"},
        Example{" - YouTube", ""},
        Example{"kovi/kovi: a browser \u00B7 GitHub", "kovi/kovi: a browser"},
        Example{"Thread / X", "Thread"},
        Example{"RÉSUMÉ TIPS - YOUTUBE", "RÉSUMÉ TIPS"},
        // Every suffix is tried, also after an earlier cut.
        Example{"Video | YouTube - Reddit", "Video"},
        Example{"Plain title", "Plain title"},
        Example{"\t Padded title  ", "Padded title"},
        // Line breaks are not trimmed.
        Example{"Line\n", "Line\n"},
        // Thirty characters stay whole; thirty-one are cut to 27 plus dots.
        Example{"123456789012345678901234567890", "123456789012345678901234567890"},
        Example{"1234567890123456789012345678901", "123456789012345678901234567..."},
        Example{"12345678901234567890123456 8901", "12345678901234567890123456 ..."},
        // Characters as a reader counts them: each accented letter or emoji is one.
        Example{"e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301"
                "\U0001F44D\U0001F3FD\U0001F44D\U0001F3FD\U0001F44D\U0001F3FD\U0001F44D\U0001F3FD\U0001F44D\U0001F3FD"
                "abcdefghij",
                "e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301"
                "\U0001F44D\U0001F3FD\U0001F44D\U0001F3FD\U0001F44D\U0001F3FD\U0001F44D\U0001F3FD\U0001F44D\U0001F3FD"
                "abcdefghij"},
        Example{"\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600"
                "\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600"
                "\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600"
                "\U0001F600",
                "\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600"
                "\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600"
                "\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600..."}));

TEST(TabTitleTidyingText, SurvivesBrokenUtf8)
{
    std::string broken = "Bad \xFF\xFE bytes - YouTube";
    EXPECT_EQ(AIService::tidyTabTitle(broken), "Bad \xFF\xFE bytes");
}

class DownloadNameTidying : public ::testing::TestWithParam<Example> {};

TEST_P(DownloadNameTidying, GivesTheExpectedName)
{
    EXPECT_EQ(AIService::tidyDownloadFilename(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, DownloadNameTidying,
    ::testing::Values(
        Example{"report (1).pdf", "report .pdf"},
        Example{"invoice_3f9a2c7b1d.pdf", "invoice.pdf"},
        Example{"setup-ABCDEF0123.dmg", "setup.dmg"},
        Example{"notes_abc123.txt", "notes abc123.txt"},
        Example{"My_File copy.txt", "My File.txt"},
        Example{"photocopy.pdf", "photo.pdf"},
        Example{"(3)", ""},
        Example{"a__b.txt", "a b.txt"},
        Example{"a___b.txt", "a  b.txt"},
        Example{"IMG_0001 (2) COPY.JPG", "IMG 0001.JPG"},
        Example{"archive-deadbeefcafe.tar.gz", "archive.tar.gz"},
        Example{"résumé_final (12).pdf", "résumé final .pdf"},
        Example{"  spaced  name.txt  ", "spaced name.txt"},
        Example{"plain.txt", "plain.txt"},
        Example{"", ""}));

} // namespace
} // namespace kovi
