#include "ui/library/favicon_texture.h"

#include <gdkmm/pixbufloader.h>

#include <algorithm>
#include <functional>
#include <string_view>

namespace kovi {

Glib::RefPtr<Gdk::Texture> decodeFavicon(const Bytes& bytes, int maxSide)
{
    if (bytes.empty())
        return {};
    try {
        auto loader = Gdk::PixbufLoader::create();
        loader->signal_size_prepared().connect([&loader, maxSide](int width, int height) {
            if (width <= maxSide && height <= maxSide)
                return;
            const double scale = static_cast<double>(maxSide) / std::max(width, height);
            loader->set_size(std::max(1, static_cast<int>(width * scale)), std::max(1, static_cast<int>(height * scale)));
        });
        loader->write(bytes.data(), bytes.size());
        loader->close();
        if (auto pixbuf = loader->get_pixbuf())
            return Gdk::Texture::create_for_pixbuf(pixbuf);
    } catch (const Glib::Error&) {
        // Not an image: the caller shows its stand-in.
    }
    return {};
}

Glib::RefPtr<Gdk::Texture> FaviconTextures::texture(const std::optional<Bytes>& bytes)
{
    if (!bytes || bytes->empty())
        return {};
    // The length goes into the key too, so two icons share an entry only if hash and size match.
    const std::size_t key =
        std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()))
        ^ (bytes->size() * 0x9e3779b97f4a7c15ULL);
    if (auto it = m_textures.find(key); it != m_textures.end())
        return it->second;
    if (m_textures.size() >= maxEntries)
        m_textures.clear();
    auto texture = decodeFavicon(*bytes, maxSide);
    m_textures.emplace(key, texture);
    return texture;
}

} // namespace kovi
