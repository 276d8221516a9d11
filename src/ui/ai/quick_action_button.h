#pragma once

#include <gtkmm/button.h>

namespace kovi {

// A suggestion of the chat's empty state: its symbol in purple, its title and an arrow, on a
// rounded fill that brightens while the pointer is over it.
class QuickActionButton : public Gtk::Button {
public:
    QuickActionButton(const char* title, const char* symbol);
    bool isHovered() const { return m_isHovered; }

private:
    bool m_isHovered = false;
};

} // namespace kovi
