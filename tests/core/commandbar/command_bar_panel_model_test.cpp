#include "core/commandbar/command_bar_panel_model.h"

#include "core/app/browser_core.h"
#include "core/library/browser_library.h"
#include "core/state/browser_state.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace kovi {
namespace {

using Key = CommandBarPanelModel::Key;
using Mode = BrowserState::CommandBarMode;

class CommandBarPanelModelTest : public ::testing::Test {
protected:
    CommandBarPanelModelTest()
        : m_core({.dataDirectory = m_dir.path(), .defaultsPath = "", .updateFeedUrl = "http://127.0.0.1:9/"})
        , m_library(m_core.library())
        , m_state(m_core.state())
    {
    }

    Uuid openTab(const std::string& address, const std::string& title)
    {
        Tab tab(Uuid::random(), *Url::parse(address), title, false, false, m_state.currentSpaceId(), std::nullopt);
        m_state.addTab(tab);
        return tab.id;
    }

    // Opens the panel the way the windows do: mode first, then the flag.
    std::unique_ptr<CommandBarPanelModel> show(Mode mode = Mode::all)
    {
        m_state.setCommandBarMode(mode);
        m_state.setIsCommandBarVisible(true);
        auto panel = std::make_unique<CommandBarPanelModel>(m_state, m_library);
        panel->appear();
        return panel;
    }

