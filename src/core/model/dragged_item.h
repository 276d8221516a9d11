#pragma once

#include "core/support/json_coding.h"
#include "core/support/uuid.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace kovi {

// The error of a plain-text drop that is not a valid payload.
enum class DraggedItemError { invalidPayload };

// The drag payload of a sidebar tab or folder. It travels in two forms, offered in this order:
// JSON ({"id": "<UUID>", "isFolder": false}) and plain text ("tab:<UUID>" or "folder:<UUID>").
struct DraggedItem {
    // The content types the drag carries, JSON first.
    static constexpr const char* jsonMimeType = "application/x-kovi-dragged-item+json";
    static constexpr const char* plainTextMimeType = "text/plain;charset=utf-8";

    Uuid id;
    bool isFolder = false;

    bool operator==(const DraggedItem&) const = default;

    // "tab:<UUID>" / "folder:<UUID>": nothing when the text is not a valid payload.
    static std::optional<DraggedItem> fromEncodedString(std::string_view text);
    // The plain-text export: "folder:" or "tab:" and the upper-case UUID, no line break.
    std::string encodedString() const;
    // The plain-text import: the dropped bytes must be UTF-8 and a valid encoded string.
    static std::variant<DraggedItem, DraggedItemError> fromPlainText(std::string_view bytes);

    // The JSON form; fromJson throws DecodeError when "id" or "isFolder" is missing or wrong.
    static DraggedItem fromJson(const Json& object);
    // The JSON form as bytes, and back (nothing when the bytes are not a valid payload).
    std::string jsonData() const;
    static std::optional<DraggedItem> fromJsonData(std::string_view bytes);
};

Json toJson(const DraggedItem& item);
std::size_t hashValue(const DraggedItem& item);

} // namespace kovi

template <>
struct std::hash<kovi::DraggedItem> {
    std::size_t operator()(const kovi::DraggedItem& item) const noexcept { return kovi::hashValue(item); }
};
