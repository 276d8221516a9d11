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
// with saved pages, kept apart from the widgets so it can be tested without a display.

// The title a page is saved under: the tab's title, else its host, else "Untitled".
std::string titleForSaving(const Tab& tab);
// The active tab's page can be saved: there is an active tab and its URL is a web URL.
bool canSaveActivePage(const BrowserState& state);
// The active tab's page is in "Bookmarks" (false without an active tab).
bool isActivePageBookmarked(const BrowserState& state, const BrowserLibrary& library);
// The star's action: bookmarks the active tab's page, or removes every bookmark of it.
void toggleActivePageBookmark(const BrowserState& state, BrowserLibrary& library);
// The pages of "Bookmarks" in the library's order (the bar's buttons).
std::vector<SavedPage> bookmarkedPages(const LibraryArchive& archive);
// Opens a saved page in a new active tab of the current space; the saved page is not changed.
void openSavedPage(BrowserState& state, const SavedPage& page);
// Reopens a workspace as a new blue space holding its pages in order, the last one active. A
// workspace without a usable name opens as "Workspace".
void restoreWorkspace(BrowserState& state, const WorkspaceSnapshot& workspace);

} // namespace kovi
