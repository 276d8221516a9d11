#include "ui/sidebar/sidebar_support.h"

#include "ui/design/drawing.h"
#include "ui/design/favicon_decoder.h"
#include "ui/design/symbols.h"

#include <cairomm/context.h>
#include <cairomm/surface.h>
#include <gdk/gdk.h>
#include <gdkmm/contentprovider.h>
#include <gdkmm/display.h>
#include <gdkmm/pixbufloader.h>
#include <gtkmm/dragsource.h>
#include <gtkmm/droptarget.h>
#include <gtkmm/icontheme.h>
#include <gtkmm/widget.h>
#include <pangomm/layout.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <utility>
#include <vector>

namespace kovi {

// ---- Favicons ----------------------------------------------------------------------------------

Glib::RefPtr<Gdk::Texture> FaviconCache::texture(const std::optional<Bytes>& bytes)
{
    if (!bytes || bytes->empty())
        return {};
    // The size goes into the key too, so two icons share an entry only if hash and size match.
    const std::size_t key = std::hash<std::string_view>{}(
                                std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()))
                            ^ (bytes->size() * 0x9e3779b97f4a7c15ULL);
    if (auto it = m_textures.find(key); it != m_textures.end())
        return it->second;
    if (m_textures.size() >= maxEntries)
        m_textures.clear();

    // Not an image, or too large to be an icon: the globe stands in.
    Glib::RefPtr<Gdk::Texture> result = FaviconDecoder::decode(bytes->data(), bytes->size());
    m_textures.emplace(key, result);
    return result;
}

void setClass(Gtk::Widget& widget, const char* name, bool on)
{
    if (on)
        widget.add_css_class(name);
    else
        widget.remove_css_class(name);
}

// ---- Symbols -----------------------------------------------------------------------------------

std::string sidebarIconName(std::string_view symbol)
{
    return iconNameForSymbol(symbol, "folder-symbolic");
}

void setSymbol(Gtk::Image& image, std::string_view symbol, int pixelSize)
{
    image.set_from_icon_name(sidebarIconName(symbol));
    image.set_pixel_size(pixelSize);
}

// ---- Drag and drop -----------------------------------------------------------------------------

std::optional<DraggedItem> draggedItemFromText(std::string_view text)
{
    // Text from other programs often ends in a line break; a payload never does.
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.remove_suffix(1);
    auto parsed = DraggedItem::fromPlainText(text);
    if (auto* item = std::get_if<DraggedItem>(&parsed))
        return *item;
    return std::nullopt;
}

void attachDragSource(Gtk::Widget& widget, std::function<std::optional<DraggedItem>()> item,
                      std::function<Glib::RefPtr<Gdk::Paintable>()> icon, std::function<void(bool)> onDragState)
{
    auto source = Gtk::DragSource::create();
    source->set_actions(Gdk::DragAction::MOVE);
    source->signal_prepare().connect(
        [item](double, double) -> Glib::RefPtr<Gdk::ContentProvider> {
            auto payload = item();
            if (!payload)
                return {};
            const std::string json = payload->jsonData();
            auto bytes = Glib::Bytes::create(json.data(), json.size());
            Glib::Value<Glib::ustring> text;
            text.init(Glib::Value<Glib::ustring>::value_type());
            text.set(payload->encodedString());
            std::vector<Glib::RefPtr<Gdk::ContentProvider>> providers{
                Gdk::ContentProvider::create(DraggedItem::jsonMimeType, bytes),
                Gdk::ContentProvider::create(text),
            };
            return Gdk::ContentProvider::create(providers);
        },
        false);
    Gtk::DragSource* raw = source.get();
    source->signal_drag_begin().connect(
        [raw, icon, onDragState](const Glib::RefPtr<Gdk::Drag>&) {
            if (icon) {
                if (auto paintable = icon())
                    raw->set_icon(paintable, 24, 18);
            }
            if (onDragState)
                onDragState(true);
        },
        false);
    source->signal_drag_end().connect(
        [onDragState](const Glib::RefPtr<Gdk::Drag>&, bool) {
            if (onDragState)
                onDragState(false);
        },
        false);
    widget.add_controller(source);
}

Glib::RefPtr<Gtk::DropTarget> attachDropTarget(Gtk::Widget& widget,
                                               std::function<bool(const DraggedItem&, double, double)> onDrop,
                                               std::function<void(bool)> onTargeted)
{
    auto target = Gtk::DropTarget::create(Glib::Value<Glib::ustring>::value_type(),
                                          Gdk::DragAction::MOVE | Gdk::DragAction::COPY);
    target->signal_enter().connect(
        [onTargeted](double, double) {
            if (onTargeted)
                onTargeted(true);
            return Gdk::DragAction::MOVE;
        },
        false);
    target->signal_leave().connect([onTargeted] {
        if (onTargeted)
            onTargeted(false);
    });
    target->signal_drop().connect(
        [onDrop, onTargeted](const Glib::ValueBase& value, double x, double y) {
            if (onTargeted)
                onTargeted(false);
            if (!G_VALUE_HOLDS_STRING(value.gobj()))
                return false;
            const char* text = g_value_get_string(value.gobj());
            auto item = draggedItemFromText(text ? text : "");
            if (!item)
                return false; // other programs' text, malformed or unknown kinds
            return onDrop(*item, x, y);
        },
        false);
    widget.add_controller(target);
    return target;
}

// ---- Drag preview card ---------------------------------------------------------------------------

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

    PangoLayout* layout = pango_cairo_create_layout(cr->cobj());
    PangoFontDescription* font = pango_font_description_from_string("Sans Medium 9");
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    pango_layout_set_text(layout, title.c_str(), -1);
    pango_layout_set_width(layout, static_cast<int>((cardWidth - 12 - 18 - 10 - 12) * PANGO_SCALE));
    pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    int textWidth = 0, textHeight = 0;
    pango_layout_get_pixel_size(layout, &textWidth, &textHeight);
    cr->move_to(12 + 18 + 10, (cardHeight - textHeight) / 2);
    cr->set_source_rgba(1, 1, 1, 0.95);
    pango_cairo_show_layout(cr->cobj(), layout);
    g_object_unref(layout);

    surface->flush();
    auto bytes = Glib::Bytes::create(surface->get_data(), static_cast<gsize>(surface->get_stride() * height));
    GdkTexture* texture = gdk_memory_texture_new(width, height, GDK_MEMORY_DEFAULT, bytes->gobj(),
                                                 static_cast<gsize>(surface->get_stride()));
    return Glib::wrap(texture);
}

} // namespace kovi
