// The command bar panel driven with real keys and clicks on the test's X display.
#include "command_bar_fixture.h"

#include "core/settings/appearance_manager.h"
#include "ui/design/theme.h"


#include <algorithm>

namespace kovi::test {
namespace {

constexpr const char* returnGlyph = "\u21B5";

bool isInside(const graphene_rect_t& inner, const graphene_rect_t& outer)
{
    return inner.origin.y >= outer.origin.y - 0.5 &&
           inner.origin.y + inner.size.height <= outer.origin.y + outer.size.height + 0.5;
}

TEST_F(CommandBarViewTest, ArrowKeysMoveTheSelectionWithoutWrappingAndNeverReachTheField)
{
    for (int i = 1; i <= 3; ++i)
        openTab("https://t" + std::to_string(i) + ".example/", "Tab " + std::to_string(i));
    openShownTab();
    ASSERT_TRUE(open(Mode::tabs));
    ASSERT_EQ(rows().size(), 3u);
    EXPECT_EQ(selected(), 0u);
    EXPECT_TRUE(rows()[0]->isSelected());
    EXPECT_EQ(m_view->footerActionText(), std::string(returnGlyph) + " Switch");
    EXPECT_EQ(m_view->searchField().get_placeholder_text(), "Switch tabs...");

    ASSERT_TRUE(xdoType("Tab"));
    ASSERT_TRUE(runUntil([&] { return m_view->model().searchText() == "Tab"; }));
    ASSERT_TRUE(xdoKey("Left"));
    ASSERT_TRUE(runUntil([&] { return m_view->searchField().get_position() == 2; }));

    // Up on the first row: a wrap would land on the last row, where Down could not move on.
    ASSERT_TRUE(xdoKey("Up Down"));
    ASSERT_TRUE(runUntil([&] { return selected() == 1; })) << "selection " << selected();
    // Past the end: a wrap would end on row 1.
    ASSERT_TRUE(xdoKey("Down Down Down"));
    ASSERT_TRUE(runUntil([&] { return selected() == 2; })) << "selection " << selected();
    ASSERT_TRUE(xdoKey("Up Up Up Up Down"));
    ASSERT_TRUE(runUntil([&] { return selected() == 1; })) << "selection " << selected();

    // The field saw none of the arrows: caret and keyboard focus are where they were.
    EXPECT_EQ(m_view->searchField().get_position(), 2);
    EXPECT_TRUE(fieldHasFocus());
    const auto shown = rows();
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i]->isSelected(), i == 1) << i;
        EXPECT_EQ(shown[i]->hintShown(), i == 1) << i;
    }

    // Escape closes with text in the field and puts the mode back to everything.
    ASSERT_TRUE(xdoKey("Escape"));
    ASSERT_TRUE(runUntil([&] { return !m_state.isCommandBarVisible(); }));
    EXPECT_EQ(m_state.commandBarMode(), Mode::all);
    EXPECT_EQ(m_view, nullptr);
}

TEST_F(CommandBarViewTest, TypingAndClearingSelectTheFirstRowAndKeepThePanelOpen)
{
    for (int i = 1; i <= 3; ++i)
        openTab("https://t" + std::to_string(i) + ".example/", "Tab " + std::to_string(i));
    openShownTab();
    ASSERT_TRUE(open());
    EXPECT_EQ(m_view->searchField().get_placeholder_text(), "Search or enter URL...");
    EXPECT_FALSE(m_view->clearButton().get_visible());
    ASSERT_TRUE(xdoKey("Down Down"));
    ASSERT_TRUE(runUntil([&] { return selected() == 2; }));

    ASSERT_TRUE(xdoType("t"));
    ASSERT_TRUE(runUntil([&] { return m_view->model().searchText() == "t"; }));
    EXPECT_EQ(selected(), 0u);
    EXPECT_TRUE(m_view->clearButton().get_visible());

    ASSERT_TRUE(xdoKey("Down"));
    ASSERT_TRUE(runUntil([&] { return selected() == 1; }));
    ASSERT_TRUE(xdoClickWidget(m_view->clearButton()));
    ASSERT_TRUE(runUntil([&] { return m_view->model().searchText().empty(); }));
    EXPECT_EQ(m_view->searchField().get_text(), "");
    EXPECT_EQ(selected(), 0u);
    EXPECT_FALSE(m_view->clearButton().get_visible());
    EXPECT_TRUE(m_state.isCommandBarVisible());
    EXPECT_TRUE(fieldHasFocus());
}

