#pragma once

#include "core/settings/auth_manager.h"

#include <optional>
#include <string>
#include <string_view>

namespace kovi {

// Initials of a display name. Characters are user-perceived characters (an emoji sequence or a
// letter with its combining marks counts as one); words are separated by single spaces, empty
// words dropped; the result is upper-cased with the full mapping ("ß" gives "SS").

// The account card: the first characters of the first two words, or, with fewer than two words,
// the first two characters of the whole name (leading spaces included).
std::string accountCardInitials(std::string_view displayName);

// The account button: "?" without a user, "G" for a guest; otherwise the first characters of
// the first two words, or, with fewer than two words, the first character of the whole name.
std::string accountButtonInitials(const std::optional<KoviUser>& user);

} // namespace kovi
