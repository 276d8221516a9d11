#include "core/commandbar/command_bar_panel_model.h"

#include "core/library/browser_library.h"
#include "core/state/browser_state.h"

#include <algorithm>
#include <type_traits>
#include <utility>

namespace kovi {

CommandBarPanelModel::CommandBarPanelModel(BrowserState& browserState, BrowserLibrary& library)
    : m_state(browserState)
    , m_library(library)
{
    auto refresh = [this] { refreshResults(); };
    m_connections.add(m_state.tabsChanged.connect(refresh));
    m_connections.add(m_state.activeTabIdChanged.connect(refresh));
    m_connections.add(m_state.spacesChanged.connect(refresh));
    m_connections.add(m_state.commandBarModeChanged.connect(refresh));
    m_connections.add(m_library.archiveChanged.connect(refresh));
    m_results = computeResults();
}

std::vector<CommandBarResult> CommandBarPanelModel::computeResults() const
{
    const auto tabs = CommandBarViewModel::tabList(m_state.tabs(), m_state.activeTabId());
    if (m_state.commandBarMode() == BrowserState::CommandBarMode::tabs)
        return m_viewModel.searchTabs(m_searchText, tabs);
    return m_viewModel.search(m_searchText, tabs, m_state.spaces(), m_library.archive().pages);
}

void CommandBarPanelModel::refreshResults()
{
    auto results = computeResults();
    // A list of another length keeps the selection inside it; one of the same length keeps the
    // selection where it is.
    if (results.size() != m_results.size())
        m_selectedIndex = std::min(m_selectedIndex, results.empty() ? 0 : results.size() - 1);
    m_results = std::move(results);
    changed.emit();
}

void CommandBarPanelModel::setSearchText(std::string text)
{
    if (text == m_searchText)
        return;
    m_searchText = std::move(text);
    m_selectedIndex = 0;
    refreshResults();
}

std::string CommandBarPanelModel::placeholderText() const
{
    return m_state.commandBarMode() == BrowserState::CommandBarMode::tabs ? "Switch tabs..." : "Search or enter URL...";
}

std::string CommandBarPanelModel::actionText() const
{
    if (m_selectedIndex < m_results.size())
        return "\u21B5 " + hintWord(m_results[m_selectedIndex].action);
    return "\u21B5 Open";
}

std::string CommandBarPanelModel::hintWord(const CommandBarAction& action)
{
    return std::visit(
        [](const auto& a) -> std::string {
            using A = std::decay_t<decltype(a)>;
            if constexpr (std::is_same_v<A, OpenURLAction>)
                return "Open";
            else if constexpr (std::is_same_v<A, SearchAction>)
                return "Search";
            else
                return "Switch";
        },
        action);
}

CommandBarPanelModel::RowHighlight CommandBarPanelModel::rowHighlight(bool isSelected, bool isHovering)
{
    if (isSelected)
        return RowHighlight::selected;
    return isHovering ? RowHighlight::hovered : RowHighlight::none;
}

void CommandBarPanelModel::appear()
{
    m_selectedIndex = 0;
    changed.emit();
}

bool CommandBarPanelModel::handleKey(Key key)
{
    switch (key) {
    case Key::up:
        if (m_selectedIndex >= 1) {
            --m_selectedIndex;
            changed.emit();
        }
        return true;
    case Key::down:
        if (m_selectedIndex + 1 < m_results.size()) {
            ++m_selectedIndex;
            changed.emit();
        }
        return true;
    case Key::returnKey:
        executeSelectedResult();
        return true;
    case Key::escape:
        dismiss();
        return true;
    }
    return false;
}

void CommandBarPanelModel::executeSelectedResult()
{
    if (m_selectedIndex < m_results.size())
        execute(m_results[m_selectedIndex]);
}

void CommandBarPanelModel::execute(const CommandBarResult& result)
{
    // The action changes the state, whose signals rebuild m_results; work on a copy.
    const CommandBarAction action = result.action;
    auto openInNewTab = [this](const Url& url) {
        m_state.addTab(Tab(Uuid::random(), url, std::nullopt, false, false, m_state.currentSpaceId(), std::nullopt));
    };
    std::visit(
        [&](const auto& a) {
            using A = std::decay_t<decltype(a)>;
            if constexpr (std::is_same_v<A, OpenURLAction>)
                openInNewTab(a.url);
            else if constexpr (std::is_same_v<A, SearchAction>)
                openInNewTab(m_viewModel.urlParser.searchURL(a.text));
            else if constexpr (std::is_same_v<A, SwitchToTabAction>)
                m_state.setActiveTabId(a.tabId);
            else
                m_state.setCurrentSpaceId(a.spaceId);
        },
        action);
    dismiss();
}

void CommandBarPanelModel::dismiss()
{
    m_searchText.clear();
    m_selectedIndex = 0;
    refreshResults();
    m_state.setCommandBarMode(BrowserState::CommandBarMode::all);
    // Last: the host may destroy this panel as soon as the flag clears.
    m_state.setIsCommandBarVisible(false);
}

double CommandBarPanelModel::cardTopGap(double h)
{
    return std::min(0.1 * h, 58.0);
}

double CommandBarPanelModel::cardWidth(double w)
{
    return std::min(std::max(w - 40, 280.0), panelWidth);
}

double CommandBarPanelModel::listHeight(double h, std::size_t resultCount)
{
    const double rows = rowHeight * static_cast<double>(resultCount) + listVerticalPadding;
    return std::min(std::min(std::max(h - 180, rowHeight), maxListHeight), rows);
}

} // namespace kovi
