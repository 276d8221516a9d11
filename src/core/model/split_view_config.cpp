#include "core/model/split_view_config.h"

#include "core/model/hashing.h"

namespace kovi {

std::string_view rawValue(SplitViewSide side)
{
    return side == SplitViewSide::left ? "left" : "right";
}

std::optional<SplitViewSide> splitViewSideFromRawValue(std::string_view text)
{
    if (text == "left")
        return SplitViewSide::left;
    if (text == "right")
        return SplitViewSide::right;
    return std::nullopt;
}

SplitViewConfig SplitViewConfig::fromJson(const Json& object)
{
    json::requireObject(object, "SplitViewConfig");
    SplitViewConfig config;
    config.isEnabled = json::requireBool(object, "isEnabled");
    config.leftTabId = json::optionalUuid(object, "leftTabId");
    config.rightTabId = json::optionalUuid(object, "rightTabId");
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

Json toJson(SplitViewSide side)
{
    return Json(std::string(rawValue(side)));
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
