#pragma once

#include "core/support/http_client.h"
#include "core/support/url.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kovi {

// Fetches a page's icon candidates one after another and hands over the bytes of the first
// one that is a usable icon. Bodies are read with a cap and abandoned past it. Destroying the
// capture cancels it: nothing is handed over afterwards. Main thread only.
class FaviconCapture {
public:
    using Bytes = std::vector<std::uint8_t>;

    FaviconCapture(HttpClient& client, std::vector<Url> candidates, std::function<void(Bytes)> accepted);
    ~FaviconCapture();
    FaviconCapture(const FaviconCapture&) = delete;
    FaviconCapture& operator=(const FaviconCapture&) = delete;

    bool isFinished() const { return m_finished; }

    // Whether the bytes decode as an icon the browser can show (see FaviconDecoder): a
    // candidate that does not is skipped, so no tab ever stores it.
    static bool decodesAsImage(const std::string& bytes);

private:
    void tryCandidate(std::size_t index);

    HttpClient& m_client;
    std::vector<Url> m_candidates;
    std::function<void(Bytes)> m_accepted;
    std::optional<HttpClient::RequestId> m_request;
    bool m_finished = false;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace kovi
