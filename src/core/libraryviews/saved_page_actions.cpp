#include "core/libraryviews/saved_page_actions.h"

#include "core/library/browser_library.h"
#include "core/state/browser_state.h"
#include "core/support/text.h"

namespace kovi {

bool isActivePageBookmarked(const BrowserState& state, const BrowserLibrary& library)
{
    auto tab = state.activeTab();
    return tab && library.isBookmarked(tab->url);
}

std::vector<SavedPage> bookmarkedPages(const LibraryArchive& archive)
{
    std::vector<SavedPage> pages;
    for (const SavedPage& page : archive.pages) {
        if (page.collection == kBookmarksCollection)
            pages.push_back(page);
    }
    return pages;
}

void openSavedPage(BrowserState& state, const SavedPage& page)
{
    state.addTab(Tab(Uuid::random(), page.url, page.title, false, false, state.currentSpaceId(), std::nullopt));
}

void restoreWorkspace(BrowserState& state, const WorkspaceSnapshot& workspace)
{
    // A blank name would be refused and the pages would land in whatever space is shown.
    const std::string name = text::isBlank(workspace.name) ? "Workspace" : workspace.name;
    state.createNewSpace(name, SpaceColor::blue, "square.stack.3d.up");
    for (const WorkspaceSnapshot::Page& page : workspace.pages) {
        // The title as stored, even an empty one; addTab lists only unpinned tabs in the space's
        // orders, so a pinned page is pinned once.
        state.addTab(Tab(Uuid::random(), page.url, page.title, page.isPinned, false, state.currentSpaceId(),
                         std::nullopt));
    }
}

} // namespace kovi
