#include "core/settings/account_dates.h"
#include "core/settings/auth_manager.h"
#include "support/gtk_test_support.h"
#include "ui/settings/membership_card.h"

#include <cairomm/surface.h>
#include <limits>
#include <gtest/gtest.h>

namespace kovi::test {
namespace {

TEST(MembershipCard, ShowsTheGuestSomeoneElseOrNobody)
{
    ensureGtk();
    MembershipCard card;
    // Nobody: no guest's name, no title, no date.
    EXPECT_EQ(card.nameLabel().get_text(), "Not signed in");
    EXPECT_FALSE(card.subtitleLabel().get_visible());
    EXPECT_EQ(card.memberSinceLabel().get_text(), "---");

    const KoviUser guest{"guest-1", "", "Guest", Date::fromUnix(1796731200.0), true};
    card.setUser(guest);
    EXPECT_EQ(card.nameLabel().get_text(), "Guest");
    EXPECT_EQ(card.subtitleLabel().get_text(), "Guest User");
    EXPECT_TRUE(card.subtitleLabel().get_visible());
    EXPECT_EQ(std::string(card.memberSinceLabel().get_text()), shortMemberSinceText(guest.createdAt));

    card.setUser(KoviUser{"id", "ada@example.com", "Ada", Date(0), false});
    EXPECT_EQ(card.nameLabel().get_text(), "Ada");
    EXPECT_EQ(card.subtitleLabel().get_text(), "Early Adopter");
    // A date no calendar can show gives the placeholder.
    card.setUser(KoviUser{"id", "", "Ada", Date(std::numeric_limits<double>::quiet_NaN()), false});
    EXPECT_EQ(card.memberSinceLabel().get_text(), "---");
}

// The hill fills the bottom of the artwork; its sides rise to 0.7 of the height and its top
// lies at the middle, 0.35 of the height, whatever the size.
TEST(MembershipCard, HillScalesWithTheArtwork)
{
    for (auto [w, h] : {std::pair{228, 180}, std::pair{400, 100}}) {
        auto surface = Cairo::ImageSurface::create(Cairo::Surface::Format::ARGB32, w, h);
        auto cr = Cairo::Context::create(surface);
        MembershipCard::drawHill(cr, w, h);
        surface->flush();
        auto alpha = [&](int x, int y) {
            return surface->get_data()[y * surface->get_stride() + x * 4 + 3];
        };
        EXPECT_EQ(alpha(w / 2, static_cast<int>(0.35 * h) - 3), 0) << w;
        EXPECT_EQ(alpha(w / 2, static_cast<int>(0.35 * h) + 3), 255) << w;
        EXPECT_EQ(alpha(1, static_cast<int>(0.7 * h) - 3), 0) << w;
        EXPECT_EQ(alpha(1, static_cast<int>(0.7 * h) + 3), 255) << w;
        EXPECT_EQ(alpha(w - 2, h - 1), 255) << w;
        EXPECT_EQ(alpha(w / 4, static_cast<int>(0.35 * h)), 0) << w; // the curve falls away from the top
    }
}

} // namespace
} // namespace kovi::test
