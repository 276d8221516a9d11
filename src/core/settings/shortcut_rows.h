#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kovi {

// The rows of the settings window's keyboard-shortcut reference: what the row says, the menu
// command it describes and that command's accelerator as the menus bind it (GTK accelerator
// syntax). The settings library sits below the command table, so the keys are repeated here; a
// test of the command table holds them equal.
struct ShortcutRowEntry {
    std::string_view action;
    std::string_view command;
    std::string_view accelerator;
};

inline constexpr std::array<ShortcutRowEntry, 8> shortcutRows = {{
    {"New Tab", "new-tab", "<Control>t"},
    {"Close Tab", "close-tab", "<Control>w"},
    {"Command Bar", "toggle-command-bar", "<Control>k"},
    {"Switch Tabs", "switch-tabs", "<Control><Shift>o"},
    {"Split View", "toggle-split-view", "<Control><Alt>d"},
    {"Find in Page", "find-in-page", "<Control>f"},
    {"History", "show-history", "<Control>y"},
    {"Downloads", "show-downloads", "<Control><Alt>j"},
}};

// An accelerator as shown to the user: "<Control><Shift>o" gives "Ctrl+Shift+O". Modifiers
// come in the order Ctrl, Alt, Shift, Super, whatever order the accelerator names them in.
std::string shortcutText(std::string_view accelerator);

} // namespace kovi
