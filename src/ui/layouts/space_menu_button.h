#pragma once

#include "core/support/scoped_connections.h"

#include <gtkmm/box.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/menubutton.h>
#include <gtkmm/popover.h>

#include <string>
#include <vector>

namespace kovi {

class BrowserState;

// The current space's menu in the horizontal tab bar: a capsule in the space's colour with its
// icon and name; the menu lists every space (a check mark on the current one) and "New
// Space...". Items run the command table's "switch-to-space" and "new-space". Hidden while no
// space is current. Main thread only; the state outlives it.
class SpaceMenuButton : public Gtk::MenuButton {
public:
    explicit SpaceMenuButton(BrowserState& state);

    // The items as shown, for tests: "<name>" with " ✓" on the current space.
    std::vector<std::string> itemLabels() const;
    Gtk::Popover& menu() { return m_popover; }
    std::string shownName() const { return m_name.get_text(); }

private:
    void refresh();

    BrowserState& m_state;
    Gtk::Box m_label{Gtk::Orientation::HORIZONTAL, 6};
    Gtk::Image m_icon;
    Gtk::Label m_name;
    Gtk::Popover m_popover;
    Gtk::Box m_items{Gtk::Orientation::VERTICAL, 0};
    std::vector<std::string> m_itemLabels;
    ScopedConnections m_connections;
};

} // namespace kovi
