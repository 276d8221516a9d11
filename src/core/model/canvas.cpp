#include "core/model/canvas.h"

#include "core/model/hashing.h"

namespace kovi {

namespace {

// A point or a size: a JSON array whose first two elements are numbers.
std::pair<double, double> requirePair(const Json& object, std::string_view key)
{
    const Json& array = json::requireArrayMember(object, key);
    if (array.size() < 2)
        throw DecodeError("Unkeyed container reached end before value in \"" + std::string(key) + "\".");
    return {json::asDouble(array[0]), json::asDouble(array[1])};
}

Json pair(double first, double second)
{
    Json array = Json::array();
    array.push_back(json::number(first));
    array.push_back(json::number(second));
    return array;
}

struct TypeEncoder {
    Json operator()(const CanvasItemType::WebPreview& v) const { return wrap("webPreview", urlAndTitle(v.url, v.title)); }
    Json operator()(const CanvasItemType::Link& v) const { return wrap("link", urlAndTitle(v.url, v.title)); }
    Json operator()(const CanvasItemType::Note& v) const
    {
        Json content = Json::object();
        content["text"] = v.text;
        content["color"] = toJson(v.color);
        return wrap("note", std::move(content));
    }
    Json operator()(const CanvasItemType::Image& v) const
    {
        Json content = Json::object();
        content["data"] = json::bytes(v.data);
        return wrap("image", std::move(content));
    }

    static Json urlAndTitle(const Url& url, const std::string& title)
    {
        Json content = Json::object();
        content["url"] = url.string();
        content["title"] = title;
        return content;
    }
    static Json wrap(const char* name, Json content)
    {
        Json object = Json::object();
        object[name] = std::move(content);
        return object;
    }
};

struct TypeHasher {
    std::size_t& seed;
    void operator()(const CanvasItemType::WebPreview& v) const { hashing::add(seed, v.url); hashing::add(seed, v.title); }
    void operator()(const CanvasItemType::Link& v) const { hashing::add(seed, v.url); hashing::add(seed, v.title); }
    void operator()(const CanvasItemType::Note& v) const
    {
        hashing::add(seed, v.text);
        hashing::add(seed, std::string_view(rawValue(v.color)));
    }
    void operator()(const CanvasItemType::Image& v) const { hashing::addBytes(seed, v.data); }
};

} // namespace

NameTable<NoteColor> rawValueNames(NoteColor)
{
    static constexpr NamedCase<NoteColor> names[] = {
        {NoteColor::yellow, "yellow"},
        {NoteColor::pink, "pink"},
        {NoteColor::blue, "blue"},
        {NoteColor::green, "green"},
        {NoteColor::purple, "purple"},
        {NoteColor::orange, "orange"},
    };
    return names;
}

NameTable<CanvasBackground> rawValueNames(CanvasBackground)
{
    static constexpr NamedCase<CanvasBackground> names[] = {
        {CanvasBackground::standard, "default"},
        {CanvasBackground::dots, "dots"},
        {CanvasBackground::grid, "grid"},
        {CanvasBackground::lines, "lines"},
    };
    return names;
}

CanvasItemType CanvasItemType::fromJson(const Json& object)
{
    auto [name, payload] = json::oneCase(object, {"webPreview", "note", "image", "link"});
    const Json& content = json::requireObject(*payload, name);
    if (name == "webPreview")
        return {WebPreview{json::requireUrl(content, "url"), json::requireString(content, "title")}};
    if (name == "link")
        return {Link{json::requireUrl(content, "url"), json::requireString(content, "title")}};
    if (name == "note")
        return {Note{json::requireString(content, "text"),
                     json::requireRawValue<NoteColor>(content, "color", "NoteColor")}};
    return {Image{json::requireBytes(content, "data")}};
}

CanvasItem CanvasItem::fromJson(const Json& object)
{
    json::requireObject(object, "CanvasItem");
    Uuid id = json::requireUuid(object, "id");
    CanvasItemType type = CanvasItemType::fromJson(json::requireMember(object, "type"));
    auto [x, y] = requirePair(object, "position");
    auto [width, height] = requirePair(object, "size");
    return CanvasItem{
        .id = id,
        .type = std::move(type),
        .position = {x, y},
        .size = {width, height},
        .zIndex = json::requireInt64(object, "zIndex"),
        .createdAt = json::requireDate(object, "createdAt"),
    };
}

KoviCanvas KoviCanvas::fromJson(const Json& object)
{
    json::requireObject(object, "KoviCanvas");
    KoviCanvas canvas;
    canvas.id = json::requireUuid(object, "id");
    canvas.name = json::requireString(object, "name");
    for (const Json& item : json::requireArrayMember(object, "items"))
        canvas.items.push_back(CanvasItem::fromJson(item));
    canvas.backgroundColor = json::requireRawValue<CanvasBackground>(object, "backgroundColor", "CanvasBackground");
    canvas.spaceId = json::optional(object, "spaceId", json::asUuid);
    canvas.createdAt = json::requireDate(object, "createdAt");
    canvas.lastModifiedAt = json::requireDate(object, "lastModifiedAt");
    return canvas;
}

Json toJson(const CanvasItemType& type)
{
    return std::visit(TypeEncoder{}, type.value);
}

Json toJson(const CanvasItem& item)
{
    Json object = Json::object();
    object["id"] = json::uuid(item.id);
    object["type"] = toJson(item.type);
    object["position"] = pair(item.position.x, item.position.y);
    object["size"] = pair(item.size.width, item.size.height);
    object["zIndex"] = item.zIndex;
    object["createdAt"] = json::date(item.createdAt);
    return object;
}

Json toJson(const KoviCanvas& canvas)
{
    Json object = Json::object();
    object["id"] = json::uuid(canvas.id);
    object["name"] = canvas.name;
    Json items = Json::array();
    for (const CanvasItem& item : canvas.items)
        items.push_back(toJson(item));
    object["items"] = std::move(items);
    object["backgroundColor"] = toJson(canvas.backgroundColor);
    if (canvas.spaceId)
        object["spaceId"] = json::uuid(*canvas.spaceId);
    object["createdAt"] = json::date(canvas.createdAt);
    object["lastModifiedAt"] = json::date(canvas.lastModifiedAt);
    return object;
}

std::size_t hashValue(const CanvasItemType& type)
{
    std::size_t seed = 0;
    hashing::combine(seed, type.value.index());
    std::visit(TypeHasher{seed}, type.value);
    return seed;
}

std::size_t hashValue(const CanvasItem& item)
{
    std::size_t seed = 0;
    hashing::add(seed, item.id);
    hashing::combine(seed, hashValue(item.type));
    hashing::addDouble(seed, item.position.x);
    hashing::addDouble(seed, item.position.y);
    hashing::addDouble(seed, item.size.width);
    hashing::addDouble(seed, item.size.height);
    hashing::add(seed, item.zIndex);
    hashing::addDate(seed, item.createdAt);
    return seed;
}

std::size_t hashValue(const KoviCanvas& canvas)
{
    std::size_t seed = 0;
    hashing::add(seed, canvas.id);
    hashing::add(seed, canvas.name);
    hashing::combine(seed, canvas.items.size());
    for (const CanvasItem& item : canvas.items)
        hashing::combine(seed, hashValue(item));
    hashing::add(seed, std::string_view(rawValue(canvas.backgroundColor)));
    hashing::addOptional(seed, canvas.spaceId);
    hashing::addDate(seed, canvas.createdAt);
    hashing::addDate(seed, canvas.lastModifiedAt);
    return seed;
}

} // namespace kovi
