#pragma once

#include "core/model/space.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kovi {

class BrowserState;

// The colours proposed for new spaces, in turn (gray is never proposed).
inline constexpr std::array<SpaceColor, 7> newSpaceColorRotation = {
    SpaceColor::blue, SpaceColor::purple, SpaceColor::pink, SpaceColor::red,
    SpaceColor::orange, SpaceColor::yellow, SpaceColor::green,
};
inline constexpr const char* defaultSpaceIcon = "folder.fill";

// What the space editor edits: name, colour and icon.
struct SpaceDraft {
    std::string name;
    SpaceColor color = SpaceColor::blue;
    std::string icon = defaultSpaceIcon;

    bool operator==(const SpaceDraft&) const = default;
};

// The editor's opening values: the edited space's, or "Space <count + 1>" with the next colour
// of the rotation for a new one.
SpaceDraft spaceDraftDefaults(const std::optional<Space>& editing, std::size_t spaceCount);
// Spaces and tabs trimmed from both ends (line breaks stay).
std::string trimmedSpaceName(std::string_view name);
bool canSaveSpaceName(std::string_view name);

// Creates the space (and shows it) or updates the edited one. False, with nothing changed,
// when the trimmed name is empty; the editor then stays open.
bool saveSpaceDraft(BrowserState& state, const std::optional<Space>& editing, const SpaceDraft& draft);
// Deletes the edited space; false (nothing changed) for a new space or the last space.
bool deleteEditedSpace(BrowserState& state, const std::optional<Space>& editing);

} // namespace kovi
