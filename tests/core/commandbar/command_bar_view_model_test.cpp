#include "core/commandbar/command_bar_view_model.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace kovi {
namespace {

const Date now(725760000.0);

class CommandBarViewModelTest : public ::testing::Test {
protected:
    const Tab& addTab(const std::string& title, const std::string& address, double minutesAgo = 0)
    {
        Tab tab(Uuid::random(), *Url::parse(address), title, false, false, std::nullopt, std::nullopt);
        tab.title = title;
        tab.lastAccessedAt = now.adding(-minutesAgo * 60);
        m_tabStore.push_back(tab);
        m_tabs.push_back(&m_tabStore.back());
        return m_tabStore.back();
    }

    void addPage(const std::string& title, const std::string& address, const std::string& collection = "Bookmarks")
    {
        m_pages.push_back(SavedPage{Uuid::random(), *Url::parse(address), title, collection, false, now});
    }

    const Space& addSpace(const std::string& name, const std::string& icon = "star.fill")
    {
        Space space;
        space.id = Uuid::random();
        space.name = name;
        space.icon = icon;
        m_spaces.push_back(space);
        return m_spaces.back();
    }

    std::vector<CommandBarResult> search(const std::string& query) const
    {
        return m_model.search(query, m_tabs, m_spaces, m_pages);
    }

    static std::vector<std::string> titles(const std::vector<CommandBarResult>& results)
    {
        std::vector<std::string> out;
        for (const auto& r : results)
            out.push_back(r.title);
        return out;
    }

    static std::vector<std::string> icons(const std::vector<CommandBarResult>& results)
    {
        std::vector<std::string> out;
        for (const auto& r : results)
            out.push_back(r.icon);
        return out;
    }

    CommandBarViewModel m_model;
    std::deque<Tab> m_tabStore;
    CommandBarViewModel::TabList m_tabs;
    std::vector<Space> m_spaces;
    std::vector<SavedPage> m_pages;
};

TEST_F(CommandBarViewModelTest, EmptyQueryListsTheEightMostRecentTabsInBothModes)
{
    for (int i = 0; i < 10; ++i)
        addTab("Tab " + std::to_string(i), "https://t" + std::to_string(i) + ".example/", 10 - i);
    addTab("Tie A", "https://a.example/", 0.5);
    addTab("Tie B", "https://b.example/", 0.5);
    addSpace("Work");
    addPage("Saved", "https://saved.example/");

    auto all = search("");
    auto tabsOnly = m_model.searchTabs("", m_tabs);
    const std::vector<std::string> expected = {"Tie A", "Tie B", "Tab 9", "Tab 8", "Tab 7", "Tab 6", "Tab 5", "Tab 4"};
    EXPECT_EQ(titles(all), expected);
    EXPECT_EQ(titles(tabsOnly), expected);
    EXPECT_EQ(icons(all), std::vector<std::string>(8, "clock"));
    EXPECT_NE(all[0].id, tabsOnly[0].id); // fresh ids every time
}

TEST_F(CommandBarViewModelTest, TabsModeMatchesTitlesAndAddressesInInputOrder)
{
    for (int i = 0; i < 15; ++i)
        addTab("News " + std::to_string(i), "https://n" + std::to_string(i) + ".example/", i);
    addTab("Weather", "https://www.NEWSPAPER.example/");
    addTab("Cooking", "https://food.example/");

    auto results = m_model.searchTabs("news", m_tabs);
    ASSERT_EQ(results.size(), 12u);
    EXPECT_EQ(results[0].title, "News 0");
    EXPECT_EQ(results[11].title, "News 11");
    EXPECT_EQ(icons(results), std::vector<std::string>(12, "square.on.square"));

    EXPECT_EQ(titles(m_model.searchTabs("NEWSPAPER", m_tabs)), std::vector<std::string>{"Weather"});
    EXPECT_EQ(titles(m_model.searchTabs("newspaper", m_tabs)), std::vector<std::string>{"Weather"});
    EXPECT_TRUE(m_model.searchTabs("nothing like it", m_tabs).empty());
}

TEST_F(CommandBarViewModelTest, GroupsComeInOrderWithTheirCaps)
{
    for (int i = 0; i < 7; ++i)
        addTab("Garden tab " + std::to_string(i), "https://tab" + std::to_string(i) + ".example/");
    for (int i = 0; i < 7; ++i)
        addPage("Garden page " + std::to_string(i), "https://page" + std::to_string(i) + ".example/");
    for (int i = 0; i < 10; ++i)
        addSpace("Garden " + std::to_string(i));
    addSpace("Kitchen");

    auto results = search("garden");
    ASSERT_EQ(results.size(), 5u + 5u + 10u + 1u);
    EXPECT_EQ(results[0].title, "Garden tab 0");
    EXPECT_EQ(results[5].title, "Garden page 0");
    EXPECT_EQ(results[10].title, "Switch to Garden 0");
    EXPECT_EQ(results[10].subtitle, "Space");
    EXPECT_EQ(results[10].icon, "star.fill");
    EXPECT_EQ(std::get<SwitchToSpaceAction>(results[10].action).spaceId, m_spaces[0].id);
    EXPECT_EQ(results[19].title, "Switch to Garden 9");
    EXPECT_EQ(results.back().title, "Search \"garden\"");
    EXPECT_EQ(results.back().subtitle, "Google");
    EXPECT_EQ(results.back().icon, "magnifyingglass");
    EXPECT_EQ(std::get<SearchAction>(results.back().action).text, "garden");
}

TEST_F(CommandBarViewModelTest, TypedAddressComesFirstEvenBesideAnOpenTab)
{
    const Tab& open = addTab("Example", "https://example.com/");
    auto results = search("example.com");
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].icon, "globe");
    EXPECT_EQ(results[0].title, "Go to example.com");
    EXPECT_EQ(results[0].subtitle, "https://example.com");
    EXPECT_EQ(std::get<OpenURLAction>(results[0].action).url.string(), "https://example.com");
    EXPECT_EQ(std::get<SwitchToTabAction>(results[1].action).tabId, open.id);
    EXPECT_EQ(results[2].title, "Search \"example.com\"");

    // An address without a host shows its full text.
    auto about = search("about:blank");
    EXPECT_EQ(about[0].title, "Go to about:blank");
}

