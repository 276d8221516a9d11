#include "core/windows/split_divider_drag.h"
#include "core/windows/split_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kovi {
namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

double dividerCentre(const SplitLayout& layout)
{
    return layout.divider.x + layout.divider.width / 2;
}

TEST(SplitLayoutTest, PanesShareTheAreaByTheRatioAndAlwaysAddUp)
{
    SplitLayout half = SplitLayout::compute(1000, 700, 0.5);
    EXPECT_EQ(half.left, (SplitLayout::Rect{6, 6, 490, 688}));
    EXPECT_EQ(half.right, (SplitLayout::Rect{504, 6, 490, 688}));
    EXPECT_DOUBLE_EQ(dividerCentre(half), 500);
    EXPECT_DOUBLE_EQ(half.divider.height, 80);
    EXPECT_DOUBLE_EQ(half.divider.y, 310) << "centred vertically";

    // Odd widths and ratios still fill the area exactly, in whole pixels.
    for (double width : {701.0, 1279.0, 1920.0}) {
        for (double ratio : {0.2, 0.33, 0.5, 0.71, 0.8}) {
            SplitLayout layout = SplitLayout::compute(width, 500, ratio);
            EXPECT_EQ(layout.left.width, std::round(layout.left.width));
            EXPECT_DOUBLE_EQ(layout.left.x + layout.left.width + SplitLayout::dividerColumn, layout.right.x);
            EXPECT_DOUBLE_EQ(layout.right.x + layout.right.width + SplitLayout::padding, width);
            EXPECT_NEAR(layout.left.width / (layout.left.width + layout.right.width), ratio, 0.002);
        }
    }

    // The hit area reaches 10 px around the capsule, over the edges of both panes.
    EXPECT_TRUE(half.dividerHit.contains(500 - 12, 350));
    EXPECT_TRUE(half.dividerHit.contains(500 + 12, 300));
    EXPECT_FALSE(half.dividerHit.contains(500 + 14, 350));
    EXPECT_FALSE(half.dividerHit.contains(500, 299)) << "only around the 80-px capsule, not the whole height";
    EXPECT_TRUE(half.dividerHit.contains(500, 399));
    EXPECT_FALSE(half.dividerHit.contains(500, 400));
}

// Bug: at a narrow window an extreme ratio gave a pane less room than its header needs, and the
// header ran under the other pane.
TEST(SplitLayoutTest, ANarrowAreaKeepsEachPaneAsWideAsItsHeaderNeeds)
{
    // 366 wide: 346 for the panes; 0.2 would give the left one 69.
    SplitLayout narrow = SplitLayout::compute(366, 500, 0.2, 140);
    EXPECT_EQ(narrow.left.width, 140);
    EXPECT_EQ(narrow.right.width, 206);
    EXPECT_EQ(SplitLayout::compute(366, 500, 0.8, 140).right.width, 140);
    EXPECT_EQ(SplitLayout::compute(366, 500, 0.5, 140).left.width, 173) << "a ratio with room is kept";
    // No room for two: the panes share what there is, the divider between them.
    SplitLayout tight = SplitLayout::compute(220, 500, 0.2, 140);
    EXPECT_EQ(tight.left.width, 100);
    EXPECT_EQ(tight.right.x, tight.left.x + tight.left.width + SplitLayout::dividerColumn);
    EXPECT_EQ(SplitLayout::compute(1000, 700, 0.2, nan).left, SplitLayout::compute(1000, 700, 0.2).left);
}

TEST(SplitLayoutTest, RatiosOutsideTheRangeOrNotFiniteAreNeverLaidOut)
{
    EXPECT_EQ(SplitLayout::compute(1000, 700, 0.05).left, SplitLayout::compute(1000, 700, 0.2).left);
    EXPECT_EQ(SplitLayout::compute(1000, 700, 1.7).left, SplitLayout::compute(1000, 700, 0.8).left);
    EXPECT_EQ(SplitLayout::compute(1000, 700, -inf).left, SplitLayout::compute(1000, 700, 0.5).left);
    EXPECT_EQ(SplitLayout::compute(1000, 700, nan).right, SplitLayout::compute(1000, 700, 0.5).right);
    EXPECT_EQ(SplitLayout::clampedRatio(0.1), 0.2);
    EXPECT_EQ(SplitLayout::clampedRatio(0.9), 0.8);
    EXPECT_EQ(SplitLayout::clampedRatio(0.42), 0.42);
    EXPECT_FALSE(SplitLayout::clampedRatio(nan));
    EXPECT_FALSE(SplitLayout::clampedRatio(inf));

    // An area narrower than the padding and the divider: empty panes, never negative ones.
    for (double width : {0.0, 15.0, -40.0, nan}) {
        SplitLayout tiny = SplitLayout::compute(width, nan, 0.5);
        EXPECT_GE(tiny.left.width, 0);
        EXPECT_GE(tiny.right.width, 0);
        EXPECT_GE(tiny.left.height, 0);
    }
}

TEST(SplitLayoutTest, ThePointerPutsTheDividerUnderItselfWithinTheRange)
{
    for (double x : {300.0, 420.5, 500.0, 640.0, 700.0}) {
        auto ratio = SplitLayout::ratioForPointer(x, 1000);
        ASSERT_TRUE(ratio);
        EXPECT_NEAR(dividerCentre(SplitLayout::compute(1000, 700, *ratio)), x, 0.5) << x;
    }
    EXPECT_EQ(SplitLayout::ratioForPointer(0, 1000), 0.2);
    EXPECT_EQ(SplitLayout::ratioForPointer(-500, 1000), 0.2);
    EXPECT_EQ(SplitLayout::ratioForPointer(1000, 1000), 0.8);
    EXPECT_EQ(SplitLayout::ratioForPointer(1e9, 1000), 0.8);
    EXPECT_FALSE(SplitLayout::ratioForPointer(nan, 1000));
    EXPECT_FALSE(SplitLayout::ratioForPointer(500, 0)) << "no room for panes";
    EXPECT_FALSE(SplitLayout::ratioForPointer(500, nan));
}

TEST(SplitDividerDragTest, MovesOnlyPastTenPixelsThenFollowsThePointerClamped)
{
    SplitDividerDrag drag;
    EXPECT_FALSE(drag.update(50, 0, 1000)) << "no drag has begun";
    drag.begin(500, 350);
    EXPECT_FALSE(drag.update(6, 6, 1000)) << "8.5 px from the press";
    EXPECT_FALSE(drag.isDragging());
    auto ratio = drag.update(-8, 6, 1000); // 10 px: the drag starts
    ASSERT_TRUE(ratio);
    EXPECT_TRUE(drag.isDragging());
    EXPECT_NEAR(*ratio, 0.4918, 0.001);
    // Once dragging, small movements count too, and the ratio stays within range.
    EXPECT_NEAR(*drag.update(-2, 0, 1000), 0.4979, 0.001);
    EXPECT_EQ(drag.update(-480, 0, 1000), 0.2);
    EXPECT_EQ(drag.update(900, 40, 1000), 0.8);
    EXPECT_FALSE(drag.update(nan, 0, 1000));
    EXPECT_FALSE(drag.update(20, inf, 1000));
    EXPECT_TRUE(drag.isDragging()) << "a bad movement does not end the drag";
    drag.end();
    EXPECT_FALSE(drag.isDragging());
    EXPECT_FALSE(drag.update(100, 0, 1000));

    drag.begin(nan, 10);
    EXPECT_FALSE(drag.update(100, 0, 1000)) << "a press at no real position starts nothing";
}

} // namespace
} // namespace kovi
