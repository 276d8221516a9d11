#include "core/sidebar/browser_address_field_host.h"

#include "core/commandbar/omnibox_engine.h"
#include "core/state/browser_state.h"
#include "core/support/notification_center.h"
#include "core/support/notification_names.h"

namespace kovi {

BrowserAddressFieldHost::BrowserAddressFieldHost(BrowserState& state, NotificationCenter& notifications,
                                                 OmniboxEngine& engine, std::function<void(bool)> setSidebarVisible,
                                                 std::function<void(bool)> setInteractionLocked)
    : m_state(state)
    , m_notifications(notifications)
    , m_engine(engine)
    , m_setSidebarVisible(std::move(setSidebarVisible))
    , m_setInteractionLocked(std::move(setInteractionLocked))
{
}

std::optional<Tab> BrowserAddressFieldHost::activeTab() const { return m_state.activeTab(); }
std::optional<Uuid> BrowserAddressFieldHost::currentSpaceId() const { return m_state.currentSpaceId(); }
void BrowserAddressFieldHost::setActiveTabId(const Uuid& tabId) { m_state.setActiveTabId(tabId); }
void BrowserAddressFieldHost::updateTabURL(const Uuid& tabId, const Url& url) { m_state.updateTabURL(tabId, url); }
void BrowserAddressFieldHost::addTab(Tab tab) { m_state.addTab(std::move(tab)); }

void BrowserAddressFieldHost::postNavigate(const Uuid& tabId, const Url& url)
{
    m_notifications.post(notifications::webViewNavigate, tabId, {{"url", url}});
}

void BrowserAddressFieldHost::requestSuggestions(const OmniboxInput& input, Deliver deliver)
{
    m_engine.update(input, m_state, std::move(deliver));
}

void BrowserAddressFieldHost::cancelSuggestionSearch()
{
    // The engine offers no way to stop its request; the model drops late answers itself.
}

void BrowserAddressFieldHost::setSidebarVisible(bool visible)
{
    if (m_setSidebarVisible)
        m_setSidebarVisible(visible);
}

void BrowserAddressFieldHost::setInteractionLocked(bool locked)
{
    if (m_setInteractionLocked)
        m_setInteractionLocked(locked);
}

} // namespace kovi