TEST_F(CommandBarViewModelTest, NothingToMatchLeavesOnlyTheSearch)
{
    EXPECT_EQ(titles(search("cats")), std::vector<std::string>{"Search \"cats\""});
    EXPECT_EQ(titles(search("cats.com")), (std::vector<std::string>{"Go to cats.com", "Search \"cats.com\""}));
}

TEST_F(CommandBarViewModelTest, BlankQueryIsMatchedLiterally)
{
    addTab("Two  spaces", "https://a.example/");
    addTab("One space", "https://b.example/");
    auto results = search("  ");
    EXPECT_EQ(titles(results), (std::vector<std::string>{"Two  spaces", "Search \"  \""}));
    EXPECT_EQ(std::get<SearchAction>(results.back().action).text, "  ");
}

TEST_F(CommandBarViewModelTest, TabTitleFallbacks)
{
    addTab("", "file:///home/me/notes.txt");
    addTab("", "https://example.org/page");
    auto results = search("");
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].title, "Untitled");
    EXPECT_FALSE(results[0].subtitle);
    EXPECT_EQ(results[1].title, "example.org");
    EXPECT_EQ(results[1].subtitle, "example.org");
}

TEST_F(CommandBarViewModelTest, SavedPageIconsAndSubtitles)
{
    addPage("Read later", "https://long.example/read", "Reading List");
    addPage("Kept", "https://keep.example/x", "Bookmarks");
    addPage("Elsewhere", "https://other.example/", "Some Collection");
    addPage("", "https://empty.example/title");
    addPage("Local file", "file:///tmp/file.html");
    auto results = search("e");

    ASSERT_EQ(results.size(), 6u);
    EXPECT_EQ(icons(results), (std::vector<std::string>{"book", "star", "star", "star", "star", "magnifyingglass"}));
    EXPECT_EQ(results[0].subtitle, "Reading List \u00B7 long.example");
    EXPECT_EQ(results[1].subtitle, "Bookmarks \u00B7 keep.example");
    EXPECT_EQ(results[3].title, ""); // no fallback for saved pages
    EXPECT_EQ(results[4].subtitle, "Bookmarks \u00B7 ");
    EXPECT_EQ(std::get<OpenURLAction>(results[0].action).url.string(), "https://long.example/read");
}

TEST_F(CommandBarViewModelTest, MatchingIgnoresLetterCaseBeyondAscii)
{
    addTab("école du soir", "https://a.example/");
    addSpace("STRASSE");
    addPage("Über uns", "https://b.example/");
    EXPECT_EQ(titles(search("ÉCOLE")), (std::vector<std::string>{"école du soir", "Search \"ÉCOLE\""}));
    EXPECT_EQ(titles(search("über")), (std::vector<std::string>{"Über uns", "Search \"über\""}));
    EXPECT_EQ(titles(search("strasse")), (std::vector<std::string>{"Switch to STRASSE", "Search \"strasse\""}));
}

} // namespace
} // namespace kovi
