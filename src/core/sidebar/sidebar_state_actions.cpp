// The parts of the sidebar logic that read or change the browser state itself.
#include "core/sidebar/sidebar_drop.h"
#include "core/sidebar/sidebar_sections.h"
#include "core/sidebar/space_editor_model.h"
#include "core/state/browser_state.h"

#include <algorithm>

namespace kovi {

SidebarSections buildSidebarSections(const BrowserState& state, Date now)
{
    return buildSidebarSections(state.sidebarItemsForCurrentSpace(), state.tabsForCurrentSpace(), state.tabs(),
                                state.folders(), now);
}

void applySidebarDrop(BrowserState& state, const SidebarDrop& drop)
{
    switch (drop.kind) {
    case SidebarDrop::Kind::refuse:
        return;
    case SidebarDrop::Kind::moveTab:
        state.moveTab(drop.itemId, drop.index);
        return;
    case SidebarDrop::Kind::moveFolder:
        state.moveSidebarItem(SidebarItem::folder(drop.itemId), drop.index);
        return;
    case SidebarDrop::Kind::createFolder:
        state.createFolder(newFolderName, {drop.targetId, drop.itemId});
        return;
    case SidebarDrop::Kind::addToFolder:
        state.addTabToFolder(drop.itemId, drop.targetId);
        return;
    case SidebarDrop::Kind::moveInFolder:
        state.moveTabInFolder(drop.itemId, drop.targetId, drop.index);
        return;
    case SidebarDrop::Kind::addToFolderAndMove: {
        state.addTabToFolder(drop.itemId, drop.targetId);
        auto folder = state.folders().find(drop.targetId);
        if (folder == state.folders().end())
            return;
        const auto& ids = folder->second.tabIds;
        if (std::find(ids.begin(), ids.end(), drop.itemId) != ids.end())
            state.moveTabInFolder(drop.itemId, drop.targetId, drop.index);
        return;
    }
    }
}

bool saveSpaceDraft(BrowserState& state, const std::optional<Space>& editing, const SpaceDraft& draft)
{
    const std::string name = trimmedSpaceName(draft.name);
    if (name.empty())
        return false;
    if (editing) {
        // Only name, colour and icon change; order, tabs and dates stay as the state has them.
        Space space = state.space(editing->id).value_or(*editing);
        space.name = name;
        space.color = draft.color;
        space.icon = draft.icon;
        state.updateSpace(space);
        return true;
    }
    Space space;
    space.id = Uuid::random();
    space.name = name;
    space.color = draft.color;
    space.icon = draft.icon;
    space.createdAt = Date::now();
    state.addSpace(space);
    state.setCurrentSpaceId(space.id);
    return true;
}

bool deleteEditedSpace(BrowserState& state, const std::optional<Space>& editing)
{
    if (!editing || state.spaces().size() <= 1)
        return false;
    state.removeSpace(editing->id);
    return true;
}

} // namespace kovi
