#include "ui/app/menu_commands.h"

#include "core/library/browser_library.h"
#include "core/settings/appearance_manager.h"
#include "core/settings/update_manager.h"
#include "core/state/browser_state.h"
#include "core/support/defaults.h"
#include "core/support/notification_center.h"
#include "core/support/notification_names.h"
#include "ui/base/app_context.h"

namespace kovi {

namespace {

std::string layoutToggleTitle(const BrowserState& state)
{
    return state.layoutMode() == BrowserLayoutMode::vertical ? "Switch to Horizontal Tabs" : "Switch to Vertical Tabs";
}

void replaceItem(const Glib::RefPtr<Gio::Menu>& section, int index, const Glib::RefPtr<Gio::MenuItem>& item)
{
    section->remove(index);
    section->insert_item(index, item);
}

void collectLabels(const Glib::RefPtr<Gio::MenuModel>& model, std::vector<std::string>& out)
{
    for (int i = 0; i < model->get_n_items(); ++i) {
        if (auto section = model->get_item_link(i, Gio::MenuModel::Link::SECTION)) {
            collectLabels(section, out);
            continue;
        }
        Glib::VariantBase label = model->get_item_attribute(i, Gio::MenuModel::Attribute::LABEL,
                                                            Glib::VariantType("s"));
        if (label)
            out.push_back(Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(label).get());
    }
}

} // namespace

MenuCommands::MenuCommands(Gtk::Application& app, AppContext& ctx) : m_app(app), m_ctx(ctx)
{
    BrowserState& state = m_ctx.state;

    // Kovi
    add("about", [this] {
        if (showAbout)
            showAbout();
    });
    add("quit", [this] { m_app.quit(); }, {"<Control>q"});

    // File
    add("new-tab", [this] {
        m_ctx.state.setCommandBarMode(BrowserState::CommandBarMode::all);
        m_ctx.state.setIsCommandBarVisible(true);
    }, {"<Control>t"});
    add("new-space", [this] {
        const std::string name = "Space " + std::to_string(m_ctx.state.spaces().size() + 1);
        m_ctx.state.createNewSpace(name, SpaceColor::blue, "folder");
    }, {"<Control><Shift>n"});
    add("close-tab", [this] {
        if (auto id = m_ctx.state.activeTabId())
            m_ctx.state.removeTab(*id);
    }, {"<Control>w"});
    add("reopen-closed-tab", [this] { m_ctx.state.reopenClosedTab(); }, {"<Control><Shift>t"});
    add("switch-tabs", [this] {
        m_ctx.state.setCommandBarMode(BrowserState::CommandBarMode::tabs);
        m_ctx.state.setIsCommandBarVisible(true);
    }, {"<Control><Shift>o"});

    // Edit
    add("go-back", [this] { postPageCommand(notifications::webViewGoBack); }, {"<Control>bracketleft"});
    add("go-forward", [this] { postPageCommand(notifications::webViewGoForward); }, {"<Control>bracketright"});
    add("reload", [this] { postPageCommand(notifications::webViewReload); }, {"<Control>r"});

    // View
    add("toggle-command-bar", [this] {
        BrowserState& s = m_ctx.state;
        if (!s.isCommandBarVisible()) {
            s.setCommandBarMode(BrowserState::CommandBarMode::all);
            s.setIsCommandBarVisible(true);
        } else {
            s.setIsCommandBarVisible(false);
            s.setCommandBarMode(BrowserState::CommandBarMode::all);
        }
    }, {"<Control>k"});
    add("toggle-bezel", [this] { m_ctx.state.setIsBrowserBezelEnabled(!m_ctx.state.isBrowserBezelEnabled()); },
        {"<Control><Alt>b"});
    add("find-in-page", [this] { m_ctx.state.toggleFindInPage(); }, {"<Control>f"});
    add("toggle-split-view", [this] { m_ctx.state.toggleSplitView(); }, {"<Control><Alt>d"});
    add("show-history", [this] { m_ctx.state.setIsHistoryPanelVisible(!m_ctx.state.isHistoryPanelVisible()); },
        {"<Control>y"});
    add("show-downloads",
        [this] { m_ctx.state.setIsDownloadsPanelVisible(!m_ctx.state.isDownloadsPanelVisible()); },
        {"<Control><Alt>j"});
    add("toggle-dev-tools", [this] { m_ctx.state.toggleDevTools(); }, {"<Control><Alt>i"});
    add("picture-in-picture", [this] { postPageCommand(notifications::enterPictureInPicture); },
        {"<Control><Shift>p"});
    add("ai-chat", [this] { m_ctx.state.setIsAIChatVisible(!m_ctx.state.isAIChatVisible()); },
        {"<Control><Shift>a"});
    add("toggle-max-settings",
        [this] { m_ctx.state.setIsKoviMaxSettingsVisible(!m_ctx.state.isKoviMaxSettingsVisible()); });
    add("toggle-layout", [this] {
        // Changes the layout only; the window buttons follow the layout by themselves.
        BrowserState& s = m_ctx.state;
        s.setLayoutMode(s.layoutMode() == BrowserLayoutMode::traditional ? BrowserLayoutMode::vertical
                                                                          : BrowserLayoutMode::traditional);
    }, {"<Control><Shift>l"});
    add("zoom-in", [this] { postPageCommand(notifications::webViewZoomIn); }, {"<Control>equal"});
    add("zoom-in-plus", [this] { postPageCommand(notifications::webViewZoomIn); },
        {"<Control>plus", "<Control>KP_Add"});
    add("zoom-out", [this] { postPageCommand(notifications::webViewZoomOut); }, {"<Control>minus"});
    add("zoom-reset", [this] { postPageCommand(notifications::webViewZoomReset); }, {"<Control>0"});

    // Bookmarks
    add("bookmark-page", [this] { saveActivePage("Bookmarks"); }, {"<Control>d"});
    add("add-to-reading-list", [this] { saveActivePage("Reading List"); }, {"<Control><Shift>d"});
    add("show-library", [this] { m_ctx.state.setIsLibraryVisible(true); }, {"<Control><Shift>b"});
    add("save-workspace", [this] { m_ctx.state.saveCurrentWorkspace(); });
    add("toggle-bookmarks-bar", [this] {
        const bool shown = m_ctx.defaults.boolForKey(bookmarksBarKey());
        m_ctx.defaults.setBool(bookmarksBarKey(), !shown);
    });
    add("page-extensions", [this] { m_ctx.state.setIsExtensionsVisible(true); });

    // Spaces
    {
        auto a = Gio::SimpleAction::create("switch-to-space", Glib::VariantType("s"));
        a->signal_activate().connect([this](const Glib::VariantBase& parameter) {
            const auto text = Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(parameter).get();
            if (auto id = Uuid::parse(text.raw()))
                m_ctx.state.setCurrentSpaceId(*id);
        });
        m_app.add_action(a);
        m_actions["switch-to-space"] = a;
    }
    addWithInt("space", [this](int n) {
        const auto& spaces = m_ctx.state.spaces();
        if (n >= 1 && static_cast<std::size_t>(n) <= spaces.size())
            m_ctx.state.setCurrentSpaceId(spaces[static_cast<std::size_t>(n - 1)].id);
    });
    for (int n = 1; n <= 9; ++n)
        addIntAccels("space", n, {"<Control><Alt>" + std::to_string(n)});

    // Tabs
    add("next-tab", [this] { m_ctx.state.switchActiveTab(1); }, {"<Control><Alt>Right"});
    add("previous-tab", [this] { m_ctx.state.switchActiveTab(-1); }, {"<Control><Alt>Left"});
    addWithInt("select-tab", [this](int n) {
        const auto ids = m_ctx.state.orderedTabIdsForKeyboardNavigation();
        if (ids.empty() || n < 1)
            return;
        const std::size_t index = std::min<std::size_t>(static_cast<std::size_t>(n), ids.size()) - 1;
        m_ctx.state.setActiveTabId(ids[index]);
    });
    for (int n = 1; n <= 9; ++n)
        addIntAccels("select-tab", n, {"<Control>" + std::to_string(n)});

    // Settings
    add("check-for-updates", [this] {
        if (m_ctx.updates)
            m_ctx.updates->checkForUpdates(true);
    });
    {
        const char* raw = state.layoutMode() == BrowserLayoutMode::traditional ? "traditional" : "vertical";
        auto a = Gio::SimpleAction::create("browser-layout", Glib::VariantType("s"),
                                           Glib::Variant<Glib::ustring>::create(raw));
        a->signal_activate().connect([this](const Glib::VariantBase& parameter) {
            const auto text = Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(parameter).get();
            auto mode = browserLayoutModeFromRawValue(text.raw());
            if (!mode)
                return;
            // Set first, then announce, even when the layout is already the chosen one.
            m_ctx.state.setLayoutMode(*mode);
            m_ctx.notifications.post(notifications::layoutModeChanged);
        });
        m_app.add_action(a);
        m_actions["browser-layout"] = a;
    }
    {
        auto a = Gio::SimpleAction::create_bool("liquid-glass", m_ctx.appearance.isLiquidGlassEnabled());
        a->signal_activate().connect([this](const Glib::VariantBase&) {
            m_ctx.appearance.setIsLiquidGlassEnabled(!m_ctx.appearance.isLiquidGlassEnabled());
        });
        m_app.add_action(a);
        m_actions["liquid-glass"] = a;
    }
    {
        auto a = Gio::SimpleAction::create("appearance", Glib::VariantType("s"),
                                           Glib::Variant<Glib::ustring>::create(m_ctx.appearance.isDarkMode() ? "dark"
                                                                                                               : "light"));
        a->signal_activate().connect([this](const Glib::VariantBase& parameter) {
            const auto text = Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(parameter).get();
            m_ctx.appearance.setIsDarkMode(text == "dark");
        });
        m_app.add_action(a);
        m_actions["appearance"] = a;
    }
    add("open-max-settings", [this] { m_ctx.state.setIsKoviMaxSettingsVisible(true); });
    add("settings", [this] { m_ctx.notifications.post(notifications::showSettings); }, {"<Control>comma"});

    buildMenu();

    auto refreshAll = [this] {
        refreshTitles();
        refreshEnabled();
        refreshStates();
    };
    m_connections.push_back(state.isBrowserBezelEnabledChanged.connect(refreshAll));
    m_connections.push_back(state.splitViewConfigChanged.connect(refreshAll));
    m_connections.push_back(state.layoutModeChanged.connect(refreshAll));
    m_connections.push_back(state.activeTabIdChanged.connect(refreshAll));
    m_connections.push_back(state.tabsChanged.connect(refreshAll));
    m_connections.push_back(state.currentSpaceIdChanged.connect(refreshAll));
    m_connections.push_back(state.spacesChanged.connect([this, refreshAll] {
        refreshSpaces();
        refreshAll();
    }));
    m_connections.push_back(m_ctx.appearance.isDarkModeChanged.connect([this] { refreshStates(); }));
    m_connections.push_back(m_ctx.appearance.isLiquidGlassEnabledChanged.connect([this] { refreshStates(); }));
    refreshSpaces();
    refreshAll();
}

MenuCommands::~MenuCommands()
{
    for (auto& c : m_connections)
        c.disconnect();
    for (auto& [name, action] : m_actions)
        m_app.remove_action(name);
}

Glib::RefPtr<Gio::SimpleAction> MenuCommands::add(const std::string& name, std::function<void()> run,
                                                  const std::vector<Glib::ustring>& accels)
{
    auto action = Gio::SimpleAction::create(name);
    action->signal_activate().connect([run = std::move(run)](const Glib::VariantBase&) { run(); });
    m_app.add_action(action);
    if (!accels.empty()) {
        m_app.set_accels_for_action("app." + name, accels);
        m_accels.emplace_back("app." + name, accels);
    }
    m_actions[name] = action;
    return action;
}

Glib::RefPtr<Gio::SimpleAction> MenuCommands::addWithInt(const std::string& name, std::function<void(int)> run)
{
    auto action = Gio::SimpleAction::create(name, Glib::VariantType("i"));
    action->signal_activate().connect([run = std::move(run)](const Glib::VariantBase& parameter) {
        run(Glib::VariantBase::cast_dynamic<Glib::Variant<int>>(parameter).get());
    });
    m_app.add_action(action);
    m_actions[name] = action;
    return action;
}

void MenuCommands::addIntAccels(const std::string& name, int value, const std::vector<Glib::ustring>& accels)
{
    m_app.set_accels_for_action("app." + name + "(" + std::to_string(value) + ")", accels);
    m_accels.emplace_back("app." + name + "(" + std::to_string(value) + ")", accels);
}

Glib::RefPtr<Gtk::ShortcutController> MenuCommands::makeShortcutController() const
{
    auto controller = Gtk::ShortcutController::create();
    controller->set_scope(Gtk::ShortcutScope::LOCAL);
    controller->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    for (const auto& [detailed, accels] : m_accels) {
        for (const auto& accel : accels) {
            GtkShortcutTrigger* trigger = gtk_shortcut_trigger_parse_string(accel.c_str());
            if (!trigger)
                continue;
            GtkShortcutAction* action = gtk_shortcut_action_parse_string(("action(" + detailed + ")").c_str());
            if (!action) {
                g_object_unref(trigger);
                continue;
            }
            gtk_shortcut_controller_add_shortcut(controller->gobj(), gtk_shortcut_new(trigger, action));
        }
    }
    return controller;
}

Glib::RefPtr<Gio::MenuItem> MenuCommands::item(const std::string& label, const std::string& detailedAction)
{
    return Gio::MenuItem::create(label, detailedAction);
}

void MenuCommands::activate(const std::string& name)
{
    if (auto a = action(name); a && a->get_enabled())
        a->activate();
}

void MenuCommands::activate(const std::string& name, const Glib::VariantBase& parameter)
{
    if (auto a = action(name); a && a->get_enabled())
        a->activate_variant(parameter);
}

bool MenuCommands::isEnabled(const std::string& name) const
{
    auto a = action(name);
    return a && a->get_enabled();
}

Glib::RefPtr<Gio::SimpleAction> MenuCommands::action(const std::string& name) const
{
    auto it = m_actions.find(name);
    return it == m_actions.end() ? nullptr : it->second;
}

void MenuCommands::buildMenu()
{
    m_menu = Gio::Menu::create();
    auto submenu = [this](const std::string& title) {
        auto menu = Gio::Menu::create();
        m_menu->append_submenu(title, menu);
        m_menus[title] = menu;
        return menu;
    };
    auto section = [](const Glib::RefPtr<Gio::Menu>& menu) {
        auto s = Gio::Menu::create();
        menu->append_section(s);
        return s;
    };

    auto kovi = submenu("Kovi");
    section(kovi)->append("About Kovi", "app.about");
    section(kovi)->append("Quit", "app.quit");

    auto file = submenu("File");
    auto fileNew = section(file);
    fileNew->append("New Tab", "app.new-tab");
    fileNew->append("New Space", "app.new-space");
    auto fileClose = section(file);
    fileClose->append("Close Tab", "app.close-tab");
    fileClose->append("Reopen Last Closed Tab", "app.reopen-closed-tab");
    section(file)->append("Switch Tabs", "app.switch-tabs");

    auto edit = submenu("Edit");
    auto nav = section(edit);
    nav->append("Go Back", "app.go-back");
    nav->append("Go Forward", "app.go-forward");
    nav->append("Reload", "app.reload");

    auto view = submenu("View");
    m_viewBarSection = section(view);
    m_viewBarSection->append("Toggle Command Bar", "app.toggle-command-bar");
    m_viewBarSection->append("Enable Browser Bezel", "app.toggle-bezel");
    m_viewSplitSection = section(view);
    m_viewSplitSection->append("Find in Page", "app.find-in-page");
    m_viewSplitSection->append("Open Split View", "app.toggle-split-view");
    auto panels = section(view);
    panels->append("Show History", "app.show-history");
    panels->append("Show Downloads", "app.show-downloads");
    auto tools = section(view);
    tools->append("Toggle Developer Tools", "app.toggle-dev-tools");
    tools->append("Enter Picture in Picture", "app.picture-in-picture");
    auto ai = section(view);
    ai->append("Kovi AI Chat", "app.ai-chat");
    ai->append("Kovi Max Settings", "app.toggle-max-settings");
    m_viewLayoutSection = section(view);
    m_viewLayoutSection->append("Switch to Horizontal Tabs", "app.toggle-layout");
    auto zoom = section(view);
    zoom->append("Zoom In", "app.zoom-in");
    zoom->append("Zoom In (+)", "app.zoom-in-plus");
    zoom->append("Zoom Out", "app.zoom-out");
    zoom->append("Actual Size", "app.zoom-reset");

    auto bookmarks = submenu("Bookmarks");
    auto save = section(bookmarks);
    save->append("Bookmark Current Page", "app.bookmark-page");
    save->append("Add to Reading List", "app.add-to-reading-list");
    save->append("Show Library", "app.show-library");
    auto workspace = section(bookmarks);
    workspace->append("Save Current Workspace", "app.save-workspace");
    workspace->append("Toggle Bookmarks Bar", "app.toggle-bookmarks-bar");
    section(bookmarks)->append("Page Extensions\u2026", "app.page-extensions");

    auto spaces = submenu("Spaces");
    m_spaceSwitchSection = section(spaces);
    auto numbered = section(spaces);
    for (int n = 1; n <= 9; ++n)
        numbered->append("Space " + std::to_string(n), "app.space(" + std::to_string(n) + ")");

    auto tabs = submenu("Tabs");
    auto step = section(tabs);
    step->append("Next Tab", "app.next-tab");
    step->append("Previous Tab", "app.previous-tab");
    auto select = section(tabs);
    for (int n = 1; n <= 9; ++n)
        select->append("Select Tab " + std::to_string(n), "app.select-tab(" + std::to_string(n) + ")");

    auto settings = submenu("Settings");
    section(settings)->append("Check for Updates...", "app.check-for-updates");
    auto layout = Gio::Menu::create();
    layout->append("Vertical Tabs", "app.browser-layout::vertical");
    layout->append("Horizontal Tabs", "app.browser-layout::traditional");
    section(settings)->append_submenu("Browser Layout", layout);
    auto appearance = Gio::Menu::create();
    section(appearance)->append("Liquid Glass", "app.liquid-glass");
    auto scheme = section(appearance);
    scheme->append("Dark Mode", "app.appearance::dark");
    scheme->append("Light Mode", "app.appearance::light");
    section(settings)->append_submenu("Appearance", appearance);
    section(settings)->append("Kovi Max Settings...", "app.open-max-settings");
    section(settings)->append("Settings...", "app.settings");
}

void MenuCommands::refreshTitles()
{
    const BrowserState& state = m_ctx.state;
    replaceItem(m_viewBarSection, 1,
                item(state.isBrowserBezelEnabled() ? "Disable Browser Bezel" : "Enable Browser Bezel",
                     "app.toggle-bezel"));
    replaceItem(m_viewSplitSection, 1,
                item(state.splitViewConfig().isEnabled ? "Close Split View" : "Open Split View",
                     "app.toggle-split-view"));
    replaceItem(m_viewLayoutSection, 0, item(layoutToggleTitle(state), "app.toggle-layout"));
}

void MenuCommands::refreshSpaces()
{
    m_spaceSwitchSection->remove_all();
    for (const auto& space : m_ctx.state.spaces()) {
        auto entry = Gio::MenuItem::create("Switch to " + space.name, "");
        entry->set_action_and_target("app.switch-to-space", Glib::Variant<Glib::ustring>::create(space.id.toString()));
        m_spaceSwitchSection->append_item(entry);
    }
}

void MenuCommands::refreshEnabled()
{
    const BrowserState& state = m_ctx.state;
    const auto tab = state.activeTab();
    const bool canSave = tab && BrowserLibrary::isWebURL(tab->url);
    m_actions["bookmark-page"]->set_enabled(canSave);
    m_actions["add-to-reading-list"]->set_enabled(canSave);
    m_actions["save-workspace"]->set_enabled(!state.pinnedTabs().empty() || !state.unpinnedTabs().empty());
}

void MenuCommands::refreshStates()
{
    const char* raw = m_ctx.state.layoutMode() == BrowserLayoutMode::traditional ? "traditional" : "vertical";
    m_actions["browser-layout"]->set_state(Glib::Variant<Glib::ustring>::create(raw));
    m_actions["liquid-glass"]->set_state(Glib::Variant<bool>::create(m_ctx.appearance.isLiquidGlassEnabled()));
    m_actions["appearance"]->set_state(
        Glib::Variant<Glib::ustring>::create(m_ctx.appearance.isDarkMode() ? "dark" : "light"));
}

void MenuCommands::postPageCommand(const char* name)
{
    // Posted even with no active tab: then no page answers.
    m_ctx.notifications.post(name, m_ctx.state.activeTabId());
}

void MenuCommands::saveActivePage(const std::string& collection)
{
    const auto tab = m_ctx.state.activeTab();
    if (!tab)
        return;
    std::string title = tab->title;
    if (title.empty())
        title = tab->url.host().value_or("Untitled");
    m_ctx.library.save(tab->url, title, collection);
}

std::vector<std::string> MenuCommands::labels(const std::string& menuTitle) const
{
    std::vector<std::string> out;
    auto it = m_menus.find(menuTitle);
    if (it != m_menus.end())
        collectLabels(it->second, out);
    return out;
}

} // namespace kovi
