// The command table on a real browser state: what each command does, the rules that enable,
// check and title it, the menus, and who gets a shortcut while a panel is open.
#include "core/app/browser_core.h"
#include "core/commands/command_ids.h"
#include "core/commands/command_table.h"
#include "core/library/browser_library.h"
#include "core/settings/shortcut_rows.h"
#include "core/settings/appearance_manager.h"
#include "core/state/browser_state.h"
#include "core/support/defaults.h"
#include "core/support/notification_center.h"
#include "core/support/notification_names.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace kovi::test {
namespace {

namespace c = kovi::commands;

class CommandTableTest : public ::testing::Test {
protected:
    CommandTableTest()
    {
        hooks.showAbout = [this] { ++aboutShown; };
        hooks.quit = [this] { ++quits; };
        table = std::make_unique<CommandTable>(
            CommandTable::Services{state, appearance, library, notifications, preferences, nullptr}, hooks);
        table->changed.connect([this] { ++changes; });
        table->menuEntriesChanged.connect([this] { ++entryChanges; });
    }

    Uuid open(const std::string& address, const std::string& title = "", bool pinned = false)
    {
        Tab tab(Uuid::random(), *Url::parse(address), title.empty() ? std::nullopt : std::optional<std::string>(title),
                pinned, false, state.currentSpaceId(), std::nullopt);
        state.addTab(tab);
        return tab.id;
    }
    // Counts the posts of one notification name and keeps the last object.
    struct Probe {
        Probe(NotificationCenter& center, const char* name)
            : connection(center.observe(name, [this](const Notification& n) {
                  ++count;
                  object = n.object;
              }))
        {
        }
        ~Probe() { connection.disconnect(); }
        int count = 0;
        std::optional<Uuid> object;
        sigc::connection connection;
    };

