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

// The visits kept in history.json, newest first, and the queries of the history panel. The file
// is rewritten whole at every activation, so each visit's encoded text is kept while the visit
// is unchanged. Main thread only.
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

    StorageFolder& m_folder;
    std::vector<HistoryItem> m_items;
    // Encoded text of the first visit under each id; dropped when that visit changes.
    std::unordered_map<Uuid, std::string> m_encoded;
    // The text of the last write, kept so its memory is reused.
    std::string m_text;
};

} // namespace kovi
