#pragma once

// Unicode text helpers shared by several features. All text is UTF-8.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace kovi::text {

// Trims U+0020 and U+0009 only.
std::string trimSpacesAndTabs(std::string_view s);
// Trims Unicode white space and line breaks (the White_Space property).
std::string trimWhitespaceAndNewlines(std::string_view s);
// Trims Unicode white space without line breaks (space separators and tab).
std::string trimWhitespace(std::string_view s);
bool isBlank(std::string_view s); // empty after trimWhitespaceAndNewlines
bool containsWhitespace(std::string_view s); // any White_Space code point

// User-perceived characters (extended grapheme clusters).
std::size_t graphemeCount(std::string_view s);
std::string graphemePrefix(std::string_view s, std::size_t count);
// `s` when it has at most `count` user-perceived characters, else its first count - 1 and "…"
// (for menu items, which cannot cut their own text short).
std::string shortenedTo(std::string_view s, std::size_t count);
// Text a page chose (its title, an address) as a label or tooltip shows it: displayable(), and
// at most `maxShownCharacters` user-perceived characters, the last then "…". A page may name
// itself with megabytes of text, all of which the toolkit would lay out and measure.
inline constexpr std::size_t maxShownCharacters = 300;
std::string shownText(std::string_view s);
// Calls `visit` with each user-perceived character in order until it returns false.
void forEachGrapheme(std::string_view s, const std::function<bool(std::string_view)>& visit);

// Locale-independent case mapping per code point (no Turkic rules).
std::string lowercased(std::string_view s);
std::string uppercased(std::string_view s); // full mapping ("ß" → "SS")
// Case-insensitive, locale-independent containment (case folding on NFC text).
bool containsCaseInsensitive(std::string_view haystack, std::string_view needle);
// The NFC, case-folded form containsCaseInsensitive compares. Searches over many texts fold each
// text once and then look for the folded needle with a plain substring search.
std::string caseFolded(std::string_view s);

bool isValidUtf8(std::string_view s);
// Text from elsewhere (an answer, an imported title) as it can be shown: a NUL or a byte that is
// not UTF-8 becomes U+FFFD (either would end or drop the rest), and a character keeps at most
// `maxCombiningMarks` marks in a row (thousands on one letter take seconds to lay out).
inline constexpr std::size_t maxCombiningMarks = 30;
std::string displayable(std::string_view s);
// Percent-encodes every byte except A-Z a-z 0-9 - . _ ~
std::string percentEncodeQueryValue(std::string_view s);

} // namespace kovi::text
