#include "core/sidebar/hover_preview_model.h"
#include "sidebar_fixture.h"

#include <gtest/gtest.h>

#include <map>

namespace kovi::test {
namespace {

struct Picture final : PreviewPicture {
    explicit Picture(Uuid tab) : tab(tab) {}
    Uuid tab;
};

class HoverPreviewTest : public ::testing::Test {
protected:
    HoverPreviewTest()
        : model(delay, [this](const Uuid& id, std::function<void(HoverPreviewModel::Picture)> done) {
              requests.push_back(id);
              pending[id] = std::move(done);
          })
    {
        model.changed.connect([this] { ++changes; });
    }
    void answer(const Uuid& id, bool live = true)
    {
        auto done = std::move(pending.at(id));
        pending.erase(id);
        done(live ? std::make_shared<Picture>(id) : nullptr);
    }
    std::optional<Uuid> shownTab() const
    {
        auto picture = std::dynamic_pointer_cast<const Picture>(model.visiblePicture());
        return picture ? std::optional<Uuid>(picture->tab) : std::nullopt;
    }

    ManualDelayedTask delay;
    std::vector<Uuid> requests;
    std::map<Uuid, std::function<void(HoverPreviewModel::Picture)>> pending;
    HoverPreviewModel model;
    int changes = 0;
    Uuid a = Uuid::random(), b = Uuid::random();
};

TEST_F(HoverPreviewTest, RestingShowsTheTabsPictureAndLeavingClearsIt)
{
    model.handlePreviewRequest(a, true);
    EXPECT_EQ(model.previewTabId(), a);
    EXPECT_DOUBLE_EQ(delay.seconds(), 0.25);
    EXPECT_TRUE(requests.empty()) << "nothing is taken before the rest";
    delay.fire();
    answer(a);
    EXPECT_EQ(shownTab(), a);
    model.handlePreviewRequest(a, false);
    EXPECT_FALSE(model.previewTabId());
    EXPECT_FALSE(shownTab());
}

TEST_F(HoverPreviewTest, SweepingPastARowTakesNoSnapshot)
{
    model.handlePreviewRequest(a, true);
    model.handlePreviewRequest(a, false);
    EXPECT_FALSE(delay.fire());
    model.handlePreviewRequest(a, true);
    model.handlePreviewRequest(b, true);
    delay.fire();
    EXPECT_EQ(requests, std::vector<Uuid>{b}) << "B's start replaced A's request";
}

// Moving from A to B must never show A's page beside B, even for the moment before B's own
// picture arrives; and A's end arriving after B's start must not cancel B's snapshot (else A's
// picture would stay beside B for good).
TEST_F(HoverPreviewTest, AnotherTabsPictureIsNeverShown)
{
    model.handlePreviewRequest(a, true);
    delay.fire();
    answer(a);
    ASSERT_EQ(shownTab(), a);
    model.handlePreviewRequest(b, true);
    model.handlePreviewRequest(a, false); // A's end after B's start leaves B alone
    EXPECT_EQ(model.previewTabId(), b);
    EXPECT_FALSE(shownTab());
    delay.fire();
    answer(b);
    EXPECT_EQ(shownTab(), b);
}

TEST_F(HoverPreviewTest, LateAndEmptySnapshotsAreDropped)
{
    model.handlePreviewRequest(a, true);
    delay.fire();
    model.handlePreviewRequest(b, true);
    answer(a); // arrives after the pointer moved on
    EXPECT_FALSE(shownTab());
    delay.fire();
    answer(b, false); // no live page
    EXPECT_FALSE(shownTab());
}

TEST(HoverPreviewPlacement, BesideTheRowAndInsideTheArea)
{
    auto p = HoverPreviewModel::place({0, 200, 280, 34}, 0, 900);
    EXPECT_DOUBLE_EQ(p.centerX, 280 + 146);
    EXPECT_DOUBLE_EQ(p.centerY, 217);
    EXPECT_DOUBLE_EQ(HoverPreviewModel::place({0, 880, 280, 34}, 0, 900).centerY, 900 - 93);
    EXPECT_DOUBLE_EQ(HoverPreviewModel::place({0, 0, 280, 34}, 0, 900).centerY, 93);
    EXPECT_DOUBLE_EQ(HoverPreviewModel::place({0, 40, 280, 34}, 30, 900).centerY, 123);
    EXPECT_DOUBLE_EQ(HoverPreviewModel::place({0, 40, 280, 34}, 0, 100).centerY, 93) << "too small: top wins";
}

} // namespace
} // namespace kovi::test
