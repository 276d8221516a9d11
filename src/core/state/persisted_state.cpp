#include "core/state/persisted_state.h"

namespace kovi {

PersistedState PersistedState::fromJson(const Json& object)
{
    json::requireObject(object, "PersistedState");
    PersistedState state;

    state.tabs = json::decodeUuidKeyedArray(json::requireMember(object, "tabs"), [](const Json& value) { return Tab::fromJson(value); });

    if (const Json* folders = json::member(object, "folders"))
        state.folders = json::decodeUuidKeyedArray(*folders, [](const Json& value) { return TabFolder::fromJson(value); });

    for (const Json& space : json::requireArrayMember(object, "spaces"))
        state.spaces.push_back(Space::fromJson(space));

    state.currentSpaceId = json::optionalUuid(object, "currentSpaceId");
    state.activeTabId = json::optionalUuid(object, "activeTabId");
    return state;
}

Json PersistedState::encode(const std::unordered_map<Uuid, Tab>& tabs, const std::unordered_map<Uuid, TabFolder>& folders,
                            const std::vector<Space>& spaces, const std::optional<Uuid>& currentSpaceId,
                            const std::optional<Uuid>& activeTabId)
{
    Json object = Json::object();
    Json tabArray = Json::array();
    for (const auto& [id, tab] : tabs) {
        tabArray.push_back(json::uuid(id));
        tabArray.push_back(toJson(tab));
    }
    object["tabs"] = std::move(tabArray);

    Json folderArray = Json::array();
    for (const auto& [id, folder] : folders) {
        folderArray.push_back(json::uuid(id));
        folderArray.push_back(toJson(folder));
    }
    object["folders"] = std::move(folderArray);

    Json spaceArray = Json::array();
    for (const Space& space : spaces)
        spaceArray.push_back(toJson(space));
    object["spaces"] = std::move(spaceArray);

    if (currentSpaceId)
        object["currentSpaceId"] = json::uuid(*currentSpaceId);
    if (activeTabId)
        object["activeTabId"] = json::uuid(*activeTabId);
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
