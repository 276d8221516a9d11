#include "ui/design/drag_preview.h"

#include "core/support/gobject_ptr.h"
#include "ui/design/drawing.h"
#include "ui/design/symbols.h"

#include <cairomm/context.h>
#include <cairomm/surface.h>
#include <gdk/gdk.h>
#include <gdkmm/display.h>
#include <gdkmm/pixbufloader.h>
#include <gtkmm/icontheme.h>
#include <pango/pangocairo.h>

namespace kovi {

namespace {

Cairo::RefPtr<Cairo::ImageSurface> surfaceFromTexture(const Glib::RefPtr<Gdk::Texture>& texture)
{
    const int w = texture->get_width(), h = texture->get_height();
    auto surface = Cairo::ImageSurface::create(Cairo::Surface::Format::ARGB32, w, h);
    surface->flush();
    gdk_texture_download(texture->gobj(), surface->get_data(), static_cast<gsize>(surface->get_stride()));
    surface->mark_dirty();
    return surface;
}

// The symbolic icon as an alpha mask, so it can be drawn in any colour.
Cairo::RefPtr<Cairo::ImageSurface> symbolMask(const std::string& iconName, int size)
{
    auto display = Gdk::Display::get_default();
    if (!display)
        return {};
    auto theme = Gtk::IconTheme::get_for_display(display);
    auto paintable = theme->lookup_icon(iconName, size);
    if (!paintable)
        return {};
    auto file = paintable->get_file();
    if (!file)
        return {};
    try {
        auto loader = Gdk::PixbufLoader::create();
        char* data = nullptr;
        gsize length = 0;
        if (!g_file_load_contents(file->gobj(), nullptr, &data, &length, nullptr, nullptr))
            return {};
        loader->set_size(size, size);
        loader->write(reinterpret_cast<const guint8*>(data), length);
        g_free(data);
        loader->close();
        auto pixbuf = loader->get_pixbuf();
        if (!pixbuf)
            return {};
        return surfaceFromTexture(Gdk::Texture::create_for_pixbuf(pixbuf));
    } catch (const Glib::Error&) {
        return {};
    }
}

} // namespace

Glib::RefPtr<Gdk::Texture> renderDragPreview(const std::string& title, const Glib::RefPtr<Gdk::Texture>& favicon,
                                             bool isFolder, int scale)
{
    // Card 220 wide, padding 12/8, with room around it for the shadow.
    const double cardWidth = 220, cardHeight = 34, margin = 14;
    const int width = static_cast<int>((cardWidth + 2 * margin) * scale);
    const int height = static_cast<int>((cardHeight + 2 * margin) * scale);
    auto surface = Cairo::ImageSurface::create(Cairo::Surface::Format::ARGB32, width, height);
    auto cr = Cairo::Context::create(surface);
    cr->scale(scale, scale);
    cr->translate(margin, margin - 4);

    // Soft shadow (black 0.3, 6 down), drawn as a few widening rings.
    for (int i = 6; i >= 1; --i) {
        addRoundedRect(cr, -i, 6 - i, cardWidth + 2 * i, cardHeight + 2 * i, 10 + i);
        cr->set_source_rgba(0, 0, 0, 0.3 / 10);
        cr->fill();
    }
    addRoundedRect(cr, 0, 0, cardWidth, cardHeight, 10);
    cr->set_source_rgba(0, 0, 0, 0.25);
    cr->fill_preserve();
    cr->set_source_rgba(0.12, 0.12, 0.13, 0.75); // no blur behind a drag icon: a denser fill
    cr->fill();
    addRoundedRect(cr, 0.5, 0.5, cardWidth - 1, cardHeight - 1, 9.5);
    cr->set_source_rgba(1, 1, 1, 0.2);
    cr->set_line_width(1);
    cr->stroke();

    const double iconX = 12, iconY = (cardHeight - 18) / 2;
    if (!isFolder && favicon) {
        auto icon = surfaceFromTexture(favicon);
        cr->save();
        addRoundedRect(cr, iconX, iconY, 18, 18, 4);
        cr->clip();
        cr->translate(iconX, iconY);
        cr->scale(18.0 / favicon->get_width(), 18.0 / favicon->get_height());
        cr->set_source(icon, 0, 0);
        cr->paint();
        cr->restore();
    } else if (auto mask = symbolMask(iconNameForSymbol(isFolder ? "folder.fill" : "globe"), 14)) {
        cr->set_source_rgba(1, 1, 1, 0.6);
        cr->mask(mask, iconX + 2, iconY + 2);
    }

    auto layout = GObjectPtr<PangoLayout>::adopt(pango_cairo_create_layout(cr->cobj()));
    PangoFontDescription* font = pango_font_description_from_string("Sans Medium 9");
    pango_layout_set_font_description(layout.get(), font);
    pango_font_description_free(font);
    pango_layout_set_text(layout.get(), title.c_str(), -1);
    pango_layout_set_width(layout.get(), static_cast<int>((cardWidth - 12 - 18 - 10 - 12) * PANGO_SCALE));
    pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
    pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
    int textWidth = 0, textHeight = 0;
    pango_layout_get_pixel_size(layout.get(), &textWidth, &textHeight);
    cr->move_to(12 + 18 + 10, (cardHeight - textHeight) / 2);
    cr->set_source_rgba(1, 1, 1, 0.95);
    pango_cairo_show_layout(cr->cobj(), layout.get());

    surface->flush();
    auto bytes = Glib::Bytes::create(surface->get_data(), static_cast<gsize>(surface->get_stride() * height));
    GdkTexture* texture = gdk_memory_texture_new(width, height, GDK_MEMORY_DEFAULT, bytes->gobj(),
                                                 static_cast<gsize>(surface->get_stride()));
    return Glib::wrap(texture);
}

} // namespace kovi
