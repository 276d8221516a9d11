#include "ui/design/logo.h"

#include <gtkmm/image.h>

namespace kovi {

Gtk::Image* makeLogoImage(int size)
{
    auto* image = Gtk::make_managed<Gtk::Image>();
    image->set_from_resource("/app/kovi/Browser/images/kovi-logo.svg");
    image->set_pixel_size(size);
    image->set_size_request(size, size);
    image->add_css_class("kovi-logo");
    return image;
}

} // namespace kovi
