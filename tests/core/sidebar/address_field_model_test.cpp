#include "core/sidebar/address_field_model.h"
#include "sidebar_fixture.h"

#include <gtest/gtest.h>

namespace kovi::test {
namespace {

// A browser without a browser: records what the address field asks of it.
class FakeHost final : public AddressFieldHost {
public:
    std::optional<Tab> activeTab() const override { return active; }
    std::optional<Uuid> currentSpaceId() const override { return space; }
    void setActiveTabId(const Uuid& id) override { switchedTo = id; }
    void updateTabURL(const Uuid& id, const Url& url) override { updated.emplace_back(id, url); }
    void addTab(Tab tab) override { added.push_back(tab); }
    void postNavigate(const Uuid& id, const Url& url) override { navigated.emplace_back(id, url); }
    void requestSuggestions(const OmniboxInput& input, Deliver deliver) override
    {
        requests.push_back(input);
        lastDeliver = deliver;
        deliver(localAnswer);
    }
    void cancelSuggestionSearch() override { ++cancels; }
    void setSidebarVisible(bool v) override { visible = v; }
    void setInteractionLocked(bool l) override { locked = l; }

    std::optional<Tab> active;
    Uuid space = Uuid::random();
    std::optional<Uuid> switchedTo;
    std::vector<std::pair<Uuid, Url>> updated, navigated;
    std::vector<Tab> added;
    std::vector<OmniboxInput> requests;
    Deliver lastDeliver;
    std::vector<OmniboxMatch> localAnswer;
    int cancels = 0;
    bool visible = false, locked = false;
};

OmniboxMatch match(std::string title, OmniboxAction action, OmniboxMatchType type = OmniboxMatchType::historyURL)
{
    OmniboxMatch m;
    m.id = Uuid::random();
    m.title = std::move(title);
    m.action = std::move(action);
    m.type = type;
    return m;
}

class AddressFieldTest : public ::testing::Test {
protected:
    AddressFieldTest()
    {
        Tab tab(Uuid::random(), testUrl("https://news.example/today"), std::nullopt, false, false, host.space, std::nullopt);
        host.active = tab;
        host.localAnswer = {match("one", OpenURLAction{testUrl("https://one.example/")}),
                            match("two", SwitchToTabAction{other}, OmniboxMatchType::openTab),
                            match("three", SearchAction{"three words"})};
    }
    // Runs the hop that hands deliveries to the list.
    void settle() { hop.fire(); }

    FakeHost host;
    ManualDelayedTask debounce, hop;
    AddressFieldModel model{host, debounce, hop};
    Uuid other = Uuid::random();
};

TEST_F(AddressFieldTest, BeginningFillsTheTextLocksAndAsksAtOnce)
{
    int selectAll = 0;
    model.selectAllRequested.connect([&] { ++selectAll; });
    model.beginEditing();
    EXPECT_TRUE(model.isEditing());
    EXPECT_EQ(model.text(), "https://news.example/today");
    EXPECT_TRUE(host.locked);
    EXPECT_TRUE(host.visible);
    EXPECT_EQ(selectAll, 1);
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0].eventType, OmniboxEventType::focus);
    EXPECT_TRUE(model.suggestions().empty()) << "deliveries wait for the next turn of the loop";
    settle();
    EXPECT_TRUE(model.showSuggestions());
}

TEST_F(AddressFieldTest, TypingIsDebouncedIntoOneTrimmedRequest)
{
    model.beginEditing();
    settle();
    model.handleKey(AddressFieldModel::Key::down);
    model.setText("  ab");
    EXPECT_EQ(model.selectedIndex(), 0) << "every keystroke resets the selection";
    model.setText("  abc\n");
    EXPECT_EQ(host.requests.size(), 1u);
    EXPECT_DOUBLE_EQ(debounce.seconds(), 0.06);
    debounce.fire();
    ASSERT_EQ(host.requests.size(), 2u);
    EXPECT_EQ(host.requests[1].text, "abc");
    EXPECT_EQ(host.requests[1].eventType, OmniboxEventType::keystroke);
}

