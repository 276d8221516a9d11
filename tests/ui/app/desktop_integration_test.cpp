// What the desktop sees of the program: the application icon, found in the build tree as well as
// installed, on every window; and addresses handed over by the launcher, each opened in a tab.
#include "app_fixture.h"

#include <giomm/file.h>
#include <glibmm/convert.h>
#include <gtkmm/icontheme.h>

#include <algorithm>

namespace kovi::test {
namespace {

TEST(ApplicationIcon, EveryWindowNamesItAndTheBundledThemeHasItInColourAndSymbolic)
{
    TempDir dir;
    AppHarness h(dir.path());
    const std::string id = KoviApplication::applicationId;
    EXPECT_EQ(std::string(h.window().get_icon_name()), id);
    EXPECT_EQ(std::string(Gtk::Window::get_default_icon_name()), id);

    // Uninstalled, the icon comes from the bundle; a missing one would show as a broken image.
    auto theme = Gtk::IconTheme::get_for_display(h.window().get_display());
    for (const std::string& name : {id, id + "-symbolic"}) {
        auto icon = theme->lookup_icon(name, 128);
        ASSERT_TRUE(icon) << name;
        EXPECT_EQ(std::string(icon->get_icon_name()), name);
        auto file = icon->get_file();
        ASSERT_TRUE(file) << name;
        EXPECT_EQ(file->get_uri(), "resource:///app/kovi/Browser/icons/scalable/apps/" + name + ".svg");
    }
    EXPECT_FALSE(theme->lookup_icon(id, 128)->is_symbolic());
}

class OpenAddresses : public ::testing::Test {
protected:
    void SetUp() override { h = std::make_unique<AppHarness>(dir.path()); }
    BrowserState& state() { return h->ctx().state; }
    std::vector<std::string> tabUrls()
    {
        std::vector<std::string> urls;
        for (const auto& [id, tab] : state().tabs())
            urls.push_back(tab.url.string());
        std::sort(urls.begin(), urls.end());
        return urls;
    }
    void open(const std::vector<std::string>& uris)
    {
        std::vector<Glib::RefPtr<Gio::File>> files;
        for (const auto& uri : uris)
            files.push_back(Gio::File::create_for_uri(uri));
        h->app->open(files);
    }

    TempDir dir;
    std::unique_ptr<AppHarness> h;
};

TEST_F(OpenAddresses, EachOpensInANewTabOfTheCurrentSpaceTheLastShown)
{
    const std::string page = Glib::filename_to_uri(dir.path() + "/page.html");
    const std::vector<std::string> before = tabUrls();
    open({"http://127.0.0.1:9/first", page});
    std::vector<std::string> urls = tabUrls();
    ASSERT_EQ(urls.size(), before.size() + 2);
    EXPECT_NE(std::find(urls.begin(), urls.end(), "http://127.0.0.1:9/first"), urls.end());
    EXPECT_NE(std::find(urls.begin(), urls.end(), page), urls.end());
    ASSERT_TRUE(state().activeTabId());
    const Tab& active = state().tabs().at(*state().activeTabId());
    EXPECT_EQ(active.url.string(), page);
    EXPECT_EQ(active.spaceId, state().currentSpaceId());
    EXPECT_TRUE(h->window().get_visible());
}

TEST_F(OpenAddresses, SchemesThatRunScriptOrReachInsideAreRefused)
{
    const std::vector<std::string> before = tabUrls();
    const auto active = state().activeTabId();
    open({"javascript:alert(1)", "data:text/html,<script>alert(1)</script>", "about:config"});
    EXPECT_EQ(tabUrls(), before);
    EXPECT_EQ(state().activeTabId(), active);
}

} // namespace
} // namespace kovi::test