    TempDir dir;
    BrowserCore core{{.dataDirectory = dir.path(), .defaultsPath = "", .updateFeedUrl = "http://127.0.0.1:9/"}};
    Defaults& defaults = core.defaults(); // in memory
    Preferences& preferences = core.preferences();
    NotificationCenter& notifications = core.notifications();
    BrowserLibrary& library = core.library();
    BrowserState& state = core.state();
    AppearanceManager& appearance = core.appearance();
    CommandTable::Hooks hooks;
    std::unique_ptr<CommandTable> table;
    int aboutShown = 0, quits = 0, changes = 0, entryChanges = 0;
};

TEST_F(CommandTableTest, CommandBarOpenersSetTheModeBeforeShowingTheBar)
{
    // The bar reads its mode when it appears: the mode must already be set then.
    std::vector<BrowserState::CommandBarMode> modeWhenShown;
    state.isCommandBarVisibleChanged.connect([&] {
        if (state.isCommandBarVisible())
            modeWhenShown.push_back(state.commandBarMode());
    });
    ASSERT_TRUE(table->run(c::switchTabs));
    state.setIsCommandBarVisible(false);
    ASSERT_TRUE(table->run(c::newTab));
    EXPECT_EQ(modeWhenShown, (std::vector{BrowserState::CommandBarMode::tabs, BrowserState::CommandBarMode::all}));

    // Toggled twice from hidden: opens in the general mode, closes, and leaves that mode.
    state.setIsCommandBarVisible(false);
    state.setCommandBarMode(BrowserState::CommandBarMode::tabs);
    table->run(c::toggleCommandBar);
    EXPECT_TRUE(state.isCommandBarVisible());
    EXPECT_EQ(state.commandBarMode(), BrowserState::CommandBarMode::all);
    state.setCommandBarMode(BrowserState::CommandBarMode::tabs);
    table->run(c::toggleCommandBar);
    EXPECT_FALSE(state.isCommandBarVisible());
    EXPECT_EQ(state.commandBarMode(), BrowserState::CommandBarMode::all);
}

TEST_F(CommandTableTest, TitlesThatChangeFollowTheStateAndAreReported)
{
    state.setIsBrowserBezelEnabled(true);
    EXPECT_EQ(table->labels("View")[1], "Disable Browser Bezel");
    const int before = changes;
    table->run(c::toggleBezel);
    EXPECT_GT(changes, before);
    EXPECT_EQ(table->labels("View")[1], "Enable Browser Bezel");
    EXPECT_EQ(defaults.boolValue("isBrowserBezelEnabled"), false);

    // Split view is offered once there is a second tab to show (before, it did nothing).
    open("https://a.example/");
    EXPECT_FALSE(table->isEnabled(c::toggleSplitView));
    open("https://b.example/");
    EXPECT_EQ(table->labels("View")[3], "Open Split View");
    EXPECT_TRUE(table->isEnabled(c::toggleSplitView));
    table->run(c::toggleSplitView);
    EXPECT_EQ(table->labels("View")[3], "Close Split View");
    EXPECT_TRUE(table->isEnabled(c::toggleSplitView));

    Probe layoutChanged(notifications, notifications::layoutModeChanged);
    EXPECT_EQ(table->labels("View")[10], "Switch to Horizontal Tabs");
    table->run(c::toggleLayout);
    EXPECT_EQ(state.layoutMode(), BrowserLayoutMode::traditional);
    EXPECT_EQ(table->labels("View")[10], "Switch to Vertical Tabs");
    EXPECT_EQ(layoutChanged.count, 1);
    EXPECT_EQ(table->command(c::browserLayout)->currentState(), CommandState(std::string("traditional")));

    // The state announces each change once, whoever makes it; choosing the shown layout is none.
    table->run(c::browserLayout, std::string("vertical"));
    table->run(c::browserLayout, std::string("vertical"));
    EXPECT_EQ(layoutChanged.count, 2);
    EXPECT_EQ(state.layoutMode(), BrowserLayoutMode::vertical);
    table->run(c::browserLayout, std::string("diagonal")); // no such layout: nothing
    EXPECT_EQ(layoutChanged.count, 2);
    EXPECT_EQ(state.layoutMode(), BrowserLayoutMode::vertical);
    state.setLayoutMode(BrowserLayoutMode::traditional);
    EXPECT_EQ(layoutChanged.count, 3);
}

TEST_F(CommandTableTest, SavingCommandsAreEnabledForWebPagesAndWorkspacesWithTabs)
{
    EXPECT_FALSE(table->isEnabled(c::bookmarkPage));
    EXPECT_FALSE(table->isEnabled(c::saveWorkspace)) << "a space with no tabs";
    open("file:///tmp/notes.txt", "Notes");
    EXPECT_FALSE(table->isEnabled(c::bookmarkPage));
    EXPECT_FALSE(table->isEnabled(c::addToReadingList));
    EXPECT_FALSE(table->isEnabled(c::toggleBookmark));
    EXPECT_TRUE(table->isEnabled(c::saveWorkspace));
    EXPECT_FALSE(table->run(c::bookmarkPage)) << "a disabled command does not run";
    EXPECT_TRUE(library.archive().pages.empty());

    open("https://example.com/page");
    EXPECT_TRUE(table->isEnabled(c::bookmarkPage));
    table->run(c::bookmarkPage);
    table->run(c::addToReadingList);
    table->run(c::bookmarkPage); // already saved there: ignored by the library
    const auto& pages = library.archive().pages;
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ((std::set<std::string>{pages[0].collection, pages[1].collection}),
              (std::set<std::string>{"Bookmarks", "Reading List"}));
    EXPECT_EQ(pages[0].title, "example.com") << "an empty title falls back to the host";

    // The star's command removes every bookmark of the page, and saves it again.
    table->run(c::toggleBookmark);
    EXPECT_FALSE(library.isBookmarked(*Url::parse("https://example.com/page")));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].collection, "Reading List");
    table->run(c::toggleBookmark);
    EXPECT_TRUE(library.isBookmarked(*Url::parse("https://example.com/page")));
    ASSERT_EQ(pages.size(), 2u);

    // The bookmarks bar flag, written directly in the settings; false when absent.
    EXPECT_FALSE(defaults.contains("showBookmarksBar"));
    table->run(c::toggleBookmarksBar);
    EXPECT_EQ(defaults.boolValue("showBookmarksBar"), true);
    table->run(c::toggleBookmarksBar);
    EXPECT_EQ(defaults.boolValue("showBookmarksBar"), false);
}

