// Onboarding (sizes, choice, completion), the layout sheet and cards, the welcome screen's
// account, and the privacy sheet.
#include "app_fixture.h"

#include "core/support/notification_names.h"
#include "ui/layouts/browser_layout_settings_view.h"
#include "ui/layouts/onboarding_view.h"
#include "ui/settings/auth_view.h"
#include "ui/settings/privacy_info_view.h"

#include <gtkmm/window.h>

namespace kovi::test {
namespace {

TEST(OnboardingMetrics, CompactBelow550HighWideAbove500WidePreviewCapped)
{
    auto compact = OnboardingMetrics::forSize(800, 549);
    EXPECT_TRUE(compact.compact);
    EXPECT_EQ(compact.logoSize, 60);
    EXPECT_EQ(compact.titleSize, 24);
    EXPECT_EQ(compact.subtitleSize, 14);
    EXPECT_EQ(compact.columnSpacing, 16);
    EXPECT_EQ(compact.spacerMinimum, 10);
    EXPECT_EQ(compact.previewHeight, 120);
    auto regular = OnboardingMetrics::forSize(800, 550);
    EXPECT_FALSE(regular.compact);
    EXPECT_EQ(regular.logoSize, 100);
    EXPECT_EQ(regular.titleSize, 32);
    EXPECT_EQ(regular.previewHeight, 180);

    EXPECT_FALSE(OnboardingMetrics::forSize(500, 700).wide);
    EXPECT_TRUE(OnboardingMetrics::forSize(501, 700).wide);
    EXPECT_EQ(OnboardingMetrics::forSize(700, 700).previewMaxWidth, 600);
    EXPECT_EQ(OnboardingMetrics::forSize(600, 700).previewMaxWidth, 520);
    EXPECT_EQ(OnboardingMetrics::forSize(40, 700).previewMaxWidth, 0);
}

class FirstRunTest : public ::testing::Test {
protected:
    void SetUp() override { ensureGtk(); }
    void TearDown() override
    {
        if (window)
            window->destroy();
        settle(20);
    }
    void show(Gtk::Widget& content, int width = 900, int height = 700)
    {
        window = std::make_unique<Gtk::Window>();
        window->set_default_size(width, height);
        core.theme.attach(*window);
        core.commands.attach(*window);
        window->set_child(content);
        window->present();
        ASSERT_TRUE(waitForWindow(*window));
        settle(50);
    }
    TempDir dir;
    CoreObjects core{dir.path()};
    std::unique_ptr<Gtk::Window> window;
};

TEST_F(FirstRunTest, OnboardingStoresThePickMarksItDoneAndAnnouncesEvenWhenUnchanged)
{
    int completed = 0;
    core.state.setLayoutMode(BrowserLayoutMode::traditional); // from an earlier run
    auto* view =
        Gtk::make_managed<OnboardingView>(core.state, core.preferences, core.notifications, [&] { ++completed; });
    show(*view);
    EXPECT_EQ(view->selectedMode(), BrowserLayoutMode::vertical); // whatever is stored
    EXPECT_TRUE(view->verticalCard().isSelected());
    EXPECT_EQ(view->preview().mode(), BrowserLayoutMode::vertical);

    NotificationProbe announced(core.notifications, notifications::layoutModeChanged);
    g_signal_emit_by_name(view->skipButton().gobj(), "clicked");
    EXPECT_EQ(core.state.layoutMode(), BrowserLayoutMode::vertical);
    EXPECT_EQ(completed, 1);
    EXPECT_EQ(core.defaults.boolValue("hasCompletedOnboarding"), true);
    EXPECT_EQ(announced.count, 1);

    // Picking the other card changes only the pick and the miniature, until completion.
    g_signal_emit_by_name(view->traditionalCard().gobj(), "clicked");
    EXPECT_EQ(view->selectedMode(), BrowserLayoutMode::traditional);
    EXPECT_TRUE(view->traditionalCard().isSelected());
    EXPECT_FALSE(view->verticalCard().isSelected());
    EXPECT_EQ(view->preview().mode(), BrowserLayoutMode::traditional);
    EXPECT_EQ(core.state.layoutMode(), BrowserLayoutMode::vertical);
    g_signal_emit_by_name(view->getStartedButton().gobj(), "clicked");
    EXPECT_EQ(core.state.layoutMode(), BrowserLayoutMode::traditional);
    EXPECT_EQ(core.defaults.stringValue("browserLayoutMode"), "traditional");
    EXPECT_EQ(announced.count, 2);
}

TEST_F(FirstRunTest, OnboardingArrangesItselfForTheSpaceItIsGiven)
{
    auto* view = Gtk::make_managed<OnboardingView>(core.state, core.preferences, core.notifications, [] {});
    show(*view, 480, 500);
    ASSERT_TRUE(runUntilGtk([&] { return view->metrics().compact && !view->metrics().wide; }, 5))
        << view->get_width() << "x" << view->get_height() << " window " << window->get_width() << "x" << window->get_height();
    EXPECT_EQ(view->cardsBox().get_orientation(), Gtk::Orientation::VERTICAL);
    EXPECT_TRUE(view->has_css_class("compact"));
    window->set_default_size(1000, 760);
    ASSERT_TRUE(runUntilGtk([&] { return !view->metrics().compact && view->metrics().wide; }, 5));
    EXPECT_EQ(view->cardsBox().get_orientation(), Gtk::Orientation::HORIZONTAL);
    EXPECT_EQ(view->cardsBox().get_spacing(), 24);
}

TEST_F(FirstRunTest, LayoutSheetSwitchesAtOnceWithoutAnnouncingAndDoneCloses)
{
    Gtk::Window parent;
    NotificationProbe announced(core.notifications, notifications::layoutModeChanged);
    auto sheet = std::make_unique<BrowserLayoutSettingsView>(core.state, parent);
    sheet->present();
    if (waitForWindow(*sheet))
        screenshotIfAsked("layout-sheet");
    EXPECT_TRUE(sheet->verticalCard().isSelected());
    g_signal_emit_by_name(sheet->traditionalCard().gobj(), "clicked");
    EXPECT_EQ(core.state.layoutMode(), BrowserLayoutMode::traditional);
    EXPECT_TRUE(sheet->traditionalCard().isSelected());
    EXPECT_FALSE(sheet->verticalCard().isSelected());
    EXPECT_EQ(announced.count, 0);
    // The selected card again still stores the value.
    core.defaults.remove("browserLayoutMode");
    g_signal_emit_by_name(sheet->traditionalCard().gobj(), "clicked");
    EXPECT_EQ(core.defaults.stringValue("browserLayoutMode"), "traditional");
    g_signal_emit_by_name(sheet->doneButton().gobj(), "clicked");
    EXPECT_FALSE(sheet->get_visible());
    EXPECT_EQ(core.state.layoutMode(), BrowserLayoutMode::traditional);
}

TEST_F(FirstRunTest, WelcomeCreatesAGuestAndThePrivacySheetReplacesIt)
{
    auto* welcome = Gtk::make_managed<AuthView>(core.auth);
    show(*welcome);
    EXPECT_FALSE(core.auth.isAuthenticated());
    g_signal_emit_by_name(welcome->startButton().gobj(), "clicked");
    ASSERT_TRUE(core.auth.isAuthenticated());
    const auto first = core.auth.currentUser()->id;
    EXPECT_EQ(first.rfind("guest-", 0), 0u);

    // The same account is found again by the next launch.
    AuthManager again(core.preferences);
    EXPECT_TRUE(again.isAuthenticated());
    EXPECT_EQ(again.currentUser()->id, first);

    PrivacyInfoView privacy(core.auth, *window);
    privacy.present();
    if (waitForWindow(privacy))
        screenshotIfAsked("privacy");
    g_signal_emit_by_name(privacy.continueAsGuestButton().gobj(), "clicked");
    EXPECT_NE(core.auth.currentUser()->id, first);
    EXPECT_FALSE(privacy.get_visible());
}

} // namespace
} // namespace kovi::test
