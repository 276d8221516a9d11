// Every command of the menu, run through its action as the menu item or shortcut would run it.
#include "app_fixture.h"

#include "core/support/notification_names.h"
#include "ui/layouts/content_view.h"
#include "ui/layouts/traditional_browser_view.h"

#include <adwaita.h>

#include <set>

namespace kovi::test {
namespace {

class MenuCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        h = std::make_unique<AppHarness>(dir.path());
        ASSERT_TRUE(h->showBrowser());
    }
    BrowserState& state() { return h->ctx().state; }
    CommandActions& commands() { return h->app->commands(); }

    TempDir dir;
    std::unique_ptr<AppHarness> h;
};

TEST_F(MenuCommandsTest, CommandBarCommandsSetTheModeBeforeShowing)
{
    state().setCommandBarMode(BrowserState::CommandBarMode::tabs);
    commands().activate("new-tab");
    EXPECT_TRUE(state().isCommandBarVisible());
    EXPECT_EQ(state().commandBarMode(), BrowserState::CommandBarMode::all);

    state().setIsCommandBarVisible(false);
    commands().activate("switch-tabs");
    EXPECT_TRUE(state().isCommandBarVisible());
    EXPECT_EQ(state().commandBarMode(), BrowserState::CommandBarMode::tabs);

    // Toggle twice from hidden: opens in the general mode, closes, leaves the mode general.
    state().setIsCommandBarVisible(false);
    commands().activate("toggle-command-bar");
    EXPECT_TRUE(state().isCommandBarVisible());
    EXPECT_EQ(state().commandBarMode(), BrowserState::CommandBarMode::all);
    state().setCommandBarMode(BrowserState::CommandBarMode::tabs);
    commands().activate("toggle-command-bar");
    EXPECT_FALSE(state().isCommandBarVisible());
    EXPECT_EQ(state().commandBarMode(), BrowserState::CommandBarMode::all);
}

TEST_F(MenuCommandsTest, SpacesAreCreatedByCountAndSwitchedByNumberAndByName)
{
    commands().activate("new-space");
    ASSERT_EQ(state().spaces().size(), 2u);
    EXPECT_EQ(state().spaces()[1].name, "Space 2");
    EXPECT_EQ(state().spaces()[1].color, SpaceColor::blue);
    EXPECT_EQ(state().spaces()[1].icon, "folder");
    commands().activate("new-space");
    EXPECT_EQ(state().spaces()[2].name, "Space 3"); // by count, not by looking for gaps

    const Uuid first = state().spaces()[0].id, second = state().spaces()[1].id;
    commands().activate("space", Glib::Variant<int>::create(2));
    EXPECT_EQ(state().currentSpaceId(), second);
    commands().activate("space", Glib::Variant<int>::create(9)); // beyond the last: nothing
    EXPECT_EQ(state().currentSpaceId(), second);
    commands().activate("switch-to-space", Glib::Variant<Glib::ustring>::create(first.toString()));
    EXPECT_EQ(state().currentSpaceId(), first);

    const auto labels = commands().labels("Spaces");
    ASSERT_GE(labels.size(), 12u);
    EXPECT_EQ(labels[0], "Switch to " + state().spaces()[0].name);
    EXPECT_EQ(labels[2], "Switch to Space 3");
    EXPECT_EQ(labels[3], "Space 1");
    EXPECT_EQ(labels[11], "Space 9");
}

TEST_F(MenuCommandsTest, TabsAreClosedReopenedAndSelectedByPosition)
{
    const Uuid pinned = h->openTab("https://pinned.example/", "Pinned", true);
    const Uuid a = h->openTab("https://a.example/", "A");
    const Uuid b = h->openTab("https://b.example/", "B");
    ASSERT_EQ(state().activeTabId(), b);

    commands().activate("select-tab", Glib::Variant<int>::create(1));
    EXPECT_EQ(state().activeTabId(), pinned); // pinned tabs come first
    commands().activate("select-tab", Glib::Variant<int>::create(5));
    EXPECT_EQ(state().activeTabId(), b); // beyond the count: the last
    commands().activate("previous-tab");
    EXPECT_EQ(state().activeTabId(), a);
    commands().activate("next-tab");
    EXPECT_EQ(state().activeTabId(), b);

    commands().activate("close-tab");
    EXPECT_FALSE(state().tab(b).has_value());
    commands().activate("reopen-closed-tab");
    EXPECT_TRUE(state().tab(b).has_value());
    EXPECT_EQ(state().activeTabId(), b);

    // Nothing active: "Close Tab" is greyed out and closes nothing.
    state().setActiveTabId(std::nullopt);
    const auto count = state().tabs().size();
    commands().activate("close-tab");
    EXPECT_EQ(state().tabs().size(), count);
}

