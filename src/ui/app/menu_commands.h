#pragma once

#include <giomm/menu.h>
#include <giomm/simpleaction.h>
#include <gtkmm/application.h>
#include <gtkmm/shortcutcontroller.h>
#include <sigc++/connection.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kovi {

struct AppContext;

// The application's commands: one Gio action each (prefix "app.") with its accelerators (Ctrl
// for ⌘, Alt for ⌥), and the menu model the window's menu button shows: Kovi, File, Edit, View,
// Bookmarks, Spaces, Tabs, Settings. Titles that change, check marks (stateful actions) and
// enabled states follow the browser state and the appearance settings at every change.
class MenuCommands {
public:
    MenuCommands(Gtk::Application& app, AppContext& ctx);
    ~MenuCommands();
    MenuCommands(const MenuCommands&) = delete;
    MenuCommands& operator=(const MenuCommands&) = delete;

    Glib::RefPtr<Gio::Menu> menu() const { return m_menu; }

    // Runs an action by name (without "app."), as its menu item or shortcut would.
    void activate(const std::string& name);
    void activate(const std::string& name, const Glib::VariantBase& parameter);
    bool isEnabled(const std::string& name) const;
    Glib::RefPtr<Gio::SimpleAction> action(const std::string& name) const;

    // Labels shown now, in menu order, for the menus whose items change.
    std::vector<std::string> labels(const std::string& menuTitle) const;

    // What "About Kovi" shows; set by the window.
    std::function<void()> showAbout;

    static const char* bookmarksBarKey() { return "showBookmarksBar"; }

    // The same shortcuts as a controller for a popup that takes the keyboard while it is open
    // (the menu itself), so they keep working there.
    Glib::RefPtr<Gtk::ShortcutController> makeShortcutController() const;

private:
    Glib::RefPtr<Gio::SimpleAction> add(const std::string& name, std::function<void()> run,
                                        const std::vector<Glib::ustring>& accels = {});
    Glib::RefPtr<Gio::SimpleAction> addWithInt(const std::string& name, std::function<void(int)> run);
    void addIntAccels(const std::string& name, int value, const std::vector<Glib::ustring>& accels);
    void buildMenu();
    void refreshTitles();
    void refreshSpaces();
    void refreshEnabled();
    void refreshStates();
    void postPageCommand(const char* name);
    void saveActivePage(const std::string& collection);
    static Glib::RefPtr<Gio::MenuItem> item(const std::string& label, const std::string& detailedAction);

    Gtk::Application& m_app;
    AppContext& m_ctx;
    std::map<std::string, Glib::RefPtr<Gio::SimpleAction>> m_actions;
    std::vector<std::pair<std::string, std::vector<Glib::ustring>>> m_accels; // detailed action → accels
    std::vector<sigc::connection> m_connections;

    Glib::RefPtr<Gio::Menu> m_menu;
    std::map<std::string, Glib::RefPtr<Gio::Menu>> m_menus; // by title, for labels()
    Glib::RefPtr<Gio::Menu> m_viewBarSection;    // Toggle Command Bar, bezel
    Glib::RefPtr<Gio::Menu> m_viewSplitSection;  // Find in Page, split view
    Glib::RefPtr<Gio::Menu> m_viewLayoutSection; // switch layout
    Glib::RefPtr<Gio::Menu> m_spaceSwitchSection;
};

} // namespace kovi
