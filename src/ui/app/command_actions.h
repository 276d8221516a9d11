#pragma once

#include "core/commands/command_table.h"
#include "core/support/scoped_connections.h"

#include <giomm/actionmap.h>
#include <giomm/menu.h>
#include <giomm/simpleaction.h>
#include <gtkmm/application.h>
#include <gtkmm/eventcontrollerkey.h>
#include <gtkmm/shortcutcontroller.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kovi {

// The command table mirrored into the toolkit: one Gio::SimpleAction per command in an action
// map (the application's, so "app.<id>"), the keys (Ctrl for ⌘, Alt for ⌥), the menu model the
// window's menu button shows, and key handling that lets an open panel keep the shortcuts.
// Quit's key is the application's and works in every window of the program; the other
// shortcuts belong to the browser window alone, so they never act on it from another window.
// Enabled states, check marks, changing titles and the per-space items follow the table. Holds
// no handler of its own. Main thread only; the table must outlive it.
class CommandActions {
public:
    CommandActions(CommandTable& table, Gio::ActionMap& actions);
    // Takes its actions out of the map when the map still exists (it may be finalising).
    ~CommandActions();
    CommandActions(const CommandActions&) = delete;
    CommandActions& operator=(const CommandActions&) = delete;

    CommandTable& table() { return m_table; }
    // Gives the application Quit's key, for all its windows.
    void installAccelerators(Gtk::Application& app);
    Glib::RefPtr<Gio::Menu> menu() const { return m_menu; }

    // The shortcuts as a controller for a popup that takes the keyboard while it is open (the
    // menu itself), so they keep working there.
    Glib::RefPtr<Gtk::ShortcutController> makeShortcutController() const;

    // A key the browser window handles itself, ahead of the command that has the same key, if
    // any: `handle` returns whether it took the key ("<Control>l", "F10").
    struct OwnKey {
        std::string accelerator;
        std::function<bool()> handle;
    };
    // The browser window's shortcuts, for the window itself, ahead of the focused widget (a page
    // keeps no shortcut): its `own` keys first, then every command's but Quit's. While a panel
    // is open, a shortcut that is not the panel's own does nothing and Close Tab's closes the
    // panel (CommandTable::routeShortcut).
    Glib::RefPtr<Gtk::ShortcutController> makeWindowKeyController(std::vector<OwnKey> own = {}) const;
    // For the window, after the focused widget: Escape that nothing else took closes the open
    // panel (the command bar and the sheets take their own Escape first).
    Glib::RefPtr<Gtk::EventControllerKey> makePanelEscapeController() const;

    // Runs an action by name (without "app."), as its menu item or shortcut would.
    void activate(const std::string& name);
    void activate(const std::string& name, const Glib::VariantBase& parameter);
    bool isEnabled(const std::string& name) const;
    Glib::RefPtr<Gio::SimpleAction> action(const std::string& name) const;
    // Labels the menu model shows now, in order, for one menu.
    std::vector<std::string> labels(const std::string& menuTitle) const;
    // The keys of an action ("app.new-tab", "app.space(2)"), its own first.
    std::vector<std::string> keys(const std::string& detailedName) const;

    // "<Control><Shift>n"
    static std::string accelerator(const Shortcut& shortcut);

private:
    struct TitledItem {
        Glib::RefPtr<Gio::Menu> section;
        int index;
        std::string commandId;
        std::string shownTitle;
    };
    // An item whose command takes an argument that may name nothing now ("Space 3" with two
    // spaces): it shows greyed out until it does.
    struct ArgumentItem {
        Glib::RefPtr<Gio::Menu> section;
        int index;
        MenuEntry entry;
        bool shownEnabled;
    };
    struct RuledSection {
        Glib::RefPtr<Gio::Menu> section;
        const MenuSection* source;
    };

    void addAction(const Command& command);
    Glib::RefPtr<Gio::Menu> buildMenu(const Menu& menu);
    Glib::RefPtr<Gio::MenuItem> menuItem(const MenuEntry& entry) const;
    void fillSection(const Glib::RefPtr<Gio::Menu>& section, const std::vector<MenuEntry>& entries, bool tracked);
    void refresh();
    void refreshRuledSections();

    CommandTable& m_table;
    GActionMap* m_map; // weak: cleared when the map goes
    std::shared_ptr<CommandTable*> m_alive; // key callbacks hold it weakly
    std::map<std::string, Glib::RefPtr<Gio::SimpleAction>> m_actions;
    Glib::RefPtr<Gio::SimpleAction> m_unavailable; // never enabled: the action of greyed-out items
    std::vector<std::pair<std::string, std::vector<Glib::ustring>>> m_accels; // detailed name → accels
    std::vector<std::pair<std::string, CommandArgument>> m_shortcutTargets;    // parallel to m_accels

    Glib::RefPtr<Gio::Menu> m_menu;
    std::map<std::string, Glib::RefPtr<Gio::Menu>> m_menus; // by title, for labels()
    std::vector<TitledItem> m_titledItems;
    std::vector<ArgumentItem> m_argumentItems;
    std::vector<RuledSection> m_ruledSections;
    ScopedConnections m_connections;
};

} // namespace kovi
