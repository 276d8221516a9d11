#include "ui/design/favicon_decoder.h"

#include "core/support/gobject_ptr.h"

#include <gdk/gdk.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <cstring>

namespace kovi {

namespace {

// Small enough that an image's header arrives in the first write or two.
constexpr std::size_t chunkBytes = 4096;

struct SizeCheck {
    bool refused = false;
};

// Runs once the image's header is read and before its pixels are: a vector image is drawn at
// a size that fits; any other image over the limit gets the size 0×0, which makes the image
// loaders stop before they allocate the picture.
void sizePrepared(GdkPixbufLoader* loader, int width, int height, gpointer data) noexcept
{
    auto* check = static_cast<SizeCheck*>(data);
    const int limit = FaviconDecoder::maxSide;
    if (width <= limit && height <= limit && width > 0 && height > 0)
        return;
    GdkPixbufFormat* format = gdk_pixbuf_loader_get_format(loader);
    gchar* name = format ? gdk_pixbuf_format_get_name(format) : nullptr;
    const bool vector = name && std::strcmp(name, "svg") == 0;
    g_free(name);
    if (vector && width > 0 && height > 0) {
        const double scale = static_cast<double>(limit) / std::max(width, height);
        gdk_pixbuf_loader_set_size(loader, std::max(1, static_cast<int>(width * scale)),
                                   std::max(1, static_cast<int>(height * scale)));
        return;
    }
    check->refused = true;
    gdk_pixbuf_loader_set_size(loader, 0, 0);
}

} // namespace

Glib::RefPtr<Gdk::Texture> FaviconDecoder::decode(const std::uint8_t* data, std::size_t size)
{
    if (!data || size == 0)
        return {};
    auto loader = GObjectPtr<GdkPixbufLoader>::adopt(gdk_pixbuf_loader_new());
    SizeCheck check;
    g_signal_connect(loader.get(), "size-prepared", G_CALLBACK(&sizePrepared), &check);
    bool ok = true;
    // Fed in pieces so that nothing more reaches the loader once the header was refused.
    for (std::size_t offset = 0; offset < size && ok && !check.refused; offset += chunkBytes)
        ok = gdk_pixbuf_loader_write(loader.get(), data + offset, std::min(chunkBytes, size - offset), nullptr);
    ok = gdk_pixbuf_loader_close(loader.get(), nullptr) && ok && !check.refused;
    Glib::RefPtr<Gdk::Texture> texture;
    GdkPixbuf* pixbuf = ok ? gdk_pixbuf_loader_get_pixbuf(loader.get()) : nullptr;
    // A loader that went on regardless of the size it was given must not get through either.
    if (pixbuf && gdk_pixbuf_get_width(pixbuf) <= maxSide && gdk_pixbuf_get_height(pixbuf) <= maxSide)
        texture = Glib::wrap(gdk_texture_new_for_pixbuf(pixbuf));
    g_signal_handlers_disconnect_by_data(loader.get(), &check);
    return texture;
}

} // namespace kovi
