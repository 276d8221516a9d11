#include "core/ai/ai_service.h"

#include "core/support/text.h"

#include <unicode/regex.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <array>
#include <memory>
#include <vector>

namespace kovi {

namespace {

// Site names that pages append to their titles. Checked in this order, each on what the
// previous cuts left.
constexpr std::array<std::string_view, 20> siteSuffixes{
    " - YouTube",  " | YouTube",   " - Google Search", " - Google",         " | LinkedIn",
    " - LinkedIn", " | Facebook",  " - Facebook",      " - Twitter",        " / Twitter",
    " on X",       " / X",         " - GitHub",        " \u00B7 GitHub",    " - Stack Overflow",
    " - Wikipedia", " - Reddit",   " : r/",            " - Amazon",         " | Amazon",
};

constexpr std::size_t maxTitleCharacters = 30;
constexpr std::size_t shortenedTitleCharacters = 27;

UChar32 nextCodePoint(std::string_view s, std::size_t& offset)
{
    int32_t i = static_cast<int32_t>(offset);
    UChar32 c;
    U8_NEXT(reinterpret_cast<const uint8_t*>(s.data()), i, static_cast<int32_t>(s.size()), c);
    offset = static_cast<std::size_t>(i);
    return c;
}

bool matchesFoldedAt(std::string_view text, std::size_t start, std::string_view needle)
{
    std::size_t t = start;
    std::size_t n = 0;
    while (n < needle.size()) {
        if (t >= text.size())
            return false;
        UChar32 a = nextCodePoint(text, t);
        UChar32 b = nextCodePoint(needle, n);
        if (a < 0 || b < 0 || u_foldCase(a, U_FOLD_CASE_DEFAULT) != u_foldCase(b, U_FOLD_CASE_DEFAULT))
            return false;
    }
    return true;
}

// Byte offset of the first case-insensitive occurrence of `needle`, or npos. Code points are
// compared by simple case folding, independent of any locale.
std::size_t findCaseInsensitive(std::string_view text, std::string_view needle)
{
    std::size_t offset = 0;
    while (offset < text.size()) {
        if (matchesFoldedAt(text, offset, needle))
            return offset;
        nextCodePoint(text, offset);
    }
    return std::string_view::npos;
}

const std::vector<std::unique_ptr<icu::RegexPattern>>& filenamePatterns()
{
    static const std::vector<std::unique_ptr<icu::RegexPattern>> patterns = [] {
        std::vector<std::unique_ptr<icu::RegexPattern>> compiled;
        for (const char* source : {R"(\([0-9]+\))", "_[a-f0-9]{8,}", "-[a-f0-9]{8,}", R"(\s*copy\s*)"}) {
            UErrorCode status = U_ZERO_ERROR;
            UParseError parseError;
            std::unique_ptr<icu::RegexPattern> pattern(icu::RegexPattern::compile(
                icu::UnicodeString::fromUTF8(source), UREGEX_CASE_INSENSITIVE, parseError, status));
            if (U_SUCCESS(status) && pattern)
                compiled.push_back(std::move(pattern));
        }
        return compiled;
    }();
    return patterns;
}

} // namespace

std::string AIService::tidyTabTitle(std::string_view title, const Url&)
{
    return tidyTabTitle(title);
}

std::string AIService::tidyTabTitle(std::string_view title)
{
    std::string result(title);
    for (std::string_view suffix : siteSuffixes) {
        std::size_t at = findCaseInsensitive(result, suffix);
        if (at != std::string_view::npos)
            result.erase(at);
    }
    if (text::graphemeCount(result) > maxTitleCharacters)
        result = text::graphemePrefix(result, shortenedTitleCharacters) + "...";
    return text::trimWhitespace(result);
}

std::string AIService::tidyDownloadFilename(std::string_view filename)
{
    icu::UnicodeString name = icu::UnicodeString::fromUTF8(icu::StringPiece(filename.data(),
                                                                             static_cast<int32_t>(filename.size())));
    for (const auto& pattern : filenamePatterns()) {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::RegexMatcher> matcher(pattern->matcher(name, status));
        if (U_FAILURE(status))
            continue;
        icu::UnicodeString replaced = matcher->replaceAll(icu::UnicodeString(), status);
        if (U_SUCCESS(status))
            name = replaced;
    }
    std::string utf8;
    name.toUTF8String(utf8);

    for (char& c : utf8)
        if (c == '_')
            c = ' ';
    // A single left-to-right pass, so three spaces leave two.
    std::string collapsed;
    collapsed.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        collapsed.push_back(utf8[i]);
        if (utf8[i] == ' ' && i + 1 < utf8.size() && utf8[i + 1] == ' ')
            ++i;
    }
    return text::trimWhitespace(collapsed);
}

} // namespace kovi
