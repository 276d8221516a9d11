#include "core/libraryviews/display_format.h"

#include <glib.h>
#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>

#include <cmath>
#include <memory>

namespace kovi::display {

namespace {

// A formatter is costly to make; one per pattern lives for the process.
icu::DateFormat* patternFormat(const char* pattern)
{
    UErrorCode status = U_ZERO_ERROR;
    auto* format = new icu::SimpleDateFormat(icu::UnicodeString::fromUTF8(pattern), icu::Locale::getDefault(), status);
    if (U_FAILURE(status)) {
        delete format;
        return nullptr;
    }
    return format;
}

std::string formatWith(icu::DateFormat* format, Date date)
{
    const double millis = date.unixSeconds() * 1000.0;
    if (!format || !std::isfinite(millis))
        return {};
    icu::UnicodeString text;
    format->format(millis, text);
    std::string out;
    text.toUTF8String(out);
    return out;
}

GDateTime* localTime(Date date)
{
    const double seconds = std::floor(date.unixSeconds());
    // GDateTime covers years 1 to 9999.
    if (!std::isfinite(seconds) || seconds < -6.2e10 || seconds > 2.5e11)
        return nullptr;
    return g_date_time_new_from_unix_local(static_cast<gint64>(seconds));
}

} // namespace

bool isSameLocalDay(Date a, Date b)
{
    GDateTime* first = localTime(a);
    GDateTime* second = localTime(b);
    bool same = false;
    if (first && second) {
        same = g_date_time_get_year(first) == g_date_time_get_year(second)
               && g_date_time_get_day_of_year(first) == g_date_time_get_day_of_year(second);
    }
    if (first)
        g_date_time_unref(first);
    if (second)
        g_date_time_unref(second);
    return same;
}

std::string historyTime(Date visitedAt, Date now)
{
    static const std::unique_ptr<icu::DateFormat> timeOfDay(patternFormat("h:mm a"));
    static const std::unique_ptr<icu::DateFormat> monthDay(patternFormat("MMM d"));
    return formatWith(isSameLocalDay(visitedAt, now) ? timeOfDay.get() : monthDay.get(), visitedAt);
}

std::string abbreviatedDate(Date date)
{
    static const std::unique_ptr<icu::DateFormat> medium(
        icu::DateFormat::createDateInstance(icu::DateFormat::kMedium, icu::Locale::getDefault()));
    return formatWith(medium.get(), date);
}

std::string byteCount(std::int64_t bytes)
{
    const bool negative = bytes < 0;
    const guint64 magnitude = negative ? static_cast<guint64>(-(bytes + 1)) + 1 : static_cast<guint64>(bytes);
    gchar* text = g_format_size(magnitude);
    std::string out = negative ? "-" + std::string(text) : std::string(text);
    g_free(text);
    return out;
}

} // namespace kovi::display
