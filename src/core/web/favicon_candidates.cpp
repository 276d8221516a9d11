#include "core/web/favicon_candidates.h"

namespace kovi {

std::vector<Url> FaviconCandidates::build(const std::vector<std::string>& declared, const Url& pageUrl)
{
    std::vector<Url> out;
    for (const auto& text : declared) {
        if (text.empty())
            continue;
        auto resolved = pageUrl.resolve(text);
        if (!resolved || !resolved->isHttpOrHttps() || !resolved->host())
            continue;
        out.push_back(*resolved);
    }
    if (auto host = pageUrl.host(); host && !host->empty()) {
        std::string authority = host->find(':') != std::string::npos ? "[" + *host + "]" : *host;
        if (auto fallback = Url::parse("https://" + authority + "/favicon.ico"))
            out.push_back(*fallback);
    }
    return out;
}

bool FaviconCandidates::acceptsResponse(unsigned status, std::size_t bodyBytes)
{
    return status >= 200 && status <= 399 && bodyBytes >= 1 && bodyBytes <= maxBodyBytes;
}

} // namespace kovi
