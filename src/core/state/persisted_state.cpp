#include "core/state/persisted_state.h"

namespace kovi {

PersistedState PersistedState::fromJson(const Json& object)
{
    json::requireObject(object, "PersistedState");
    PersistedState state;

    state.tabs = json::decodeUuidKeyedArray(json::requireMember(object, "tabs"), [](const Json& value) { return Tab::fromJson(value); });

    if (const Json* folders = json::member(object, "folders"))
        state.folders = json::decodeUuidKeyedArray(*folders, [](const Json& value) { return TabFolder::fromJson(value); });

    state.spaces = json::arrayFromJson<Space>(json::requireArrayMember(object, "spaces"));

    state.currentSpaceId = json::optional(object, "currentSpaceId", json::asUuid);
    state.activeTabId = json::optional(object, "activeTabId", json::asUuid);
    return state;
}

Json toJson(const PersistedState& state)
{
    Json object = Json::object();
    object["tabs"] = json::uuidKeyedArray(state.tabs, [](const Tab& tab) { return toJson(tab); });
    object["folders"] = json::uuidKeyedArray(state.folders.value_or(std::vector<std::pair<Uuid, TabFolder>>{}),
                                             [](const TabFolder& folder) { return toJson(folder); });
    object["spaces"] = json::arrayToJson(state.spaces);
    if (state.currentSpaceId)
        object["currentSpaceId"] = json::uuid(*state.currentSpaceId);
    if (state.activeTabId)
        object["activeTabId"] = json::uuid(*state.activeTabId);
    return object;
}

void PersistedState::assemble(const std::vector<std::pair<Uuid, const std::string*>>& encodedTabs,
                              const std::unordered_map<Uuid, TabFolder>& folders, const std::vector<Space>& spaces,
                              const std::optional<Uuid>& currentSpaceId, const std::optional<Uuid>& activeTabId,
                              std::string& out)
{
    std::size_t size = 256;
    for (const auto& [id, text] : encodedTabs)
        size += text->size() + 41;
    out.clear();
    out.reserve(size);
    auto quoted = [&out](const Uuid& id) {
        out += '"';
        out += id.toString();
        out += '"';
    };

    out += "{\"tabs\":[";
    bool first = true;
    for (const auto& [id, text] : encodedTabs) {
        if (!first)
            out += ',';
        first = false;
        quoted(id);
        out += ',';
        out += *text;
    }
    out += "],\"folders\":[";
    first = true;
    for (const auto& [id, folder] : folders) {
        if (!first)
            out += ',';
        first = false;
        quoted(id);
        out += ',';
        out += json::dump(toJson(folder));
    }
    out += "],\"spaces\":[";
    first = true;
    for (const Space& space : spaces) {
        if (!first)
            out += ',';
        first = false;
        out += json::dump(toJson(space));
    }
    out += ']';
    if (currentSpaceId) {
        out += ",\"currentSpaceId\":";
        quoted(*currentSpaceId);
    }
    if (activeTabId) {
        out += ",\"activeTabId\":";
        quoted(*activeTabId);
    }
    out += '}';
}

} // namespace kovi