    test::TempDir m_dir;
    BrowserCore m_core;
    BrowserLibrary& m_library;
    BrowserState& m_state;
};

TEST_F(CommandBarPanelModelTest, ArrowsMoveWithoutWrapping)
{
    for (int i = 0; i < 4; ++i) // the shown one is not listed
        openTab("https://t" + std::to_string(i) + ".example/", "Tab " + std::to_string(i));
    auto panel = show();
    ASSERT_EQ(panel->results().size(), 3u);

    EXPECT_TRUE(panel->handleKey(Key::up));
    EXPECT_EQ(panel->selectedIndex(), 0u);
    EXPECT_TRUE(panel->handleKey(Key::down));
    EXPECT_TRUE(panel->handleKey(Key::down));
    EXPECT_EQ(panel->selectedIndex(), 2u);
    EXPECT_TRUE(panel->handleKey(Key::down));
    EXPECT_EQ(panel->selectedIndex(), 2u);
    EXPECT_TRUE(panel->handleKey(Key::up));
    EXPECT_EQ(panel->selectedIndex(), 1u);
}

TEST_F(CommandBarPanelModelTest, TypingSelectsTheFirstRowAgain)
{
    openTab("https://a.example/", "Alpha");
    auto panel = show();
    panel->setSearchText("a");
    panel->handleKey(Key::down);
    ASSERT_EQ(panel->selectedIndex(), 1u);
    panel->setSearchText("al");
    EXPECT_EQ(panel->selectedIndex(), 0u);
    EXPECT_EQ(panel->searchText(), "al");
}

TEST_F(CommandBarPanelModelTest, ShrinkingListPullsTheSelectionIn)
{
    std::vector<Uuid> ids;
    for (int i = 0; i < 5; ++i) // the last one is shown, and not listed
        ids.push_back(openTab("https://t" + std::to_string(i) + ".example/", "Tab " + std::to_string(i)));
    auto panel = show(Mode::tabs);
    int changes = 0;
    panel->changed.connect([&] { ++changes; });
    for (int i = 0; i < 3; ++i)
        panel->handleKey(Key::down);
    ASSERT_EQ(panel->selectedIndex(), 3u);

    m_state.removeTab(ids[0]);
    EXPECT_EQ(panel->results().size(), 3u);
    EXPECT_EQ(panel->selectedIndex(), 2u);
    EXPECT_GT(changes, 3);

    for (int i = 1; i < 5; ++i)
        m_state.removeTab(ids[i]);
    EXPECT_TRUE(panel->results().empty());
    EXPECT_EQ(panel->selectedIndex(), 0u);
    EXPECT_EQ(panel->actionText(), "\u21B5 Open");
}

TEST_F(CommandBarPanelModelTest, ReturnWithAnEmptyListDoesNothing)
{
    openTab("https://a.example/", "Alpha");
    auto panel = show(Mode::tabs);
    panel->setSearchText("zzz");
    ASSERT_TRUE(panel->results().empty());
    const std::size_t tabCount = m_state.tabs().size();

    EXPECT_TRUE(panel->handleKey(Key::returnKey));
    EXPECT_TRUE(m_state.isCommandBarVisible());
    EXPECT_EQ(m_state.commandBarMode(), Mode::tabs);
    EXPECT_EQ(panel->searchText(), "zzz");
    EXPECT_EQ(m_state.tabs().size(), tabCount);
}

TEST_F(CommandBarPanelModelTest, EscapeClosesAndResetsTheMode)
{
    auto panel = show(Mode::tabs);
    EXPECT_EQ(panel->placeholderText(), "Switch tabs...");
    panel->setSearchText("something");
    EXPECT_TRUE(panel->handleKey(Key::escape));
    EXPECT_FALSE(m_state.isCommandBarVisible());
    EXPECT_EQ(m_state.commandBarMode(), Mode::all);
    EXPECT_EQ(panel->searchText(), "");
    EXPECT_EQ(panel->placeholderText(), "Search or enter URL...");
}

TEST_F(CommandBarPanelModelTest, OpeningAnAddressAddsAnActiveTabAndLeavesTheOldOneAlone)
{
    const Uuid existing = openTab("https://old.example/", "Old");
    auto panel = show();
    panel->setSearchText("example.com");
    ASSERT_EQ(panel->actionText(), "\u21B5 Open");
    const std::size_t before = m_state.tabs().size();

    panel->handleKey(Key::returnKey);

    EXPECT_EQ(m_state.tabs().size(), before + 1);
    auto active = m_state.activeTab();
    ASSERT_TRUE(active);
    EXPECT_NE(active->id, existing);
    EXPECT_EQ(active->url.string(), "https://example.com");
    EXPECT_EQ(active->title, "example.com");
    EXPECT_EQ(active->spaceId, m_state.currentSpaceId());
    EXPECT_FALSE(active->isPinned);
    EXPECT_FALSE(active->folderId);
    EXPECT_EQ(m_state.tab(existing)->url.string(), "https://old.example/");
    EXPECT_FALSE(m_state.isCommandBarVisible());
    EXPECT_EQ(panel->searchText(), "");
}

TEST_F(CommandBarPanelModelTest, SearchingOpensTheSearchPageInANewTab)
{
    auto panel = show();
    panel->setSearchText("cats & dogs");
    ASSERT_EQ(panel->results().size(), 1u);
    EXPECT_EQ(panel->actionText(), "\u21B5 Search");
    panel->executeSelectedResult();
    auto active = m_state.activeTab();
    ASSERT_TRUE(active);
    EXPECT_EQ(active->url.string(), "https://www.google.com/search?q=cats%20%26%20dogs");
    EXPECT_FALSE(m_state.isCommandBarVisible());
}

TEST_F(CommandBarPanelModelTest, SwitchingTabsAndSpacesOpensNothing)
{
    const Uuid first = openTab("https://first.example/", "First stop");
    openTab("https://second.example/", "Second stop");
    m_state.createNewSpace("Travel", SpaceColor::green, "airplane");
    const Uuid travel = *m_state.currentSpaceId();
    const std::size_t tabCount = m_state.tabs().size();

    auto panel = show();
    panel->setSearchText("first stop");
    ASSERT_EQ(panel->actionText(), "\u21B5 Switch");
    panel->executeSelectedResult();
    EXPECT_EQ(m_state.activeTabId(), first);
    EXPECT_EQ(m_state.tabs().size(), tabCount);

    panel = show();
    panel->setSearchText("travel");
    ASSERT_EQ(panel->results().size(), 2u);
    EXPECT_EQ(panel->results()[0].title, "Switch to Travel");
    EXPECT_EQ(panel->actionText(), "\u21B5 Switch");
    panel->executeSelectedResult();
    EXPECT_EQ(m_state.currentSpaceId(), travel);
    EXPECT_EQ(m_state.tabs().size(), tabCount);
    EXPECT_FALSE(m_state.isCommandBarVisible());
}

TEST_F(CommandBarPanelModelTest, ClickingARowRunsThatRow)
{
    const Uuid alpha = openTab("https://alpha.example/", "Shared alpha");
    openTab("https://beta.example/", "Shared beta");
    openTab("https://gamma.example/", "Shown");
    auto panel = show();
    panel->setSearchText("shared");
    ASSERT_EQ(panel->results().size(), 3u);
    // Select the other tab's row, then click alpha's.
    const std::size_t alphaRow = std::get<SwitchToTabAction>(panel->results()[0].action).tabId == alpha ? 0 : 1;
    if (alphaRow == 0)
        panel->handleKey(Key::down);
    ASSERT_NE(panel->selectedIndex(), alphaRow);
    ASSERT_NE(m_state.activeTabId(), alpha);
    panel->execute(panel->results()[alphaRow]);
    EXPECT_EQ(m_state.activeTabId(), alpha);
}

// Regression: the command bar offered to switch to the tab already shown.
TEST_F(CommandBarPanelModelTest, TheShownTabIsNeverOffered)
{
    const Uuid first = openTab("https://garden.example/", "Garden");
    const Uuid second = openTab("https://garden.example/", "Garden");
    auto targets = [](const std::vector<CommandBarResult>& results) {
        std::vector<Uuid> ids;
        for (const auto& result : results)
            if (const auto* tab = std::get_if<SwitchToTabAction>(&result.action))
                ids.push_back(tab->tabId);
        return ids;
    };
    for (Mode mode : {Mode::all, Mode::tabs}) {
        auto panel = show(mode);
        EXPECT_EQ(targets(panel->results()), std::vector<Uuid>{first});
        panel->setSearchText("garden");
        EXPECT_EQ(targets(panel->results()), std::vector<Uuid>{first});
        m_state.setActiveTabId(first);
        EXPECT_EQ(targets(panel->results()), std::vector<Uuid>{second});
        m_state.setActiveTabId(second);
    }
}

TEST_F(CommandBarPanelModelTest, ListFollowsTheLibrary)
{
    auto panel = show();
    panel->setSearchText("recipes");
    ASSERT_EQ(panel->results().size(), 1u);
    m_library.save(*Url::parse("https://recipes.example/"), "Recipes", "Reading List");
    ASSERT_EQ(panel->results().size(), 2u);
    EXPECT_EQ(panel->results()[0].icon, "book");
}

TEST_F(CommandBarPanelModelTest, DestroyingThePanelWhenTheFlagClearsIsSafe)
{
    auto panel = show(Mode::tabs);
    m_state.isCommandBarVisibleChanged.connect([&] {
        if (!m_state.isCommandBarVisible())
            panel.reset();
    });
    panel->handleKey(Key::escape);
    EXPECT_FALSE(panel);
    EXPECT_EQ(m_state.commandBarMode(), Mode::all);
}

TEST(CommandBarPanelLayoutTest, CardAndListGeometry)
{
    struct Case {
        double height;
        std::size_t rows;
        double gap;
        double list;
    };
    const Case cases[] = {
        {400, 10, 40, 220}, {580, 10, 58, 328}, {1000, 1, 58, 68}, {1000, 6, 58, 328},
        {1000, 7, 58, 328}, {200, 3, 20, 52},   {100, 0, 10, 16},  {1000, 0, 58, 16},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(CommandBarPanelModel::cardTopGap(c.height), c.gap) << c.height;
        EXPECT_DOUBLE_EQ(CommandBarPanelModel::listHeight(c.height, c.rows), c.list) << c.height << " " << c.rows;
    }
    EXPECT_DOUBLE_EQ(CommandBarPanelModel::cardWidth(300), 280);
    EXPECT_DOUBLE_EQ(CommandBarPanelModel::cardWidth(500), 460);
    EXPECT_DOUBLE_EQ(CommandBarPanelModel::cardWidth(2000), 600);
}

TEST(CommandBarPanelLayoutTest, HintWords)
{
    EXPECT_EQ(CommandBarPanelModel::hintWord(OpenURLAction{*Url::parse("https://a.example/")}), "Open");
    EXPECT_EQ(CommandBarPanelModel::hintWord(SwitchToTabAction{}), "Switch");
    EXPECT_EQ(CommandBarPanelModel::hintWord(SwitchToSpaceAction{}), "Switch");
    EXPECT_EQ(CommandBarPanelModel::hintWord(SearchAction{"x"}), "Search");
}

} // namespace
} // namespace kovi