TEST_F(CommandBarViewTest, ReturnWithNothingToRunLeavesThePanelOpenWithItsText)
{
    openTab("https://a.example/", "Alpha");
    ASSERT_TRUE(open(Mode::tabs));
    ASSERT_TRUE(xdoType("zzz"));
    ASSERT_TRUE(runUntil([&] { return m_view->model().searchText() == "zzz"; }));
    EXPECT_TRUE(m_view->emptyState().get_visible());
    EXPECT_FALSE(m_view->list().get_visible());
    EXPECT_EQ(m_view->footerActionText(), std::string(returnGlyph) + " Open");

    const std::size_t tabs = m_state.tabs().size();
    ASSERT_TRUE(xdoKey("Return"));
    ASSERT_TRUE(xdoType("z")); // arrives after the return key
    ASSERT_TRUE(runUntil([&] { return m_view && m_view->model().searchText() == "zzzz"; }));
    EXPECT_TRUE(m_state.isCommandBarVisible());
    EXPECT_EQ(m_state.commandBarMode(), Mode::tabs);
    EXPECT_EQ(m_state.tabs().size(), tabs);
}

TEST_F(CommandBarViewTest, AClickOnTheScrimClosesAndAClickOnTheCardDoesNot)
{
    openTab("https://a.example/", "Alpha");
    ASSERT_TRUE(open(Mode::tabs));
    ASSERT_TRUE(xdoClickWidget(m_view->card(), 1, 20, m_view->card().get_height() - 10)); // the footer
    ASSERT_TRUE(xdoType("x"));
    ASSERT_TRUE(runUntil([&] { return m_view && m_view->model().searchText() == "x"; }));
    EXPECT_TRUE(m_state.isCommandBarVisible());

    ASSERT_TRUE(xdoClickWidget(m_view->scrim(), 1, 20, m_view->scrim().get_height() - 20));
    ASSERT_TRUE(runUntil([&] { return !m_state.isCommandBarVisible(); }));
    EXPECT_EQ(m_state.commandBarMode(), Mode::all);
}

TEST_F(CommandBarViewTest, AClickOnARowRunsThatRowWhateverIsSelected)
{
    const Uuid oldest = openTab("https://a.example/", "Alpha");
    openTab("https://b.example/", "Beta");
    const Uuid newest = openTab("https://c.example/", "Gamma");
    ASSERT_EQ(m_state.activeTabId(), newest);
    ASSERT_TRUE(open());
    ASSERT_EQ(rows().size(), 2u); // most recent first, without the shown tab
    EXPECT_EQ(rows()[0]->title(), "Beta");
    EXPECT_EQ(rows()[1]->title(), "Alpha");
    EXPECT_EQ(selected(), 0u);

    ASSERT_TRUE(xdoClickWidget(*rows()[1]));
    ASSERT_TRUE(runUntil([&] { return !m_state.isCommandBarVisible(); }));
    EXPECT_EQ(m_state.activeTabId(), oldest);
    EXPECT_EQ(m_state.tabs().size(), 3u);
}

