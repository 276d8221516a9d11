#pragma once

#include "core/support/json_coding.h"

#include <gdkmm/texture.h>
#include <glibmm/refptr.h>

#include <cstddef>
#include <optional>
#include <unordered_map>

namespace kovi {

// Decodes stored favicon bytes into a texture no larger than `maxSide` pixels a side: the size
// is read from the image's header and the decoder is told to scale before it produces pixels.
// Bytes that are no image give nullptr. The one place the library's views decode icons.
Glib::RefPtr<Gdk::Texture> decodeFavicon(const Bytes& bytes, int maxSide);

// Decoded favicons by content, so a long list decodes each icon once; bytes that are no image
// are remembered too. Main thread only.
class FaviconTextures {
public:
    static constexpr std::size_t maxEntries = 512;
    static constexpr int maxSide = 64; // enough for a 16-px icon on a 2× screen

    Glib::RefPtr<Gdk::Texture> texture(const std::optional<Bytes>& bytes);

private:
    std::unordered_map<std::size_t, Glib::RefPtr<Gdk::Texture>> m_textures;
};

} // namespace kovi
