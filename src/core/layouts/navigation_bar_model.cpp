#include "core/layouts/navigation_bar_model.h"

#include "core/state/browser_state.h"
#include "core/support/notification_center.h"
#include "core/support/notification_names.h"
#include "core/support/text.h"

namespace kovi {

NavigationBarModel::NavigationBarModel(BrowserState& state, NotificationCenter& notifications)
    : m_state(state), m_notifications(notifications)
{
    m_connections.add(state.activeTabIdChanged.connect([this] { follow(); }));
    m_connections.add(state.tabsChanged.connect([this] { follow(); }));
    if (auto tab = m_state.activeTab()) {
        m_shownUrl = tab->url;
        m_urlText = tab->url.string();
    }
}

void NavigationBarModel::follow()
{
    const auto tab = m_state.activeTab();
    std::optional<Url> url = tab ? std::optional<Url>(tab->url) : std::nullopt;
    const bool changed = url != m_shownUrl;
    m_shownUrl = url;
    // With no active tab the field keeps its text.
    if (changed && url) {
        m_urlText = url->string();
        urlTextChanged.emit();
    }
    pageChanged.emit();
}

void NavigationBarModel::revert()
{
    std::string shown = m_shownUrl ? m_shownUrl->string() : std::string();
    if (m_urlText == shown)
        return;
    m_urlText = std::move(shown);
    urlTextChanged.emit();
}

bool NavigationBarModel::isSecure() const
{
    const auto tab = m_state.activeTab();
    return tab && tab->url.scheme() == "https";
}

bool NavigationBarModel::canGoBack() const
{
    const auto tab = m_state.activeTab();
    return tab && tab->canGoBack;
}

bool NavigationBarModel::canGoForward() const
{
    const auto tab = m_state.activeTab();
    return tab && tab->canGoForward;
}

NavigationBarModel::Outcome NavigationBarModel::navigate()
{
    const std::string text = text::trimWhitespaceAndNewlines(m_urlText);
    if (text.empty())
        return Outcome::nothing;
    // The placeholder offers a search: text that is no address is searched for.
    const Url url = m_parser.parseURL(text).value_or(m_parser.searchURL(text));
    if (const auto active = m_state.activeTabId()) {
        m_notifications.post(notifications::webViewNavigate, *active, {{"url", url}});
        return Outcome::navigated;
    }
    m_state.createNewTab(url);
    return Outcome::openedTab;
}

} // namespace kovi
