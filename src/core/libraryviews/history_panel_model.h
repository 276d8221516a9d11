#pragma once

#include "core/model/history_item.h"
#include "core/support/scoped_connections.h"
#include "core/support/uuid.h"

#include <sigc++/signal.h>

#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kovi {

class BrowserState;

// Row texts of the history panel.
// The title, else the host, else "Untitled"; a very long title is cut (the row shows one line).
std::string historyRowTitle(const HistoryItem& item);
// The host, else the whole URL.
std::string historyRowSubtitle(const HistoryItem& item);

// What the history panel shows: the current space's visits under "Today", "Yesterday" and
// "Older", or under "Search Results" while the search text is not empty. Headers and visits form
// one flat list of rows for the panel's lazy list. The lists follow the browser state (history
// and shown space). Main thread only; the state must outlive the model.
class HistoryPanelModel {
public:
    struct Section {
        std::string title;
        std::vector<HistoryItem> items;
    };
    struct Row {
        bool isHeader = false;
        std::string header; // upper-cased title, for a header row
        std::size_t section = 0;
        std::size_t item = 0; // index into the section's items, for a visit row
    };

    explicit HistoryPanelModel(BrowserState& state);
    HistoryPanelModel(const HistoryPanelModel&) = delete;
    HistoryPanelModel& operator=(const HistoryPanelModel&) = delete;

    const std::string& searchText() const { return m_searchText; }
    void setSearchText(std::string text);

    const std::vector<Section>& sections() const { return m_sections; }
    const std::vector<Row>& rows() const { return m_rows; }
    const HistoryItem& itemAt(const Row& row) const { return m_sections.at(row.section).items.at(row.item); }
    // The current space's visits that match the search text, newest first. Title or URL, case
    // ignored, the text taken literally and untrimmed.
    std::vector<HistoryItem> filteredHistory();

    // A new active tab for the visit's URL in the current space (titled by the page itself).
    void open(const HistoryItem& item);
    void remove(const Uuid& itemId);
    void clearSpace();
    void close();

    sigc::signal<void()> rowsChanged;

private:
    void rebuild();
    const std::pair<std::string, std::string>& folded(const HistoryItem& item);

    BrowserState& m_state;
    std::string m_searchText;
    std::vector<Section> m_sections;
    std::vector<Row> m_rows;
    // Folded title and URL by visit id, made on the first search and kept while visits stay.
    std::unordered_map<Uuid, std::pair<std::string, std::string>> m_folded;
    ScopedConnections m_connections;
};

} // namespace kovi