TEST_F(MenuCommandsTest, PageCommandsPostForTheActiveTab)
{
    NotificationProbe back(h->ctx().notifications, notifications::webViewGoBack);
    NotificationProbe forward(h->ctx().notifications, notifications::webViewGoForward);
    NotificationProbe reload(h->ctx().notifications, notifications::webViewReload);
    NotificationProbe zoomIn(h->ctx().notifications, notifications::webViewZoomIn);
    NotificationProbe zoomOut(h->ctx().notifications, notifications::webViewZoomOut);
    NotificationProbe zoomReset(h->ctx().notifications, notifications::webViewZoomReset);
    NotificationProbe pip(h->ctx().notifications, notifications::enterPictureInPicture);
    NotificationProbe devTools(h->ctx().notifications, notifications::toggleDevTools);

    commands().activate("go-back"); // no tab: greyed out, nothing posted
    EXPECT_EQ(back.count, 0);

    const Uuid tab = h->openTab("https://example.com/");
    state().updateTabNavigation(tab, true, true);
    for (const char* name : {"go-back", "go-forward", "reload", "zoom-in", "zoom-out", "zoom-reset",
                             "picture-in-picture", "toggle-dev-tools"})
        commands().activate(name);
    EXPECT_EQ(back.lastObject, tab);
    EXPECT_EQ(forward.lastObject, tab);
    EXPECT_EQ(reload.lastObject, tab);
    EXPECT_EQ(zoomIn.count, 1);
    EXPECT_EQ(zoomIn.lastObject, tab);
    EXPECT_EQ(zoomOut.lastObject, tab);
    EXPECT_EQ(zoomReset.lastObject, tab);
    EXPECT_EQ(pip.lastObject, tab);
    EXPECT_EQ(devTools.lastObject, tab);
    EXPECT_TRUE(state().isDevToolsEnabled());
}

TEST_F(MenuCommandsTest, ViewTogglesAndTheirChangingTitles)
{
    state().setIsBrowserBezelEnabled(true);
    auto view = commands().labels("View");
    EXPECT_EQ(view[1], "Disable Browser Bezel");
    commands().activate("toggle-bezel");
    EXPECT_FALSE(state().isBrowserBezelEnabled());
    EXPECT_EQ(h->ctx().defaults.boolValue("isBrowserBezelEnabled"), false);
    EXPECT_EQ(commands().labels("View")[1], "Enable Browser Bezel");

    h->openTab("https://a.example/");
    h->openTab("https://b.example/");
    EXPECT_EQ(commands().labels("View")[3], "Open Split View");
    commands().activate("toggle-split-view");
    EXPECT_TRUE(state().splitViewConfig().isEnabled);
    EXPECT_EQ(commands().labels("View")[3], "Close Split View");

    commands().activate("find-in-page");
    EXPECT_TRUE(state().isFindInPageVisible());
    commands().activate("show-history");
    commands().activate("show-downloads");
    commands().activate("ai-chat");
    commands().activate("toggle-max-settings");
    EXPECT_TRUE(state().isHistoryPanelVisible());
    EXPECT_TRUE(state().isDownloadsPanelVisible());
    EXPECT_TRUE(state().isAIChatVisible());
    EXPECT_TRUE(state().isKoviMaxSettingsVisible());
    commands().activate("show-history"); // open beneath the others: it comes to the top
    EXPECT_TRUE(state().isHistoryPanelVisible());
    EXPECT_EQ(state().topPanel(), BrowserState::Panel::history);
    commands().activate("show-history");
    commands().activate("toggle-max-settings");
    EXPECT_FALSE(state().isHistoryPanelVisible());
    EXPECT_FALSE(state().isKoviMaxSettingsVisible());
    commands().activate("open-max-settings");
    commands().activate("open-max-settings");
    EXPECT_TRUE(state().isKoviMaxSettingsVisible()); // sets, never toggles

    view = commands().labels("View");
    EXPECT_EQ(view[10], "Switch to Horizontal Tabs");
    EXPECT_EQ(view[11], "Zoom In");
    EXPECT_EQ(view[12], "Zoom Out");
}

