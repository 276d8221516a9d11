#include "core/commandbar/command_bar_view_model.h"

#include "core/support/text.h"

#include <algorithm>

namespace kovi {

namespace {

constexpr const char* searchEngineName = "Google";

bool matches(std::string_view query, const std::string& title, const Url& url)
{
    return text::containsCaseInsensitive(title, query) || text::containsCaseInsensitive(url.string(), query);
}

CommandBarResult result(std::string icon, std::string title, std::optional<std::string> subtitle,
                        CommandBarAction action)
{
    return CommandBarResult{Uuid::random(), std::move(icon), std::move(title), std::move(subtitle), std::move(action)};
}

CommandBarResult tabResult(const Tab& tab, const char* icon)
{
    auto host = tab.url.host();
    std::string title = !tab.title.empty() ? tab.title : host ? *host : std::string("Untitled");
    return result(icon, std::move(title), host, SwitchToTabAction{tab.id});
}

} // namespace

CommandBarViewModel::TabList CommandBarViewModel::tabList(const std::unordered_map<Uuid, Tab>& tabs,
                                                          const std::optional<Uuid>& shownTabId)
{
    TabList list;
    list.reserve(tabs.size());
    for (const auto& [id, tab] : tabs) {
        if (id != shownTabId)
            list.push_back(&tab);
    }
    return list;
}

std::vector<CommandBarResult> CommandBarViewModel::recentTabsResults(const TabList& tabs) const
{
    TabList sorted = tabs;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Tab* a, const Tab* b) { return a->lastAccessedAt > b->lastAccessedAt; });
    std::vector<CommandBarResult> results;
    for (std::size_t i = 0; i < sorted.size() && i < maxRecentTabs; ++i)
        results.push_back(tabResult(*sorted[i], "clock"));
    return results;
}

std::vector<CommandBarResult> CommandBarViewModel::searchTabs(std::string_view query, const TabList& tabs) const
{
    if (query.empty())
        return recentTabsResults(tabs);
    std::vector<CommandBarResult> results;
    for (const Tab* tab : tabs) {
        if (results.size() == maxTabsOnlyResults)
            break;
        if (matches(query, tab->title, tab->url))
            results.push_back(tabResult(*tab, "square.on.square"));
    }
    return results;
}

std::vector<CommandBarResult> CommandBarViewModel::search(std::string_view query, const TabList& tabs,
                                                          const std::vector<Space>& spaces,
                                                          const std::vector<SavedPage>& savedPages) const
{
    if (query.empty())
        return recentTabsResults(tabs);

    std::vector<CommandBarResult> results;
    if (auto url = urlParser.parseURL(query)) {
        auto host = url->host();
        results.push_back(result("globe", "Go to " + (host ? *host : url->string()), url->string(), OpenURLAction{*url}));
    }

    std::size_t tabCount = 0;
    for (const Tab* tab : tabs) {
        if (tabCount == maxTabResults)
            break;
        if (matches(query, tab->title, tab->url)) {
            results.push_back(tabResult(*tab, "square.on.square"));
            ++tabCount;
        }
    }

    std::size_t pageCount = 0;
    for (const SavedPage& page : savedPages) {
        if (pageCount == maxSavedPageResults)
            break;
        if (!matches(query, page.title, page.url))
            continue;
        const char* icon = page.collection == kReadingListCollection ? "book" : "star";
        std::string subtitle = page.collection + " \u00B7 " + page.url.host().value_or("");
        results.push_back(result(icon, page.title, std::move(subtitle), OpenURLAction{page.url}));
        ++pageCount;
    }

    for (const Space& space : spaces)
        if (text::containsCaseInsensitive(space.name, query))
            results.push_back(result(space.icon, "Switch to " + space.name, std::string("Space"),
                                     SwitchToSpaceAction{space.id}));

    const std::string typed(query);
    results.push_back(result("magnifyingglass", "Search \"" + typed + "\"", std::string(searchEngineName),
                             SearchAction{typed}));
    return results;
}

} // namespace kovi
