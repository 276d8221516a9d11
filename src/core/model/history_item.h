#pragma once

#include "core/support/date.h"
#include "core/support/json_coding.h"
#include "core/support/url.h"
#include "core/support/uuid.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace kovi {

// One recorded visit of a page, with the favicon and space of the tab that made it.
struct HistoryItem {
    Uuid id;
    Url url;
    std::string title;
    Date visitedAt;
    std::optional<Bytes> favicon;
    std::optional<Uuid> spaceId;

    bool operator==(const HistoryItem&) const = default;

    static HistoryItem fromJson(const Json& object); // throws DecodeError
};

Json toJson(const HistoryItem& item);
std::size_t hashValue(const HistoryItem& item);

} // namespace kovi

template <>
struct std::hash<kovi::HistoryItem> {
    std::size_t operator()(const kovi::HistoryItem& item) const noexcept { return kovi::hashValue(item); }
};
