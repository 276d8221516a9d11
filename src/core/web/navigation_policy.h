#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kovi {

class Url;

// What the page layer decides about a server response, a failed load and the page's own
// reports, kept free of the engine so the rules are testable on their own.
class NavigationPolicy {
public:
    static constexpr const char* crashMessage = "This page stopped responding. Reload it to continue.";

    // The engine's names for its error domains (GQuark texts).
    static constexpr std::string_view networkErrorDomain = "WebKitNetworkError";
    static constexpr std::string_view policyErrorDomain = "WebKitPolicyError";
    static constexpr std::string_view ioErrorDomain = "g-io-error-quark";
    static constexpr std::string_view resolverErrorDomain = "g-resolver-error-quark";
    static constexpr std::string_view tlsErrorDomain = "g-tls-error-quark";

    struct Response {
        bool isHttp = false;                       // an http: or https: response
        std::optional<std::string> url;            // the response's address
        std::optional<std::string> mimeType;
        std::optional<std::string> contentDisposition;
        bool canShowMimeType = true;               // the engine can display the type
        std::optional<std::string> suggestedFilename;
    };

    struct ResponseDecision {
        bool download = false;
        std::string filename; // the suggested name, else the last path component of the address
    };

    // Shown unless it is an HTTP response with an address and a type that is an attachment or
    // cannot be shown.
    static ResponseDecision decideResponse(const Response& response);
    // "Content-Disposition" lower-cased begins with "attachment".
    static bool isAttachment(std::string_view contentDisposition);

    // A cancelled load and a load handed over to a download are not failures the user sees.
    static bool isIgnoredError(std::string_view domain, int code);
    // The text stored for a failed load: a short description of our own for the failures
    // people meet, else the engine's own message.
    static std::string errorDescription(std::string_view domain, int code, std::string_view engineMessage);
    // The text the overlay shows when the certificate of a secure page is not trusted.
    static std::string certificateErrorDescription();

    // An http or https address on a port that web engines refuse to contact (mail, file
    // transfer, shell and the like); the engine loads nothing there.
    static bool isBlockedPort(const Url& url);
    static std::string blockedPortDescription();

    // A title is taken only when it is not empty.
    static bool acceptsTitle(const char* title);
    // An address is taken only when it differs from the stored one.
    static bool acceptsAddress(const std::optional<std::string>& stored, const char* reported);
};

} // namespace kovi
