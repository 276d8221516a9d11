#include "ui/web/favicon_capture.h"

#include "core/web/favicon_candidates.h"

#include "ui/design/favicon_decoder.h"
#include "ui/web/space_web_session_manager.h"

namespace kovi {

FaviconCapture::FaviconCapture(HttpClient& client, std::vector<Url> candidates, std::function<void(Bytes)> accepted)
    : m_client(client)
    , m_candidates(std::move(candidates))
    , m_accepted(std::move(accepted))
{
    tryCandidate(0);
}

FaviconCapture::~FaviconCapture()
{
    *m_alive = false;
    if (m_request)
        m_client.cancel(*m_request);
}

bool FaviconCapture::decodesAsImage(const std::string& bytes)
{
    return static_cast<bool>(
        FaviconDecoder::decode(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

void FaviconCapture::tryCandidate(std::size_t index)
{
    m_request.reset();
    if (index >= m_candidates.size()) {
        m_finished = true;
        return;
    }
    HttpRequest request;
    request.url = m_candidates[index].string();
    request.timeoutSeconds = FaviconCandidates::timeoutSeconds;
    request.maxBodyBytes = FaviconCandidates::maxBodyBytes;
    // Asked for as the page's own engine would, so a site serves its icon as it does to pages.
    request.headers.emplace_back("User-Agent", SpaceWebSessionManager::userAgent);
    std::weak_ptr<bool> alive = m_alive;
    m_request = m_client.send(std::move(request), [this, alive, index](Result<HttpResponse> result) {
        if (alive.expired())
            return;
        m_request.reset();
        if (result && FaviconCandidates::acceptsResponse(result->status, result->body.size())
            && decodesAsImage(result->body)) {
            m_finished = true;
            Bytes bytes(result->body.begin(), result->body.end());
            auto accepted = m_accepted; // the callback may destroy this capture
            accepted(std::move(bytes));
            return;
        }
        tryCandidate(index + 1);
    });
}

} // namespace kovi
