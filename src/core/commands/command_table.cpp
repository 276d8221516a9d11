#include "core/commands/command_table.h"

#include "core/commands/command_ids.h"
#include "core/library/browser_library.h"
#include "core/settings/appearance_manager.h"
#include "core/settings/update_manager.h"
#include "core/state/browser_state.h"
#include "core/settings/preference_keys.h"
#include "core/settings/preferences.h"
#include "core/support/notification_center.h"
#include "core/support/notification_names.h"

#include <algorithm>

namespace kovi {

namespace {

constexpr unsigned ctrl = Shortcut::control;
constexpr unsigned shift = Shortcut::shift;
constexpr unsigned alt = Shortcut::alt;

Shortcut key(unsigned modifiers, std::string name, CommandArgument argument = {})
{
    return Shortcut{modifiers, std::move(name), std::move(argument)};
}

// A handler that takes no argument.
std::function<void(const CommandArgument&)> plain(std::function<void()> run)
{
    return [run = std::move(run)](const CommandArgument&) { run(); };
}

// Commands that act on the shown page are greyed out while there is none to act on.
std::function<bool()> whenPageShown(const BrowserState& state)
{
    return [&state] { return state.activeTabId().has_value(); };
}

// Back and Forward: while the shown page has somewhere to go that way.
std::function<bool()> whenPageCan(const BrowserState& state, bool Tab::*can)
{
    return [&state, can] {
        const auto tab = state.activeTab();
        return tab && (*tab).*can;
    };
}

int numberOf(const CommandArgument& argument)
{
    return std::get<int>(argument);
}

const std::string& textOf(const CommandArgument& argument)
{
    return std::get<std::string>(argument);
}

} // namespace

bool Command::accepts(const CommandArgument& argument) const
{
    switch (parameter) {
    case CommandParameter::none: return std::holds_alternative<std::monostate>(argument);
    case CommandParameter::number: return std::holds_alternative<int>(argument);
    case CommandParameter::text: return std::holds_alternative<std::string>(argument);
    }
    return false;
}

CommandTable::CommandTable(Services services, Hooks hooks) : m_services(services), m_hooks(std::move(hooks))
{
    addCommands();
    addViewCommands();
    addLibraryAndSpaceCommands();
    addSettingsCommands();
    addDesktopShortcuts();
    buildMenus();

    BrowserState& state = m_services.state;
    auto report = [this] { changed.emit(); };
    for (auto* signal : {&state.isBrowserBezelEnabledChanged, &state.splitViewConfigChanged, &state.layoutModeChanged,
                         &state.activeTabIdChanged, &state.tabsChanged, &state.currentSpaceIdChanged,
                         &state.spacesChanged})
        m_connections.add(signal->connect(report));
    m_connections.add(m_services.appearance.isDarkModeChanged.connect(report));
    m_connections.add(m_services.appearance.isGlassEnabledChanged.connect(report));
    watchSpaces();
}

Command& CommandTable::add(std::string id, std::string title, std::function<void(const CommandArgument&)> handler,
                           std::vector<Shortcut> shortcuts)
{
    Command command;
    command.id = std::move(id);
    command.title = std::move(title);
    command.handler = std::move(handler);
    command.shortcuts = std::move(shortcuts);
    m_commands.push_back(std::move(command));
    return m_commands.back();
}

void CommandTable::addCommands()
{
    BrowserState& state = m_services.state;

    // Kovi
    add(commands::about, "About Kovi", plain([this] {
        if (m_hooks.showAbout)
            m_hooks.showAbout();
    }));
    add(commands::quit, "Quit", plain([this] {
        if (m_hooks.quit)
            m_hooks.quit();
    }), {key(ctrl, "q")});

    // File
    add(commands::newTab, "New Tab", plain([this] { openCommandBar(false); }), {key(ctrl, "t")});
    add(commands::newSpace, "New Space", plain([&state] {
        state.createNewSpace("Space " + std::to_string(state.spaces().size() + 1), SpaceColor::blue, "folder");
    }), {key(ctrl | shift, "n")});
    add(commands::closeTab, "Close Tab", plain([&state] {
        if (auto id = state.activeTabId())
            state.removeTab(*id);
    }), {key(ctrl, "w")}).enabledRule = whenPageShown(state);
    add(commands::reopenClosedTab, "Reopen Last Closed Tab", plain([&state] { state.reopenClosedTab(); }),
        {key(ctrl | shift, "t")})
        .enabledRule = [&state] { return state.hasRecentlyClosedTabs(); };
    add(commands::switchTabs, "Switch Tabs", plain([this] { openCommandBar(true); }), {key(ctrl | shift, "o")});

    // Edit
    add(commands::goBack, "Go Back", plain([this] { postPageCommand(notifications::webViewGoBack); }),
        {key(ctrl, "bracketleft")})
        .enabledRule = whenPageCan(state, &Tab::canGoBack);
    add(commands::goForward, "Go Forward", plain([this] { postPageCommand(notifications::webViewGoForward); }),
        {key(ctrl, "bracketright")})
        .enabledRule = whenPageCan(state, &Tab::canGoForward);
    add(commands::reload, "Reload", plain([this] { postPageCommand(notifications::webViewReload); }),
        {key(ctrl, "r")})
        .enabledRule = whenPageShown(state);

    // Tabs
    add(commands::nextTab, "Next Tab", plain([&state] { state.switchActiveTab(1); }), {key(ctrl | alt, "Right")});
    add(commands::previousTab, "Previous Tab", plain([&state] { state.switchActiveTab(-1); }),
        {key(ctrl | alt, "Left")});
    std::vector<Shortcut> selectKeys;
    for (int n = 1; n <= 9; ++n)
        selectKeys.push_back(key(ctrl, std::to_string(n), n));
    add(commands::selectTab, "Select Tab", [&state](const CommandArgument& argument) {
        // Beyond the number of tabs: the last one.
        const auto ids = state.orderedTabIdsForKeyboardNavigation();
        const int n = numberOf(argument);
        if (ids.empty() || n < 1)
            return;
        state.setActiveTabId(ids[std::min<std::size_t>(static_cast<std::size_t>(n), ids.size()) - 1]);
    }, std::move(selectKeys)).parameter = CommandParameter::number;
}

void CommandTable::addViewCommands()
{
    BrowserState& state = m_services.state;

    add(commands::toggleCommandBar, "Toggle Command Bar", plain([this, &state] {
        if (!state.isCommandBarVisible())
            state.setCommandBarMode(BrowserState::CommandBarMode::all);
        togglePanel(Panel::commandBar);
    }), {key(ctrl, "k")});
    add(commands::toggleBezel, "Enable Browser Bezel",
        plain([&state] { state.setIsBrowserBezelEnabled(!state.isBrowserBezelEnabled()); }),
        {key(ctrl | alt, "b")})
        .titleRule = [&state] {
        return std::string(state.isBrowserBezelEnabled() ? "Disable Browser Bezel" : "Enable Browser Bezel");
    };
    add(commands::findInPage, "Find in Page", plain([&state] { state.toggleFindInPage(); }), {key(ctrl, "f")})
        .enabledRule = whenPageShown(state);
    Command& split = add(commands::toggleSplitView, "Open Split View", plain([&state] { state.toggleSplitView(); }),
                         {key(ctrl | alt, "d")});
    split.titleRule = [&state] {
        return std::string(state.splitViewConfig().isEnabled ? "Close Split View" : "Open Split View");
    };
    // Opening needs a second tab in the space to show beside the active one.
    split.enabledRule = [&state] {
        return state.splitViewConfig().isEnabled || (state.activeTabId() && state.tabsForCurrentSpace().size() >= 2);
    };
    add(commands::showHistory, "Show History",
        plain([this] { togglePanel(Panel::history); }), {key(ctrl, "y")});
    add(commands::showDownloads, "Show Downloads",
        plain([this] { togglePanel(Panel::downloads); }),
        {key(ctrl | alt, "j")});
    add(commands::toggleDevTools, "Toggle Developer Tools", plain([&state] { state.toggleDevTools(); }),
        {key(ctrl | alt, "i")});
    add(commands::pictureInPicture, "Enter Picture in Picture",
        plain([this] { postPageCommand(notifications::enterPictureInPicture); }), {key(ctrl | shift, "p")})
        .enabledRule = whenPageShown(state);
    add(commands::aiChat, "Kovi AI Chat", plain([this] { togglePanel(Panel::aiChat); }),
        {key(ctrl | shift, "a")});
    add(commands::toggleMaxSettings, "Kovi Max Settings",
        plain([this] { togglePanel(Panel::aiSettings); }));
    add(commands::toggleLayout, "Switch to Horizontal Tabs", plain([&state] {
        state.setLayoutMode(state.layoutMode() == BrowserLayoutMode::traditional ? BrowserLayoutMode::vertical
                                                                                  : BrowserLayoutMode::traditional);
    }), {key(ctrl | shift, "l")})
        .titleRule = [&state] {
        return std::string(state.layoutMode() == BrowserLayoutMode::vertical ? "Switch to Horizontal Tabs"
                                                                             : "Switch to Vertical Tabs");
    };
    // One item for both keys: Ctrl+= and Ctrl++ (with or without Shift, or on the keypad).
    add(commands::zoomIn, "Zoom In", plain([this] { postPageCommand(notifications::webViewZoomIn); }),
        {key(ctrl, "equal"), key(ctrl, "plus"), key(ctrl, "KP_Add")})
        .enabledRule = whenPageShown(state);
    add(commands::zoomOut, "Zoom Out", plain([this] { postPageCommand(notifications::webViewZoomOut); }),
        {key(ctrl, "minus")})
        .enabledRule = whenPageShown(state);
    add(commands::zoomReset, "Actual Size", plain([this] { postPageCommand(notifications::webViewZoomReset); }),
        {key(ctrl, "0")})
        .enabledRule = whenPageShown(state);
}

void CommandTable::addLibraryAndSpaceCommands()
{
    BrowserState& state = m_services.state;
    Preferences& preferences = m_services.preferences;

    auto canSave = [&state] {
        const auto tab = state.activeTab();
        return tab && BrowserLibrary::isWebURL(tab->url);
    };
    add(commands::bookmarkPage, "Bookmark Current Page", plain([this] { saveActivePage("Bookmarks"); }),
        {key(ctrl, "d")})
        .enabledRule = canSave;
    add(commands::toggleBookmark, "Bookmark this page", plain([this] { toggleActiveBookmark(); })).enabledRule =
        canSave;
    add(commands::addToReadingList, "Add to Reading List", plain([this] { saveActivePage("Reading List"); }),
        {key(ctrl | shift, "d")})
        .enabledRule = canSave;
    add(commands::showLibrary, "Show Library", plain([&state] { state.setIsLibraryVisible(true); }),
        {key(ctrl | shift, "b")});
    add(commands::saveWorkspace, "Save Current Workspace", plain([&state] { state.saveCurrentWorkspace(); }))
        .enabledRule = [&state] { return !state.pinnedTabs().empty() || !state.unpinnedTabs().empty(); };
    add(commands::toggleBookmarksBar, "Toggle Bookmarks Bar",
        plain([&preferences] { preferences.set(prefs::showBookmarksBar, !preferences.get(prefs::showBookmarksBar)); }));
    add(commands::pageExtensions, "Page Extensions\u2026", plain([&state] { state.setIsExtensionsVisible(true); }));

    add(commands::switchToSpace, "Switch to Space", [&state](const CommandArgument& argument) {
        if (auto id = Uuid::parse(textOf(argument)))
            state.setCurrentSpaceId(*id);
    }).parameter = CommandParameter::text;
    std::vector<Shortcut> spaceKeys;
    for (int n = 1; n <= 9; ++n)
        spaceKeys.push_back(key(ctrl | alt, std::to_string(n), n));
    Command& space = add(commands::space, "Space", [&state](const CommandArgument& argument) {
        state.setCurrentSpaceId(state.spaces()[static_cast<std::size_t>(numberOf(argument) - 1)].id);
    }, std::move(spaceKeys));
    space.parameter = CommandParameter::number;
    // "Space N" is offered only while there are N spaces.
    space.argumentRule = [&state](const CommandArgument& argument) {
        const int n = numberOf(argument);
        return n >= 1 && static_cast<std::size_t>(n) <= state.spaces().size();
    };
}

void CommandTable::addSettingsCommands()
{
    BrowserState& state = m_services.state;
    AppearanceManager& appearance = m_services.appearance;

    add(commands::checkForUpdates, "Check for Updates...", plain([this] {
        if (m_services.updates)
            m_services.updates->checkForUpdates(true);
    }));
    Command& layout = add(commands::browserLayout, "Browser Layout", [this](const CommandArgument& argument) {
        auto mode = fromRawValue<BrowserLayoutMode>(textOf(argument));
        if (!mode)
            return;
        m_services.state.setLayoutMode(*mode);
    });
    layout.parameter = CommandParameter::text;
    layout.stateRule = [&state] { return CommandState(std::string(rawValue(state.layoutMode()))); };
    add(commands::glass, "Glass",
        plain([&appearance] { appearance.setIsGlassEnabled(!appearance.isGlassEnabled()); }))
        .stateRule = [&appearance] { return CommandState(appearance.isGlassEnabled()); };
    Command& scheme = add(commands::appearance, "Appearance", [&appearance](const CommandArgument& argument) {
        appearance.setIsDarkMode(textOf(argument) == "dark");
    });
    scheme.parameter = CommandParameter::text;
    scheme.stateRule = [&appearance] { return CommandState(std::string(appearance.isDarkMode() ? "dark" : "light")); };
    add(commands::openMaxSettings, "Kovi Max Settings...", plain([&state] { state.setIsKoviMaxSettingsVisible(true); }));
    add(commands::settings, "Settings...", plain([this] { m_services.notifications.post(notifications::showSettings); }),
        {key(ctrl, "comma")});
}

void CommandTable::addDesktopShortcuts()
{
    // The keys browsers on this desktop share, beside each command's own. They come after it, so
    // the menus and the settings' shortcut reference keep showing the command's own key.
    const std::pair<const char*, std::vector<Shortcut>> extra[] = {
        // To the address: the layout's address field takes the key first (see the main window);
        // without one, the command bar.
        {commands::newTab, {key(ctrl, "l")}},
        {commands::goBack, {key(alt, "Left")}},
        {commands::goForward, {key(alt, "Right")}},
        {commands::reload, {key(0, "F5")}},
        {commands::nextTab, {key(ctrl, "Tab"), key(ctrl, "Page_Down")}},
        {commands::previousTab, {key(ctrl | shift, "Tab"), key(ctrl | shift, "ISO_Left_Tab"), key(ctrl, "Page_Up")}},
    };
    for (const auto& [id, keys] : extra) {
        auto it = std::find_if(m_commands.begin(), m_commands.end(), [id = id](const Command& c) { return c.id == id; });
        it->shortcuts.insert(it->shortcuts.end(), keys.begin(), keys.end());
    }
}

const Command* CommandTable::command(std::string_view id) const
{
    auto it = std::find_if(m_commands.begin(), m_commands.end(), [&](const Command& c) { return c.id == id; });
    return it == m_commands.end() ? nullptr : &*it;
}

bool CommandTable::run(std::string_view id, const CommandArgument& argument)
{
    const Command* found = command(id);
    if (!found || !found->accepts(argument) || !found->isEnabled(argument))
        return false;
    found->handler(argument);
    return true;
}

bool CommandTable::isEnabled(std::string_view id, const CommandArgument& argument) const
{
    const Command* found = command(id);
    return found && found->isEnabled(argument);
}

void CommandTable::postPageCommand(const char* name)
{
    // Enabled only with an active tab (the commands' rules); the web layer finds its page.
    m_services.notifications.post(name, m_services.state.activeTabId());
}

namespace {

// The title a page is saved under: the tab's title, else its host, else "Untitled".
std::string titleForSaving(const Tab& tab)
{
    if (!tab.title.empty())
        return tab.title;
    return tab.url.host().value_or("Untitled");
}

} // namespace

void CommandTable::saveActivePage(const std::string& collection)
{
    if (const auto tab = m_services.state.activeTab())
        m_services.library.save(tab->url, titleForSaving(*tab), collection);
}

void CommandTable::toggleActiveBookmark()
{
    if (const auto tab = m_services.state.activeTab())
        m_services.library.toggleBookmark(tab->url, titleForSaving(*tab));
}

void CommandTable::openCommandBar(bool tabsOnly)
{
    // Mode first, so the bar opens in the right search.
    m_services.state.setCommandBarMode(tabsOnly ? BrowserState::CommandBarMode::tabs
                                                : BrowserState::CommandBarMode::all);
    m_services.state.setIsCommandBarVisible(true);
    m_services.state.raisePanel(Panel::commandBar);
}

void CommandTable::togglePanel(Panel panel)
{
    BrowserState& state = m_services.state;
    if (state.topPanel() == panel) {
        closePanel(panel);
        return;
    }
    if (state.isPanelOpen(panel))
        state.raisePanel(panel);
    else
        state.setIsPanelOpen(panel, true);
}

} // namespace kovi
