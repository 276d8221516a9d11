// The menus of the command table, and the panels that take the keyboard while they are open.
#include "core/commands/command_ids.h"
#include "core/commands/command_table.h"
#include "core/state/browser_state.h"
#include "core/support/text.h"

#include <algorithm>
#include <optional>

namespace kovi {

namespace {

MenuEntry item(const char* id, CommandArgument argument = {}, std::string title = {})
{
    return MenuEntry{id, std::move(argument), std::move(title), nullptr};
}

MenuEntry submenu(std::string title, std::vector<MenuSection> sections)
{
    auto menu = std::make_shared<Menu>(Menu{title, std::move(sections)});
    return MenuEntry{{}, {}, std::move(title), std::move(menu)};
}

MenuSection section(std::vector<MenuEntry> entries)
{
    return MenuSection{std::move(entries), {}};
}

// Nine numbered items ("Space 1" … "Space 9"), always nine; those that name nothing now are
// disabled (the command's argument rule).
MenuSection numbered(const char* id, const std::string& prefix)
{
    MenuSection s;
    for (int n = 1; n <= 9; ++n)
        s.entries.push_back(item(id, n, prefix + std::to_string(n)));
    return s;
}

// The commands of a panel that its own shortcuts still run while it is open.
bool belongsTo(std::string_view id, CommandTable::Panel panel)
{
    using Panel = CommandTable::Panel;
    switch (panel) {
    case Panel::commandBar:
        return id == commands::newTab || id == commands::switchTabs || id == commands::toggleCommandBar;
    case Panel::history: return id == commands::showHistory;
    case Panel::downloads: return id == commands::showDownloads;
    case Panel::aiChat: return id == commands::aiChat;
    case Panel::aiSettings: return id == commands::toggleMaxSettings || id == commands::openMaxSettings;
    case Panel::account: return false;
    }
    return false;
}

// The panels over the whole browser; the others belong to the layout, beneath them.
std::optional<CommandTable::Panel> panelOpenedBy(std::string_view id)
{
    using Panel = CommandTable::Panel;
    if (id == commands::newTab || id == commands::switchTabs || id == commands::toggleCommandBar)
        return Panel::commandBar;
    if (id == commands::showHistory)
        return Panel::history;
    if (id == commands::showDownloads)
        return Panel::downloads;
    if (id == commands::aiChat)
        return Panel::aiChat;
    if (id == commands::toggleMaxSettings || id == commands::openMaxSettings)
        return Panel::aiSettings;
    return std::nullopt;
}

} // namespace

void CommandTable::buildMenus()
{
    MenuSection spaces;
    spaces.entriesRule = [this] { return spaceEntries(); };

    m_menus = {
        Menu{"Kovi", {section({item(commands::about)}), section({item(commands::quit)})}},
        Menu{"File",
             {section({item(commands::newTab), item(commands::newSpace)}),
              section({item(commands::closeTab), item(commands::reopenClosedTab)}),
              section({item(commands::switchTabs)})}},
        Menu{"Edit", {section({item(commands::goBack), item(commands::goForward), item(commands::reload)})}},
        Menu{"View",
             {section({item(commands::toggleCommandBar), item(commands::toggleBezel)}),
              section({item(commands::findInPage), item(commands::toggleSplitView)}),
              section({item(commands::showHistory), item(commands::showDownloads)}),
              section({item(commands::toggleDevTools), item(commands::pictureInPicture)}),
              section({item(commands::aiChat), item(commands::toggleMaxSettings)}),
              section({item(commands::toggleLayout)}),
              section({item(commands::zoomIn), item(commands::zoomOut), item(commands::zoomReset)})}},
        Menu{"Bookmarks",
             {section({item(commands::bookmarkPage), item(commands::addToReadingList), item(commands::showLibrary)}),
              section({item(commands::saveWorkspace), item(commands::toggleBookmarksBar)}),
              section({item(commands::pageExtensions)})}},
        Menu{"Spaces", {spaces, numbered(commands::space, "Space ")}},
        Menu{"Tabs",
             {section({item(commands::nextTab), item(commands::previousTab)}),
              numbered(commands::selectTab, "Select Tab ")}},
        Menu{"Settings",
             {section({item(commands::checkForUpdates)}),
              section({submenu("Browser Layout",
                               {section({item(commands::browserLayout, std::string("vertical"), "Vertical Tabs"),
                                         item(commands::browserLayout, std::string("traditional"),
                                              "Horizontal Tabs")})})}),
              section({submenu("Appearance",
                               {section({item(commands::glass)}),
                                section({item(commands::appearance, std::string("dark"), "Dark Mode"),
                                         item(commands::appearance, std::string("light"), "Light Mode")})})}),
              section({item(commands::openMaxSettings)}), section({item(commands::settings)})}},
    };
}

std::vector<MenuEntry> CommandTable::spaceEntries() const
{
    std::vector<MenuEntry> entries;
    for (const Space& space : m_services.state.spaces())
        entries.push_back(item(commands::switchToSpace, space.id.toString(), "Switch to " + text::shortenedTo(space.name, 40)));
    return entries;
}

void CommandTable::watchSpaces()
{
    m_spaceEntries = spaceEntries();
    // The spaces change on every tab switch (each remembers its last tab): only names and order count.
    m_connections.add(m_services.state.spacesChanged.connect([this] {
        auto entries = spaceEntries();
        if (entries == m_spaceEntries)
            return;
        m_spaceEntries = std::move(entries);
        menuEntriesChanged.emit();
    }));
}

const Menu* CommandTable::menu(std::string_view title) const
{
    auto it = std::find_if(m_menus.begin(), m_menus.end(), [&](const Menu& m) { return m.title == title; });
    return it == m_menus.end() ? nullptr : &*it;
}

std::vector<std::string> CommandTable::labels(std::string_view menuTitle) const
{
    std::vector<std::string> out;
    const Menu* found = menu(menuTitle);
    if (!found)
        return out;
    for (const MenuSection& s : found->sections) {
        for (const MenuEntry& entry : s.currentEntries()) {
            const Command* c = entry.commandId.empty() ? nullptr : command(entry.commandId);
            out.push_back(!entry.title.empty() || !c ? entry.title : c->currentTitle());
        }
    }
    return out;
}

std::optional<CommandTable::Panel> CommandTable::openPanel() const
{
    return m_services.state.topPanel();
}

CommandTable::ShortcutRoute CommandTable::routeShortcut(std::string_view id) const
{
    const auto panel = openPanel();
    if (!panel || id == commands::quit || belongsTo(id, *panel))
        return ShortcutRoute::run;
    // Opening another panel, or bringing one back from beneath, puts it on top with the keyboard;
    // nothing covers the account panel.
    const auto opened = panelOpenedBy(id);
    if (opened && *opened != *panel && *panel != Panel::account)
        return ShortcutRoute::run;
    return id == commands::closeTab ? ShortcutRoute::closePanel : ShortcutRoute::keep;
}

void CommandTable::closePanel(Panel panel)
{
    BrowserState& state = m_services.state;
    state.setIsPanelOpen(panel, false);
    // As the bar's own Escape leaves it.
    if (panel == Panel::commandBar)
        state.setCommandBarMode(BrowserState::CommandBarMode::all);
}

} // namespace kovi
