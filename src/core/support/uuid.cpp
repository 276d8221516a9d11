#include "core/support/uuid.h"

#include <glib.h>

namespace kovi {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

Uuid Uuid::random()
{
    // A version-4 UUID. GLib's global generator takes a lock on every call; a per-thread GRand,
    // seeded from the system's random source like the global one, does not. Suggestion lists
    // make one identifier per row on every keystroke.
    struct Generator {
        GRand* rand = g_rand_new();
        ~Generator() { g_rand_free(rand); }
    };
    thread_local Generator generator;
    std::array<std::uint8_t, 16> bytes{};
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        guint32 value = g_rand_int(generator.rand);
        for (std::size_t j = 0; j < 4; ++j)
            bytes[i + j] = static_cast<std::uint8_t>(value >> (8 * j));
    }
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40); // version 4
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
    return Uuid(bytes);
}

std::optional<Uuid> Uuid::parse(std::string_view text)
{
    if (text.size() != 36)
        return std::nullopt;
    std::array<std::uint8_t, 16> bytes{};
    std::size_t byte = 0;
    for (std::size_t i = 0; i < 36;) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text[i] != '-')
                return std::nullopt;
            ++i;
            continue;
        }
        int hi = hexValue(text[i]);
        int lo = hexValue(text[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        bytes[byte++] = static_cast<std::uint8_t>(hi << 4 | lo);
        i += 2;
    }
    return Uuid(bytes);
}

std::string Uuid::toString() const
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(36);
    for (std::size_t i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            out.push_back('-');
        out.push_back(digits[m_bytes[i] >> 4]);
        out.push_back(digits[m_bytes[i] & 0xF]);
    }
    return out;
}

bool Uuid::isNil() const
{
    for (auto b : m_bytes)
        if (b)
            return false;
    return true;
}

std::size_t hashValue(const Uuid& id)
{
    // FNV-1a over the 16 bytes; identifiers are random, so this spreads well.
    std::size_t h = 1469598103934665603ull;
    for (auto b : id.bytes()) {
        h ^= b;
        h *= 1099511628211ull;
    }
    return h;
}

} // namespace kovi
