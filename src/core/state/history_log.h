#pragma once

#include "core/model/history_item.h"
#include "core/model/tab.h"
#include "core/support/date.h"
#include "core/support/uuid.h"

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kovi {

class StorageFolder;

// The visits kept in history.json, newest first, and the queries of the history panel. A visit is
// recorded when a tab is shown and when a tab's page commits a navigation to a new address; the
// newest visit of each tab then follows the title and icon its page reports. The file is
// rewritten whole at every recorded visit, so each visit's encoded text is kept while the visit
// is unchanged; what a page reports later is written with the next write. Main thread only.
class HistoryLog {
public:
    static constexpr const char* fileName = "history.json";
    static constexpr std::size_t maxEntries = 1000;

    // `folder` must outlive the log.
    explicit HistoryLog(StorageFolder& folder);

    const std::vector<HistoryItem>& items() const { return m_items; }
    // Returns whether the list changed.
    bool set(std::vector<HistoryItem> items);

    // Records a visit of the tab's page at the head (in the tab's space, else `shownSpaceId`),
    // unless it repeats the newest visit of the shown space. Returns whether it was recorded.
    bool record(const Tab& tab, const std::optional<Uuid>& shownSpaceId);
    // The tab's page committed a navigation to the tab's address. Recorded unless that address is
    // the tab's newest visit already (one page load reported twice, a reload; the visit takes the
    // address as committed where it was recorded as typed) or the newest visit of the tab's space. Titled as a new tab of the address is, with no icon, until the page
    // reports its own. Returns whether it was recorded.
    bool recordNavigation(const Tab& tab, const std::optional<Uuid>& shownSpaceId);
    // The tab's newest visit takes the tab's title, or its icon, while the visit is of the tab's
    // address. Returns whether it changed.
    bool followTitle(const Tab& tab);
    bool followFavicon(const Tab& tab);
    // The tab is closed: its visits stay, but no longer follow it.
    void forgetTab(const Uuid& tabId);
    // Removes the tab's newest visit. Returns whether there was one.
    bool removeTabVisit(const Uuid& tabId);
    // Something changed that the file does not hold yet.
    bool hasUnsavedChanges() const { return m_unsaved; }
    bool remove(const Uuid& id);
    // Removes every visit of the space.
    bool clear(const std::optional<Uuid>& spaceId);

    // A space's visits, newest first: all of them, those of the local calendar day of `date`,
    // yesterday's, and every one before yesterday began (so the three together cover all).
    std::vector<HistoryItem> forSpace(const std::optional<Uuid>& spaceId) const;
    std::vector<HistoryItem> forDate(const std::optional<Uuid>& spaceId, Date date) const;
    std::vector<HistoryItem> yesterday(const std::optional<Uuid>& spaceId) const;
    std::vector<HistoryItem> older(const std::optional<Uuid>& spaceId) const;

    // Reads the newest maxEntries visits of the file; those stored without a space join
    // `currentSpaceId`.
    void load(const std::optional<Uuid>& currentSpaceId);
    // Writes the file; false when it failed (the folder tries again later).
    bool write();

private:
    // Fills m_text; throws EncodeError.
    void encode();
    // The newest visit of the space, if any.
    const HistoryItem* newestIn(const std::optional<Uuid>& spaceId) const;
    // The tab's newest visit, whatever its address.
    HistoryItem* tabVisit(const Uuid& tabId);
    // The tab's newest visit while it is of the tab's address.
    HistoryItem* currentVisit(const Tab& tab);
    // Puts the visit at the head, within the cap, as the tab's newest.
    void insert(HistoryItem item, const Uuid& tabId);
    // Marks a visit changed in place: its encoded text is stale and the file out of date.
    void edited(const HistoryItem& item);

    StorageFolder& m_folder;
    std::vector<HistoryItem> m_items;
    // Encoded text of the first visit under each id; dropped when that visit changes.
    std::unordered_map<Uuid, std::string> m_encoded;
    // The text of the last write, kept so its memory is reused.
    std::string m_text;
    // Per open tab, the id of its newest visit.
    std::unordered_map<Uuid, Uuid> m_tabVisits;
    bool m_unsaved = false;
};

} // namespace kovi
