#pragma once

#include "core/commands/command.h"
#include "core/commands/command_menu.h"
#include "core/state/browser_state.h"
#include "core/support/scoped_connections.h"

#include <sigc++/connection.h>
#include <sigc++/signal.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kovi {

class AppearanceManager;
class BrowserLibrary;
class Preferences;
class NotificationCenter;
class UpdateManager;

// Every menu command of the application with its title, shortcuts, enabled and check rules and
// handler, and the menus that show them (Kovi, File, Edit, View, Bookmarks, Spaces, Tabs,
// Settings). Toolkit-neutral: the views mirror it into their actions, menus and key handling.
// `changed` reports that titles, enabled states or check marks may have changed,
// `menuEntriesChanged` that a section with a rule (one item per space) has other items now.
// Main thread only; the services and hooks must outlive the table.
class CommandTable {
public:
    struct Services {
        BrowserState& state;
        AppearanceManager& appearance;
        BrowserLibrary& library;
        NotificationCenter& notifications;
        Preferences& preferences;
        UpdateManager* updates = nullptr; // none: "Check for Updates..." does nothing
    };
    // What only the application can do.
    struct Hooks {
        std::function<void()> showAbout;
        std::function<void()> quit;
    };

    // The panels that take the keyboard while they are open, each shown while its BrowserState
    // flag is on.
    using Panel = BrowserState::Panel;
    // What a shortcut does: run its command, close the open panel, or nothing (the panel keeps it).
    enum class ShortcutRoute { run, closePanel, keep };

    CommandTable(Services services, Hooks hooks = {});
    CommandTable(const CommandTable&) = delete;
    CommandTable& operator=(const CommandTable&) = delete;

    const std::vector<Command>& commands() const { return m_commands; }
    const Command* command(std::string_view id) const;
    const std::vector<Menu>& menus() const { return m_menus; }
    const Menu* menu(std::string_view title) const;
    // The titles a menu shows now, in order (a submenu by its own title).
    std::vector<std::string> labels(std::string_view menuTitle) const;

    // Runs the command as its menu item would; false when it is unknown, disabled, or the
    // argument is not of its kind or names nothing now.
    bool run(std::string_view id, const CommandArgument& argument = {});
    bool isEnabled(std::string_view id, const CommandArgument& argument = {}) const;

    // While a modal panel is open the keyboard belongs to the front-most one (the top of
    // BrowserState::openPanels): a shortcut runs only that panel's own commands, Quit, and those
    // that open another panel on top of it or bring an open one back to the top; Close Tab's
    // shortcut closes the panel instead of the tab behind. Nothing opens over the account panel.
    std::optional<Panel> openPanel() const;
    ShortcutRoute routeShortcut(std::string_view id) const;
    void closePanel(Panel panel);

    sigc::signal<void()> changed;
    sigc::signal<void()> menuEntriesChanged;

private:
    void addCommands();
    void addViewCommands();
    void addLibraryAndSpaceCommands();
    void addSettingsCommands();
    void addDesktopShortcuts();
    void buildMenus();
    Command& add(std::string id, std::string title, std::function<void(const CommandArgument&)> handler,
                 std::vector<Shortcut> shortcuts = {});
    void postPageCommand(const char* name);
    void saveActivePage(const std::string& collection);
    void toggleActiveBookmark();
    void openCommandBar(bool tabsOnly);
    std::vector<MenuEntry> spaceEntries() const;
    void watchSpaces();
    // Opens the panel, brings it to the top when it is open beneath another, closes it when it
    // is on top.
    void togglePanel(Panel panel);

    Services m_services;
    Hooks m_hooks;
    std::vector<Command> m_commands;
    std::vector<Menu> m_menus;
    std::vector<MenuEntry> m_spaceEntries;
    ScopedConnections m_connections; // last: dropped before the members its slots use
};

} // namespace kovi
