#include "core/libraryviews/history_panel_model.h"

#include "core/state/browser_state.h"
#include "core/support/text.h"

namespace kovi {

namespace {

// More than a row can show; cutting keeps a hostile 10,000-character title cheap to lay out.
constexpr std::size_t shownTitleCharacters = 300;

} // namespace

std::string historyRowTitle(const HistoryItem& item)
{
    if (item.title.empty())
        return item.url.host().value_or("Untitled");
    if (item.title.size() <= shownTitleCharacters)
        return item.title;
    return text::graphemePrefix(item.title, shownTitleCharacters);
}

std::string historyRowSubtitle(const HistoryItem& item)
{
    return item.url.host().value_or(item.url.string());
}

HistoryPanelModel::HistoryPanelModel(BrowserState& state) : m_state(state)
{
    m_connections.add(m_state.historyChanged.connect([this] { rebuild(); }));
    m_connections.add(m_state.currentSpaceIdChanged.connect([this] { rebuild(); }));
    rebuild();
}

void HistoryPanelModel::setSearchText(std::string text)
{
    if (text == m_searchText)
        return;
    m_searchText = std::move(text);
    rebuild();
}

const std::pair<std::string, std::string>& HistoryPanelModel::folded(const HistoryItem& item)
{
    auto it = m_folded.find(item.id);
    if (it == m_folded.end())
        it = m_folded.emplace(item.id, std::make_pair(text::caseFolded(item.title), text::caseFolded(item.url.string())))
                 .first;
    return it->second;
}

std::vector<HistoryItem> HistoryPanelModel::filteredHistory()
{
    std::vector<HistoryItem> items = m_state.historyForCurrentSpace();
    if (m_searchText.empty())
        return items;
    const std::string needle = text::caseFolded(m_searchText);
    std::vector<HistoryItem> matches;
    for (HistoryItem& item : items) {
        const auto& [title, url] = folded(item);
        if (title.find(needle) != std::string::npos || url.find(needle) != std::string::npos)
            matches.push_back(std::move(item));
    }
    return matches;
}

void HistoryPanelModel::rebuild()
{
    // Drop the folded texts of visits that are gone; the others stay valid.
    if (!m_folded.empty()) {
        std::unordered_map<Uuid, std::pair<std::string, std::string>> kept;
        for (const HistoryItem& item : m_state.history()) {
            if (auto it = m_folded.find(item.id); it != m_folded.end())
                kept.emplace(item.id, std::move(it->second));
        }
        m_folded = std::move(kept);
    }

    m_sections.clear();
    if (m_searchText.empty()) {
        auto add = [this](const char* title, std::vector<HistoryItem> items) {
            if (!items.empty())
                m_sections.push_back(Section{title, std::move(items)});
        };
        add("Today", m_state.historyForDate(Date::now()));
        add("Yesterday", m_state.yesterdaysHistory());
        add("Older", m_state.olderHistory());
    } else {
        // Shown even without a match: the header alone says the search found nothing.
        m_sections.push_back(Section{"Search Results", filteredHistory()});
    }

    m_rows.clear();
    for (std::size_t s = 0; s < m_sections.size(); ++s) {
        m_rows.push_back(Row{true, text::uppercased(m_sections[s].title), s, 0});
        for (std::size_t i = 0; i < m_sections[s].items.size(); ++i)
            m_rows.push_back(Row{false, {}, s, i});
    }
    rowsChanged.emit();
}

void HistoryPanelModel::open(const HistoryItem& item)
{
    m_state.addTab(Tab(Uuid::random(), item.url, std::nullopt, false, false, m_state.currentSpaceId(), std::nullopt));
}

void HistoryPanelModel::remove(const Uuid& itemId)
{
    m_state.removeHistoryItem(itemId);
}

void HistoryPanelModel::clearSpace()
{
    m_state.clearHistoryForCurrentSpace();
}

void HistoryPanelModel::close()
{
    m_state.setIsHistoryPanelVisible(false);
}

} // namespace kovi
