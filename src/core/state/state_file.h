#pragma once

#include "core/model/space.h"
#include "core/model/tab.h"
#include "core/model/tab_folder.h"
#include "core/state/persisted_state.h"
#include "core/support/uuid.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace kovi {

class StorageFolder;

// browser_state.json: its tabs, folders and spaces read and repaired at start-up, and written
// whole at each save. A save usually changes one tab, so each tab's encoded text is kept while
// the tab is unchanged. Main thread only.
class StateFile {
public:
    static constexpr const char* fileName = "browser_state.json";

    using TabMap = std::unordered_map<Uuid, Tab>;
    using FolderMap = std::unordered_map<Uuid, TabFolder>;

    // What start-up works with: at least one space, no two with one id, a current space that
    // exists, restored tabs that are idle, and both orders of each space complete.
    struct Contents {
        TabMap tabs;
        FolderMap folders;
        std::vector<Space> spaces;
        Uuid currentSpaceId;
        std::optional<Uuid> activeTabId; // as stored: it may name no tab, or one of another space
    };

    // `folder` must outlive the file.
    explicit StateFile(StorageFolder& folder);

    // Reads and repairs the file; a missing, empty or unreadable one gives one new space.
    Contents load();
    static Contents repaired(PersistedState stored);
    static Space makeDefaultSpace();

    // The tab's record changed or is gone: its encoded text is not reused.
    void forgetTab(const Uuid& id) { m_encodedTabs.erase(id); }
    // Writes the file; false when it failed (the folder tries again later). The tabs in
    // `leftOut` are written as if they were closed: no record, named by no order, folder or
    // active id.
    bool write(const TabMap& tabs, const FolderMap& folders, const std::vector<Space>& spaces,
               const std::optional<Uuid>& currentSpaceId, const std::optional<Uuid>& activeTabId,
               const std::unordered_set<Uuid>& leftOut = {});

private:
    StorageFolder& m_folder;
    std::unordered_map<Uuid, std::string> m_encodedTabs;
    // The text of the last write, kept so its memory is reused.
    std::string m_text;
};

} // namespace kovi
