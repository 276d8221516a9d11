#include "core/support/url.h"

#include <glib.h>

#include <cctype>

namespace kovi {

namespace {

bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHex(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool isUnreserved(char c) { return isAlpha(c) || isDigit(c) || c == '-' || c == '.' || c == '_' || c == '~'; }
bool isSubDelim(char c)
{
    switch (c) {
    case '!': case '$': case '&': case '\'': case '(': case ')':
    case '*': case '+': case ',': case ';': case '=':
        return true;
    default:
        return false;
    }
}

enum class Part { UserInfo, Host, Path, Query, Fragment };

bool allowed(char c, Part part)
{
    if (isUnreserved(c) || isSubDelim(c))
        return true;
    switch (part) {
    case Part::UserInfo:
        return c == ':';
    case Part::Host:
        return false;
    case Part::Path:
        return c == ':' || c == '@' || c == '/';
    case Part::Query:
    case Part::Fragment:
        return c == ':' || c == '@' || c == '/' || c == '?';
    }
    return false;
}

// Copies `in` to `out`, percent-encoding what may not stand in this part of a URL. A '%' that
// starts a valid escape is kept; a stray '%' becomes "%25".
void appendEncoded(std::string& out, std::string_view in, Part part)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < in.size(); ++i) {
        char c = in[i];
        if (c == '%' && i + 2 < in.size() && isHex(in[i + 1]) && isHex(in[i + 2])) {
            out.push_back(c);
            continue;
        }
        if (c != '%' && allowed(c, part)) {
            out.push_back(c);
            continue;
        }
        auto byte = static_cast<unsigned char>(c);
        out.push_back('%');
        out.push_back(hex[byte >> 4]);
        out.push_back(hex[byte & 0xF]);
    }
}

bool validIpLiteral(std::string_view inside)
{
    if (inside.empty())
        return false;
    if (inside[0] == 'v' || inside[0] == 'V')
        return inside.size() > 3; // IPvFuture: accepted as written
    for (char c : inside)
        if (!(isHex(c) || c == ':' || c == '.'))
            return false;
    return inside.find(':') != std::string_view::npos;
}

} // namespace

std::string percentDecode(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && isHex(text[i + 1]) && isHex(text[i + 2])) {
            out.push_back(static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16)));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::optional<Url> Url::parse(std::string_view text)
{
    if (text.empty())
        return std::nullopt;

    Url url;
    std::string& out = url.m_text;
    out.reserve(text.size() + 8);
    std::string_view rest = text;

    // Scheme: ALPHA *( ALPHA / DIGIT / "+" / "-" / "." ) ":" before any '/', '?' or '#'.
    std::size_t colon = text.find(':');
    std::size_t delimiter = text.find_first_of("/?#");
    if (colon != std::string_view::npos && colon > 0 && (delimiter == std::string_view::npos || colon < delimiter)
        && isAlpha(text[0])) {
        bool schemeChars = true;
        for (std::size_t i = 1; i < colon; ++i) {
            char c = text[i];
            if (!(isAlpha(c) || isDigit(c) || c == '+' || c == '-' || c == '.')) {
                schemeChars = false;
                break;
            }
        }
        if (schemeChars) {
            out.append(text.substr(0, colon + 1));
            url.m_schemeEnd = colon;
            rest = text.substr(colon + 1);
        }
    }

    if (rest.substr(0, 2) == "//") {
        url.m_hasAuthority = true;
        out.append("//");
        rest.remove_prefix(2);
        std::size_t end = rest.find_first_of("/?#");
        std::string_view authority = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);

        std::size_t at = authority.rfind('@');
        if (at != std::string_view::npos) {
            url.m_hasUserInfo = true;
            std::string_view userInfo = authority.substr(0, at);
            std::size_t userColon = userInfo.find(':');
            url.m_userBegin = out.size();
            appendEncoded(out, userInfo.substr(0, userColon), Part::UserInfo);
            url.m_userEnd = out.size();
            if (userColon != std::string_view::npos) {
                out.push_back(':');
                url.m_passwordBegin = out.size();
                appendEncoded(out, userInfo.substr(userColon + 1), Part::UserInfo);
                url.m_passwordEnd = out.size();
            } else {
                url.m_passwordBegin = url.m_passwordEnd = out.size();
            }
            out.push_back('@');
            authority = authority.substr(at + 1);
        }

        std::string_view hostText;
        std::string_view portText;
        bool hasPort = false;
        if (!authority.empty() && authority[0] == '[') {
            std::size_t close = authority.find(']');
            if (close == std::string_view::npos || !validIpLiteral(authority.substr(1, close - 1)))
                return std::nullopt;
            hostText = authority.substr(0, close + 1);
            std::string_view after = authority.substr(close + 1);
            if (!after.empty()) {
                if (after[0] != ':')
                    return std::nullopt;
                hasPort = true;
                portText = after.substr(1);
            }
            url.m_hostBegin = out.size();
            out.append(hostText);
            url.m_hostEnd = out.size();
        } else {
            std::size_t portColon = authority.rfind(':');
            hostText = authority.substr(0, portColon);
            if (portColon != std::string_view::npos) {
                hasPort = true;
                portText = authority.substr(portColon + 1);
            }
            url.m_hostBegin = out.size();
            appendEncoded(out, hostText, Part::Host);
            url.m_hostEnd = out.size();
        }
        for (char c : portText)
            if (!isDigit(c))
                return std::nullopt;
        if (hasPort) {
            out.push_back(':');
            url.m_portBegin = out.size();
            out.append(portText);
            url.m_portEnd = out.size();
        } else {
            url.m_portBegin = url.m_portEnd = out.size();
        }
    }

    std::size_t fragmentMark = rest.find('#');
    std::string_view beforeFragment = rest.substr(0, fragmentMark);
    std::size_t queryMark = beforeFragment.find('?');

    url.m_pathBegin = out.size();
    appendEncoded(out, beforeFragment.substr(0, queryMark), Part::Path);
    url.m_pathEnd = out.size();
    if (queryMark != std::string_view::npos) {
        out.push_back('?');
        url.m_queryBegin = out.size();
        appendEncoded(out, beforeFragment.substr(queryMark + 1), Part::Query);
        url.m_queryEnd = out.size();
    }
    if (fragmentMark != std::string_view::npos) {
        out.push_back('#');
        url.m_fragmentBegin = out.size();
        appendEncoded(out, rest.substr(fragmentMark + 1), Part::Fragment);
    }
    return url;
}