TEST_F(CommandBarViewTest, TheCardFollowsTheSizeOfItsArea)
{
    for (int i = 1; i <= 8; ++i)
        openTab("https://t" + std::to_string(i) + ".example/", "Tab " + std::to_string(i));
    openShownTab();
    ASSERT_TRUE(open());
    ASSERT_EQ(rows().size(), 8u);

    auto cardAt = [&](float x, float y, float width) {
        const auto r = bounds(m_view->card(), *m_view);
        return r.origin.x == x && r.origin.y == y && r.size.width == width;
    };
    auto listIs = [&](float height) { return m_view->list().get_height() == height; };

    // 1000 × 700: full width, the gap stops at 58, six rows and their padding.
    ASSERT_TRUE(runUntil([&] { return cardAt(200, 58, 600) && listIs(328); }))
        << bounds(m_view->card(), *m_view).origin.y << " " << m_view->list().get_height();

    // 300 × 400: the card keeps 280, hangs 40 below the top, the list gets 400 - 180.
    setAreaSize(300, 400);
    ASSERT_TRUE(runUntil([&] { return cardAt(10, 40, 280) && listIs(220); }))
        << bounds(m_view->card(), *m_view).size.width << " " << m_view->list().get_height();

    // 640 × 600: 600 wide, and the gap is capped at 58 again.
    setAreaSize(640, 600);
    ASSERT_TRUE(runUntil([&] { return cardAt(20, 58, 600) && listIs(328); }));

    // Fewer rows: as tall as they need. "Tab 5" finds one tab and the web search.
    ASSERT_TRUE(xdoType("Tab 5"));
    ASSERT_TRUE(runUntil([&] { return rows().size() == 2u && listIs(2 * 52 + 16); }));
    ASSERT_TRUE(xdoType("x"));
    ASSERT_TRUE(runUntil([&] { return rows().size() == 1u && listIs(68); })) << rows().size();
}

TEST_F(CommandBarViewTest, SelectionStaysOnTheListWhenTabsCloseElsewhere)
{
    std::vector<Uuid> ids;
    for (int i = 1; i <= 4; ++i)
        ids.push_back(openTab("https://t" + std::to_string(i) + ".example/", "Tab " + std::to_string(i)));
    openShownTab();
    ASSERT_TRUE(open(Mode::tabs));
    ASSERT_TRUE(xdoKey("Down Down Down"));
    ASSERT_TRUE(runUntil([&] { return selected() == 3; }));

    m_state.removeTab(ids[0]);
    m_state.removeTab(ids[1]);
    ASSERT_EQ(rows().size(), 2u);
    EXPECT_EQ(selected(), 1u);
    EXPECT_TRUE(rows()[1]->isSelected());

    m_state.removeTab(ids[2]);
    m_state.removeTab(ids[3]);
    EXPECT_EQ(selected(), 0u);
    EXPECT_TRUE(m_view->emptyState().get_visible());
    EXPECT_FALSE(m_view->list().get_visible());
    EXPECT_EQ(m_view->footerActionText(), std::string(returnGlyph) + " Open");
}

TEST_F(CommandBarViewTest, TheSelectedRowIsScrolledIntoView)
{
    for (int i = 1; i <= 12; ++i)
        openTab("https://t" + std::to_string(i) + ".example/", "Tab " + std::to_string(i));
    openShownTab();
    ASSERT_TRUE(open(Mode::tabs));
    ASSERT_TRUE(xdoType("Tab"));
    ASSERT_TRUE(runUntil([&] { return rows().size() == 12u; }));
    ASSERT_TRUE(runUntil([&] { return m_view->list().get_height() == 328 && rows()[11]->get_height() == 52; }));

    auto rowVisible = [&](std::size_t i) {
        return isInside(bounds(*rows()[i], m_view->list()), GRAPHENE_RECT_INIT(0, 0, 600, 328));
    };
    EXPECT_TRUE(rowVisible(0));
    EXPECT_FALSE(rowVisible(11));

    ASSERT_TRUE(xdoKey("Down Down Down Down Down Down Down Down Down Down Down"));
    ASSERT_TRUE(runUntil([&] { return selected() == 11; }));
    ASSERT_TRUE(runUntil([&] { return rowVisible(11); }));

    ASSERT_TRUE(xdoKey("Up Up Up Up Up Up Up Up Up Up Up"));
    ASSERT_TRUE(runUntil([&] { return selected() == 0; }));
    ASSERT_TRUE(runUntil([&] { return rowVisible(0); }));

    // A row in the middle is centred.
    ASSERT_TRUE(xdoKey("Down Down Down Down Down Down"));
    ASSERT_TRUE(runUntil([&] { return selected() == 6; }));
    ASSERT_TRUE(runUntil([&] {
        const auto r = bounds(*rows()[6], m_view->list());
        return std::abs(r.origin.y + r.size.height / 2 - 164) < 1;
    }));
}

