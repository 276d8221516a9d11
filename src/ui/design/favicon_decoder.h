#pragma once

#include <gdkmm/texture.h>
#include <glibmm/refptr.h>

#include <cstddef>
#include <cstdint>

namespace kovi {

// The one place where page icons are turned into pictures: while they are captured, for the
// sidebar and for every list that shows stored icons. Icon bytes come from the web and from
// stored files, so an image is never trusted with its size: the size is read from the image's
// header before any pixel is decoded, and an image wider or taller than maxSide is refused,
// except a vector image, which is drawn at a size that fits. A small file can declare a huge
// picture (a single-colour PNG of 30000×30000 is about 100 KB); decoding it whole would take
// seconds and gigabytes. Main thread only.
class FaviconDecoder {
public:
    static constexpr int maxSide = 1024;

    // The picture, or nullptr for bytes that are no image or an image that is too large.
    static Glib::RefPtr<Gdk::Texture> decode(const std::uint8_t* data, std::size_t size);
};

} // namespace kovi
