#pragma once

#include "core/model/sidebar_item.h"
#include "core/model/space.h"
#include "core/model/tab.h"
#include "core/model/tab_folder.h"
#include "core/support/uuid.h"

#include <unordered_map>
#include <vector>

namespace kovi {

// The rules of a space's two orders, read from the tab and folder records it is given:
// `sidebarOrder` lists the rows (folders, and the tabs outside folders); `tabOrder` lists every
// unpinned tab of the space, those inside folders too, and is the keyboard's order. It computes
// orders and changes nothing itself. The records must outlive it. Main thread only.
class SidebarOrder {
public:
    using TabMap = std::unordered_map<Uuid, Tab>;
    using FolderMap = std::unordered_map<Uuid, TabFolder>;

    SidebarOrder(const TabMap& tabs, const FolderMap& folders);

    // An unpinned tab of the space that sits in no folder.
    static bool isTopLevelTab(const Tab& tab, const Uuid& spaceId);
    // A row that names a top-level tab or a folder of the space.
    bool isValidEntry(const SidebarItem& item, const Uuid& spaceId) const;

    // The rows to show, in order; while the space has no sidebar order, its top-level tabs in
    // tab order.
    std::vector<SidebarItem> shownItems(const Space& space) const;

    // The sidebar order with the rows that are no longer valid left out, then the space's
    // folders it lacks (oldest first), then its top-level tabs it lacks (in tab order).
    std::vector<SidebarItem> completed(const Space& space) const;

    // The tab order after rows moved: the rows from top to bottom, a folder's tabs in the
    // folder's order where the folder sits, then the ids this leaves out in their old order.
    std::vector<Uuid> tabOrderFollowingSidebar(const Space& space) const;

    // The tab order as loaded, repaired: the first mention of each unpinned tab of the space,
    // then its unlisted unpinned tabs, oldest first.
    std::vector<Uuid> repairedTabOrder(const Space& space) const;

    static std::vector<Tab> sortedByCreation(std::vector<Tab> tabs);

private:
    const Tab* findTab(const Uuid& id) const;

    const TabMap& m_tabs;
    const FolderMap& m_folders;
};

} // namespace kovi