TEST_F(MenuCommandsTest, LayoutCommandsAndTheWindowButtons)
{
    NotificationProbe layoutChanged(h->ctx().notifications, notifications::layoutModeChanged);
    EXPECT_FALSE(h->window().windowButtonsVisible());

    // Each change is announced once, whichever command makes it; the buttons follow the layout.
    commands().activate("toggle-layout");
    EXPECT_EQ(state().layoutMode(), BrowserLayoutMode::traditional);
    EXPECT_EQ(layoutChanged.count, 1);
    EXPECT_TRUE(h->window().windowButtonsVisible());
    EXPECT_EQ(commands().labels("View")[10], "Switch to Vertical Tabs");
    // The horizontal layout itself, not the sidebar layout with buttons over it.
    EXPECT_EQ(h->root().contentView(), nullptr);
    EXPECT_NE(h->root().traditionalView(), nullptr);

    commands().activate("browser-layout", Glib::Variant<Glib::ustring>::create("vertical"));
    EXPECT_EQ(state().layoutMode(), BrowserLayoutMode::vertical);
    EXPECT_EQ(layoutChanged.count, 2);
    EXPECT_FALSE(h->window().windowButtonsVisible());
    EXPECT_EQ(Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(commands().action("browser-layout")->get_state_variant()).get(), "vertical");
    commands().activate("browser-layout", Glib::Variant<Glib::ustring>::create("vertical"));
    EXPECT_EQ(layoutChanged.count, 2) << "the shown layout chosen again is no change";
    commands().activate("browser-layout", Glib::Variant<Glib::ustring>::create("traditional"));
    EXPECT_TRUE(h->window().windowButtonsVisible());
    EXPECT_EQ(h->ctx().defaults.stringValue("browserLayoutMode"), "traditional");
}

TEST_F(MenuCommandsTest, BookmarkCommandsAreEnabledForWebPagesOnly)
{
    EXPECT_FALSE(commands().isEnabled("bookmark-page"));
    EXPECT_FALSE(commands().isEnabled("save-workspace")); // a space with no tabs

    h->openTab("file:///tmp/notes.txt", "Notes");
    EXPECT_FALSE(commands().isEnabled("bookmark-page"));
    EXPECT_FALSE(commands().isEnabled("add-to-reading-list"));
    EXPECT_TRUE(commands().isEnabled("save-workspace"));

    h->openTab("https://example.com/page", "");
    state().updateTabTitle(*state().activeTabId(), "");
    EXPECT_TRUE(commands().isEnabled("bookmark-page"));
    commands().activate("bookmark-page");
    commands().activate("add-to-reading-list");
    commands().activate("bookmark-page"); // already saved there: ignored by the library
    const auto& pages = h->ctx().library.archive().pages;
    ASSERT_EQ(pages.size(), 2u);
    std::set<std::string> collections{pages[0].collection, pages[1].collection};
    EXPECT_EQ(collections, (std::set<std::string>{"Bookmarks", "Reading List"}));
    EXPECT_EQ(pages[0].title, "example.com"); // an empty title falls back to the host

    commands().activate("show-library");
    EXPECT_TRUE(state().isLibraryVisible());
    commands().activate("page-extensions");
    EXPECT_TRUE(state().isExtensionsVisible());

    EXPECT_FALSE(h->ctx().defaults.contains("showBookmarksBar"));
    commands().activate("toggle-bookmarks-bar");
    EXPECT_EQ(h->ctx().defaults.boolValue("showBookmarksBar"), true);
    commands().activate("toggle-bookmarks-bar");
    EXPECT_EQ(h->ctx().defaults.boolValue("showBookmarksBar"), false);
}

