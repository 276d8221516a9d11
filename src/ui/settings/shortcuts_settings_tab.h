#pragma once

#include <gtkmm/box.h>

namespace kovi {

// The Shortcuts tab: a fixed reference of the main keyboard shortcuts, in the Linux form the
// menus bind them.
class ShortcutsSettingsTab : public Gtk::Box {
public:
    ShortcutsSettingsTab();
};

} // namespace kovi