TEST_F(CommandBarViewTest, HoverTintsARowWithoutMovingTheSelection)
{
    for (int i = 1; i <= 3; ++i)
        openTab("https://t" + std::to_string(i) + ".example/", "Tab " + std::to_string(i));
    ASSERT_TRUE(open());
    ASSERT_TRUE(xdoMoveToWidget(*rows()[1]));
    ASSERT_TRUE(runUntil([&] { return rows()[1]->isHovering(); }));
    EXPECT_TRUE(rows()[1]->has_css_class("hovered"));
    EXPECT_FALSE(rows()[1]->hintShown());
    EXPECT_EQ(selected(), 0u);
    EXPECT_TRUE(rows()[0]->has_css_class("selected"));

    ASSERT_TRUE(xdoMoveToWidget(*rows()[0]));
    ASSERT_TRUE(runUntil([&] { return rows()[0]->isHovering() && !rows()[1]->isHovering(); }));
    EXPECT_TRUE(rows()[0]->has_css_class("selected"));
    EXPECT_FALSE(rows()[0]->has_css_class("hovered"));
    EXPECT_FALSE(rows()[1]->has_css_class("hovered"));
}

// Pictures of the panel in both looks, for a person to look at:
//   kovi_ui_commandbar_tests --gtest_also_run_disabled_tests --gtest_filter='*Screenshots*'
// writes /tmp/kovi-commandbar-light.png and /tmp/kovi-commandbar-dark.png.
TEST_F(CommandBarViewTest, DISABLED_Screenshots)
{
    AppearanceManager& appearance = m_core.appearance();
    Theme theme(appearance);
    theme.attach(m_window);
    m_page.add_css_class("background");
    setAreaSize(1180, 860);
    const char* titles[] = {"Kovi project board", "Release notes draft", "Weather for the week",
                            "A very long page title that goes on and on until it has to be cut short somewhere",
                            "Recipes: pancakes", "Inbox"};
    int i = 0;
    for (const char* title : titles)
        openTab("https://site" + std::to_string(++i) + ".example.org/path", title);
    for (bool dark : {false, true}) {
        appearance.setIsDarkMode(dark);
        ASSERT_TRUE(open());
        ASSERT_TRUE(xdoType("e"));
        ASSERT_TRUE(runUntil([&] { return m_view->model().searchText() == "e"; }));
        ASSERT_TRUE(xdoKey("Down"));
        ASSERT_TRUE(xdoMoveToWidget(*rows()[3]));
        ASSERT_TRUE(runUntil([&] { return selected() == 1 && rows()[3]->isHovering(); }));
        runUntil([] { return false; }, 0.5); // let the transitions finish for the picture
        ASSERT_TRUE(screenshot(dark ? "/tmp/kovi-commandbar-dark.png" : "/tmp/kovi-commandbar-light.png"));
        ASSERT_TRUE(xdoKey("Escape"));
        ASSERT_TRUE(runUntil([&] { return !m_state.isCommandBarVisible(); }));
    }
}

} // namespace
} // namespace kovi::test
