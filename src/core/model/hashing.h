#pragma once

// Small helpers so every record hashes all of its fields in field order, consistent with its
// equality: an optional contributes its presence and then its value; 0 and -0 hash alike.

#include "core/support/date.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace kovi::hashing {

inline void combine(std::size_t& seed, std::size_t value)
{
    seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

inline void addDouble(std::size_t& seed, double value)
{
    if (value == 0)
        value = 0; // -0 compares equal to 0, so it must hash alike
    combine(seed, std::hash<double>{}(value));
}

inline void addDate(std::size_t& seed, Date value)
{
    addDouble(seed, value.secondsSince2001());
}

inline void addBytes(std::size_t& seed, const std::vector<std::uint8_t>& bytes)
{
    combine(seed, bytes.size());
    combine(seed, std::hash<std::string_view>{}(
                      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
}

template <class T>
void add(std::size_t& seed, const T& value)
{
    combine(seed, std::hash<T>{}(value));
}

template <class T>
void addOptional(std::size_t& seed, const std::optional<T>& value)
{
    combine(seed, value.has_value() ? 1 : 0);
    if (value)
        add(seed, *value);
}

template <class T>
void addList(std::size_t& seed, const std::vector<T>& values)
{
    combine(seed, values.size());
    for (const T& value : values)
        add(seed, value);
}

} // namespace kovi::hashing
