#pragma once

// Helpers that keep every stored file to one set of JSON rules:
// - keys are field names, compact output, keys in field order (ordered_json);
// - dates are numbers of seconds since 2001; integral values are written without a fraction;
// - UUIDs are written upper case and read in either case;
// - byte data is standard Base64, decoded strictly;
// - optional fields are left out when absent and read as absent when missing or null;
// - a dictionary keyed by UUID is a flat array [key1, value1, key2, value2, ...];
// - enumerations with payloads are one-key objects.
// Decoding throws DecodeError; callers that load a file catch it and treat the file as unreadable.

#include "core/support/date.h"
#include "core/support/json_reader.h"
#include "core/support/name_table.h"
#include "core/support/url.h"
#include "core/support/uuid.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kovi {

using Bytes = std::vector<std::uint8_t>;

class EncodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kInvalidNumberOfKeys = "Invalid number of keys found, expected one.";

namespace json {

// Printing (parsing is json_reader.h).
std::string dump(const Json& value); // compact; invalid UTF-8 is replaced rather than thrown
std::string dumpPretty(const Json& value); // two-space indentation

// Object access. `require*` fail when the key is missing, null or of the wrong type.
const Json& requireObject(const Json& value, std::string_view what = "value");
const Json& requireArray(const Json& value, std::string_view what = "value");
const Json* member(const Json& object, std::string_view key); // nullptr when missing or null
const Json& requireMember(const Json& object, std::string_view key);
const Json& requireArrayMember(const Json& object, std::string_view key);

std::string asString(const Json& value);
bool asBool(const Json& value);
double asDouble(const Json& value);
std::int64_t asInt64(const Json& value); // integral numbers only (5.0 passes, 5.5 does not)
Date asDate(const Json& value);
Uuid asUuid(const Json& value);
Url asUrl(const Json& value);
Bytes asBytes(const Json& value); // strict Base64

std::string requireString(const Json& object, std::string_view key);
bool requireBool(const Json& object, std::string_view key);
double requireDouble(const Json& object, std::string_view key);
std::int64_t requireInt64(const Json& object, std::string_view key);
Date requireDate(const Json& object, std::string_view key);
Uuid requireUuid(const Json& object, std::string_view key);
Url requireUrl(const Json& object, std::string_view key);
Bytes requireBytes(const Json& object, std::string_view key);
std::vector<Uuid> requireUuidArray(const Json& object, std::string_view key);

// An optional field read with one of the `as*` readers: absent when missing or null, and
// failing like the reader when present with the wrong type.
template <class Read>
auto optional(const Json& object, std::string_view key, Read read) -> std::optional<decltype(read(object))>
{
    const Json* value = member(object, key);
    return value ? std::optional(read(*value)) : std::nullopt;
}

// An enumeration stored as its raw value; any other text fails, naming the type.
template <HasRawValues Enum>
Enum requireRawValue(const Json& object, std::string_view key, std::string_view typeName)
{
    std::string text = requireString(object, key);
    if (auto value = fromRawValue<Enum>(text))
        return *value;
    throw DecodeError("Cannot initialize " + std::string(typeName) + " from invalid String value " + text + ".");
}

// Values for writing.
Json number(double value); // integral values as integers; throws EncodeError when not finite
Json date(Date value);
Json uuid(const Uuid& value);
Json uuidArray(const std::vector<Uuid>& values);
Json bytes(const Bytes& value);

// Base64 (standard alphabet, padded).
std::string base64Encode(const Bytes& data);
std::optional<Bytes> base64Decode(std::string_view text); // nullopt on any invalid character or length

// A one-key enumeration object: returns the case key present among `cases` and its payload.
// Keys that are not cases are ignored; none or several cases throw kInvalidNumberOfKeys.
std::pair<std::string, const Json*> oneCase(const Json& object, std::initializer_list<std::string_view> cases);

// An array of records that carry their own coding (`T::fromJson`, `toJson(const T&)`).
template <class T>
std::vector<T> arrayFromJson(const Json& value, std::string_view what = "array")
{
    const Json& array = requireArray(value, what);
    std::vector<T> result;
    result.reserve(array.size());
    for (const Json& element : array)
        result.push_back(T::fromJson(element));
    return result;
}

template <class T>
Json arrayToJson(const std::vector<T>& values)
{
    Json array = Json::array();
    for (const T& value : values)
        array.push_back(toJson(value));
    return array;
}

// A dictionary keyed by UUID, as a flat array. Later duplicates replace earlier ones on reading.
template <class Value, class Encode>
Json uuidKeyedArray(const std::vector<std::pair<Uuid, Value>>& entries, Encode encode)
{
    Json array = Json::array();
    for (const auto& [key, value] : entries) {
        array.push_back(uuid(key));
        array.push_back(encode(value));
    }
    return array;
}

template <class Decode>
auto decodeUuidKeyedArray(const Json& array, Decode decode)
    -> std::vector<std::pair<Uuid, decltype(decode(array))>>
{
    requireArray(array, "dictionary");
    if (array.size() % 2 != 0)
        throw DecodeError("Expected an even number of elements in a keyed array.");
    std::vector<std::pair<Uuid, decltype(decode(array))>> result;
    result.reserve(array.size() / 2);
    for (std::size_t i = 0; i < array.size(); i += 2)
        result.emplace_back(asUuid(array[i]), decode(array[i + 1]));
    return result;
}

} // namespace json

template <HasRawValues Enum>
Json toJson(Enum value)
{
    return Json(std::string(rawValue(value)));
}

} // namespace kovi
