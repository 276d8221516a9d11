#include "core/state/browser_state.h"

#include <utility>

namespace kovi {

// Split view: two tabs of the shown space side by side; the active side follows the tab the
// user activates.

void BrowserState::enableSplitView(const Uuid& leftTabId, const Uuid& rightTabId)
{
    ChangeScope scope(*this);
    setSplitViewConfig(SplitViewConfig{true, leftTabId, rightTabId, 0.5});
    setActiveSplitSide(SplitViewSide::left);
}

void BrowserState::disableSplitView()
{
    SplitViewConfig config = m_splitViewConfig;
    config.isEnabled = false;
    config.leftTabId.reset();
    config.rightTabId.reset();
    setSplitViewConfig(config);
}

void BrowserState::leaveSplitViewUnlessShown(const Uuid& tabId)
{
    // The tab the user activates is the one they see: a tab that is in neither pane (a new tab,
    // a row of the sidebar, the next tab) is shown alone.
    const SplitViewConfig& config = m_splitViewConfig;
    if (config.isEnabled && config.leftTabId != tabId && config.rightTabId != tabId)
        disableSplitView();
}

void BrowserState::toggleSplitView()
{
    if (m_splitViewConfig.isEnabled) {
        disableSplitView();
        return;
    }
    if (!m_activeTabId)
        return;
    for (const Tab& tab : tabsForCurrentSpace()) {
        if (tab.id != *m_activeTabId) {
            enableSplitView(*m_activeTabId, tab.id);
            return;
        }
    }
}

void BrowserState::openInSplitView(const Uuid& tabId)
{
    if (!m_activeTabId || *m_activeTabId == tabId)
        return;
    enableSplitView(*m_activeTabId, tabId);
}

void BrowserState::setSplitTab(SplitViewSide side, const Uuid& tabId)
{
    if (!findTab(tabId))
        return;
    ChangeScope scope(*this);
    SplitViewConfig config = m_splitViewConfig;
    if (side == SplitViewSide::left) {
        if (config.rightTabId == tabId)
            config.rightTabId = config.leftTabId;
        config.leftTabId = tabId;
    } else {
        if (config.leftTabId == tabId)
            config.leftTabId = config.rightTabId;
        config.rightTabId = tabId;
    }
    setSplitViewConfig(config);
    setActiveSplitSide(side);
    setActiveTabId(tabId);
}

void BrowserState::swapSplitViews()
{
    if (!m_splitViewConfig.isEnabled)
        return;
    SplitViewConfig config = m_splitViewConfig;
    std::swap(config.leftTabId, config.rightTabId);
    setSplitViewConfig(config);
}

std::optional<Tab> BrowserState::leftSplitTab() const
{
    return m_splitViewConfig.leftTabId ? tab(*m_splitViewConfig.leftTabId) : std::nullopt;
}

std::optional<Tab> BrowserState::rightSplitTab() const
{
    return m_splitViewConfig.rightTabId ? tab(*m_splitViewConfig.rightTabId) : std::nullopt;
}

} // namespace kovi
