#pragma once

#include "core/settings/preference_keys.h"
#include "core/support/http_client.h"
#include "core/support/url.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kovi {

class HttpSession;
class Preferences;

// One alert of the update check: a title, a message and its buttons, the first being the
// default.
struct UpdateAlert {
    std::string title;
    std::string message;
    std::vector<std::string> buttons;

    bool operator==(const UpdateAlert&) const = default;
};

// Shows update alerts to the user. The window layer implements it with a modal dialog.
class UpdateAlertPresenter {
public:
    virtual ~UpdateAlertPresenter() = default;
    // Shows `alert` and, once the user picks a button, calls `chosen` with its index in
    // alert.buttons. Closing the alert without a button may skip the call.
    virtual void present(const UpdateAlert& alert, std::function<void(std::size_t)> chosen) = 0;
};

// Asks the update feed whether a newer release exists and tells the user through the presenter:
// at start-up at most once a day and silently unless there is one, and on request always.
// Nothing is downloaded: "Download" hands the release page to `openUrl`. Main thread only; the
// feed is fetched asynchronously on the main loop.
class UpdateManager {
public:
    using OpenUrl = std::function<void(const Url&)>;

    struct Options {
        std::string feedUrl;
        std::string currentVersion;
        std::string currentBuild;
        double timeoutSeconds = 60;
        std::size_t maxFeedBytes = 1024 * 1024;

        // The feed address, version and build this program was built with.
        static Options standard();
    };

    static constexpr const DateKey& lastCheckKey = prefs::lastUpdateCheckDate;
    static constexpr double checkInterval = 86400.0;

    UpdateManager(Preferences& preferences, HttpSession& http, UpdateAlertPresenter& presenter, OpenUrl openUrl,
                  Options options = Options::standard());
    ~UpdateManager();

    UpdateManager(const UpdateManager&) = delete;
    UpdateManager& operator=(const UpdateManager&) = delete;

    // Checks silently when the last successful check is a day old, missing, or in the future.
    void startupCheck();
    // Returns at once; the outcome arrives later as an alert (failures only when the user asked).
    void checkForUpdates(bool userInitiated);

    // Whether version/build orders after the running one, comparing runs of digits by value.
    static bool isNewer(std::string_view version, std::string_view build, std::string_view currentVersion,
                        std::string_view currentBuild);
    // -1, 0 or 1; runs of digits compare by numeric value, everything else by code point.
    static int compareNumeric(std::string_view a, std::string_view b);

    std::size_t checksInFlight() const { return m_http.pendingCount(); }

private:
    struct Payload {
        std::string version;
        std::string build;
        Url url;
    };
    enum class Failure { unreachable, invalidFeed };

    void finished(Result<HttpResponse> response, bool userInitiated);
    void fail(Failure failure, bool userInitiated);
    void promptForUpdate(const Payload& payload);

    Preferences& m_preferences;
    UpdateAlertPresenter& m_presenter;
    OpenUrl m_openUrl;
    Options m_options;
    HttpClient m_http;
};

} // namespace kovi
