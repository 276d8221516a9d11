#pragma once

#include "core/support/date.h"

#include <string>

namespace kovi {

// Dates shown by the account views, in the user's locale and time zone. `locale` (an ICU or
// POSIX locale name such as "de_DE.UTF-8") and `timeZone` (an Olson name) are for tests; empty
// takes the process's date locale (LC_TIME) and the system time zone. A date that cannot be
// shown (not finite) gives an empty text.

// "MMM d, yyyy": "Dec 8, 2026" in English.
std::string shortMemberSinceText(Date date, const std::string& locale = {}, const std::string& timeZone = {});
// The locale's long date style without a time: "December 8, 2026" in American English.
std::string longDateText(Date date, const std::string& locale = {}, const std::string& timeZone = {});

} // namespace kovi
