#include "core/web/find_counter.h"

#include <gtest/gtest.h>

namespace kovi {
namespace {

TEST(FindCounterTest, StepsWrapInBothDirections)
{
    FindCounter counter;
    counter.setTotal(3);
    EXPECT_EQ(counter.current(), 1);
    counter.next();
    counter.next();
    EXPECT_EQ(counter.current(), 3);
    counter.next();
    EXPECT_EQ(counter.current(), 1);
    counter.previous();
    EXPECT_EQ(counter.current(), 3);
    counter.previous();
    EXPECT_EQ(counter.current(), 2);
}

TEST(FindCounterTest, FromZeroNextGivesOneAndPreviousGivesTheTotal)
{
    FindCounter a;
    a.setTotal(3);
    a.previous(); // 1 -> 3
    EXPECT_EQ(a.current(), 3);

    FindCounter b;
    b.setTotal(3);
    b.reset();
    b.setTotal(3);
    EXPECT_EQ(b.current(), 1);
}

TEST(FindCounterTest, WithoutMatchesNothingMoves)
{
    FindCounter counter;
    counter.next();
    counter.previous();
    EXPECT_EQ(counter.current(), 0);
    EXPECT_EQ(counter.total(), 0);
    counter.setTotal(-4);
    EXPECT_EQ(counter.total(), 0);
    EXPECT_EQ(counter.current(), 0);
}

TEST(FindCounterTest, ACountPastTheLimitReadsAsTheLimitWithAPlusAndStillSteps)
{
    FindCounter counter;
    counter.setTotal(FindCounter::matchLimit);
    EXPECT_EQ(counter.text(), "1/1000");
    EXPECT_FALSE(counter.isOverLimit());

    counter.setTotal(4294967295LL); // what the engine reports past its limit
    EXPECT_TRUE(counter.isOverLimit());
    EXPECT_EQ(counter.total(), 1000);
    EXPECT_EQ(counter.text(), "1/1000+");
    counter.previous();
    EXPECT_EQ(counter.text(), "1000/1000+");
    counter.next();
    EXPECT_EQ(counter.text(), "1/1000+");

    counter.reset();
    EXPECT_EQ(counter.text(), "0/0");
    counter.setTotal(2);
    EXPECT_EQ(counter.text(), "1/2");
}

} // namespace
} // namespace kovi