TEST_F(CommandTableTest, SpacesAreMadeByCountAndSwitchedByPositionOrId)
{
    table->run(c::newSpace);
    table->run(c::newSpace);
    ASSERT_EQ(state.spaces().size(), 3u);
    EXPECT_EQ(state.spaces()[2].name, "Space 3");
    EXPECT_EQ(state.spaces()[2].color, SpaceColor::blue);
    EXPECT_EQ(state.spaces()[2].icon, "folder");

    const Uuid first = state.spaces()[0].id, second = state.spaces()[1].id;
    table->run(c::space, 2);
    EXPECT_EQ(state.currentSpaceId(), second);
    EXPECT_FALSE(table->run(c::space, 9)) << "beyond the last: refused";
    EXPECT_EQ(state.currentSpaceId(), second);
    table->run(c::switchToSpace, first.toString());
    EXPECT_EQ(state.currentSpaceId(), first);
    table->run(c::switchToSpace, std::string("not an id"));
    EXPECT_EQ(state.currentSpaceId(), first);
    EXPECT_FALSE(table->run(c::space, std::string("2"))) << "an argument of the wrong kind is refused";
    EXPECT_FALSE(table->run(c::space));

    const auto labels = table->labels("Spaces");
    ASSERT_EQ(labels.size(), 12u);
    EXPECT_EQ(labels[0], "Switch to " + state.spaces()[0].name);
    EXPECT_EQ(labels[2], "Switch to Space 3");
    EXPECT_EQ(labels[3], "Space 1");
    EXPECT_EQ(labels[11], "Space 9");

    // A very long name is cut short in the menu.
    Space renamed = state.spaces()[1];
    renamed.name = std::string(205, 'x');
    state.updateSpace(renamed);
    EXPECT_EQ(table->labels("Spaces")[1], "Switch to " + std::string(39, 'x') + "\u2026");
}

// "Space 3" to "Space 9" looked enabled with two spaces and did nothing: an item is enabled only
// while its space exists, and follows the spaces as they come and go.
TEST_F(CommandTableTest, NumberedSpaceItemsAreEnabledOnlyForSpacesThatExist)
{
    table->run(c::newSpace);
    ASSERT_EQ(state.spaces().size(), 2u);
    EXPECT_TRUE(table->isEnabled(c::space)) << "the command itself";
    for (int n = 1; n <= 9; ++n)
        EXPECT_EQ(table->isEnabled(c::space, n), n <= 2) << "Space " << n;
    EXPECT_FALSE(table->isEnabled(c::space, 0));

    changes = 0;
    table->run(c::newSpace);
    EXPECT_GT(changes, 0) << "the menus are told";
    EXPECT_TRUE(table->isEnabled(c::space, 3));
    state.removeSpace(state.spaces()[2].id);
    EXPECT_FALSE(table->isEnabled(c::space, 3));
    EXPECT_FALSE(table->run(c::space, 3));
    EXPECT_TRUE(table->run(c::space, 2));
    EXPECT_EQ(state.currentSpaceId(), state.spaces()[1].id);
}

TEST_F(CommandTableTest, TheSpaceItemsAreReportedOnlyWhenNamesOrOrderChange)
{
    const Uuid a = open("https://a.example/");
    open("https://b.example/");
    entryChanges = 0;
    state.setActiveTabId(a); // the space remembers its last tab: no new items
    EXPECT_EQ(entryChanges, 0);
    table->run(c::newSpace);
    EXPECT_EQ(entryChanges, 1);
    Space renamed = state.spaces()[1];
    renamed.name = "Work";
    state.updateSpace(renamed);
    EXPECT_EQ(entryChanges, 2);
    EXPECT_EQ(table->labels("Spaces")[1], "Switch to Work");
}

TEST_F(CommandTableTest, TabsAreClosedReopenedAndSelectedByPosition)
{
    const Uuid pinned = open("https://pinned.example/", "Pinned", true);
    const Uuid a = open("https://a.example/", "A");
    const Uuid b = open("https://b.example/", "B");

    table->run(c::selectTab, 1);
    EXPECT_EQ(state.activeTabId(), pinned) << "pinned tabs come first";
    table->run(c::selectTab, 5);
    EXPECT_EQ(state.activeTabId(), b) << "beyond the count: the last";
    table->run(c::previousTab);
    EXPECT_EQ(state.activeTabId(), a);
    table->run(c::nextTab);
    EXPECT_EQ(state.activeTabId(), b);

    table->run(c::closeTab);
    EXPECT_FALSE(state.tab(b).has_value());
    table->run(c::reopenClosedTab);
    EXPECT_TRUE(state.tab(b).has_value());

    state.setActiveTabId(std::nullopt);
    const auto count = state.tabs().size();
    table->run(c::closeTab);
    EXPECT_EQ(state.tabs().size(), count) << "nothing active: nothing closed";
}