std::optional<Url> Url::fromFilePath(const std::string& absolutePath)
{
    gchar* uri = g_filename_to_uri(absolutePath.c_str(), nullptr, nullptr);
    if (!uri)
        return std::nullopt;
    auto url = parse(uri);
    g_free(uri);
    return url;
}

std::string Url::scheme() const
{
    return hasScheme() ? m_text.substr(0, m_schemeEnd) : std::string();
}

std::string Url::schemeLowercased() const
{
    std::string s = scheme();
    for (auto& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::optional<std::string> Url::host() const
{
    if (!m_hasAuthority || m_hostBegin == m_hostEnd)
        return std::nullopt;
    std::string_view raw = rawHost();
    if (raw.front() == '[' && raw.back() == ']')
        return std::string(raw.substr(1, raw.size() - 2));
    return percentDecode(raw);
}

std::string_view Url::rawHost() const
{
    if (!m_hasAuthority)
        return {};
    return std::string_view(m_text).substr(m_hostBegin, m_hostEnd - m_hostBegin);
}

std::optional<int> Url::port() const
{
    if (!m_hasAuthority || m_portBegin == m_portEnd || m_portEnd - m_portBegin > 9)
        return std::nullopt;
    return std::stoi(m_text.substr(m_portBegin, m_portEnd - m_portBegin));
}

std::string_view Url::user() const
{
    return m_hasUserInfo ? std::string_view(m_text).substr(m_userBegin, m_userEnd - m_userBegin) : std::string_view();
}

std::string_view Url::password() const
{
    return m_hasUserInfo ? std::string_view(m_text).substr(m_passwordBegin, m_passwordEnd - m_passwordBegin)
                         : std::string_view();
}

std::string_view Url::path() const
{
    return std::string_view(m_text).substr(m_pathBegin, m_pathEnd - m_pathBegin);
}

std::optional<std::string_view> Url::query() const
{
    if (m_queryBegin == std::string::npos)
        return std::nullopt;
    return std::string_view(m_text).substr(m_queryBegin, m_queryEnd - m_queryBegin);
}

std::optional<std::string_view> Url::fragment() const
{
    if (m_fragmentBegin == std::string::npos)
        return std::nullopt;
    return std::string_view(m_text).substr(m_fragmentBegin);
}

std::string Url::lastPathComponent() const
{
    std::string_view p = path();
    if (p.empty())
        return {};
    while (p.size() > 1 && p.back() == '/')
        p.remove_suffix(1);
    if (p == "/")
        return "/";
    std::size_t slash = p.rfind('/');
    return percentDecode(slash == std::string_view::npos ? p : p.substr(slash + 1));
}

std::optional<std::string> Url::filePath() const
{
    if (schemeLowercased() != "file")
        return std::nullopt;
    gchar* name = g_filename_from_uri(m_text.c_str(), nullptr, nullptr);
    if (!name)
        return std::nullopt;
    std::string result(name);
    g_free(name);
    return result;
}

std::optional<Url> Url::resolve(std::string_view reference) const
{
    GError* error = nullptr;
    gchar* resolved = g_uri_resolve_relative(m_text.c_str(), std::string(reference).c_str(),
                                             G_URI_FLAGS_ENCODED, &error);
    if (!resolved) {
        g_clear_error(&error);
        return std::nullopt;
    }
    auto url = parse(resolved);
    g_free(resolved);
    return url;
}

bool Url::isHttpOrHttps() const
{
    std::string s = schemeLowercased();
    return s == "http" || s == "https";
}

} // namespace kovi
