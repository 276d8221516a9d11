#pragma once

#include "core/commandbar/actions.h"
#include "core/support/uuid.h"

#include <optional>
#include <string>
#include <variant>

namespace kovi {

using CommandBarAction = std::variant<OpenURLAction, SwitchToTabAction, SwitchToSpaceAction, SearchAction>;

// One row of the command bar. Every result gets a fresh id when it is built, so the panel keeps
// its selection by position.
struct CommandBarResult {
    Uuid id;
    std::string icon; // a symbol name, e.g. "clock"
    std::string title;
    std::optional<std::string> subtitle;
    CommandBarAction action = SearchAction{};

    bool operator==(const CommandBarResult&) const = default;
};

} // namespace kovi
