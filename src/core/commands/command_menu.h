#pragma once

#include "core/commands/command.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kovi {

struct Menu;

// An item of a menu: a command run with an argument, or a submenu.
struct MenuEntry {
    std::string commandId; // empty for a submenu
    CommandArgument argument;
    std::string title; // empty: the command's current title
    std::shared_ptr<const Menu> submenu;

    bool operator==(const MenuEntry& other) const
    {
        return commandId == other.commandId && argument == other.argument && title == other.title &&
               submenu == other.submenu;
    }
};

// A group of items set apart by dividers. A section whose items follow the state (one per
// space) has a rule instead of fixed items.
struct MenuSection {
    std::vector<MenuEntry> entries;
    std::function<std::vector<MenuEntry>()> entriesRule;

    std::vector<MenuEntry> currentEntries() const { return entriesRule ? entriesRule() : entries; }
};

struct Menu {
    std::string title;
    std::vector<MenuSection> sections;
};

} // namespace kovi
