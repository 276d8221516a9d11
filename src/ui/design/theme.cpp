#include "ui/design/theme.h"

#include "core/settings/appearance_manager.h"
#include "ui/design/space_palette.h"

#include <adwaita.h>
#include <giomm/resource.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/icontheme.h>
#include <gtkmm/stylecontext.h>
#include <gtkmm/window.h>

#include <algorithm>
#include <iostream>
#include <string>

extern "C" void kovi_register_resource();

namespace kovi {

Theme::Theme(AppearanceManager& appearance) : m_appearance(appearance)
{
    m_connections.push_back(m_appearance.isDarkModeChanged.connect(sigc::mem_fun(*this, &Theme::apply)));
    m_connections.push_back(m_appearance.isLiquidGlassEnabledChanged.connect(sigc::mem_fun(*this, &Theme::apply)));
}

Theme::~Theme()
{
    for (auto& c : m_connections)
        c.disconnect();
}

void Theme::installResources()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    kovi_register_resource();
    adw_init();

    auto display = Gdk::Display::get_default();
    if (!display)
        return;
    Gtk::IconTheme::get_for_display(display)->add_resource_path("/app/kovi/Browser/icons");

    std::vector<std::string> files;
    try {
        files = Gio::Resource::enumerate_children_global("/app/kovi/Browser/css/");
    } catch (const Glib::Error&) {
        return;
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        auto provider = Gtk::CssProvider::create();
        provider->signal_parsing_error().connect(
            [file](const Glib::RefPtr<const Gtk::CssSection>& section, const Glib::Error& error) {
                std::cerr << "Stylesheet " << file << ":" << (section ? section->get_start_location().get_lines() + 1 : 0)
                          << ": " << error.what() << '\n';
            });
        provider->load_from_resource("/app/kovi/Browser/css/" + file);
        Gtk::StyleContext::add_provider_for_display(display, provider, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    }
    // The space colours' classes, made from their one table.
    auto palette = Gtk::CssProvider::create();
    palette->load_from_data(spacePaletteCss());
    Gtk::StyleContext::add_provider_for_display(display, palette, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

void Theme::attach(Gtk::Window& window)
{
    m_windows.push_back(&window);
    window.signal_destroy().connect([this, w = &window] {
        m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), w), m_windows.end());
    });
    applyTo(window);
    adw_style_manager_set_color_scheme(adw_style_manager_get_default(),
                                       m_appearance.isDarkMode() ? ADW_COLOR_SCHEME_FORCE_DARK
                                                                 : ADW_COLOR_SCHEME_FORCE_LIGHT);
}

void Theme::apply()
{
    // The application never follows the system scheme: it forces one of the two.
    adw_style_manager_set_color_scheme(adw_style_manager_get_default(),
                                       m_appearance.isDarkMode() ? ADW_COLOR_SCHEME_FORCE_DARK
                                                                 : ADW_COLOR_SCHEME_FORCE_LIGHT);
    for (auto* window : m_windows)
        applyTo(*window);
}

void Theme::applyTo(Gtk::Window& window) const
{
    if (m_appearance.isDarkMode()) {
        window.add_css_class("kovi-dark");
        window.remove_css_class("kovi-light");
    } else {
        window.add_css_class("kovi-light");
        window.remove_css_class("kovi-dark");
    }
    if (m_appearance.isLiquidGlassEnabled())
        window.add_css_class("kovi-glass");
    else
        window.remove_css_class("kovi-glass");
}

} // namespace kovi
