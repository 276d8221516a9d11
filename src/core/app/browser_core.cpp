#include "core/app/browser_core.h"

#include "core/ai/ai_service.h"
#include "core/library/browser_library.h"
#include "core/settings/appearance_manager.h"
#include "core/settings/auth_manager.h"
#include "core/settings/preferences.h"
#include "core/state/browser_state.h"
#include "core/support/defaults.h"
#include "core/support/http_session.h"
#include "core/support/notification_center.h"
#include "core/web/page_extension_store.h"

namespace kovi {

// Stands between the update check and the application's alerts, which come later than the
// check and may go first.
class BrowserCore::AlertRelay final : public UpdateAlertPresenter {
public:
    void present(const UpdateAlert& alert, std::function<void(std::size_t)> chosen) override
    {
        if (presenter)
            presenter->present(alert, std::move(chosen));
    }
    void open(const Url& url) const
    {
        if (openUrl)
            openUrl(url);
    }

    UpdateAlertPresenter* presenter = nullptr;
    UpdateManager::OpenUrl openUrl;
};

BrowserCore::BrowserCore(Options options)
    : m_options(std::move(options))
    , m_http(std::make_unique<HttpSession>())
{
    m_defaults = std::make_unique<Defaults>(m_options.defaultsPath ? *m_options.defaultsPath
                                                                   : Defaults::defaultFilePath());
    m_preferences = std::make_unique<Preferences>(*m_defaults);
    m_notifications = std::make_unique<NotificationCenter>();
    m_library = std::make_unique<BrowserLibrary>(m_options.dataDirectory);
    m_state = std::make_unique<BrowserState>(m_options.dataDirectory, *m_preferences, *m_notifications, *m_library);
    m_appearance = std::make_unique<AppearanceManager>(*m_preferences);
    m_ai = std::make_unique<AIService>(*m_preferences);
    m_auth = std::make_unique<AuthManager>(*m_preferences);

    m_alerts = std::make_unique<AlertRelay>();
    UpdateManager::Options updates = UpdateManager::Options::standard();
    if (m_options.updateFeedUrl)
        updates.feedUrl = *m_options.updateFeedUrl;
    AlertRelay& relay = *m_alerts; // owned by this core and destroyed after the manager
    m_updates = std::make_unique<UpdateManager>(
        *m_preferences, *m_http, relay, [&relay](const Url& url) { relay.open(url); }, std::move(updates));

    m_extensions = std::make_unique<PageExtensionStore>(m_options.dataDirectory);
}

// Members go in reverse order of declaration: nothing outlives what it refers to.
BrowserCore::~BrowserCore() = default;

void BrowserCore::setUpdateAlerts(UpdateAlertPresenter* presenter, UpdateManager::OpenUrl openUrl)
{
    m_alerts->presenter = presenter;
    m_alerts->openUrl = std::move(openUrl);
}

} // namespace kovi
