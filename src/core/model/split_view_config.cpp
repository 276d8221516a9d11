#include "core/model/split_view_config.h"

#include "core/model/hashing.h"

namespace kovi {

NameTable<SplitViewSide> rawValueNames(SplitViewSide)
{
    static constexpr NamedCase<SplitViewSide> names[] = {
        {SplitViewSide::left, "left"},
        {SplitViewSide::right, "right"},
    };
    return names;
}

SplitViewConfig SplitViewConfig::fromJson(const Json& object)
{
    json::requireObject(object, "SplitViewConfig");
    SplitViewConfig config;
    config.isEnabled = json::requireBool(object, "isEnabled");
    config.leftTabId = json::optional(object, "leftTabId", json::asUuid);
    config.rightTabId = json::optional(object, "rightTabId", json::asUuid);
    config.splitRatio = json::requireDouble(object, "splitRatio");
    return config;
}

Json toJson(const SplitViewConfig& config)
{
    Json object = Json::object();
    object["isEnabled"] = config.isEnabled;
    if (config.leftTabId)
        object["leftTabId"] = json::uuid(*config.leftTabId);
    if (config.rightTabId)
        object["rightTabId"] = json::uuid(*config.rightTabId);
    object["splitRatio"] = json::number(config.splitRatio);
    return object;
}

std::size_t hashValue(const SplitViewConfig& config)
{
    std::size_t seed = 0;
    hashing::add(seed, config.isEnabled);
    hashing::addOptional(seed, config.leftTabId);
    hashing::addOptional(seed, config.rightTabId);
    hashing::addDouble(seed, config.splitRatio);
    return seed;
}

} // namespace kovi
