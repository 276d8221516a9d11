#include "ui/sidebar/sidebar_environment.h"

#include "core/state/browser_state.h"

namespace kovi {

bool SidebarEnvironment::performDrop(const std::function<SidebarDrop(const SidebarDropContext&)>& rule)
{
    const std::vector<SidebarItem> shown = shownItems; // the list may be rebuilt while applying
    const std::vector<SidebarItem> stored = state.sidebarItemsForCurrentSpace();
    SidebarDropContext context{state.tabs(), state.folders(), state.currentSpaceId(), shown, stored};
    SidebarDrop decision = rule(context);
    lastDrop = decision;
    applySidebarDrop(state, decision);
    dropped.emit(decision);
    return decision.accepted();
}

} // namespace kovi
