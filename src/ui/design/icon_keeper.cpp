#include "ui/design/icon_keeper.h"

#include <gtkmm/icontheme.h>
#include <gtkmm/image.h>

namespace kovi {

void IconKeeper::keepIconsOf(Gtk::Widget& root)
{
    if (auto* image = dynamic_cast<Gtk::Image*>(&root); image && image->get_storage_type() == Gtk::Image::Type::ICON_NAME) {
        // An image without a pixel size takes the toolkit's normal icon size.
        const int size = image->get_pixel_size() > 0 ? image->get_pixel_size() : 16;
        keep(*image, image->get_icon_name(), size);
    }
    for (Gtk::Widget* child = root.get_first_child(); child; child = child->get_next_sibling())
        keepIconsOf(*child);
}

void IconKeeper::keep(Gtk::Widget& image, const std::string& name, int size)
{
    if (name.empty() || !m_kept.emplace(name, size).second)
        return;
    // Looked up as the image looks it up, so both share the toolkit's cached icon.
    auto theme = Gtk::IconTheme::get_for_display(image.get_display());
    m_icons.push_back(theme->lookup_icon(name, size, image.get_scale_factor(), image.get_direction(), Gtk::IconLookupFlags{}));
}

} // namespace kovi
