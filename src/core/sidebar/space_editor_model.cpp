#include "core/sidebar/space_editor_model.h"

#include "core/support/text.h"

namespace kovi {

SpaceDraft spaceDraftDefaults(const std::optional<Space>& editing, std::size_t spaceCount)
{
    if (editing)
        return {editing->name, editing->color, editing->icon};
    return {"Space " + std::to_string(spaceCount + 1), newSpaceColorRotation[spaceCount % newSpaceColorRotation.size()],
            defaultSpaceIcon};
}

std::string trimmedSpaceName(std::string_view name)
{
    return text::trimSpacesAndTabs(name);
}

bool canSaveSpaceName(std::string_view name)
{
    return !trimmedSpaceName(name).empty();
}

} // namespace kovi