TEST_F(MenuCommandsTest, AppearanceCommandsMarkTheCurrentChoice)
{
    auto stateOf = [&](const char* name) { return commands().action(name)->get_state_variant(); };
    commands().activate("appearance", Glib::Variant<Glib::ustring>::create("light"));
    EXPECT_FALSE(h->ctx().appearance.isDarkMode());
    EXPECT_EQ(Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(stateOf("appearance")).get(), "light");
    EXPECT_TRUE(h->window().has_css_class("kovi-light"));

    commands().activate("glass");
    EXPECT_TRUE(h->ctx().appearance.isGlassEnabled());
    EXPECT_TRUE(Glib::VariantBase::cast_dynamic<Glib::Variant<bool>>(stateOf("glass")).get());
    EXPECT_TRUE(h->window().has_css_class("kovi-glass"));

    // Changed elsewhere (settings window, sidebar): the marks follow.
    h->ctx().appearance.setIsDarkMode(true);
    EXPECT_EQ(Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(stateOf("appearance")).get(), "dark");
    EXPECT_TRUE(h->window().has_css_class("kovi-dark"));
}

TEST_F(MenuCommandsTest, AboutOpensTheAboutWindowOverTheBrowser)
{
    commands().activate("about");
    AdwAboutWindow* about = nullptr;
    ASSERT_TRUE(runUntilGtk([&] {
        for (auto* w : Gtk::Window::list_toplevels()) {
            if (ADW_IS_ABOUT_WINDOW(w->gobj()))
                about = ADW_ABOUT_WINDOW(w->gobj());
        }
        return about != nullptr;
    }));
    EXPECT_STREQ(adw_about_window_get_application_name(about), "Kovi");
    EXPECT_STREQ(adw_about_window_get_version(about), KOVI_VERSION);
    EXPECT_STREQ(adw_about_window_get_application_icon(about), KoviApplication::applicationId);
    EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(about)), GTK_WINDOW(h->window().gobj()));
    gtk_window_destroy(GTK_WINDOW(about));
}

TEST_F(MenuCommandsTest, TheMenuHasEveryMenuInOrder)
{
    auto menu = commands().menu();
    std::vector<std::string> titles;
    for (int i = 0; i < menu->get_n_items(); ++i) {
        auto label = menu->get_item_attribute(i, Gio::MenuModel::Attribute::LABEL, Glib::VariantType("s"));
        titles.push_back(Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(label).get());
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"Kovi", "File", "Edit", "View", "Bookmarks", "Spaces", "Tabs", "Settings"}));
    EXPECT_EQ(commands().labels("Bookmarks").back(), "Page Extensions\u2026");
    EXPECT_EQ(commands().labels("Settings"),
              (std::vector<std::string>{"Check for Updates...", "Browser Layout", "Appearance", "Kovi Max Settings...",
                                        "Settings..."}));
    EXPECT_EQ(commands().labels("Edit"), (std::vector<std::string>{"Go Back", "Go Forward", "Reload"}));
}

