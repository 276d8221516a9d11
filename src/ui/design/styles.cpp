#include "ui/design/styles.h"

#include "ui/design/kovi_design.h"
#include "ui/design/window_chrome.h"

#include <gtkmm/button.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/image.h>
#include <gtkmm/stylecontext.h>

#include <cmath>
#include <string>
#include <unordered_map>

namespace kovi {

namespace {

const char* variantClass(ButtonVariant variant)
{
    switch (variant) {
    case ButtonVariant::primary: return "primary";
    case ButtonVariant::secondary: return "secondary";
    case ButtonVariant::ghost: return "ghost";
    case ButtonVariant::destructive: return "destructive";
    }
    return "primary";
}

const char* sizeClass(ButtonSize size)
{
    switch (size) {
    case ButtonSize::sm: return "sm";
    case ButtonSize::md: return "md";
    case ButtonSize::lg: return "lg";
    }
    return "md";
}

// A provider for the one widget only, for numbers that depend on an argument. Widgets with the
// same numbers share one provider, so each distinct text is parsed once (the sidebar alone has a
// few hundred such buttons with a handful of sizes).
void addWidgetCss(Gtk::Widget& widget, const std::string& css)
{
    static std::unordered_map<std::string, Glib::RefPtr<Gtk::CssProvider>> parsed;
    auto& provider = parsed[css];
    if (!provider) {
        provider = Gtk::CssProvider::create();
        provider->load_from_data(css);
    }
    widget.get_style_context()->add_provider(provider, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION + 1);
}

std::string px(double value)
{
    return std::to_string(static_cast<int>(std::lround(value))) + "px";
}

} // namespace

void applyButtonStyle(Gtk::Widget& button, ButtonVariant variant, ButtonSize size)
{
    for (const char* c : {"primary", "secondary", "ghost", "destructive", "sm", "md", "lg"})
        button.remove_css_class(c);
    button.add_css_class("kovi-button");
    button.add_css_class(variantClass(variant));
    button.add_css_class(sizeClass(size));
}

void applyIconButtonStyle(Gtk::Button& button, double size, bool isActive)
{
    button.add_css_class("kovi-icon-button");
    button.set_size_request(static_cast<int>(size), static_cast<int>(size));
    button.set_valign(Gtk::Align::CENTER);
    button.set_halign(Gtk::Align::CENTER);
    addWidgetCss(button, "button.kovi-icon-button { border-radius: " + px(size * 0.25) +
                             "; font-size: " + px(size * 0.4) + "; min-width: " + px(size) +
                             "; min-height: " + px(size) + "; }");
    if (auto* image = dynamic_cast<Gtk::Image*>(button.get_child()))
        image->set_pixel_size(static_cast<int>(std::lround(size * 0.4)));
    setIconButtonActive(button, isActive);
}

void setIconButtonActive(Gtk::Button& button, bool isActive)
{
    setClass(button, "active", isActive);
}

void applyCardStyle(Gtk::Widget& widget, double padding)
{
    widget.add_css_class("kovi-card");
    addWidgetCss(widget, ".kovi-card { padding: " + px(padding) + "; }");
}

void applyInputStyle(Gtk::Widget& widget)
{
    widget.add_css_class("kovi-input");
}

void setInputFocused(Gtk::Widget& widget, bool focused)
{
    setClass(widget, "focused", focused);
}

void applyHoverStyle(Gtk::Widget& widget, double cornerRadius)
{
    widget.add_css_class("kovi-hover");
    addWidgetCss(widget, ".kovi-hover { border-radius: " + px(cornerRadius) + "; }");
}

void setClass(Gtk::Widget& widget, const char* name, bool on)
{
    if (on)
        widget.add_css_class(name);
    else
        widget.remove_css_class(name);
}

ChromeSurface::ChromeSurface()
{
    add_css_class("kovi-chrome");
    set_hexpand(true);
    set_vexpand(true);
    set_can_target(false);
    set_focusable(false);
}

BrowserSurface::BrowserSurface()
{
    add_css_class("kovi-browser-surface");
    m_clip.add_css_class("kovi-browser-clip");
    m_clip.set_overflow(Gtk::Overflow::HIDDEN);
    m_clip.set_hexpand(true);
    m_clip.set_vexpand(true);
    set_child(m_clip);

    m_stroke.add_css_class("kovi-browser-stroke");
    m_stroke.set_can_target(false);
    m_stroke.set_hexpand(true);
    m_stroke.set_vexpand(true);
    add_overlay(m_stroke);

    auto* strip = Gtk::make_managed<WindowDragHandle>();
    strip->set_valign(Gtk::Align::START);
    strip->set_size_request(-1, 8);
    m_dragStrip = strip;
    add_overlay(*strip);
    setBezelEnabled(true);
}

void BrowserSurface::setContent(Gtk::Widget* content)
{
    if (m_content == content)
        return;
    if (m_content)
        m_clip.remove(*m_content);
    m_content = content;
    if (m_content) {
        m_content->set_hexpand(true);
        m_content->set_vexpand(true);
        m_clip.append(*m_content);
    }
}

void BrowserSurface::setBezelEnabled(bool enabled)
{
    m_bezel = enabled;
    setClass(*this, "bezel", enabled);
    m_stroke.set_visible(enabled);
    m_dragStrip->set_visible(enabled);
}

} // namespace kovi
