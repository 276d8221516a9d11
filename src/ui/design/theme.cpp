#include "ui/design/theme.h"

#include "core/settings/appearance_manager.h"
#include "ui/design/kovi_design.h"
#include "ui/design/space_palette.h"
#include "ui/design/styles.h"

#include <adwaita.h>
#include <giomm/resource.h>
#include <gdkmm/display.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/icontheme.h>
#include <gtkmm/stylecontext.h>
#include <gtkmm/window.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>

extern "C" void kovi_register_resource();

namespace kovi {

namespace {

// The text colours of the look in force; every window shares the one forced scheme. Lives as
// long as the process.
GtkCssProvider* textColorsProvider()
{
    static GtkCssProvider* provider = gtk_css_provider_new();
    return provider;
}

void loadTextColors(bool dark)
{
    static int loaded = -1;
    if (loaded == static_cast<int>(dark))
        return;
    loaded = dark;
    gtk_css_provider_load_from_data(textColorsProvider(), Theme::textColorsCss(dark).c_str(), -1);
}

// Without a compositor the see-through parts of a window show black: the shadow and rounded
// corners of menus, tooltips and the panels drawn as cards in see-through windows (the account
// panel, the space editor), and the strip beside a menu's arrow. There they are drawn square,
// opaque and without a shadow, and again as designed once a compositor runs.
void followCompositing(const Glib::RefPtr<Gdk::Display>& display)
{
    static const auto flat = [] {
        auto provider = Gtk::CssProvider::create();
        provider->load_from_data("popover > contents, popover > arrow, tooltip, .kovi-account-view, .space-editor {"
                                 " box-shadow: none; border-radius: 0; margin: 0; }"
                                 ".kovi-account-view, .space-editor {"
                                 " box-shadow: inset 0 0 0 1px alpha(@window_fg_color, 0.15); }"
                                 ".space-editor { background-color: @window_bg_color; }"
                                 "popover.background { background-color: @popover_bg_color; }");
        return provider;
    }();
    auto follow = [display] {
        if (display->is_composited())
            Gtk::StyleContext::remove_provider_for_display(display, flat);
        else
            Gtk::StyleContext::add_provider_for_display(display, flat, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION + 1);
    };
    follow();
    display->property_composited().signal_changed().connect(follow);
}

} // namespace

Theme::Theme(AppearanceManager& appearance) : m_appearance(appearance)
{
    m_connections.add(m_appearance.isDarkModeChanged.connect(sigc::mem_fun(*this, &Theme::apply)));
    m_connections.add(m_appearance.isGlassEnabledChanged.connect(sigc::mem_fun(*this, &Theme::apply)));
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
    loadTextColors(false);
    gtk_style_context_add_provider_for_display(display->gobj(), GTK_STYLE_PROVIDER(textColorsProvider()),
                                               GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    // The space colours' classes, made from their one table.
    auto palette = Gtk::CssProvider::create();
    palette->load_from_data(spacePaletteCss());
    Gtk::StyleContext::add_provider_for_display(display, palette, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    followCompositing(display);
}

std::string Theme::textColorsCss(bool dark)
{
    const KoviDesign::TextColors& colors = dark ? KoviDesign::darkText : KoviDesign::lightText;
    std::string css;
    for (auto [name, rgb] : {std::pair{"secondary", colors.secondary}, std::pair{"tertiary", colors.tertiary},
                             std::pair{"success", colors.success}, std::pair{"warning", colors.warning}}) {
        char line[64];
        std::snprintf(line, sizeof line, "@define-color kovi_text_%s rgb(%d, %d, %d);\n", name, rgb.red, rgb.green,
                      rgb.blue);
        css += line;
    }
    return css;
}

void Theme::attach(Gtk::Window& window)
{
    m_windows.push_back(&window);
    window.signal_destroy().connect([this, w = &window] {
        m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), w), m_windows.end());
    });
    applyTo(window);
    applyScheme();
}

void Theme::apply()
{
    applyScheme();
    for (auto* window : m_windows)
        applyTo(*window);
}

void Theme::applyScheme() const
{
    // The application never follows the system scheme: it forces one of the two.
    const bool dark = m_appearance.isDarkMode();
    adw_style_manager_set_color_scheme(adw_style_manager_get_default(),
                                       dark ? ADW_COLOR_SCHEME_FORCE_DARK : ADW_COLOR_SCHEME_FORCE_LIGHT);
    loadTextColors(dark);
}

void Theme::applyTo(Gtk::Window& window) const
{
    setClass(window, "kovi-dark", m_appearance.isDarkMode());
    setClass(window, "kovi-light", !m_appearance.isDarkMode());
    setClass(window, "kovi-glass", m_appearance.isGlassEnabled());
}

} // namespace kovi
