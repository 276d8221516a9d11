#pragma once

#include "core/commands/command_ids.h"

#include <string>

namespace kovi {

// The name under which a command of the command table is an action of every window ("app.<id>"),
// for Gtk::Actionable::set_action_name.
inline std::string appAction(const char* commandId)
{
    return std::string("app.") + commandId;
}

} // namespace kovi