TEST_F(AddressFieldTest, ArrowsMoveWithinTheListAndPassOnWhenHidden)
{
    EXPECT_FALSE(model.handleKey(AddressFieldModel::Key::up));
    EXPECT_FALSE(model.handleKey(AddressFieldModel::Key::down));
    EXPECT_FALSE(model.handleKey(AddressFieldModel::Key::escape)) << "Escape is not consumed while collapsed";
    model.beginEditing();
    settle();
    EXPECT_TRUE(model.handleKey(AddressFieldModel::Key::up));
    EXPECT_EQ(model.selectedIndex(), 0);
    for (int i = 0; i < 5; ++i)
        model.handleKey(AddressFieldModel::Key::down);
    EXPECT_EQ(model.selectedIndex(), 2);
    // A shorter delivery clamps the selection; an empty one hides the list.
    host.lastDeliver({host.localAnswer[0]});
    settle();
    EXPECT_EQ(model.selectedIndex(), 0);
    host.lastDeliver({});
    settle();
    EXPECT_FALSE(model.showSuggestions());
    EXPECT_FALSE(model.handleKey(AddressFieldModel::Key::down));
}

TEST_F(AddressFieldTest, ReturnTakesTheSelectedSuggestion)
{
    model.beginEditing();
    settle();
    model.submit(); // first row: an address in the active tab
    ASSERT_EQ(host.navigated.size(), 1u);
    EXPECT_EQ(host.navigated[0].second.string(), "https://one.example/");
    EXPECT_EQ(host.updated.size(), 1u);
    EXPECT_FALSE(model.isEditing());
    EXPECT_FALSE(host.locked);

    model.beginEditing();
    settle();
    model.handleKey(AddressFieldModel::Key::down);
    model.submit(); // an open tab: switch, load nothing
    EXPECT_EQ(host.switchedTo, other);
    EXPECT_EQ(host.navigated.size(), 1u);

    model.beginEditing();
    settle();
    model.executeSuggestion(model.suggestions()[2]);
    ASSERT_EQ(host.navigated.size(), 2u);
    EXPECT_EQ(host.navigated[1].second, URLParser().searchURL("three words"));
}

// Regression: text typed and entered faster than its suggestions arrived opened the first
// suggestion of the text before (the page already shown), so the typed address was lost.
TEST_F(AddressFieldTest, ReturnBeforeTheTypedTextsSuggestionsOpensTheTypedText)
{
    model.beginEditing();
    settle();
    model.setText("localhost:8765/two");
    model.submit();
    ASSERT_EQ(host.navigated.size(), 1u);
    EXPECT_EQ(host.navigated[0].second.string(), "http://localhost:8765/two");

    // A row of the older list picked with the arrows is still what the user chose.
    model.beginEditing();
    settle();
    model.setText("other");
    model.handleKey(AddressFieldModel::Key::down);
    model.submit();
    EXPECT_EQ(host.switchedTo, other);
}

TEST_F(AddressFieldTest, TypedTextOpensAnAddressOrASearchAndANewTabWithoutOne)
{
    host.localAnswer.clear();
    model.beginEditing();
    settle();
    model.setText("   ");
    model.submit();
    EXPECT_FALSE(model.isEditing());
    EXPECT_TRUE(host.navigated.empty()) << "blank text opens nothing";

    host.active.reset();
    model.beginEditing();
    model.setText("example.org");
    model.submit();
    ASSERT_EQ(host.added.size(), 1u);
    EXPECT_EQ(host.added[0].url.string(), "https://example.org");
    EXPECT_EQ(host.added[0].spaceId, host.space);
    EXPECT_FALSE(host.added[0].folderId);
}

TEST_F(AddressFieldTest, LeavingDropsTheListAndLateAnswers)
{
    model.beginEditing();
    settle();
    auto late = host.lastDeliver;
    model.setText("typed");
    EXPECT_TRUE(model.handleKey(AddressFieldModel::Key::escape));
    EXPECT_FALSE(model.isEditing());
    EXPECT_EQ(model.text(), "https://news.example/today") << "cancel restores the page's address";
    EXPECT_TRUE(model.suggestions().empty());
    EXPECT_GE(host.cancels, 1);
    EXPECT_FALSE(debounce.isPending());
    late({host.localAnswer[0]});
    settle();
    EXPECT_TRUE(model.suggestions().empty()) << "an answer for the ended session is dropped";

    // Losing focus while editing cancels; losing it while collapsed does nothing.
    model.beginEditing();
    model.focusChanged(false);
    EXPECT_FALSE(model.isEditing());
    EXPECT_FALSE(host.locked);
}

TEST_F(AddressFieldTest, TheTextFollowsTheActiveTabOnlyWhileCollapsed)
{
    model.sidebarShown();
    EXPECT_EQ(model.text(), "https://news.example/today");
    host.active->url = testUrl("https://moved.example/");
    model.activeTabChanged();
    EXPECT_EQ(model.text(), "https://moved.example/");
    model.beginEditing();
    model.setText("half typed");
    host.active->url = testUrl("https://third.example/");
    model.activeTabChanged();
    EXPECT_EQ(model.text(), "half typed");
}

} // namespace
} // namespace kovi::test
