#include "ui/windows/nav_button.h"

#include "ui/design/symbols.h"

namespace kovi {

NavButton::NavButton(std::string_view symbol, const char* styleClass, const char* tooltip)
{
    add_css_class("kovi-nav-button");
    add_css_class(styleClass);
    set_has_frame(false);
    set_focus_on_click(false);
    set_valign(Gtk::Align::CENTER);
    set_size_request(size, size);
    m_image.set_pixel_size(11);
    set_child(m_image);
    if (tooltip)
        set_tooltip_text(tooltip);
    setSymbol(symbol);
}

void NavButton::setSymbol(std::string_view symbol)
{
    if (symbol == m_symbol)
        return;
    m_symbol = symbol;
    m_image.set_from_icon_name(iconNameForSymbol(symbol, "image-missing"));
}

} // namespace kovi
