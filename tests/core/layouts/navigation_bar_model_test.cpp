// The navigation bar's address text and submission on a real browser state.
#include "core/app/browser_core.h"
#include "core/layouts/navigation_bar_model.h"
#include "core/state/browser_state.h"
#include "core/support/notification_center.h"
#include "core/support/notification_names.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace kovi::test {
namespace {

class NavigationBarModelTest : public ::testing::Test {
protected:
    NavigationBarModelTest()
    {
        probe = core.notifications().observe(notifications::webViewNavigate, [this](const Notification& n) {
            ++navigations;
            object = n.object;
            if (auto it = n.userInfo.find("url"); it != n.userInfo.end())
                url = std::get<Url>(it->second).string();
        });
    }
    ~NavigationBarModelTest() override { probe.disconnect(); }
    Uuid open(const std::string& address)
    {
        Tab tab(Uuid::random(), *Url::parse(address), std::string("t"), false, false, state.currentSpaceId(),
                std::nullopt);
        state.addTab(tab);
        return tab.id;
    }
    NavigationBarModel::Outcome submit(const std::string& text)
    {
        bar.setUrlText(text);
        return bar.navigate();
    }

    TempDir dir;
    BrowserCore core{{.dataDirectory = dir.path(), .defaultsPath = "", .updateFeedUrl = "http://127.0.0.1:9/"}};
    BrowserState& state = core.state();
    NavigationBarModel bar{state, core.notifications()};
    sigc::connection probe;
    int navigations = 0;
    std::optional<Uuid> object;
    std::string url;
};

TEST_F(NavigationBarModelTest, TextFollowsTheActiveTabAndStaysWhenNoneIsLeft)
{
    const Uuid a = open("https://a.example/x");
    EXPECT_EQ(bar.urlText(), "https://a.example/x");
    EXPECT_TRUE(bar.isSecure());
    bar.setUrlText("half typ"); // typing is replaced by a switch of tab
    const Uuid b = open("http://b.example/");
    EXPECT_EQ(bar.urlText(), "http://b.example/");
    EXPECT_FALSE(bar.isSecure());
    state.updateTabURL(b, *Url::parse("http://b.example/next"));
    EXPECT_EQ(bar.urlText(), "http://b.example/next");
    state.updateTabNavigation(b, true, false);
    EXPECT_TRUE(bar.canGoBack());
    EXPECT_FALSE(bar.canGoForward());
    state.removeTab(b);
    EXPECT_EQ(bar.urlText(), "https://a.example/x");
    state.removeTab(a);
    EXPECT_EQ(bar.urlText(), "https://a.example/x");
    EXPECT_FALSE(bar.isSecure());
    EXPECT_FALSE(bar.canGoBack());
}

TEST_F(NavigationBarModelTest, AddressesLoadInTheActiveTabOrOpenOne)
{
    EXPECT_EQ(submit("127.0.0.1:8080/page"), NavigationBarModel::Outcome::openedTab);
    ASSERT_TRUE(state.activeTab());
    EXPECT_EQ(state.activeTab()->url.string(), "http://127.0.0.1:8080/page");
    const Uuid active = *state.activeTabId();
    EXPECT_EQ(submit("  example.com \n"), NavigationBarModel::Outcome::navigated);
    EXPECT_EQ(object, active);
    EXPECT_EQ(url, "https://example.com");
    EXPECT_EQ(state.tabs().size(), 1u);
}

TEST_F(NavigationBarModelTest, BlanksDoNothingAndOtherTextIsSearched)
{
    open("https://a.example/");
    EXPECT_EQ(submit(""), NavigationBarModel::Outcome::nothing);
    EXPECT_EQ(submit(" \t\n "), NavigationBarModel::Outcome::nothing);
    EXPECT_EQ(navigations, 0);
    EXPECT_EQ(submit("recipe: pancakes"), NavigationBarModel::Outcome::navigated);
    EXPECT_EQ(url.rfind("https://www.google.com/search?q=", 0), 0u) << url;
    // Script text is never loaded as an address.
    EXPECT_EQ(submit("javascript:alert(1)"), NavigationBarModel::Outcome::navigated);
    EXPECT_EQ(url.rfind("https://www.google.com/search?q=javascript", 0), 0u) << url;
    const std::string longText(10000, 'k');
    EXPECT_EQ(submit(longText + " words"), NavigationBarModel::Outcome::navigated);
    EXPECT_EQ(url.rfind("https://www.google.com/search?q=kkk", 0), 0u);
    EXPECT_EQ(navigations, 3);
    EXPECT_EQ(bar.urlText(), longText + " words") << "the text stays until the tab's address changes";
}

} // namespace
} // namespace kovi::test