// "Space 3" to "Space 9" were offered with two spaces, and zooming in had two items.
TEST_F(MenuCommandsTest, SpaceItemsAreGreyedOutUntilTheirSpaceExistsAndZoomInIsOneItem)
{
    struct Item {
        std::string label, action;
        Glib::VariantBase target;
        std::string accel;
    };
    std::function<void(const Glib::RefPtr<Gio::MenuModel>&, std::vector<Item>&)> collect =
        [&](const Glib::RefPtr<Gio::MenuModel>& model, std::vector<Item>& out) {
            for (int i = 0; i < model->get_n_items(); ++i) {
                if (auto section = model->get_item_link(i, Gio::MenuModel::Link::SECTION)) {
                    collect(section, out);
                    continue;
                }
                auto text = [&](Gio::MenuModel::Attribute attribute) {
                    auto value = model->get_item_attribute(i, attribute, Glib::VariantType("s"));
                    return value ? std::string(Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(value).get())
                                 : std::string();
                };
                gchar* accel = nullptr;
                g_menu_model_get_item_attribute(model->gobj(), i, "accel", "s", &accel);
                out.push_back({text(Gio::MenuModel::Attribute::LABEL), text(Gio::MenuModel::Attribute::ACTION),
                               model->get_item_attribute(i, Gio::MenuModel::Attribute::TARGET, Glib::VariantType("i")),
                               accel ? accel : ""});
                g_free(accel);
            }
        };
    auto menu = [&](const std::string& title) {
        auto top = commands().menu();
        std::vector<Item> items;
        for (int i = 0; i < top->get_n_items(); ++i) {
            auto label = top->get_item_attribute(i, Gio::MenuModel::Attribute::LABEL, Glib::VariantType("s"));
            if (Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(label).get().raw() == title)
                collect(top->get_item_link(i, Gio::MenuModel::Link::SUBMENU), items);
        }
        return items;
    };
    // Whether the menu offers "Space n", and that it runs Space n.
    auto offered = [&](int n) {
        for (const Item& item : menu("Spaces")) {
            if (item.label != "Space " + std::to_string(n))
                continue;
            auto action = h->app->lookup_action(item.action.substr(4));
            const bool runsIt = item.action == "app.space" && item.target &&
                                Glib::VariantBase::cast_dynamic<Glib::Variant<int>>(item.target).get() == n;
            return action && action->get_enabled() && runsIt;
        }
        ADD_FAILURE() << "no item Space " << n;
        return false;
    };

    commands().activate("new-space");
    ASSERT_EQ(state().spaces().size(), 2u);
    for (int n = 1; n <= 9; ++n)
        EXPECT_EQ(offered(n), n <= 2) << "Space " << n;
    commands().activate("new-space");
    EXPECT_TRUE(offered(3)) << "follows the spaces";
    EXPECT_FALSE(offered(4));

    int zoomIn = 0;
    for (const Item& item : menu("View")) {
        if (item.label.rfind("Zoom In", 0) == 0) {
            ++zoomIn;
            EXPECT_EQ(item.action, "app.zoom-in");
            EXPECT_EQ(item.accel, "<Control>equal") << "the command's own key, not the keypad's";
        }
    }
    EXPECT_EQ(zoomIn, 1);
}

TEST_F(MenuCommandsTest, EachCommandKeepsItsOwnKeyFirstAndTheDesktopsKeysAfter)
{
    // The first key of each is the command's own (the one menus show); the
    // desktop's usual keys follow it.
    auto accels = [&](const std::string& action) { return h->app->commands().keys(action); };
    auto first = [&](const std::string& action) {
        auto list = accels(action);
        return list.empty() ? std::vector<std::string>{} : std::vector<std::string>{list.front()};
    };
    EXPECT_EQ(first("app.new-tab"), std::vector<std::string>{"<Control>t"});
    EXPECT_EQ(accels("app.new-space"), std::vector<std::string>{"<Control><Shift>n"});
    EXPECT_EQ(accels("app.toggle-bezel"), std::vector<std::string>{"<Control><Alt>b"});
    EXPECT_EQ(accels("app.go-back"), (std::vector<std::string>{"<Control>bracketleft", "<Alt>Left"}));
    EXPECT_EQ(accels("app.next-tab"),
              (std::vector<std::string>{"<Control><Alt>Right", "<Control>Tab", "<Control>Page_Down"}));
    EXPECT_EQ(accels("app.zoom-in"), (std::vector<std::string>{"<Control>equal", "<Control>plus", "<Control>KP_Add"}));
    EXPECT_EQ(accels("app.select-tab(3)"), std::vector<std::string>{"<Control>3"});
    EXPECT_EQ(accels("app.space(2)"), std::vector<std::string>{"<Control><Alt>2"});
    EXPECT_EQ(accels("app.settings"), std::vector<std::string>{"<Control>comma"});
    EXPECT_EQ(accels("app.quit"), std::vector<std::string>{"<Control>q"});
}

} // namespace
} // namespace kovi::test
