#include "support/large_images.h"

#include "core/support/gobject_ptr.h"

#include <gio/gio.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <vector>

namespace kovi::test {

namespace {

std::uint32_t crc32(const std::string& bytes)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xffffffffu;
    for (unsigned char byte : bytes)
        c = table[(c ^ byte) & 0xff] ^ (c >> 8);
    return c ^ 0xffffffffu;
}

void putBigEndian(std::string& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((value >> shift) & 0xff));
}

void putChunk(std::string& out, const char* type, const std::string& data)
{
    putBigEndian(out, static_cast<std::uint32_t>(data.size()));
    std::string typed = std::string(type, 4) + data;
    out += typed;
    putBigEndian(out, crc32(typed));
}

} // namespace

std::string largeBlankPng(int width, int height)
{
    std::string header;
    putBigEndian(header, static_cast<std::uint32_t>(width));
    putBigEndian(header, static_cast<std::uint32_t>(height));
    header += std::string("\x01\x00\x00\x00\x00", 5); // 1 bit, greyscale, deflate, no filter, no interlace

    // Every row is its filter byte (none) and width bits of black, compressed row by row.
    const std::vector<char> row(1 + (static_cast<std::size_t>(width) + 7) / 8, 0);
    auto compressor = GObjectPtr<GZlibCompressor>::adopt(g_zlib_compressor_new(G_ZLIB_COMPRESSOR_FORMAT_ZLIB, 9));
    std::string compressed;
    std::vector<char> buffer(1 << 16);
    for (int y = 0; y <= height; ++y) {
        const bool last = y == height;
        std::size_t offset = 0;
        for (;;) {
            gsize read = 0, written = 0;
            GConverterResult result = g_converter_convert(
                G_CONVERTER(compressor.get()), last ? nullptr : row.data() + offset, last ? 0 : row.size() - offset,
                buffer.data(), buffer.size(), last ? G_CONVERTER_INPUT_AT_END : G_CONVERTER_NO_FLAGS, &read, &written,
                nullptr);
            compressed.append(buffer.data(), written);
            offset += read;
            if (result == G_CONVERTER_ERROR || result == G_CONVERTER_FINISHED)
                break;
            if (!last && offset >= row.size())
                break;
        }
    }

    std::string png("\x89PNG\r\n\x1a\n", 8);
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", compressed);
    putChunk(png, "IEND", "");
    return png;
}

std::size_t peakResidentBytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return static_cast<std::size_t>(std::stoull(line.substr(6))) * 1024;
    }
    return 0;
}

} // namespace kovi::test
