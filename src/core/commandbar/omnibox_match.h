#pragma once

#include "core/commandbar/actions.h"
#include "core/support/json_coding.h"
#include "core/support/url.h"
#include "core/support/uuid.h"

#include <optional>
#include <string>
#include <variant>

namespace kovi {

enum class OmniboxMatchType { openTab, historyURL, urlWhatYouTyped, searchSuggestion, verbatimSearch, zeroSuggest };

// Why the caller asks; the engine treats both alike.
enum class OmniboxEventType { focus, keystroke };

struct OmniboxInput {
    std::string text; // the field's text as typed
    OmniboxEventType eventType = OmniboxEventType::keystroke;
};

using OmniboxAction = std::variant<OpenURLAction, SwitchToTabAction, SearchAction>;

// One row of the address field's suggestion list. Every match gets a fresh id when it is built,
// so views keep their selection by position.
struct OmniboxMatch {
    Uuid id;
    std::string title;
    std::optional<std::string> subtitle;
    std::optional<Url> url;
    std::optional<Bytes> favicon;
    OmniboxAction action = SearchAction{};
    int relevance = 0;
    OmniboxMatchType type = OmniboxMatchType::verbatimSearch;

    bool operator==(const OmniboxMatch&) const = default;
};

} // namespace kovi
