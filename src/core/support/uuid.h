#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kovi {

// A 128-bit identifier. Written as 36 upper-case characters; read in either case.
class Uuid {
public:
    Uuid() = default; // the nil UUID
    explicit Uuid(const std::array<std::uint8_t, 16>& bytes) : m_bytes(bytes) {}

    static Uuid random();
    // Strict: exactly 8-4-4-4-12 hexadecimal digits, either case, nothing else.
    static std::optional<Uuid> parse(std::string_view text);

    std::string toString() const; // upper case
    const std::array<std::uint8_t, 16>& bytes() const { return m_bytes; }
    bool isNil() const;

    auto operator<=>(const Uuid&) const = default;
    bool operator==(const Uuid&) const = default;

private:
    std::array<std::uint8_t, 16> m_bytes{};
};

std::size_t hashValue(const Uuid& id);

} // namespace kovi

template <>
struct std::hash<kovi::Uuid> {
    std::size_t operator()(const kovi::Uuid& id) const noexcept { return kovi::hashValue(id); }
};
