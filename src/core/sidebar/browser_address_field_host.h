#pragma once

#include "core/sidebar/address_field_model.h"

#include <functional>

namespace kovi {

class BrowserState;
class NotificationCenter;
class OmniboxEngine;

// The address field's host in the application: the browser state, the app-wide notifications
// and the sidebar's own suggestion engine. The two sidebar flags belong to the main window and
// are passed as functions. Every reference must outlive the host.
class BrowserAddressFieldHost final : public AddressFieldHost {
public:
    BrowserAddressFieldHost(BrowserState& state, NotificationCenter& notifications, OmniboxEngine& engine,
                            std::function<void(bool)> setSidebarVisible, std::function<void(bool)> setInteractionLocked);

    std::optional<Tab> activeTab() const override;
    std::optional<Uuid> currentSpaceId() const override;
    void setActiveTabId(const Uuid& tabId) override;
    void updateTabURL(const Uuid& tabId, const Url& url) override;
    void addTab(Tab tab) override;
    void postNavigate(const Uuid& tabId, const Url& url) override;
    void requestSuggestions(const OmniboxInput& input, Deliver deliver) override;
    void cancelSuggestionSearch() override;
    void setSidebarVisible(bool visible) override;
    void setInteractionLocked(bool locked) override;

private:
    BrowserState& m_state;
    NotificationCenter& m_notifications;
    OmniboxEngine& m_engine;
    std::function<void(bool)> m_setSidebarVisible;
    std::function<void(bool)> m_setInteractionLocked;
};

} // namespace kovi
