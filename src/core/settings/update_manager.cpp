#include "core/settings/update_manager.h"

#include "core/settings/preferences.h"
#include "core/support/date.h"
#include "core/support/json_coding.h"
#include "core/support/text.h"

#include <optional>

#ifndef KOVI_UPDATE_FEED_URL
#define KOVI_UPDATE_FEED_URL ""
#endif
#ifndef KOVI_VERSION
#define KOVI_VERSION "0"
#endif
#ifndef KOVI_BUILD_NUMBER
#define KOVI_BUILD_NUMBER "0"
#endif

namespace kovi {

namespace {

constexpr const char* kCheckFailedTitle = "Update Check Failed";
constexpr const char* kUnreachable = "Couldn't reach the update server.";
constexpr const char* kInvalidFeed = "The update feed is invalid.";

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The digits of a run without leading zeros ("" for zero).
std::string_view significantDigits(std::string_view run)
{
    std::size_t first = run.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view() : run.substr(first);
}

} // namespace

UpdateManager::Options UpdateManager::Options::standard()
{
    Options options;
    options.feedUrl = KOVI_UPDATE_FEED_URL;
    options.currentVersion = KOVI_VERSION;
    options.currentBuild = KOVI_BUILD_NUMBER;
    if (options.currentVersion.empty())
        options.currentVersion = "0";
    if (options.currentBuild.empty())
        options.currentBuild = "0";
    return options;
}

UpdateManager::UpdateManager(Preferences& preferences, HttpSession& http, UpdateAlertPresenter& presenter,
                             OpenUrl openUrl, Options options)
    : m_preferences(preferences)
    , m_presenter(presenter)
    , m_openUrl(std::move(openUrl))
    , m_options(std::move(options))
    , m_http(http)
{
}

// m_http cancels whatever is in flight, so no completion reaches a destroyed manager.
UpdateManager::~UpdateManager() = default;

void UpdateManager::startupCheck()
{
    Date last = m_preferences.get(lastCheckKey);
    double elapsed = Clock::current().now().secondsSince(last);
    // A date in the future (a clock set back, a copied profile) would otherwise silence the
    // check until that date; treat it as due.
    if (elapsed >= checkInterval || elapsed < 0)
        checkForUpdates(false);
}

void UpdateManager::checkForUpdates(bool userInitiated)
{
    HttpRequest request;
    request.url = m_options.feedUrl;
    request.timeoutSeconds = m_options.timeoutSeconds;
    request.maxBodyBytes = m_options.maxFeedBytes;
    m_http.send(std::move(request), [this, userInitiated](Result<HttpResponse> response) {
        finished(std::move(response), userInitiated);
    });
}

void UpdateManager::finished(Result<HttpResponse> response, bool userInitiated)
{
    if (!response) {
        if (response.error().code == ErrorCode::Cancelled)
            return;
        // A feed larger than any real one is a broken feed, not an unreachable server.
        fail(response.error().code == ErrorCode::TooLarge ? Failure::invalidFeed : Failure::unreachable, userInitiated);
        return;
    }
    if (response->status < 200 || response->status > 299) {
        fail(Failure::unreachable, userInitiated);
        return;
    }

    std::optional<Payload> payload;
    try {
        Json feed = json::parse(response->body);
        json::requireObject(feed, "update feed");
        payload = Payload{json::requireString(feed, "version"), json::requireString(feed, "build"),
                          json::requireUrl(feed, "url")};
    } catch (const std::exception&) {
        fail(Failure::invalidFeed, userInitiated);
        return;
    }

    const Url& url = payload->url;
    bool valid = !text::isBlank(payload->version) && !text::isBlank(payload->build)
        && url.schemeLowercased() == "https" && url.host().has_value() && !url.hasUserInfo();
    if (!valid) {
        fail(Failure::invalidFeed, userInitiated);
        return;
    }

    m_preferences.set(lastCheckKey, Clock::current().now());

    if (isNewer(payload->version, payload->build, m_options.currentVersion, m_options.currentBuild))
        promptForUpdate(*payload);
    else if (userInitiated)
        m_presenter.present({"You're Up to Date", "Kovi is already on the latest version.", {"OK"}}, [](std::size_t) {});
}

void UpdateManager::fail(Failure failure, bool userInitiated)
{
    // A check the user did not ask for fails without a trace and is tried again next launch.
    if (!userInitiated)
        return;
    m_presenter.present({kCheckFailedTitle, failure == Failure::unreachable ? kUnreachable : kInvalidFeed, {"OK"}},
                        [](std::size_t) {});
}

void UpdateManager::promptForUpdate(const Payload& payload)
{
    UpdateAlert alert{"Update Available",
                      "Kovi " + payload.version + " is available. Would you like to download it now?",
                      {"Download", "Later"}};
    // The answer may come after this manager is gone: keep only what opening the page needs.
    m_presenter.present(alert, [openUrl = m_openUrl, url = payload.url](std::size_t button) {
        if (button == 0 && openUrl)
            openUrl(url);
    });
}

int UpdateManager::compareNumeric(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            std::size_t endA = i;
            while (endA < a.size() && isDigit(a[endA]))
                ++endA;
            std::size_t endB = j;
            while (endB < b.size() && isDigit(b[endB]))
                ++endB;
            std::string_view x = significantDigits(a.substr(i, endA - i));
            std::string_view y = significantDigits(b.substr(j, endB - j));
            if (x.size() != y.size())
                return x.size() < y.size() ? -1 : 1;
            if (int c = x.compare(y); c != 0)
                return c < 0 ? -1 : 1;
            i = endA;
            j = endB;
            continue;
        }
        // Byte order of UTF-8 is code-point order.
        auto ca = static_cast<unsigned char>(a[i]);
        auto cb = static_cast<unsigned char>(b[j]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

bool UpdateManager::isNewer(std::string_view version, std::string_view build, std::string_view currentVersion,
                            std::string_view currentBuild)
{
    int byVersion = compareNumeric(version, currentVersion);
    if (byVersion != 0)
        return byVersion > 0;
    return compareNumeric(build, currentBuild) > 0;
}

} // namespace kovi
