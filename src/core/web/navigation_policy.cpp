#include "core/web/navigation_policy.h"

#include "core/support/url.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace kovi {

namespace {

// Engine error codes this file maps (WebKitError.h, gioerror.h, gresolver.h, gtlsconnection.h).
constexpr int policyCannotShowUri = 101;
constexpr int policyFrameLoadInterrupted = 102;
constexpr int networkUnknownProtocol = 301;
constexpr int networkCancelled = 302;
constexpr int networkFileDoesNotExist = 303;
constexpr int ioNotFound = 1;
constexpr int ioTimedOut = 24;
constexpr int ioHostNotFound = 28;
constexpr int ioConnectionRefused = 39;
constexpr int ioHostUnreachable = 37;
constexpr int ioNetworkUnreachable = 38;
constexpr int ioConnectionClosed = 44; // also the broken pipe
constexpr int ioCancelled = 19;

// The ports the web's fetch rules call bad, in ascending order.
constexpr std::array<int, 82> blockedPorts = {
    1, 7, 9, 11, 13, 15, 17, 19, 20, 21, 22, 23, 25, 37, 42, 43,
    53, 69, 77, 79, 87, 95, 101, 102, 103, 104, 109, 110, 111, 113, 115, 117,
    119, 123, 135, 137, 139, 143, 161, 179, 389, 427, 465, 512, 513, 514, 515, 526,
    530, 531, 532, 540, 548, 554, 556, 563, 587, 601, 636, 989, 990, 993, 995, 1719,
    1720, 1723, 2049, 3659, 4045, 4190, 5060, 5061, 6000, 6566, 6665, 6666, 6667, 6668, 6669, 6679,
    6697, 10080,
};

std::string lowercased(std::string_view text)
{
    std::string out(text);
    for (auto& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

bool NavigationPolicy::isAttachment(std::string_view contentDisposition)
{
    return lowercased(contentDisposition).starts_with("attachment");
}

NavigationPolicy::ResponseDecision NavigationPolicy::decideResponse(const Response& response)
{
    if (!response.isHttp || !response.url || response.url->empty() || !response.mimeType || response.mimeType->empty())
        return {};
    bool attachment = response.contentDisposition && isAttachment(*response.contentDisposition);
    if (!attachment && response.canShowMimeType)
        return {};
    ResponseDecision decision;
    decision.download = true;
    if (response.suggestedFilename && !response.suggestedFilename->empty()) {
        decision.filename = *response.suggestedFilename;
    } else if (auto url = Url::parse(*response.url)) {
        decision.filename = url->lastPathComponent();
    }
    return decision;
}

bool NavigationPolicy::isIgnoredError(std::string_view domain, int code)
{
    if (domain == networkErrorDomain && code == networkCancelled)
        return true;
    if (domain == policyErrorDomain && code == policyFrameLoadInterrupted)
        return true;
    // The same cancellation as it comes from the network layer underneath.
    return domain == ioErrorDomain && code == ioCancelled;
}

std::string NavigationPolicy::errorDescription(std::string_view domain, int code, std::string_view engineMessage)
{
    if (domain == ioErrorDomain) {
        switch (code) {
        case ioConnectionRefused:
            return "Could not connect to the server: the connection was refused.";
        case ioHostNotFound:
        case ioNotFound:
            return "A server with this address could not be found.";
        case ioTimedOut:
            return "The server took too long to respond.";
        case ioHostUnreachable:
        case ioNetworkUnreachable:
            return "The network connection appears to be offline.";
        case ioConnectionClosed:
            return "The connection to the server was lost.";
        default:
            break;
        }
    }
    if (domain == resolverErrorDomain)
        return "A server with this address could not be found.";
    if (domain == tlsErrorDomain)
        return certificateErrorDescription();
    if (domain == networkErrorDomain) {
        switch (code) {
        case networkUnknownProtocol:
            return "This kind of address is not supported.";
        case networkFileDoesNotExist:
            return "The file could not be found.";
        default:
            break;
        }
    }
    if (domain == policyErrorDomain && code == policyCannotShowUri)
        return "This address cannot be shown.";
    if (!engineMessage.empty())
        return std::string(engineMessage);
    return "The page could not be loaded.";
}

std::string NavigationPolicy::certificateErrorDescription()
{
    return "The certificate for this server is not valid, so the connection is not secure.";
}

bool NavigationPolicy::isBlockedPort(const Url& url)
{
    if (!url.isHttpOrHttps())
        return false;
    auto port = url.port();
    return port && std::binary_search(blockedPorts.begin(), blockedPorts.end(), *port);
}

std::string NavigationPolicy::blockedPortDescription()
{
    return "This address uses a network port that is blocked for safety.";
}

bool NavigationPolicy::acceptsTitle(const char* title)
{
    return title && *title;
}

bool NavigationPolicy::acceptsAddress(const std::optional<std::string>& stored, const char* reported)
{
    if (!reported || !*reported)
        return false;
    return !stored || *stored != reported;
}

} // namespace kovi
