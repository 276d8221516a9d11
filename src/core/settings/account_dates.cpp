#include "core/settings/account_dates.h"

#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <clocale>
#include <cmath>
#include <memory>

namespace kovi {

namespace {

// A POSIX locale name ("de_DE.UTF-8@euro", "C") as an ICU locale.
icu::Locale icuLocale(std::string name)
{
    if (name.empty()) {
        const char* current = std::setlocale(LC_TIME, nullptr);
        name = current ? current : "";
    }
    name = name.substr(0, name.find_first_of(".@"));
    if (name.empty() || name == "C" || name == "POSIX")
        return icu::Locale("en_US_POSIX");
    return icu::Locale(name.c_str());
}

std::string format(icu::DateFormat* formatter, Date date, const std::string& timeZone)
{
    const double millis = date.unixSeconds() * 1000.0;
    if (!formatter || !std::isfinite(millis))
        return {};
    if (!timeZone.empty())
        formatter->adoptTimeZone(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(timeZone)));
    icu::UnicodeString text;
    formatter->format(millis, text);
    std::string out;
    text.toUTF8String(out);
    return out;
}

} // namespace

std::string shortMemberSinceText(Date date, const std::string& locale, const std::string& timeZone)
{
    UErrorCode status = U_ZERO_ERROR;
    icu::SimpleDateFormat formatter(icu::UnicodeString("MMM d, yyyy"), icuLocale(locale), status);
    return U_SUCCESS(status) ? format(&formatter, date, timeZone) : std::string();
}

std::string longDateText(Date date, const std::string& locale, const std::string& timeZone)
{
    std::unique_ptr<icu::DateFormat> formatter(
        icu::DateFormat::createDateInstance(icu::DateFormat::kLong, icuLocale(locale)));
    return format(formatter.get(), date, timeZone);
}

} // namespace kovi
