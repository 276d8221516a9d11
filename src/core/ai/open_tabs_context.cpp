#include "core/ai/open_tabs_context.h"

namespace kovi {

AIChatContext openTabsContext(const std::unordered_map<Uuid, Tab>& tabs)
{
    AIChatContext context;
    auto& list = context.openTabs.emplace();
    list.reserve(tabs.size());
    for (const auto& [id, tab] : tabs)
        list.push_back({{"title", tab.title}, {"url", tab.url.string()}});
    return context;
}

} // namespace kovi
