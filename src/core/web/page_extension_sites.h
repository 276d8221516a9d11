#pragma once

#include "core/web/page_extension.h"

#include <string>
#include <string_view>
#include <vector>

namespace kovi {

// The sites an extension may touch, as the extensions sheet lists them: each match pattern once,
// in code-point order of the canonically composed (NFC) text, so capitals come before small letters.
std::vector<std::string> pageExtensionSiteList(const PageExtension& extension);

// "Site access: " followed by the site list joined with ", ".
std::string pageExtensionSiteAccessText(const PageExtension& extension);

// Sorts text ascending by the code points of its NFC form and drops entries whose NFC form
// equals an earlier one (the first spelling is kept).
std::vector<std::string> sortedUniqueCanonically(std::vector<std::string> values);

} // namespace kovi
