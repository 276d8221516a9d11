// The history panel's sections, search, row texts and actions, without widgets.
#include "library_views_fixture.h"

#include "core/libraryviews/display_format.h"
#include "core/libraryviews/history_panel_model.h"


namespace kovi::test {
namespace {

class HistoryPanelModelTest : public LibraryViewsTest {
protected:
    HistoryItem visit(const std::string& address, const std::string& title, Date when,
                      std::optional<Uuid> space = std::nullopt)
    {
        HistoryItem item{Uuid::random(), url(address), title, when, std::nullopt,
                         space ? space : state->currentSpaceId()};
        return item;
    }
    // Replaces the history (newest first) and saves it, as the state's own operations do.
    void setHistory(std::vector<HistoryItem> items)
    {
        state->setHistory(std::move(items));
        state->saveHistory();
    }
    std::vector<std::string> shown(HistoryPanelModel& model)
    {
        std::vector<std::string> out;
        for (const auto& row : model.rows())
            out.push_back(row.isHeader ? row.header : model.itemAt(row).title);
        return out;
    }
};

using Rows = std::vector<std::string>;

TEST_F(HistoryPanelModelTest, VisitsAreGroupedByDayAndEveryVisitHasASection)
{
    // Now: 14 March 2024, 15:00. The day before yesterday at 20:00 is less than two days ago
    // but before yesterday began, so it is "Older" (Today, Yesterday and Older cover everything).
    setHistory({visit("https://a.example/", "Today late", localDate(2024, 3, 14, 14, 0)),
                visit("https://b.example/", "Today early", localDate(2024, 3, 14, 0, 1)),
                visit("https://c.example/", "Yesterday", localDate(2024, 3, 13, 23, 59)),
                visit("https://d.example/", "Day before, evening", localDate(2024, 3, 12, 20, 0)),
                visit("https://e.example/", "Last year", localDate(2023, 3, 14, 9, 0))});
    HistoryPanelModel model(*state);
    EXPECT_EQ(shown(model), (Rows{"TODAY", "Today late", "Today early", "YESTERDAY", "Yesterday", "OLDER",
                                  "Day before, evening", "Last year"}));

    // A section without visits has no header.
    setHistory({visit("https://c.example/", "Yesterday", localDate(2024, 3, 13, 10, 0))});
    EXPECT_EQ(shown(model), (Rows{"YESTERDAY", "Yesterday"}));
    setHistory({});
    EXPECT_TRUE(model.rows().empty());
    model.setSearchText("anything"); // a search always shows its header
    EXPECT_EQ(shown(model), Rows{"SEARCH RESULTS"});
}

TEST_F(HistoryPanelModelTest, SearchFindsTitleOrAddressLiterallyAndHidesTheDaySections)
{
    setHistory({visit("https://recipes.example/pancakes", "Weekend Breakfast", localDate(2024, 3, 14, 9, 0)),
                visit("https://news.example/", "C++ (draft) [v2] \"quoted\" \U0001F680 caf\u00E9",
                      localDate(2024, 3, 1, 9, 0)),
                visit("https://plain.example/", "Plain page", localDate(2024, 3, 13, 9, 0))});
    HistoryPanelModel model(*state);
    int changes = 0;
    model.rowsChanged.connect([&] { ++changes; });

    model.setSearchText("breakfast");
    EXPECT_EQ(shown(model), (Rows{"SEARCH RESULTS", "Weekend Breakfast"}));
    EXPECT_GT(changes, 0);
    model.setSearchText("PANCAKES"); // only in the address
    EXPECT_EQ(shown(model), (Rows{"SEARCH RESULTS", "Weekend Breakfast"}));
    model.setSearchText(" "); // blanks are a search too
    EXPECT_EQ(model.rows().size(), 4u);
    for (const std::string text : {"[v2]", "(draft)", "\"quoted\"", "\U0001F680", "CAF\u00C9"}) {
        model.setSearchText(text);
        EXPECT_EQ(model.rows().size(), 2u) << text;
    }
    for (const std::string& text : {std::string(".*"), std::string("P.ain"), std::string("^Plain"), std::string("a|b"), std::string(1000, 'a')}) {
        model.setSearchText(text);
        EXPECT_EQ(model.rows().size(), 1u) << text;
    }
    model.setSearchText("");
    EXPECT_EQ(shown(model)[0], "TODAY");
}

TEST_F(HistoryPanelModelTest, OnlyTheShownSpaceIsListedAndCleared)
{
    const Uuid first = *state->currentSpaceId();
    state->createNewSpace("Work", SpaceColor::red, "folder");
    const Uuid work = *state->currentSpaceId();
    setHistory({visit("https://work.example/", "Work", localDate(2024, 3, 14, 9, 0), work),
                visit("https://home.example/", "Home", localDate(2024, 3, 14, 8, 0), first)});
    HistoryPanelModel model(*state);
    EXPECT_EQ(shown(model), (Rows{"TODAY", "Work"}));
    state->setCurrentSpaceId(first); // the panel follows the shown space
    EXPECT_EQ(shown(model), (Rows{"TODAY", "Home"}));

    model.clearSpace();
    EXPECT_TRUE(model.rows().empty());
    ASSERT_EQ(state->history().size(), 1u);
    EXPECT_EQ(state->history()[0].title, "Work");
    EXPECT_NE(stateDir.read(BrowserState::historyFileName).find("work.example"), std::string::npos);
    EXPECT_EQ(stateDir.read(BrowserState::historyFileName).find("home.example"), std::string::npos);
}

TEST_F(HistoryPanelModelTest, RowActionsOpenAndDelete)
{
    setHistory({visit("https://a.example/page", "A page", localDate(2024, 3, 14, 9, 0)),
                visit("https://b.example/", "B", localDate(2024, 3, 14, 8, 0))});
    HistoryPanelModel model(*state);
    const HistoryItem a = state->history()[0];

    model.remove(a.id);
    EXPECT_EQ(shown(model), (Rows{"TODAY", "B"}));
    EXPECT_EQ(stateDir.read(BrowserState::historyFileName).find("a.example"), std::string::npos);

    // Opening makes a new tab of the shown space, titled by the page (the host until then).
    model.open(a);
    auto tab = state->activeTab();
    ASSERT_TRUE(tab);
    EXPECT_EQ(tab->url, a.url);
    EXPECT_EQ(tab->title, "a.example");
    EXPECT_EQ(tab->spaceId, state->currentSpaceId());

    state->setIsHistoryPanelVisible(true);
    model.close();
    EXPECT_FALSE(state->isHistoryPanelVisible());
}

TEST_F(HistoryPanelModelTest, RowTexts)
{
    HistoryItem item = visit("https://www.example.com/a", "", localDate(2024, 3, 14, 9, 5));
    EXPECT_EQ(historyRowTitle(item), "www.example.com");
    EXPECT_EQ(historyRowSubtitle(item), "www.example.com");
    item.url = url("about:blank");
    EXPECT_EQ(historyRowTitle(item), "Untitled");
    EXPECT_EQ(historyRowSubtitle(item), "about:blank");
    item.title = std::string(10'000, 'x') + "\U0001F680";
    EXPECT_LE(historyRowTitle(item).size(), 400u); // cut: the row shows one line anyway

    const Date now = localDate(2024, 3, 14, 15, 0);
    EXPECT_EQ(display::historyTime(localDate(2024, 3, 14, 9, 5), now), "9:05 AM");
    EXPECT_EQ(display::historyTime(localDate(2024, 3, 14, 0, 0), now), "12:00 AM");
    EXPECT_EQ(display::historyTime(localDate(2024, 3, 13, 23, 59), now), "Mar 13");
    EXPECT_EQ(display::historyTime(localDate(2023, 3, 14, 9, 5), now), "Mar 14"); // no year
}

TEST_F(HistoryPanelModelTest, AThousandLongTitledVisitsAreGroupedAndSearched)
{
    std::vector<HistoryItem> items;
    for (int i = 0; i < 1000; ++i) {
        HistoryItem item = visit("https://site" + std::to_string(i) + ".example/", std::string(10'000, 'a' + i % 26),
                                 localDate(2024, 3, 14, 14, 0).adding(-60.0 * i));
        item.favicon = Bytes{0x89, 'P', 'N', 'G', 0, 1};
        items.push_back(std::move(item));
    }
    setHistory(std::move(items));
    HistoryPanelModel model(*state);
    EXPECT_EQ(model.rows().size(), 1000u + 2u); // today and yesterday
    model.setSearchText("site99");
    EXPECT_EQ(model.rows().size(), 1u + 11u); // site99 and site990 to site999
    model.setSearchText("site999");
    EXPECT_EQ(model.rows().size(), 2u);
    model.setSearchText(std::string(10'000, 'c'));
    EXPECT_EQ(model.rows().size(), 1u + 1000u / 26u + 1u); // the titles of 'c', whole
}

} // namespace
} // namespace kovi::test
