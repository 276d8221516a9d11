#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kovi {

// An RFC 3986 URI reference that keeps its text. Parsing is lenient the way a browser's address
// handling is: characters that may not appear in a URL are percent-encoded rather than refused,
// so the stored text is always a well-formed URL. Components are read from the stored text.
class Url {
public:
    // Fails for empty text, a malformed scheme, a non-numeric port or a broken IP literal.
    static std::optional<Url> parse(std::string_view text);
    // A file URL for an absolute local path.
    static std::optional<Url> fromFilePath(const std::string& absolutePath);

    const std::string& string() const { return m_text; }

    bool hasScheme() const { return m_schemeEnd != std::string::npos; }
    std::string scheme() const;          // as written; empty when relative
    std::string schemeLowercased() const;
    bool hasAuthority() const { return m_hasAuthority; }
    // The host as the URL reports it: percent-decoded, IP literals without brackets. nullopt when
    // the URL has no authority or an empty host.
    std::optional<std::string> host() const;
    std::string_view rawHost() const;     // as written, brackets kept
    std::optional<int> port() const;
    std::string_view user() const;
    std::string_view password() const;
    bool hasUserInfo() const { return m_hasUserInfo; }
    std::string_view path() const;
    std::optional<std::string_view> query() const;
    std::optional<std::string_view> fragment() const;
    // The last segment of the path, percent-decoded ("" for "/" or an empty path).
    std::string lastPathComponent() const;
    // The local path of a file URL.
    std::optional<std::string> filePath() const;
    // Resolves `reference` against this URL (RFC 3986 section 5).
    std::optional<Url> resolve(std::string_view reference) const;

    bool isHttpOrHttps() const;

    bool operator==(const Url& other) const { return m_text == other.m_text; }
    auto operator<=>(const Url& other) const { return m_text <=> other.m_text; }

private:
    Url() = default;

    std::string m_text;
    std::size_t m_schemeEnd = std::string::npos; // index of ':' after the scheme
    bool m_hasAuthority = false;
    bool m_hasUserInfo = false;
    std::size_t m_userBegin = 0, m_userEnd = 0, m_passwordBegin = 0, m_passwordEnd = 0;
    std::size_t m_hostBegin = 0, m_hostEnd = 0;
    std::size_t m_portBegin = 0, m_portEnd = 0;
    std::size_t m_pathBegin = 0, m_pathEnd = 0;
    std::size_t m_queryBegin = std::string::npos, m_queryEnd = 0; // after '?'
    std::size_t m_fragmentBegin = std::string::npos;              // after '#'
};

std::string percentDecode(std::string_view text);

} // namespace kovi

template <>
struct std::hash<kovi::Url> {
    std::size_t operator()(const kovi::Url& url) const noexcept { return std::hash<std::string>()(url.string()); }
};
