#include "core/model/space.h"

#include "core/model/hashing.h"

namespace kovi {

NameTable<SpaceColor> rawValueNames(SpaceColor)
{
    static constexpr NamedCase<SpaceColor> names[] = {
        {SpaceColor::red, "red"},
        {SpaceColor::orange, "orange"},
        {SpaceColor::yellow, "yellow"},
        {SpaceColor::green, "green"},
        {SpaceColor::blue, "blue"},
        {SpaceColor::purple, "purple"},
        {SpaceColor::pink, "pink"},
        {SpaceColor::gray, "gray"},
    };
    return names;
}

const std::vector<std::string>& SpaceIcons::all()
{
    static const std::vector<std::string> icons = {
        "person.fill", "person.2.fill", "figure.stand", "heart.fill", "star.fill", "house.fill",
        "briefcase.fill", "building.2.fill", "doc.fill", "folder.fill", "tray.fill", "archivebox.fill",
        "envelope.fill", "message.fill", "bubble.left.fill", "phone.fill", "video.fill", "paintbrush.fill",
        "pencil", "photo.fill", "camera.fill", "film.fill", "music.note", "laptopcomputer",
        "desktopcomputer", "keyboard.fill", "terminal.fill", "cpu.fill", "memorychip.fill", "book.fill",
        "graduationcap.fill", "lightbulb.fill", "brain.head.profile", "text.book.closed.fill",
        "dollarsign.circle.fill", "creditcard.fill", "chart.line.uptrend.xyaxis", "banknote.fill",
        "airplane", "car.fill", "map.fill", "globe", "suitcase.fill", "heart.text.square.fill",
        "cross.fill", "pill.fill", "gamecontroller.fill", "puzzlepiece.fill", "dice.fill",
        "party.popper.fill", "leaf.fill", "sun.max.fill", "moon.fill", "cloud.fill", "bolt.fill",
        "cart.fill", "bag.fill", "gift.fill", "tag.fill", "flag.fill", "bookmark.fill", "pin.fill",
        "bell.fill", "clock.fill", "calendar", "link", "magnifyingglass", "gear",
        "wrench.and.screwdriver.fill",
    };
    return icons;
}

Space Space::fromJson(const Json& object)
{
    json::requireObject(object, "Space");
    Space space;
    space.id = json::requireUuid(object, "id");
    space.name = json::requireString(object, "name");
    space.color = json::requireRawValue<SpaceColor>(object, "color", "SpaceColor");
    space.icon = json::requireString(object, "icon");
    space.tabOrder = json::requireUuidArray(object, "tabOrder");
    if (const Json* order = json::member(object, "sidebarOrder")) {
        for (const Json& item : json::requireArray(*order, "sidebarOrder"))
            space.sidebarOrder.push_back(SidebarItem::fromJson(item));
    }
    space.lastActiveTabId = json::optional(object, "lastActiveTabId", json::asUuid);
    space.createdAt = json::requireDate(object, "createdAt");
    return space;
}

Json toJson(const Space& space)
{
    Json object = Json::object();
    object["id"] = json::uuid(space.id);
    object["name"] = space.name;
    object["color"] = toJson(space.color);
    object["icon"] = space.icon;
    object["tabOrder"] = json::uuidArray(space.tabOrder);
    Json order = Json::array();
    for (const SidebarItem& item : space.sidebarOrder)
        order.push_back(toJson(item));
    object["sidebarOrder"] = std::move(order);
    if (space.lastActiveTabId)
        object["lastActiveTabId"] = json::uuid(*space.lastActiveTabId);
    object["createdAt"] = json::date(space.createdAt);
    return object;
}

std::size_t hashValue(const Space& space)
{
    std::size_t seed = 0;
    hashing::add(seed, space.id);
    hashing::add(seed, space.name);
    hashing::add(seed, std::string_view(rawValue(space.color)));
    hashing::add(seed, space.icon);
    hashing::addList(seed, space.tabOrder);
    hashing::addList(seed, space.sidebarOrder);
    hashing::addOptional(seed, space.lastActiveTabId);
    hashing::addDate(seed, space.createdAt);
    return seed;
}

} // namespace kovi
