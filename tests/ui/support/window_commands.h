#pragma once

#include "core/commands/command_table.h"
#include "ui/app/command_actions.h"

#include <giomm/simpleactiongroup.h>
#include <gtkmm/window.h>

#include <memory>

namespace kovi::test {

// The command table and its actions for views tested in a window of their own: attach() gives
// the window the actions as "app.<id>", as the application gives its windows, so buttons that
// run commands work there too. The actions are made on the first attach(), once the toolkit is
// set up (fixtures build their objects before that).
struct WindowCommands {
    explicit WindowCommands(CommandTable::Services services) : table(services) {}

    void attach(Gtk::Window& window)
    {
        if (!actions) {
            group = Gio::SimpleActionGroup::create();
            actions = std::make_unique<CommandActions>(table, *group);
        }
        window.insert_action_group("app", group);
    }

    CommandTable table;
    Glib::RefPtr<Gio::SimpleActionGroup> group;
    std::unique_ptr<CommandActions> actions;
};

} // namespace kovi::test
