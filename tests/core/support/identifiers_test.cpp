#include "core/support/date.h"
#include "core/support/uuid.h"

#include <gtest/gtest.h>

#include <unordered_set>

namespace kovi {
namespace {

TEST(UuidTest, ParsesEitherCaseAndWritesUpperCase)
{
    auto lower = Uuid::parse("0f8fad5b-d9cb-469f-a165-70867728950e");
    auto upper = Uuid::parse("0F8FAD5B-D9CB-469F-A165-70867728950E");
    ASSERT_TRUE(lower && upper);
    EXPECT_EQ(*lower, *upper);
    EXPECT_EQ(lower->toString(), "0F8FAD5B-D9CB-469F-A165-70867728950E");
}

TEST(UuidTest, RefusesAnythingButTheStrictForm)
{
    for (const char* text : {"", "0F8FAD5B-D9CB-469F-A165-70867728950", "0F8FAD5B-D9CB-469F-A165-70867728950EE",
                             "0F8FAD5BD9CB-469F-A165-70867728950E-", "{0F8FAD5B-D9CB-469F-A165-70867728950E}",
                             " 0F8FAD5B-D9CB-469F-A165-70867728950", "0G8FAD5B-D9CB-469F-A165-70867728950E"})
        EXPECT_FALSE(Uuid::parse(text)) << text;
}

TEST(UuidTest, RandomIdentifiersDifferAndRoundTrip)
{
    std::unordered_set<Uuid> seen;
    for (int i = 0; i < 1000; ++i) {
        Uuid id = Uuid::random();
        EXPECT_EQ(Uuid::parse(id.toString()), id);
        EXPECT_TRUE(seen.insert(id).second);
    }
}

TEST(ClockTest, OverrideIsScopedAndDatesUseTheReferenceEpoch)
{
    EXPECT_EQ(Date::fromUnix(1704067200).secondsSince2001(), 725760000); // 2024-01-01T00:00:00Z
    ManualClock clock(Date(100));
    {
        Clock::Override use(clock);
        EXPECT_EQ(Date::now(), Date(100));
        clock.advance(5);
        EXPECT_EQ(Date::now(), Date(105));
    }
    EXPECT_GT(Date::now(), Date(725760000));
}

} // namespace
} // namespace kovi
