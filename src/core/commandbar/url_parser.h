#pragma once

#include "core/support/url.h"

#include <optional>
#include <string_view>

namespace kovi {

// Turns typed text into something loadable: an address when the text is one, otherwise the web
// search for it. Stateless; safe to call from anywhere.
class URLParser {
public:
    static constexpr std::string_view searchBase = "https://www.google.com/search?q=";

    // The URL the text stands for, or nullopt when it is not an address (callers then search).
    std::optional<Url> parseURL(std::string_view text) const;
    // The web search for the text, exactly as typed. Always yields a URL.
    Url searchURL(std::string_view text) const;

    // Our link recogniser: the whole text is one host name (letter/digit/hyphen labels, at least
    // one dot, an alphabetic last label of 2-63 letters) or an IPv4 address, with optional port,
    // path, query and fragment. Yields "http://" + text.
    static std::optional<Url> detectLink(std::string_view text);

private:
    static bool looksLikeDomain(std::string_view text);
};

} // namespace kovi
