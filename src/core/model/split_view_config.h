#pragma once

#include "core/support/json_coding.h"
#include "core/support/uuid.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

namespace kovi {

// One pane of the split view. The raw value is the case's name.
enum class SplitViewSide { left, right };

NameTable<SplitViewSide> rawValueNames(SplitViewSide);

// Two tabs side by side: whether it is on, the tab of each pane and the left pane's share of
// the width. Nothing ties the ids to existing tabs. Never stored in a file.
struct SplitViewConfig {
    bool isEnabled = false;
    std::optional<Uuid> leftTabId;
    std::optional<Uuid> rightTabId;
    double splitRatio = 0.5;

    bool operator==(const SplitViewConfig&) const = default;

    static SplitViewConfig fromJson(const Json& object); // throws DecodeError
};

Json toJson(const SplitViewConfig& config);
std::size_t hashValue(const SplitViewConfig& config);

} // namespace kovi

template <>
struct std::hash<kovi::SplitViewConfig> {
    std::size_t operator()(const kovi::SplitViewConfig& config) const noexcept { return kovi::hashValue(config); }
};