// Regression: with no page, or no page to go back to, the page commands were offered and did
// nothing; Reopen Last Closed Tab was offered with none closed.
TEST_F(CommandTableTest, PageCommandsAreOfferedOnlyWhenThereIsAPageToActOn)
{
    Probe back(notifications, notifications::webViewGoBack);
    Probe zoomIn(notifications, notifications::webViewZoomIn);
    Probe pip(notifications, notifications::enterPictureInPicture);
    Probe settings(notifications, notifications::showSettings);
    for (const char* id : {c::goBack, c::goForward, c::reload, c::closeTab, c::reopenClosedTab, c::zoomIn,
                           c::findInPage, c::pictureInPicture})
        EXPECT_FALSE(table->isEnabled(id)) << id << " with no page";
    EXPECT_FALSE(table->run(c::goBack));
    EXPECT_EQ(back.count, 0);

    const Uuid tab = open("https://example.com/");
    EXPECT_FALSE(table->isEnabled(c::goBack)) << "nothing to go back to";
    state.updateTabNavigation(tab, true, false);
    EXPECT_TRUE(table->isEnabled(c::goBack));
    EXPECT_FALSE(table->isEnabled(c::goForward));
    for (const char* id : {c::goBack, c::zoomIn, c::pictureInPicture, c::settings})
        EXPECT_TRUE(table->run(id)) << id;
    EXPECT_EQ(back.object, tab);
    EXPECT_EQ(zoomIn.count, 1);
    EXPECT_EQ(pip.object, tab);
    EXPECT_EQ(settings.count, 1);
    EXPECT_EQ(settings.object, std::nullopt);

    table->run(c::closeTab);
    EXPECT_TRUE(table->isEnabled(c::reopenClosedTab));
}

TEST_F(CommandTableTest, AppearanceChoicesAreMarkedWhoeverMadeThem)
{
    table->run(c::appearance, std::string("light"));
    EXPECT_FALSE(appearance.isDarkMode());
    EXPECT_EQ(table->command(c::appearance)->currentState(), CommandState(std::string("light")));
    table->run(c::glass);
    EXPECT_TRUE(appearance.isGlassEnabled());
    EXPECT_EQ(table->command(c::glass)->currentState(), CommandState(true));

    const int before = changes;
    appearance.setIsDarkMode(true); // from the settings or the sidebar
    EXPECT_GT(changes, before);
    EXPECT_EQ(table->command(c::appearance)->currentState(), CommandState(std::string("dark")));
}

TEST_F(CommandTableTest, ApplicationHooksRunAboutAndQuit)
{
    table->run(c::about);
    table->run(c::quit);
    EXPECT_EQ(aboutShown, 1);
    EXPECT_EQ(quits, 1);
    CommandTable bare({state, appearance, library, notifications, preferences, nullptr});
    EXPECT_TRUE(bare.run(c::about)); // no hooks, no updater: nothing happens, nothing breaks
    EXPECT_TRUE(bare.run(c::quit));
    EXPECT_TRUE(bare.run(c::checkForUpdates));
}

TEST_F(CommandTableTest, EveryMenuItemRunsAKnownCommandAndNoTwoCommandsShareAKey)
{
    std::vector<std::string> titles;
    for (const Menu& menu : table->menus())
        titles.push_back(menu.title);
    EXPECT_EQ(titles, (std::vector<std::string>{"Kovi", "File", "Edit", "View", "Bookmarks", "Spaces", "Tabs", "Settings"}));

    std::function<void(const Menu&)> check = [&](const Menu& menu) {
        for (const MenuSection& section : menu.sections) {
            for (const MenuEntry& entry : section.currentEntries()) {
                if (entry.submenu) {
                    check(*entry.submenu);
                    continue;
                }
                const Command* command = table->command(entry.commandId);
                ASSERT_NE(command, nullptr) << entry.commandId;
                EXPECT_TRUE(command->accepts(entry.argument)) << entry.commandId;
            }
        }
    };
    for (const Menu& menu : table->menus())
        check(menu);

    std::map<std::pair<unsigned, std::string>, std::string> owners;
    for (const Command& command : table->commands()) {
        EXPECT_TRUE(command.handler) << command.id;
        for (const Shortcut& shortcut : command.shortcuts) {
            EXPECT_TRUE(command.accepts(shortcut.argument)) << command.id;
            auto [it, fresh] = owners.emplace(std::make_pair(shortcut.modifiers, shortcut.key), command.id);
            EXPECT_TRUE(fresh) << shortcut.key << " of " << command.id << " is also " << it->second << "'s";
        }
    }
    EXPECT_EQ(table->labels("Settings"), (std::vector<std::string>{"Check for Updates...", "Browser Layout", "Appearance",
                                                                   "Kovi Max Settings...", "Settings..."}));
    EXPECT_EQ(table->labels("Bookmarks").back(), "Page Extensions\u2026");
    const auto view = table->labels("View");
    EXPECT_EQ(std::count(view.begin(), view.end(), "Zoom In"), 1);
    EXPECT_EQ(std::count_if(view.begin(), view.end(), [](const std::string& l) { return l.rfind("Zoom In", 0) == 0; }), 1)
        << "one item for zooming in";
}

