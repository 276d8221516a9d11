#include "core/settings/account_dates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kovi {
namespace {

// 2026-12-08T12:00:00Z.
constexpr Date noonDecember8 = Date::fromUnix(1796731200.0);

TEST(AccountDatesTest, MemberSinceUsesTheShortPatternAndTheLongStyleOfTheLocale)
{
    EXPECT_EQ(shortMemberSinceText(noonDecember8, "en_US", "UTC"), "Dec 8, 2026");
    EXPECT_EQ(longDateText(noonDecember8, "en_US", "UTC"), "December 8, 2026");
    EXPECT_EQ(longDateText(noonDecember8, "en_GB", "UTC"), "8 December 2026");
    EXPECT_EQ(longDateText(noonDecember8, "de_DE", "UTC"), "8. Dezember 2026");
    // The pattern is fixed; only the month's name follows the locale.
    EXPECT_EQ(shortMemberSinceText(noonDecember8, "fr_FR", "UTC"), "d\u00E9c. 8, 2026");
}

TEST(AccountDatesTest, LocaleNamesOfTheSystemAndTimeZonesAreHonoured)
{
    // The names the C library uses for its locales.
    EXPECT_EQ(longDateText(noonDecember8, "en_GB.UTF-8", "UTC"), "8 December 2026");
    EXPECT_EQ(longDateText(noonDecember8, "de_DE.UTF-8@euro", "UTC"), "8. Dezember 2026");
    EXPECT_EQ(shortMemberSinceText(noonDecember8, "C", "UTC"), "Dec 8, 2026");
    EXPECT_EQ(shortMemberSinceText(noonDecember8, "POSIX", "UTC"), "Dec 8, 2026");
    // The calendar day is the day where the user is.
    EXPECT_EQ(shortMemberSinceText(noonDecember8.adding(11.5 * 3600), "en_US", "Pacific/Kiritimati"), "Dec 9, 2026");
    EXPECT_EQ(shortMemberSinceText(noonDecember8, "en_US", "Pacific/Pago_Pago"), "Dec 8, 2026");
}

TEST(AccountDatesTest, DatesOutsideTheCalendarGiveNoTextOrAText)
{
    EXPECT_EQ(shortMemberSinceText(Date(std::numeric_limits<double>::quiet_NaN()), "en_US", "UTC"), "");
    EXPECT_EQ(longDateText(Date(std::numeric_limits<double>::infinity()), "en_US", "UTC"), "");
    // Far out of range: some text, no crash.
    EXPECT_FALSE(longDateText(Date(1e300), "en_US", "UTC").empty());
    EXPECT_FALSE(shortMemberSinceText(Date(-1e300), "en_US", "UTC").empty());
}

} // namespace
} // namespace kovi
