#include "core/model/dragged_item.h"

#include "core/model/hashing.h"
#include "core/support/text.h"

namespace kovi {

std::optional<DraggedItem> DraggedItem::fromEncodedString(std::string_view text)
{
    auto colon = text.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    std::string_view kind = text.substr(0, colon);
    std::string_view rest = text.substr(colon + 1);
    if (kind.empty() || rest.empty())
        return std::nullopt; // one piece only
    auto id = Uuid::parse(rest);
    if (!id)
        return std::nullopt;
    if (kind == "tab")
        return DraggedItem{*id, false};
    if (kind == "folder")
        return DraggedItem{*id, true};
    return std::nullopt;
}

std::string DraggedItem::encodedString() const
{
    return (isFolder ? "folder:" : "tab:") + id.toString();
}

std::variant<DraggedItem, DraggedItemError> DraggedItem::fromPlainText(std::string_view bytes)
{
    if (!text::isValidUtf8(bytes))
        return DraggedItemError::invalidPayload;
    if (auto item = fromEncodedString(bytes))
        return *item;
    return DraggedItemError::invalidPayload;
}

DraggedItem DraggedItem::fromJson(const Json& object)
{
    json::requireObject(object, "DraggedItem");
    return DraggedItem{json::requireUuid(object, "id"), json::requireBool(object, "isFolder")};
}

std::string DraggedItem::jsonData() const
{
    return json::dump(toJson(*this));
}

std::optional<DraggedItem> DraggedItem::fromJsonData(std::string_view bytes)
{
    try {
        return fromJson(json::parse(bytes));
    } catch (const DecodeError&) {
        return std::nullopt;
    }
}

Json toJson(const DraggedItem& item)
{
    Json object = Json::object();
    object["id"] = json::uuid(item.id);
    object["isFolder"] = item.isFolder;
    return object;
}

std::size_t hashValue(const DraggedItem& item)
{
    std::size_t seed = 0;
    hashing::add(seed, item.id);
    hashing::add(seed, item.isFolder);
    return seed;
}

} // namespace kovi
