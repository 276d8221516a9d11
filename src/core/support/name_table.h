#pragma once

#include <concepts>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>

namespace kovi {

// A fixed list of an enumeration's cases with the text each one is known by. Stored raw values
// must stay byte for byte what earlier versions wrote, so every name lives in exactly one table.
template <class Enum>
struct NamedCase {
    Enum value;
    std::string_view name;
};

template <class Enum>
using NameTable = std::span<const NamedCase<Enum>>;

// The name of `value`; empty when the table lacks it.
template <class Enum>
constexpr std::string_view nameIn(std::type_identity_t<NameTable<Enum>> table, Enum value)
{
    for (const NamedCase<Enum>& entry : table) {
        if (entry.value == value)
            return entry.name;
    }
    return {};
}

// The case named exactly `name` (case-sensitive); nullopt for any other text.
template <class Enum>
constexpr std::optional<Enum> caseNamed(std::type_identity_t<NameTable<Enum>> table, std::string_view name)
{
    for (const NamedCase<Enum>& entry : table) {
        if (entry.name == name)
            return entry.value;
    }
    return std::nullopt;
}

// An enumeration with a raw value declares `NameTable<Enum> rawValueNames(Enum)` next to it
// (found by argument-dependent lookup), and gets `rawValue` and `fromRawValue<Enum>`.
template <class Enum>
concept HasRawValues = std::is_enum_v<Enum> && requires(Enum value) {
    { rawValueNames(value) } -> std::convertible_to<NameTable<Enum>>;
};

template <HasRawValues Enum>
std::string_view rawValue(Enum value)
{
    return nameIn<Enum>(rawValueNames(value), value);
}

template <HasRawValues Enum>
std::optional<Enum> fromRawValue(std::string_view text)
{
    return caseNamed<Enum>(rawValueNames(Enum{}), text);
}

} // namespace kovi
