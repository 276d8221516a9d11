#pragma once

#include "core/library/library_archive.h"
#include "core/model/tab.h"

#include <optional>
#include <string>
#include <vector>

namespace kovi {

class BrowserLibrary;
class BrowserState;

// What the bookmark star, the bookmarks bar and the library sheet do with the active tab and
// with saved pages (saving the active page is the command table's), kept apart from the widgets so it can be tested without a display.

// The active tab's page is in "Bookmarks" (false without an active tab).
bool isActivePageBookmarked(const BrowserState& state, const BrowserLibrary& library);
// The pages of "Bookmarks" in the library's order (the bar's buttons).
std::vector<SavedPage> bookmarkedPages(const LibraryArchive& archive);
// Opens a saved page in a new active tab of the current space; the saved page is not changed.
void openSavedPage(BrowserState& state, const SavedPage& page);
// Reopens a workspace as a new blue space holding its pages in order, the last one active. A
// workspace without a usable name opens as "Workspace".
void restoreWorkspace(BrowserState& state, const WorkspaceSnapshot& workspace);

} // namespace kovi
