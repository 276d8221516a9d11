#include "ui/app/command_actions.h"

#include "core/commands/command_ids.h"

#include <gtk/gtk.h>
#include <gtkmm/accelerator.h>

#include <algorithm>

namespace kovi {

namespace {

// Not a command: the action of menu items that cannot be chosen now, which the toolkit greys out.
constexpr const char* unavailableAction = "unavailable";

Glib::VariantType parameterType(CommandParameter parameter)
{
    return Glib::VariantType(parameter == CommandParameter::number ? "i" : "s");
}

Glib::VariantBase toVariant(const CommandArgument& argument)
{
    if (const int* n = std::get_if<int>(&argument))
        return Glib::Variant<int>::create(*n);
    if (const std::string* text = std::get_if<std::string>(&argument))
        return Glib::Variant<Glib::ustring>::create(*text);
    return {};
}

CommandArgument fromVariant(const Glib::VariantBase& value)
{
    if (!value)
        return {};
    if (value.is_of_type(Glib::VARIANT_TYPE_INT32))
        return Glib::VariantBase::cast_dynamic<Glib::Variant<int>>(value).get();
    if (value.is_of_type(Glib::VARIANT_TYPE_STRING))
        return Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(value).get().raw();
    return {};
}

Glib::VariantBase stateVariant(const CommandState& state)
{
    if (const bool* on = std::get_if<bool>(&state))
        return Glib::Variant<bool>::create(*on);
    if (const std::string* chosen = std::get_if<std::string>(&state))
        return Glib::Variant<Glib::ustring>::create(*chosen);
    return {};
}

std::string detailedName(const std::string& id, const CommandArgument& argument)
{
    Glib::VariantBase target = toVariant(argument);
    gchar* name = g_action_print_detailed_name(("app." + id).c_str(), target ? target.gobj() : nullptr);
    std::string result = name;
    g_free(name);
    return result;
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

// One key of the browser window: the window's own use of it, then its command, past an open
// panel. Holds the table weakly.
struct WindowKey {
    std::weak_ptr<CommandTable*> table;
    std::string commandId; // empty: the window's own key only
    CommandArgument argument;
    std::function<bool()> own;

    static gboolean run(GtkWidget*, GVariant*, gpointer data) noexcept
    {
        auto* key = static_cast<WindowKey*>(data);
        if (key->own && key->own())
            return TRUE;
        auto alive = key->table.lock();
        if (!alive || key->commandId.empty())
            return FALSE;
        CommandTable& table = **alive;
        switch (table.routeShortcut(key->commandId)) {
        case CommandTable::ShortcutRoute::run:
            // The key is the browser's even when its command cannot act now: nothing happens,
            // as its greyed-out menu item says. Passed on, the toolkit's own use of it (its
            // inspector's Ctrl+Shift+D) would act instead.
            table.run(key->commandId, key->argument);
            return TRUE;
        case CommandTable::ShortcutRoute::closePanel:
            if (auto panel = table.openPanel())
                table.closePanel(*panel);
            return TRUE;
        case CommandTable::ShortcutRoute::keep:
            return TRUE;
        }
        return FALSE;
    }
    static void destroy(gpointer data) noexcept { delete static_cast<WindowKey*>(data); }
};

void addWindowKey(GtkShortcutController* controller, const std::string& accel, WindowKey* key)
{
    GtkShortcutTrigger* trigger = gtk_shortcut_trigger_parse_string(accel.c_str());
    if (!trigger) {
        delete key;
        return;
    }
    gtk_shortcut_controller_add_shortcut(
        controller, gtk_shortcut_new(trigger, gtk_callback_action_new(&WindowKey::run, key, &WindowKey::destroy)));
}

} // namespace

CommandActions::CommandActions(CommandTable& table, Gio::ActionMap& actions)
    : m_table(table), m_map(actions.gobj()), m_alive(std::make_shared<CommandTable*>(&table))
{
    g_object_add_weak_pointer(G_OBJECT(m_map), reinterpret_cast<gpointer*>(&m_map));
    for (const Command& command : m_table.commands())
        addAction(command);
    m_unavailable = Gio::SimpleAction::create(unavailableAction);
    m_unavailable->set_enabled(false);
    g_action_map_add_action(m_map, G_ACTION(m_unavailable->gobj()));
    m_menu = Gio::Menu::create();
    for (const Menu& menu : m_table.menus()) {
        auto built = buildMenu(menu);
        m_menu->append_submenu(menu.title, built);
        m_menus[menu.title] = built;
    }
    m_connections.add(m_table.changed.connect([this] { refresh(); }));
    m_connections.add(m_table.menuEntriesChanged.connect([this] { refreshRuledSections(); }));
    refresh();
}

CommandActions::~CommandActions()
{
    m_connections.clear();
    if (!m_map)
        return;
    g_object_remove_weak_pointer(G_OBJECT(m_map), reinterpret_cast<gpointer*>(&m_map));
    for (const auto& [name, action] : m_actions)
        g_action_map_remove_action(m_map, name.c_str());
    g_action_map_remove_action(m_map, unavailableAction);
}

void CommandActions::addAction(const Command& command)
{
    const CommandState state = command.currentState();
    Glib::RefPtr<Gio::SimpleAction> action;
    if (command.parameter == CommandParameter::none) {
        action = std::holds_alternative<std::monostate>(state) ? Gio::SimpleAction::create(command.id)
                                                              : Gio::SimpleAction::create(command.id, stateVariant(state));
    } else {
        const auto type = parameterType(command.parameter);
        action = std::holds_alternative<std::monostate>(state)
                     ? Gio::SimpleAction::create(command.id, type)
                     : Gio::SimpleAction::create(command.id, type, stateVariant(state));
    }
    // The table changes the state itself, and the action follows it (refresh).
    m_connections.add(action->signal_activate().connect(
        [this, id = command.id](const Glib::VariantBase& parameter) { m_table.run(id, fromVariant(parameter)); }));
    g_action_map_add_action(m_map, G_ACTION(action->gobj()));
    m_actions[command.id] = action;

    // One accelerator list per detailed name: a numbered command gets one per number.
    for (const Shortcut& shortcut : command.shortcuts) {
        const std::string detailed = detailedName(command.id, shortcut.argument);
        auto it = std::find_if(m_accels.begin(), m_accels.end(), [&](const auto& a) { return a.first == detailed; });
        if (it == m_accels.end()) {
            m_accels.emplace_back(detailed, std::vector<Glib::ustring>{});
            m_shortcutTargets.emplace_back(command.id, shortcut.argument);
            it = std::prev(m_accels.end());
        }
        it->second.push_back(accelerator(shortcut));
    }
}

void CommandActions::installAccelerators(Gtk::Application& app)
{
    for (std::size_t i = 0; i < m_accels.size(); ++i) {
        if (m_shortcutTargets[i].first == commands::quit)
            app.set_accels_for_action(m_accels[i].first, m_accels[i].second);
    }
}

std::string CommandActions::accelerator(const Shortcut& shortcut)
{
    std::string text;
    if (shortcut.modifiers & Shortcut::control)
        text += "<Control>";
    if (shortcut.modifiers & Shortcut::shift)
        text += "<Shift>";
    if (shortcut.modifiers & Shortcut::alt)
        text += "<Alt>";
    return text + shortcut.key;
}

Glib::RefPtr<Gtk::ShortcutController> CommandActions::makeShortcutController() const
{
    auto controller = Gtk::ShortcutController::create();
    controller->set_scope(Gtk::ShortcutScope::LOCAL);
    controller->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    for (std::size_t i = 0; i < m_accels.size(); ++i) {
        const auto& [id, argument] = m_shortcutTargets[i];
        for (const auto& accel : m_accels[i].second) {
            GtkShortcutTrigger* trigger = gtk_shortcut_trigger_parse_string(accel.c_str());
            if (!trigger)
                continue;
            GtkShortcut* shortcut = gtk_shortcut_new(trigger, gtk_named_action_new(("app." + id).c_str()));
            if (Glib::VariantBase target = toVariant(argument))
                gtk_shortcut_set_arguments(shortcut, target.gobj());
            gtk_shortcut_controller_add_shortcut(controller->gobj(), shortcut);
        }
    }
    return controller;
}

Glib::RefPtr<Gtk::ShortcutController> CommandActions::makeWindowKeyController(std::vector<OwnKey> own) const
{
    auto controller = Gtk::ShortcutController::create();
    controller->set_scope(Gtk::ShortcutScope::LOCAL);
    controller->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    // One shortcut per key, so which runs first never depends on the toolkit's order.
    auto takeOwn = [&own](const Glib::ustring& accel) -> std::function<bool()> {
        auto it = std::find_if(own.begin(), own.end(), [&](const OwnKey& k) { return k.accelerator == accel.raw(); });
        if (it == own.end())
            return {};
        std::function<bool()> handle = std::move(it->handle);
        own.erase(it);
        return handle;
    };
    for (std::size_t i = 0; i < m_accels.size(); ++i) {
        const auto& [id, argument] = m_shortcutTargets[i];
        if (id == commands::quit)
            continue; // the application's, in every window
        for (const auto& accel : m_accels[i].second)
            addWindowKey(controller->gobj(), accel, new WindowKey{m_alive, id, argument, takeOwn(accel)});
    }
    for (OwnKey& key : own)
        addWindowKey(controller->gobj(), key.accelerator, new WindowKey{m_alive, {}, {}, std::move(key.handle)});
    return controller;
}

Glib::RefPtr<Gtk::EventControllerKey> CommandActions::makePanelEscapeController() const
{
    auto controller = Gtk::EventControllerKey::create();
    controller->signal_key_pressed().connect(
        [alive = std::weak_ptr<CommandTable*>(m_alive)](guint keyval, guint, Gdk::ModifierType modifiers) {
            auto table = alive.lock();
            if (!table || keyval != GDK_KEY_Escape ||
                (modifiers & Gtk::Accelerator::get_default_mod_mask()) != Gdk::ModifierType{})
                return false;
            const auto panel = (*table)->openPanel();
            if (!panel)
                return false;
            (*table)->closePanel(*panel);
            return true;
        },
        false);
    return controller;
}

Glib::RefPtr<Gio::Menu> CommandActions::buildMenu(const Menu& menu)
{
    auto built = Gio::Menu::create();
    for (const MenuSection& source : menu.sections) {
        auto section = Gio::Menu::create();
        if (source.entriesRule) {
            m_ruledSections.push_back({section, &source});
            fillSection(section, source.currentEntries(), false);
        } else {
            fillSection(section, source.entries, true);
        }
        built->append_section(section);
    }
    return built;
}

void CommandActions::fillSection(const Glib::RefPtr<Gio::Menu>& section, const std::vector<MenuEntry>& entries,
                                 bool tracked)
{
    for (const MenuEntry& entry : entries) {
        if (entry.submenu) {
            section->append_submenu(entry.title, buildMenu(*entry.submenu));
            continue;
        }
        const Command* command = m_table.command(entry.commandId);
        if (tracked && entry.title.empty() && command && command->titleRule)
            m_titledItems.push_back({section, section->get_n_items(), entry.commandId, command->currentTitle()});
        if (tracked && command && command->argumentRule)
            m_argumentItems.push_back({section, section->get_n_items(), entry, command->isEnabled(entry.argument)});
        section->append_item(menuItem(entry));
    }
}

Glib::RefPtr<Gio::MenuItem> CommandActions::menuItem(const MenuEntry& entry) const
{
    const Command* command = m_table.command(entry.commandId);
    const std::string title = !entry.title.empty() || !command ? entry.title : command->currentTitle();
    auto item = Gio::MenuItem::create(title, "");
    // The item shows the command's own key, the first of its list (the toolkit would pick any,
    // such as the keypad's plus of Zoom In); a greyed-out item shows the key it has once it can
    // be chosen.
    const std::string detailed = detailedName(entry.commandId, entry.argument);
    auto it = std::find_if(m_accels.begin(), m_accels.end(), [&](const auto& a) { return a.first == detailed; });
    if (it != m_accels.end() && !it->second.empty())
        item->set_attribute_value("accel", Glib::Variant<Glib::ustring>::create(it->second.front()));
    if (command && command->argumentRule && !command->isEnabled(entry.argument))
        item->set_action("app." + std::string(unavailableAction));
    else
        item->set_action_and_target("app." + entry.commandId, toVariant(entry.argument));
    return item;
}

void CommandActions::refresh()
{
    for (const Command& command : m_table.commands()) {
        const auto& action = m_actions[command.id];
        const bool enabled = command.isEnabled();
        if (action->get_enabled() != enabled)
            action->set_enabled(enabled);
        const Glib::VariantBase state = stateVariant(command.currentState());
        if (state && !state.equal(action->get_state_variant()))
            action->set_state(state);
    }
    // Replaced only when the title changed: every replacement rebuilds an open menu.
    for (TitledItem& titled : m_titledItems) {
        const std::string title = m_table.command(titled.commandId)->currentTitle();
        if (title == titled.shownTitle)
            continue;
        titled.shownTitle = title;
        titled.section->remove(titled.index);
        titled.section->insert_item(titled.index, menuItem(MenuEntry{titled.commandId, {}, {}, nullptr}));
    }
    for (ArgumentItem& argumentItem : m_argumentItems) {
        const bool enabled = m_table.isEnabled(argumentItem.entry.commandId, argumentItem.entry.argument);
        if (enabled == argumentItem.shownEnabled)
            continue;
        argumentItem.shownEnabled = enabled;
        argumentItem.section->remove(argumentItem.index);
        argumentItem.section->insert_item(argumentItem.index, menuItem(argumentItem.entry));
    }
}

void CommandActions::refreshRuledSections()
{
    for (const RuledSection& ruled : m_ruledSections) {
        ruled.section->remove_all();
        fillSection(ruled.section, ruled.source->currentEntries(), false);
    }
}

void CommandActions::activate(const std::string& name)
{
    if (auto a = action(name); a && a->get_enabled())
        a->activate();
}

void CommandActions::activate(const std::string& name, const Glib::VariantBase& parameter)
{
    if (auto a = action(name); a && a->get_enabled())
        a->activate_variant(parameter);
}

bool CommandActions::isEnabled(const std::string& name) const
{
    auto a = action(name);
    return a && a->get_enabled();
}

Glib::RefPtr<Gio::SimpleAction> CommandActions::action(const std::string& name) const
{
    auto it = m_actions.find(name);
    return it == m_actions.end() ? nullptr : it->second;
}

std::vector<std::string> CommandActions::keys(const std::string& detailedName) const
{
    auto it = std::find_if(m_accels.begin(), m_accels.end(), [&](const auto& a) { return a.first == detailedName; });
    return it == m_accels.end() ? std::vector<std::string>{} : std::vector<std::string>(it->second.begin(), it->second.end());
}

std::vector<std::string> CommandActions::labels(const std::string& menuTitle) const
{
    std::vector<std::string> out;
    auto it = m_menus.find(menuTitle);
    if (it != m_menus.end())
        collectLabels(it->second, out);
    return out;
}

} // namespace kovi