// Zoom in had two items for one action; the desktop's usual keys are extra keys of the commands
// that exist, after each command's own.
TEST_F(CommandTableTest, ZoomInAndTheDesktopKeysAreKeysOfTheCommandsThatExist)
{
    auto keys = [&](const char* id) {
        std::vector<std::pair<unsigned, std::string>> out;
        for (const Shortcut& shortcut : table->command(id)->shortcuts)
            out.emplace_back(shortcut.modifiers, shortcut.key);
        return out;
    };
    using K = std::vector<std::pair<unsigned, std::string>>;
    const unsigned ctrl = Shortcut::control, shift = Shortcut::shift, alt = Shortcut::alt;
    EXPECT_EQ(keys(c::zoomIn), (K{{ctrl, "equal"}, {ctrl, "plus"}, {ctrl, "KP_Add"}}));
    EXPECT_EQ(keys(c::goBack), (K{{ctrl, "bracketleft"}, {alt, "Left"}}));
    EXPECT_EQ(keys(c::goForward), (K{{ctrl, "bracketright"}, {alt, "Right"}}));
    EXPECT_EQ(keys(c::reload), (K{{ctrl, "r"}, {0, "F5"}}));
    EXPECT_EQ(keys(c::newTab), (K{{ctrl, "t"}, {ctrl, "l"}}));
    EXPECT_EQ(keys(c::nextTab), (K{{ctrl | alt, "Right"}, {ctrl, "Tab"}, {ctrl, "Page_Down"}}));
    EXPECT_EQ(keys(c::previousTab),
              (K{{ctrl | alt, "Left"}, {ctrl | shift, "Tab"}, {ctrl | shift, "ISO_Left_Tab"}, {ctrl, "Page_Up"}}));
    EXPECT_EQ(table->command("zoom-in-plus"), nullptr);
}

// Ctrl+W while the command bar was open closed the tab behind the bar and left the bar open;
// fast Ctrl+T, Ctrl+W pairs closed every tab.
TEST_F(CommandTableTest, AnOpenPanelTakesTheShortcutsAndCloseTabClosesThePanel)
{
    using Route = CommandTable::ShortcutRoute;
    open("https://a.example/");
    EXPECT_EQ(table->routeShortcut(c::closeTab), Route::run);

    for (int i = 0; i < 5; ++i) {
        table->run(c::newTab);
        ASSERT_EQ(table->openPanel(), CommandTable::Panel::commandBar);
        EXPECT_EQ(table->routeShortcut(c::newTab), Route::run) << "the bar's own command";
        EXPECT_EQ(table->routeShortcut(c::selectTab), Route::keep);
        EXPECT_EQ(table->routeShortcut(c::quit), Route::run);
        ASSERT_EQ(table->routeShortcut(c::closeTab), Route::closePanel);
        state.setCommandBarMode(BrowserState::CommandBarMode::tabs);
        table->closePanel(*table->openPanel());
        EXPECT_FALSE(state.isCommandBarVisible());
        EXPECT_EQ(state.commandBarMode(), BrowserState::CommandBarMode::all) << "as its own Escape leaves it";
    }
    EXPECT_EQ(state.tabs().size(), 1u);

    // The front-most panel counts: downloads over history over the bar; the account panel over all.
    table->run(c::newTab);
    table->run(c::showHistory);
    table->run(c::showDownloads);
    EXPECT_EQ(table->openPanel(), CommandTable::Panel::downloads);
    EXPECT_EQ(table->routeShortcut(c::showDownloads), Route::run);
    EXPECT_EQ(table->routeShortcut(c::selectTab), Route::keep);
    table->closePanel(CommandTable::Panel::downloads);
    EXPECT_EQ(table->openPanel(), CommandTable::Panel::history);
    state.setIsAccountSettingsVisible(true);
    EXPECT_EQ(table->openPanel(), CommandTable::Panel::account);
    table->closePanel(CommandTable::Panel::account);
    EXPECT_FALSE(state.isAccountSettingsVisible());
}

