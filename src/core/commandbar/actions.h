#pragma once

#include "core/support/url.h"
#include "core/support/uuid.h"

#include <string>

namespace kovi {

// What choosing a command-bar result or an omnibox match does. Each is one case of the
// `CommandBarAction` and `OmniboxAction` variants; carrying it out is the caller's job.
struct OpenURLAction {
    Url url;
    bool operator==(const OpenURLAction&) const = default;
};

struct SwitchToTabAction {
    Uuid tabId;
    bool operator==(const SwitchToTabAction&) const = default;
};

struct SwitchToSpaceAction {
    Uuid spaceId;
    bool operator==(const SwitchToSpaceAction&) const = default;
};

struct SearchAction {
    std::string text;
    bool operator==(const SearchAction&) const = default;
};

} // namespace kovi
