#pragma once

#include "core/support/date.h"

#include <cstdint>
#include <string>

// Dates and sizes as the library, history and downloads views show them, in the user's locale
// and time zone. Main thread only (the formatters are kept between calls).
namespace kovi::display {

// Whether both moments fall on the same calendar day of the local time zone.
bool isSameLocalDay(Date a, Date b);
// A visit's time: "3:05 PM" ("h:mm a") when it lies on the local day of `now`, else "Jan 5"
// ("MMM d").
std::string historyTime(Date visitedAt, Date now);
// The abbreviated date without a time ("Jan 5, 2024" in English).
std::string abbreviatedDate(Date date);
// A file size in decimal units, as the desktop's file manager writes it ("1.2 MB").
std::string byteCount(std::int64_t bytes);

} // namespace kovi::display
