#include "core/windows/split_view_rules.h"

#include "core/model/dragged_item.h"
#include "core/state/browser_state.h"

#include <variant>

namespace kovi {

std::string splitPaneTitle(const Tab& tab)
{
    if (auto host = tab.url.host())
        return *host;
    if (!tab.title.empty())
        return tab.title;
    return "Untitled";
}

SplitPaneDrop dropOnSplitPane(BrowserState& state, SplitViewSide side, std::string_view text)
{
    // Text from other programs often ends in a line break; a payload never does.
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.remove_suffix(1);
    SplitPaneDrop drop;
    auto parsed = DraggedItem::fromPlainText(text);
    const auto* item = std::get_if<DraggedItem>(&parsed);
    if (!item)
        return drop;
    drop.tabId = item->id;
    if (item->isFolder) {
        drop.result = SplitPaneDrop::Result::folder;
        return drop;
    }
    if (!state.tab(item->id)) {
        drop.result = SplitPaneDrop::Result::unknownTab;
        return drop;
    }
    drop.result = SplitPaneDrop::Result::accepted;
    state.setSplitTab(side, item->id);
    return drop;
}

void selectSplitPane(BrowserState& state, SplitViewSide side)
{
    const SplitViewConfig& config = state.splitViewConfig();
    const std::optional<Uuid> tabId = side == SplitViewSide::left ? config.leftTabId : config.rightTabId;
    if (!tabId || !state.tab(*tabId))
        return;
    const Uuid id = *tabId; // the config may change under the assignments below
    state.setActiveSplitSide(side);
    state.setActiveTabId(id);
}

void activateSplit(BrowserState& state, bool preferLeft)
{
    const std::optional<Uuid> active = state.activeTabId();
    if (!active)
        return;
    for (const Tab& other : state.tabsForCurrentSpace()) {
        if (other.id == *active)
            continue;
        const Uuid otherId = other.id;
        if (preferLeft) {
            state.enableSplitView(*active, otherId);
            state.setActiveSplitSide(SplitViewSide::left);
        } else {
            state.enableSplitView(otherId, *active);
            state.setActiveSplitSide(SplitViewSide::right);
        }
        return;
    }
}

} // namespace kovi
