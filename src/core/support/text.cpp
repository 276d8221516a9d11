#include "core/support/text.h"

#include <unicode/brkiter.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <memory>

namespace kovi::text {

namespace {

// Trims code points for which `isSpace` holds from both ends.
template <class Predicate>
std::string trimBy(std::string_view s, Predicate isSpace)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(s.data());
    const int32_t length = static_cast<int32_t>(s.size());
    int32_t begin = 0;
    while (begin < length) {
        int32_t next = begin;
        UChar32 c;
        U8_NEXT(bytes, next, length, c);
        if (c < 0 || !isSpace(c))
            break;
        begin = next;
    }
    int32_t end = length;
    while (end > begin) {
        int32_t previous = end;
        UChar32 c;
        U8_PREV(bytes, 0, previous, c);
        if (c < 0 || !isSpace(c))
            break;
        end = previous;
    }
    return std::string(s.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin)));
}

bool isWhiteSpaceProperty(UChar32 c) { return u_hasBinaryProperty(c, UCHAR_WHITE_SPACE); }
bool isSpaceSeparatorOrTab(UChar32 c) { return c == '\t' || u_charType(c) == U_SPACE_SEPARATOR; }

std::unique_ptr<icu::BreakIterator> characterIterator(std::string_view s, UText*& text)
{
    UErrorCode status = U_ZERO_ERROR;
    text = utext_openUTF8(nullptr, s.data(), static_cast<int64_t>(s.size()), &status);
    std::unique_ptr<icu::BreakIterator> it(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !it)
        return nullptr;
    it->setText(text, status);
    return U_SUCCESS(status) ? std::move(it) : nullptr;
}

icu::UnicodeString toUnicode(std::string_view s)
{
    return icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), static_cast<int32_t>(s.size())));
}

std::string toUtf8(const icu::UnicodeString& s)
{
    std::string out;
    s.toUTF8String(out);
    return out;
}

} // namespace

std::string trimSpacesAndTabs(std::string_view s)
{
    std::size_t begin = s.find_first_not_of(" \t");
    if (begin == std::string_view::npos)
        return {};
    std::size_t end = s.find_last_not_of(" \t");
    return std::string(s.substr(begin, end - begin + 1));
}

std::string trimWhitespaceAndNewlines(std::string_view s) { return trimBy(s, isWhiteSpaceProperty); }
std::string trimWhitespace(std::string_view s) { return trimBy(s, isSpaceSeparatorOrTab); }

bool isBlank(std::string_view s)
{
    return trimWhitespaceAndNewlines(s).empty();
}

bool containsWhitespace(std::string_view s)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(s.data());
    const int32_t length = static_cast<int32_t>(s.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        if (c >= 0 && isWhiteSpaceProperty(c))
            return true;
    }
    return false;
}

std::size_t graphemeCount(std::string_view s)
{
    if (s.empty())
        return 0;
    UText* text = nullptr;
    auto it = characterIterator(s, text);
    std::size_t count = 0;
    if (it) {
        it->first();
        while (it->next() != icu::BreakIterator::DONE)
            ++count;
    }
    utext_close(text);
    return count;
}

std::string shortenedTo(std::string_view s, std::size_t count)
{
    if (graphemeCount(s) <= count)
        return std::string(s);
    return graphemePrefix(s, count > 0 ? count - 1 : 0) + "\u2026";
}

std::string shownText(std::string_view s)
{
    // Only as much as can show is looked at, however long the text.
    const std::string shown = graphemePrefix(s, maxShownCharacters);
    if (shown.size() == s.size())
        return displayable(s);
    return displayable(graphemePrefix(shown, maxShownCharacters - 1)) + "\u2026";
}

std::string graphemePrefix(std::string_view s, std::size_t count)
{
    if (count == 0 || s.empty())
        return {};
    UText* text = nullptr;
    auto it = characterIterator(s, text);
    std::size_t end = s.size();
    if (it) {
        it->first();
        std::size_t seen = 0;
        int32_t boundary = 0;
        while (seen < count && (boundary = it->next()) != icu::BreakIterator::DONE)
            ++seen;
        if (seen == count && boundary != icu::BreakIterator::DONE)
            end = static_cast<std::size_t>(boundary); // native indexes of a UTF-8 UText are byte offsets
    }
    utext_close(text);
    return std::string(s.substr(0, end));
}

void forEachGrapheme(std::string_view s, const std::function<bool(std::string_view)>& visit)
{
    if (s.empty())
        return;
    UText* text = nullptr;
    auto it = characterIterator(s, text);
    if (it) {
        int32_t start = it->first();
        for (int32_t end = it->next(); end != icu::BreakIterator::DONE; start = end, end = it->next()) {
            if (!visit(s.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start))))
                break;
        }
    }
    utext_close(text);
}

std::string lowercased(std::string_view s)
{
    return toUtf8(toUnicode(s).toLower(icu::Locale::getRoot()));
}

std::string uppercased(std::string_view s)
{
    return toUtf8(toUnicode(s).toUpper(icu::Locale::getRoot()));
}

std::string caseFolded(std::string_view s)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status))
        return std::string(s);
    icu::UnicodeString text = nfc->normalize(toUnicode(s), status);
    if (U_FAILURE(status))
        return std::string(s);
    text.foldCase();
    std::string out;
    text.toUTF8String(out);
    return out;
}

bool containsCaseInsensitive(std::string_view haystack, std::string_view needle)
{
    if (needle.empty())
        return false;
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status))
        return false;
    icu::UnicodeString h = nfc->normalize(toUnicode(haystack), status);
    icu::UnicodeString n = nfc->normalize(toUnicode(needle), status);
    if (U_FAILURE(status))
        return false;
    h.foldCase();
    n.foldCase();
    return h.indexOf(n) >= 0;
}

bool isValidUtf8(std::string_view s)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(s.data());
    const int32_t length = static_cast<int32_t>(s.size());
    if (s.size() > static_cast<std::size_t>(INT32_MAX))
        return false;
    for (int32_t i = 0; i < length;) {
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        if (c < 0)
            return false;
    }
    return true;
}

std::string displayable(std::string_view s)
{
    constexpr std::string_view replacement = "\xEF\xBF\xBD";
    const auto* bytes = reinterpret_cast<const uint8_t*>(s.data());
    const auto length = static_cast<int32_t>(std::min<std::size_t>(s.size(), INT32_MAX));
    std::string out;
    out.reserve(s.size());
    std::size_t marks = 0; // in a row, on the last character
    for (int32_t i = 0; i < length;) {
        const int32_t start = i;
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        if (c <= 0) {
            out += replacement;
            marks = 0;
            continue;
        }
        const auto kind = u_getIntPropertyValue(c, UCHAR_GRAPHEME_CLUSTER_BREAK);
        if (kind == U_GCB_EXTEND || kind == U_GCB_SPACING_MARK || kind == U_GCB_ZWJ) {
            if (++marks > maxCombiningMarks)
                continue;
        } else {
            marks = 0;
        }
        out.append(s.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start)));
    }
    return out;
}

std::string percentEncodeQueryValue(std::string_view s)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(s.size() * 3);
    for (char ch : s) {
        auto c = static_cast<unsigned char>(ch);
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.'
            || c == '_' || c == '~') {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 0xF]);
        }
    }
    return out;
}

} // namespace kovi::text
