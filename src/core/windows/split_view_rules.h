#pragma once

#include "core/model/split_view_config.h"
#include "core/model/tab.h"
#include "core/support/uuid.h"

#include <optional>
#include <string>
#include <string_view>

namespace kovi {

class BrowserState;

// What the split view's panes, headers and toolbar do to the browser state. Main thread only.

// The title of a pane's header: the host of the tab's address, else its title, else "Untitled"
// (the opposite order to the sidebar rows: a pane shows where its page comes from).
std::string splitPaneTitle(const Tab& tab);

// A drop on a pane. Only a dragged tab that the state holds is taken; anything else changes
// nothing.
struct SplitPaneDrop {
    enum class Result { accepted, notAPayload, folder, unknownTab };
    Result result = Result::notAPayload;
    std::optional<Uuid> tabId;
    bool accepted() const { return result == Result::accepted; }
};
// Decides on the plain-text form of a dragged item ("tab:<UUID>"; a trailing line break is
// forgiven) and, when it is taken, shows the tab in the pane: the pane becomes active and its
// tab the active tab; the other pane's tab dropped here swaps the two.
SplitPaneDrop dropOnSplitPane(BrowserState& state, SplitViewSide side, std::string_view text);

// A click on a pane: it becomes the active pane, then its tab the active tab. Nothing happens
// for a pane that shows no existing tab.
void selectSplitPane(BrowserState& state, SplitViewSide side);

// "Add Left Split" / "Add Right Split": the active tab on the chosen side beside the first other
// tab of the current space, that side active, the ratio back at 0.5. Nothing happens without
// an active tab or another tab.
void activateSplit(BrowserState& state, bool preferLeft);

} // namespace kovi
