#pragma once

#include <functional>
#include <string>
#include <variant>
#include <vector>

namespace kovi {

// What a command takes when it runs: nothing, a number (Space N, Select Tab N) or a text (a
// space's id, a layout or appearance name).
enum class CommandParameter { none, number, text };
using CommandArgument = std::variant<std::monostate, int, std::string>;

// What a command shows beside its title: nothing, a check mark that is on or off, or the chosen
// value of a group of items that each run the command with their own text.
using CommandState = std::variant<std::monostate, bool, std::string>;

// A key combination that runs a command; `argument` is what it passes to a command that takes one.
struct Shortcut {
    enum Modifier : unsigned { control = 1u << 0, shift = 1u << 1, alt = 1u << 2 };
    unsigned modifiers = 0;
    std::string key; // by its key symbol name: "t", "bracketleft", "Right", "KP_Add"
    CommandArgument argument;
};

// One entry of the command table. The rules are read again whenever the table reports a change;
// an unset rule means a fixed title, always enabled, no state.
struct Command {
    std::string id;
    std::string title;
    std::function<std::string()> titleRule; // for titles that follow the state
    std::vector<Shortcut> shortcuts;
    CommandParameter parameter = CommandParameter::none;
    std::function<bool()> enabledRule;
    // For a command that takes an argument: whether this argument names something that exists
    // now (Space N needs N spaces). Unset: every argument does.
    std::function<bool(const CommandArgument&)> argumentRule;
    std::function<CommandState()> stateRule;
    std::function<void(const CommandArgument&)> handler;

    std::string currentTitle() const { return titleRule ? titleRule() : title; }
    bool isEnabled() const { return !enabledRule || enabledRule(); }
    // With an argument of its kind: also whether that argument can be used now.
    bool isEnabled(const CommandArgument& argument) const
    {
        return isEnabled() && (!argumentRule || std::holds_alternative<std::monostate>(argument) || argumentRule(argument));
    }
    CommandState currentState() const { return stateRule ? stateRule() : CommandState{}; }
    // Whether `argument` is of the kind the command takes.
    bool accepts(const CommandArgument& argument) const;
};

} // namespace kovi
