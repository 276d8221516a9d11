#pragma once

#include "core/commandbar/command_bar_result.h"
#include "core/commandbar/command_bar_view_model.h"
#include "core/commandbar/url_parser.h"
#include "core/support/scoped_connections.h"

#include <sigc++/signal.h>

#include <cstddef>
#include <string>
#include <vector>

namespace kovi {

class BrowserLibrary;
class BrowserState;

// Everything the command-bar panel decides without drawing: its text, its selection, the result
// list (rebuilt whenever the text, the mode, the tabs, the spaces or the library change), the
// keyboard outcomes, the layout formulas and what running a result does to the browser state.
// Main thread only; the state and the library must outlive the model.
class CommandBarPanelModel {
public:
    static constexpr double panelCornerRadius = 16;
    static constexpr double panelWidth = 600;
    static constexpr double rowHeight = 52;
    static constexpr double listVerticalPadding = 16; // 8 above and 8 below the rows
    static constexpr double maxListHeight = 328;      // six rows and the padding

    enum class Key { up, down, returnKey, escape };
    enum class RowHighlight { none, hovered, selected };

    CommandBarPanelModel(BrowserState& browserState, BrowserLibrary& library);
    CommandBarPanelModel(const CommandBarPanelModel&) = delete;
    CommandBarPanelModel& operator=(const CommandBarPanelModel&) = delete;

    const std::string& searchText() const { return m_searchText; }
    // A change of the text selects the first row again.
    void setSearchText(std::string text);

    // Always a position in the list, 0 when the list is empty.
    std::size_t selectedIndex() const { return m_selectedIndex; }
    const std::vector<CommandBarResult>& results() const { return m_results; }

    std::string placeholderText() const;
    // The footer's hint for the return key.
    std::string actionText() const;

    // Emitted after the text, the list or the selection changed.
    sigc::signal<void()> changed;

    // The panel has been shown: the first row is selected (the view focuses its field).
    void appear();
    // Arrows move the selection without wrapping, return runs the selected result, escape
    // closes. Returns whether the key was consumed; only return can leave it to the field.
    bool handleKey(Key key);
    // Runs the selected result; nothing happens with an empty list.
    void executeSelectedResult();
    // Opens a new tab (address or web search), switches tab or switches space, then closes.
    void execute(const CommandBarResult& result);
    // Closes the panel: mode back to everything, text cleared, visibility flag cleared.
    void dismiss();

    // "Open", "Switch" or "Search": the selected row's return hint.
    static std::string hintWord(const CommandBarAction& action);
    static RowHighlight rowHighlight(bool isSelected, bool isHovering);

    // Layout of the card in a content area of width w and height h.
    static double cardTopGap(double h);
    static double cardWidth(double w);
    static double listHeight(double h, std::size_t resultCount);

private:
    std::vector<CommandBarResult> computeResults() const;
    void refreshResults();

    BrowserState& m_state;
    BrowserLibrary& m_library;
    CommandBarViewModel m_viewModel;
    std::string m_searchText;
    std::size_t m_selectedIndex = 0;
    std::vector<CommandBarResult> m_results;
    ScopedConnections m_connections;
};

} // namespace kovi
