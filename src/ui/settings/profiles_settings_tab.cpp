#include "ui/settings/profiles_settings_tab.h"

#include "ui/design/symbols.h"
#include "ui/settings/settings_section.h"

#include <adwaita.h>
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
    // Wraps inside at most 300 px, whatever the font: the clamp gives it no more.
    auto* clamp = Gtk::manage(Glib::wrap(adw_clamp_new()));
    adw_clamp_set_maximum_size(ADW_CLAMP(clamp->gobj()), descriptionMaxWidth);
    adw_clamp_set_tightening_threshold(ADW_CLAMP(clamp->gobj()), descriptionMaxWidth);
    adw_clamp_set_child(ADW_CLAMP(clamp->gobj()), text->Gtk::Widget::gobj());
    m_description = text;
    append(*clamp);
    m_create.set_label("Create Profile");
    m_create.add_css_class("suggested-action");
    m_create.set_halign(Gtk::Align::CENTER);
    settings_ui::markUnavailable(m_create);
    append(m_create);
}

} // namespace kovi
