#pragma once

#include "core/support/url.h"

#include <optional>
#include <string>

namespace kovi {

// The preview of one link. Nothing produces previews yet; the "5 Second Previews" switch is
// stored but has no effect.
struct LinkPreview {
    Url url;
    std::string title;
    std::string description;
    std::optional<Url> imageURL;
};

} // namespace kovi
