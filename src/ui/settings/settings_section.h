#pragma once

#include <gtkmm/box.h>
#include <gtkmm/label.h>

#include <string>

namespace Gtk {
class Widget;
}

namespace kovi {

// The rounded group box every settings tab lays its rows in: a column with 12 px between rows,
// padded 16 px, as wide as the tab, on a half-transparent control fill. No title or border.
class SettingsSection : public Gtk::Box {
public:
    SettingsSection();
    // Appends a managed widget; returns it for chaining.
    Gtk::Widget& add(Gtk::Widget& row);
};

// Pieces the tabs share.
namespace settings_ui {

// A tab's page: a column with 20 px between sections, padded 24 px.
Gtk::Box* makeTabPage();
// 13-px semibold heading, then a divider, as the first rows of a section.
void addHeading(SettingsSection& section, const std::string& text);
// A text label of the given style classes ("kovi-settings-13", "kovi-secondary", …), left aligned.
Gtk::Label* makeLabel(const std::string& text, std::initializer_list<const char*> classes = {"kovi-settings-13"});
// A description under a control: 11 px, wrapped.
Gtk::Label* makeDescription(const std::string& text, bool tertiary = false);
// Label, flexible space, control: a picker or button row.
Gtk::Box* makeRow(Gtk::Widget& leading, Gtk::Widget& trailing);
Gtk::Box* makeRow(const std::string& label, Gtk::Widget& trailing);
Gtk::Widget* makeDivider();
// Greys out a control that has nothing behind it yet, with a tooltip saying so.
void markUnavailable(Gtk::Widget& control);

} // namespace settings_ui
} // namespace kovi
