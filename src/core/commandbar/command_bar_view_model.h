#pragma once

#include "core/commandbar/command_bar_result.h"
#include "core/commandbar/url_parser.h"
#include "core/library/library_archive.h"
#include "core/model/space.h"
#include "core/model/tab.h"

#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kovi {

// Builds the command bar's result list from scratch for the typed text. Reads only what it is
// given; carrying out a result is the panel's job.
class CommandBarViewModel {
public:
    using TabList = std::vector<const Tab*>;

    static constexpr std::size_t maxRecentTabs = 8;
    static constexpr std::size_t maxTabsOnlyResults = 12;
    static constexpr std::size_t maxTabResults = 5;
    static constexpr std::size_t maxSavedPageResults = 5;

    // The open tabs in the table's own order, but the shown tab: switching to it does nothing.
    static TabList tabList(const std::unordered_map<Uuid, Tab>& tabs, const std::optional<Uuid>& shownTabId);

    // Open tabs only. The query is used as typed; only "" counts as empty.
    std::vector<CommandBarResult> searchTabs(std::string_view query, const TabList& tabs) const;
    // Address, tabs, saved pages, spaces, then always the web search.
    std::vector<CommandBarResult> search(std::string_view query, const TabList& tabs, const std::vector<Space>& spaces,
                                         const std::vector<SavedPage>& savedPages) const;

    const URLParser urlParser{};

private:
    std::vector<CommandBarResult> recentTabsResults(const TabList& tabs) const;
};

} // namespace kovi
