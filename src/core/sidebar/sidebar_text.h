#pragma once

#include "core/model/download_item.h"
#include "core/model/tab.h"

#include <string>
#include <string_view>
#include <vector>

namespace kovi {

// A tab's name in the sidebar rows and drag previews, as text::shownText shows it: its title,
// else its URL's host, else "Untitled".
std::string sidebarDisplayTitle(const Tab& tab);
// The pinned tile's stand-in for a missing icon: the display title's first character,
// upper-cased.
std::string pinnedTabLetter(const Tab& tab);
// Section headings are shown in capitals.
std::string sectionHeaderText(std::string_view title);
// The downloads badge: downloads whose status is "downloading".
int runningDownloadCount(const std::vector<DownloadItem>& downloads);
// The collapsed address bar's text: the active page's host, else the placeholder.
std::string collapsedAddressText(const Tab* activeTab);

inline constexpr const char* addressPlaceholder = "Search or enter URL";

} // namespace kovi
