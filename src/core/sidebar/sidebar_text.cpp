#include "core/sidebar/sidebar_text.h"

#include "core/support/text.h"

#include <algorithm>

namespace kovi {

std::string sidebarDisplayTitle(const Tab& tab)
{
    if (!tab.title.empty())
        return text::shownText(tab.title);
    if (auto host = tab.url.host())
        return text::shownText(*host);
    return "Untitled";
}

std::string pinnedTabLetter(const Tab& tab)
{
    return text::uppercased(text::graphemePrefix(sidebarDisplayTitle(tab), 1));
}

std::string sectionHeaderText(std::string_view title)
{
    return text::uppercased(title);
}

int runningDownloadCount(const std::vector<DownloadItem>& downloads)
{
    return static_cast<int>(std::count_if(downloads.begin(), downloads.end(), [](const DownloadItem& item) {
        return item.status == DownloadStatus::downloading;
    }));
}

std::string collapsedAddressText(const Tab* activeTab)
{
    if (activeTab) {
        if (auto host = activeTab->url.host())
            return *host;
    }
    return addressPlaceholder;
}

} // namespace kovi
