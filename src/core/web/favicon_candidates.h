#pragma once

#include "core/support/url.h"

#include <cstddef>
#include <string>
#include <vector>

namespace kovi {

// Where a page's icon may be found, tried in order, and what counts as a usable answer.
class FaviconCandidates {
public:
    static constexpr double timeoutSeconds = 8;
    static constexpr std::size_t maxBodyBytes = 1'999'999;

    // The page's declared icon addresses resolved against the page address (in document order,
    // unusable ones skipped), then "https://<host>/favicon.ico" when the page has a host.
    // Only http and https addresses can be fetched, so other schemes are left out.
    static std::vector<Url> build(const std::vector<std::string>& declared, const Url& pageUrl);

    // An HTTP status of 200 to 399 and a body of 1 to 1,999,999 bytes; the image check is the
    // caller's.
    static bool acceptsResponse(unsigned status, std::size_t bodyBytes);
};

} // namespace kovi
