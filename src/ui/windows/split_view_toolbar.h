#pragma once

#include <giomm/simpleactiongroup.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/menubutton.h>

namespace kovi {

class BrowserState;

// The small bar over the top-right corner of the split view: a menu that starts the split again
// with the active tab on the left or on the right, and buttons that swap the panes, give them
// equal widths and close the split (the command table's toggle-split-view). Its own commands
// are the actions "split.add-left", "split.add-right", "split.swap" and "split.equal". The fill
// is opaque: the toolkit cannot blur what lies behind it. Main thread only.
class SplitViewToolbar : public Gtk::Box {
public:
    explicit SplitViewToolbar(BrowserState& state);

    Gtk::MenuButton& splitMenuButton() { return m_menu; }
    Gtk::Button& swapButton() { return m_swap; }
    Gtk::Button& equalButton() { return m_equal; }
    Gtk::Button& closeButton() { return m_close; }

private:
    BrowserState& m_state;
    Glib::RefPtr<Gio::SimpleActionGroup> m_actions;
    Gtk::MenuButton m_menu;
    Gtk::Button m_swap;
    Gtk::Button m_equal;
    Gtk::Button m_close;
};

} // namespace kovi
