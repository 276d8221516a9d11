#include "ui/web/web_view_styles.h"

#include "ui/design/styles.h"
#include "ui/design/symbols.h"

#include <gtkmm/image.h>

#include <map>
#include <string>

namespace kovi {

Gtk::Image* webSymbolImage(std::string_view symbol, int pixelSize)
{
    // Symbols of the page views that the shared table does not list.
    static const std::map<std::string, std::string, std::less<>> own = {
        {"wifi.exclamationmark", "network-wireless-offline-symbolic"},
    };
    std::string icon = iconNameForSymbol(symbol);
    if (icon.empty()) {
        auto it = own.find(symbol);
        icon = it != own.end() ? it->second : "image-missing";
    }
    auto* image = Gtk::make_managed<Gtk::Image>();
    image->set_from_icon_name(icon);
    image->set_pixel_size(pixelSize);
    return image;
}

void applyWebButtonStyle(Gtk::Widget& button)
{
    applyButtonStyle(button, ButtonVariant::primary, ButtonSize::md);
}

} // namespace kovi
