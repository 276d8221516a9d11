#include "core/commandbar/url_parser.h"

#include "core/support/text.h"

#include <glib.h>

#include <algorithm>
#include <array>
#include <string>

namespace kovi {

namespace {

constexpr std::array<std::string_view, 20> commonTLDs = {
    "com", "org", "net", "io", "dev", "app", "co", "ai", "edu", "gov",
    "uk", "de", "fr", "jp", "cn", "au", "ca", "nl", "ru", "br",
};

// Schemes a user plausibly types with white space after the colon ("mailto:a b"); any other
// "word: more words" is a sentence, not an address.
constexpr std::array<std::string_view, 12> knownSchemes = {
    "http", "https", "file", "ftp", "about", "data", "mailto", "tel", "view-source", "blob", "ws", "wss",
};

bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

bool hasControlCharacter(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

std::string asciiLowercased(std::string_view text)
{
    std::string out(text);
    for (auto& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool isKnownScheme(const std::string& lowercasedScheme)
{
    return std::find(knownSchemes.begin(), knownSchemes.end(), lowercasedScheme) != knownSchemes.end();
}

// "name:8080", "name:8080/path": a host and port, which RFC 3986 would also read as a scheme.
bool isHostAndPort(std::string_view text, std::size_t colon)
{
    std::size_t i = colon + 1;
    std::size_t digits = 0;
    while (i < text.size() && isAsciiDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (digits == 0 || digits > 5)
        return false;
    return i == text.size() || text[i] == '/' || text[i] == '?' || text[i] == '#';
}

bool isIPv4(std::string_view host)
{
    int parts = 0;
    std::size_t start = 0;
    while (true) {
        std::size_t dot = host.find('.', start);
        std::string_view part = host.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        if (part.empty() || part.size() > 3 || !std::all_of(part.begin(), part.end(), isAsciiDigit))
            return false;
        if (std::stoi(std::string(part)) > 255)
            return false;
        ++parts;
        if (dot == std::string_view::npos)
            break;
        start = dot + 1;
    }
    return parts == 4;
}

// Counts the code points of a label when each is a letter, digit or hyphen; -1 otherwise.
// `lettersOnly` refuses digits and hyphens.
long labelLength(std::string_view label, bool lettersOnly)
{
    long count = 0;
    const char* p = label.data();
    const char* end = label.data() + label.size();
    while (p < end) {
        gunichar c = g_utf8_get_char_validated(p, end - p);
        if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2))
            return -1;
        bool letter = g_unichar_isalpha(c);
        if (lettersOnly ? !letter : !(letter || (c < 0x80 && (isAsciiDigit(static_cast<char>(c)) || c == '-'))))
            return -1;
        ++count;
        p = g_utf8_next_char(p);
    }
    return count;
}

bool isHostName(std::string_view host)
{
    if (host.empty() || host.size() > 253)
        return false;
    std::size_t lastDot = host.rfind('.');
    if (lastDot == std::string_view::npos)
        return false;
    std::size_t start = 0;
    while (start <= lastDot) {
        std::size_t dot = host.find('.', start);
        std::string_view label = host.substr(start, dot - start);
        long length = labelLength(label, false);
        if (length < 1 || length > 63 || label.front() == '-' || label.back() == '-')
            return false;
        start = dot + 1;
    }
    long tld = labelLength(host.substr(lastDot + 1), true);
    return tld >= 2 && tld <= 63;
}

} // namespace

std::optional<Url> URLParser::parseURL(std::string_view input) const
{
    const std::string text = text::trimWhitespaceAndNewlines(input);
    if (text.empty())
        return std::nullopt;
    const bool hasInnerWhitespace = text::containsWhitespace(text);

    if (!hasInnerWhitespace) {
        if (auto url = Url::parse("http://" + text)) {
            std::string_view host = url->rawHost();
            if (host == "localhost" || host == "127.0.0.1" || host == "[::1]")
                return url;
        }
    }

    if (auto url = Url::parse(text); url && url->hasScheme()) {
        const std::string scheme = url->schemeLowercased();
        // Typed script URLs would run in whatever page the address lands in; they are searched
        // for instead, never run.
        if (scheme == "javascript")
            return std::nullopt;
        const bool known = isKnownScheme(scheme);
        if (known || (!hasInnerWhitespace && !isHostAndPort(text, url->scheme().size())))
            return url;
    }

    if (hasInnerWhitespace)
        return std::nullopt;

    if (looksLikeDomain(text)) {
        if (auto url = Url::parse("https://" + text))
            return url;
    }

    return detectLink(text);
}

Url URLParser::searchURL(std::string_view text) const
{
    if (auto url = Url::parse(std::string(searchBase) + text::percentEncodeQueryValue(text)))
        return *url;
    return *Url::parse(searchBase);
}

bool URLParser::looksLikeDomain(std::string_view text)
{
    if (text.find(' ') != std::string_view::npos || hasControlCharacter(text))
        return false;
    std::string_view last;
    int pieces = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t dot = text.find('.', start);
        std::string_view piece = text.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        if (!piece.empty()) {
            last = piece;
            ++pieces;
        }
        if (dot == std::string_view::npos)
            break;
        start = dot + 1;
    }
    if (pieces < 2)
        return false;
    const std::string ending = asciiLowercased(last);
    return std::find(commonTLDs.begin(), commonTLDs.end(), ending) != commonTLDs.end();
}

std::optional<Url> URLParser::detectLink(std::string_view text)
{
    if (text.empty() || hasControlCharacter(text) || text::containsWhitespace(text))
        return std::nullopt;
    std::size_t hostEnd = text.find_first_of(":/?#");
    std::string_view host = text.substr(0, hostEnd);
    if (!isIPv4(host) && !isHostName(host))
        return std::nullopt;
    std::string_view rest = hostEnd == std::string_view::npos ? std::string_view() : text.substr(hostEnd);
    if (!rest.empty() && rest.front() == ':') {
        std::size_t digits = 1;
        while (digits < rest.size() && isAsciiDigit(rest[digits]))
            ++digits;
        std::string_view port = rest.substr(1, digits - 1);
        if (port.empty() || port.size() > 5 || std::stoi(std::string(port)) > 65535)
            return std::nullopt;
        rest.remove_prefix(digits);
    }
    if (!rest.empty() && rest.front() != '/' && rest.front() != '?' && rest.front() != '#')
        return std::nullopt;
    return Url::parse("http://" + std::string(text));
}

} // namespace kovi