// Ctrl+T with the downloads panel open put the command bar beneath it, and with the AI chat open
// it did nothing (the typed address went to the chat); with the bar open beneath another panel
// it did nothing either. A panel opened over another, whichever they are, is on top and has the
// keys until it closes, and its key brings a panel open beneath back to the top.
TEST_F(CommandTableTest, APanelOpenedOverAnotherIsInFrontUntilItCloses)
{
    using Route = CommandTable::ShortcutRoute;
    using Panel = CommandTable::Panel;
    table->run(c::showDownloads);
    ASSERT_EQ(table->openPanel(), Panel::downloads);
    EXPECT_EQ(table->routeShortcut(c::newTab), Route::run) << "opens the bar on top";
    EXPECT_EQ(table->routeShortcut(c::selectTab), Route::keep);
    table->run(c::newTab);
    EXPECT_EQ(table->openPanel(), Panel::commandBar);
    EXPECT_EQ(table->routeShortcut(c::closeTab), Route::closePanel);
    ASSERT_EQ(table->routeShortcut(c::showDownloads), Route::run) << "open beneath: back to the top";
    table->run(c::showDownloads);
    EXPECT_EQ(table->openPanel(), Panel::downloads);
    EXPECT_TRUE(state.isCommandBarVisible());
    ASSERT_EQ(table->routeShortcut(c::newTab), Route::run);
    table->run(c::newTab);
    EXPECT_EQ(table->openPanel(), Panel::commandBar);
    EXPECT_EQ(state.openPanels(), (std::vector<Panel>{Panel::downloads, Panel::commandBar}));
    table->closePanel(*table->openPanel());
    EXPECT_EQ(table->openPanel(), Panel::downloads) << "back to the one below";

    // The AI chat over the downloads, the layout's panels over the chat.
    EXPECT_EQ(table->routeShortcut(c::aiChat), Route::run);
    table->run(c::aiChat);
    EXPECT_EQ(table->openPanel(), Panel::aiChat);
    for (const char* opener : {c::newTab, c::showHistory}) {
        ASSERT_EQ(table->routeShortcut(opener), Route::run) << opener;
        table->run(opener);
        EXPECT_NE(table->openPanel(), Panel::aiChat) << opener;
        table->closePanel(*table->openPanel());
        EXPECT_EQ(table->openPanel(), Panel::aiChat) << "back to the chat";
    }
    table->run(c::toggleMaxSettings);
    EXPECT_EQ(table->openPanel(), Panel::aiSettings);
    table->closePanel(Panel::aiSettings);
    EXPECT_EQ(table->openPanel(), Panel::aiChat) << "the settings closed over the chat: the chat";
    table->closePanel(Panel::aiChat);
    EXPECT_EQ(table->openPanel(), Panel::downloads);

    state.setIsAccountSettingsVisible(true); // nothing opens over the account panel
    EXPECT_EQ(table->routeShortcut(c::aiChat), Route::keep);
}

// The settings window's shortcut reference shows the keys the menus bind, not a copy that drifts.
TEST_F(CommandTableTest, ShortcutReferenceShowsTheKeysOfItsCommands)
{
    for (const ShortcutRowEntry& row : shortcutRows) {
        const Command* command = table->command(row.command);
        ASSERT_NE(command, nullptr) << row.command;
        ASSERT_FALSE(command->shortcuts.empty()) << row.command;
        const Shortcut& key = command->shortcuts.front();
        std::string accelerator;
        if (key.modifiers & Shortcut::control)
            accelerator += "<Control>";
        if (key.modifiers & Shortcut::shift)
            accelerator += "<Shift>";
        if (key.modifiers & Shortcut::alt)
            accelerator += "<Alt>";
        accelerator += key.key;
        EXPECT_EQ(shortcutText(row.accelerator), shortcutText(accelerator)) << row.action;
    }
}

} // namespace
} // namespace kovi::test
