#pragma once

#include "core/support/date.h"
#include "core/support/json_coding.h"
#include "core/support/url.h"
#include "core/support/uuid.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kovi {

// Colours of a note; the raw value is the case's name.
enum class NoteColor { yellow, pink, blue, green, purple, orange };
inline constexpr std::array<NoteColor, 6> allNoteColors = {
    NoteColor::yellow, NoteColor::pink, NoteColor::blue, NoteColor::green, NoteColor::purple, NoteColor::orange,
};
NameTable<NoteColor> rawValueNames(NoteColor);

// Backdrop patterns of a board. `standard` has the raw value "default".
enum class CanvasBackground { standard, dots, grid, lines };
inline constexpr std::array<CanvasBackground, 4> allCanvasBackgrounds = {
    CanvasBackground::standard, CanvasBackground::dots, CanvasBackground::grid, CanvasBackground::lines,
};
NameTable<CanvasBackground> rawValueNames(CanvasBackground);

// What one element of a board shows, with its content. Two types are equal only when they are
// the same case with equal content.
struct CanvasItemType {
    struct WebPreview {
        Url url;
        std::string title;
        bool operator==(const WebPreview&) const = default;
    };
    struct Note {
        std::string text;
        NoteColor color = NoteColor::yellow;
        bool operator==(const Note&) const = default;
    };
    struct Image {
        Bytes data;
        bool operator==(const Image&) const = default;
    };
    struct Link {
        Url url;
        std::string title;
        bool operator==(const Link&) const = default;
    };

    std::variant<WebPreview, Note, Image, Link> value;

    bool operator==(const CanvasItemType&) const = default;

    // One key naming the case; none or several case keys fail with
    // "Invalid number of keys found, expected one.". Throws DecodeError.
    static CanvasItemType fromJson(const Json& object);
};

struct CanvasPoint {
    double x = 0;
    double y = 0;
    bool operator==(const CanvasPoint&) const = default;
};

struct CanvasSize {
    double width = 0;
    double height = 0;
    bool operator==(const CanvasSize&) const = default;
};

// One element placed on a board.
struct CanvasItem {
    Uuid id;
    CanvasItemType type;
    CanvasPoint position; // JSON: [x, y]
    CanvasSize size;      // JSON: [width, height]
    std::int64_t zIndex = 0;
    Date createdAt;

    bool operator==(const CanvasItem&) const = default;

    static CanvasItem fromJson(const Json& object); // throws DecodeError
};

// A free-form board of items, optionally tied to a space.
struct KoviCanvas {
    Uuid id;
    std::string name;
    std::vector<CanvasItem> items;
    CanvasBackground backgroundColor = CanvasBackground::standard;
    std::optional<Uuid> spaceId;
    Date createdAt;
    Date lastModifiedAt;

    bool operator==(const KoviCanvas&) const = default;

    static KoviCanvas fromJson(const Json& object); // throws DecodeError
};

Json toJson(const CanvasItemType& type);
Json toJson(const CanvasItem& item);
Json toJson(const KoviCanvas& canvas);
std::size_t hashValue(const CanvasItemType& type);
std::size_t hashValue(const CanvasItem& item);
std::size_t hashValue(const KoviCanvas& canvas);

} // namespace kovi

template <>
struct std::hash<kovi::CanvasItemType> {
    std::size_t operator()(const kovi::CanvasItemType& type) const noexcept { return kovi::hashValue(type); }
};
template <>
struct std::hash<kovi::CanvasItem> {
    std::size_t operator()(const kovi::CanvasItem& item) const noexcept { return kovi::hashValue(item); }
};
template <>
struct std::hash<kovi::KoviCanvas> {
    std::size_t operator()(const kovi::KoviCanvas& canvas) const noexcept { return kovi::hashValue(canvas); }
};
