#include "ui/settings/profiles_settings_tab.h"

#include "ui/design/symbols.h"
#include "ui/settings/settings_section.h"

#include <gtkmm/image.h>

namespace kovi {

ProfilesSettingsTab::ProfilesSettingsTab() : Gtk::Box(Gtk::Orientation::VERTICAL, 20)
{
    add_css_class("kovi-settings-page");
    set_margin(24);
    set_hexpand(true);
    set_vexpand(true);
    set_valign(Gtk::Align::CENTER);

    auto* symbol = makeSymbolImage("person.2", 48);
    symbol->add_css_class("kovi-tertiary");
    append(*symbol);
    auto* title = settings_ui::makeLabel("Profiles", {"kovi-settings-title-18"});
    title->set_xalign(0.5);
    append(*title);
    auto* text = settings_ui::makeLabel("Create separate browsing profiles for work, personal, and more.",
                                        {"kovi-settings-13", "kovi-secondary"});
    text->set_xalign(0.5);
    text->set_justify(Gtk::Justification::CENTER);
    text->set_wrap(true);
    text->set_max_width_chars(40);
    text->set_halign(Gtk::Align::CENTER);
    append(*text);
    m_create.set_label("Create Profile");
    m_create.add_css_class("suggested-action");
    m_create.set_halign(Gtk::Align::CENTER);
    append(m_create);
}

} // namespace kovi
