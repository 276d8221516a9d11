#include "core/web/page_extension.h"

namespace kovi {

namespace {

Json encodeStrings(const std::vector<std::string>& values)
{
    Json array = Json::array();
    for (const auto& value : values)
        array.push_back(value);
    return array;
}

std::vector<std::string> requireStrings(const Json& object, std::string_view key)
{
    const Json& array = json::requireArrayMember(object, key);
    std::vector<std::string> values;
    values.reserve(array.size());
    for (const auto& element : array)
        values.push_back(json::asString(element));
    return values;
}

} // namespace

std::vector<std::string> PageExtension::sites() const
{
    std::vector<std::string> result;
    for (const auto& script : scripts)
        result.insert(result.end(), script.matches.begin(), script.matches.end());
    return result;
}

Json toJson(const PageExtension::Script& script)
{
    Json object = Json::object();
    object["matches"] = encodeStrings(script.matches);
    object["excludes"] = encodeStrings(script.excludes);
    object["javascript"] = script.javascript;
    object["css"] = script.css;
    object["runAt"] = script.runAt;
    return object;
}

PageExtension::Script PageExtension::Script::fromJson(const Json& value)
{
    json::requireObject(value, "script");
    Script script;
    script.matches = requireStrings(value, "matches");
    script.excludes = requireStrings(value, "excludes");
    script.javascript = json::requireString(value, "javascript");
    script.css = json::requireString(value, "css");
    script.runAt = json::requireString(value, "runAt");
    return script;
}

Json toJson(const PageExtension& extension)
{
    Json object = Json::object();
    object["id"] = json::uuid(extension.id);
    object["name"] = extension.name;
    object["version"] = extension.version;
    object["description"] = extension.description;
    object["scripts"] = json::arrayToJson(extension.scripts);
    object["enabled"] = extension.enabled;
    object["isBuiltIn"] = extension.isBuiltIn;
    return object;
}

PageExtension PageExtension::fromJson(const Json& value)
{
    json::requireObject(value, "page extension");
    PageExtension extension;
    extension.id = json::requireUuid(value, "id");
    extension.name = json::requireString(value, "name");
    extension.version = json::requireString(value, "version");
    extension.description = json::requireString(value, "description");
    extension.scripts = json::arrayFromJson<Script>(json::requireArrayMember(value, "scripts"));
    extension.enabled = json::requireBool(value, "enabled");
    extension.isBuiltIn = json::requireBool(value, "isBuiltIn");
    return extension;
}

} // namespace kovi
