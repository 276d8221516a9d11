#include "ui/settings/settings_section.h"

#include <gtkmm/separator.h>

namespace kovi {

SettingsSection::SettingsSection() : Gtk::Box(Gtk::Orientation::VERTICAL, 12)
{
    add_css_class("kovi-settings-section");
    set_hexpand(true);
}

Gtk::Widget& SettingsSection::add(Gtk::Widget& row)
{
    append(row);
    return row;
}

namespace settings_ui {

Gtk::Box* makeTabPage()
{
    auto* page = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 20);
    page->add_css_class("kovi-settings-page");
    page->set_margin(24);
    page->set_hexpand(true);
    return page;
}

void addHeading(SettingsSection& section, const std::string& text)
{
    section.add(*makeLabel(text, {"kovi-settings-heading"}));
    section.add(*makeDivider());
}

Gtk::Label* makeLabel(const std::string& text, std::initializer_list<const char*> classes)
{
    auto* label = Gtk::make_managed<Gtk::Label>(text);
    for (const char* name : classes)
        label->add_css_class(name);
    label->set_xalign(0);
    return label;
}

Gtk::Label* makeDescription(const std::string& text, bool tertiary)
{
    auto* label = makeLabel(text, {"kovi-settings-description", tertiary ? "kovi-tertiary" : "kovi-secondary"});
    label->set_wrap(true);
    return label;
}

Gtk::Box* makeRow(Gtk::Widget& leading, Gtk::Widget& trailing)
{
    auto* row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
    leading.set_hexpand(true);
    leading.set_valign(Gtk::Align::CENTER);
    trailing.set_valign(Gtk::Align::CENTER);
    trailing.set_halign(Gtk::Align::END);
    row->append(leading);
    row->append(trailing);
    return row;
}

Gtk::Box* makeRow(const std::string& label, Gtk::Widget& trailing)
{
    return makeRow(*makeLabel(label), trailing);
}

Gtk::Widget* makeDivider()
{
    return Gtk::make_managed<Gtk::Separator>(Gtk::Orientation::HORIZONTAL);
}

void markUnavailable(Gtk::Widget& control)
{
    control.set_sensitive(false);
    control.set_tooltip_text("Not available in this version");
}

} // namespace settings_ui
} // namespace kovi
