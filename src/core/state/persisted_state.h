#pragma once

#include "core/model/space.h"
#include "core/model/tab.h"
#include "core/model/tab_folder.h"
#include "core/support/json_coding.h"
#include "core/support/uuid.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kovi {

// The whole content of browser_state.json: {"tabs": [id, tab, …], "folders": [id, folder, …],
// "spaces": [...], "currentSpaceId": …, "activeTabId": …}. Both dictionaries are flat arrays of
// alternating keys and values; the two ids are left out when absent.
struct PersistedState {
    std::vector<std::pair<Uuid, Tab>> tabs;
    std::optional<std::vector<std::pair<Uuid, TabFolder>>> folders; // absent in older files
    std::vector<Space> spaces;
    std::optional<Uuid> currentSpaceId;
    std::optional<Uuid> activeTabId;

    // Throws DecodeError when "tabs" or "spaces" is missing or any value is malformed.
    static PersistedState fromJson(const Json& object);

    // The same file text, built from tab records that are already encoded (each the compact
    // JSON of one tab, in the order given). Gives exactly json::dump(toJson(...)) of the same
    // records, without copying them.
    // The text replaces the contents of `out`.
    static void assemble(const std::vector<std::pair<Uuid, const std::string*>>& encodedTabs,
                         const std::unordered_map<Uuid, TabFolder>& folders, const std::vector<Space>& spaces,
                         const std::optional<Uuid>& currentSpaceId, const std::optional<Uuid>& activeTabId,
                         std::string& out);
};

// Throws EncodeError for a value that cannot be written.
Json toJson(const PersistedState& state);

} // namespace kovi
