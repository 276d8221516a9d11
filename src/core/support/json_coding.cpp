#include "core/support/json_coding.h"

#include <cmath>
#include <string>

namespace kovi::json {

namespace {

[[noreturn]] void fail(std::string message)
{
    throw DecodeError(std::move(message));
}

std::string keyText(std::string_view key)
{
    return "\"" + std::string(key) + "\"";
}

constexpr signed char base64Value(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return static_cast<signed char>(c - 'A');
    if (c >= 'a' && c <= 'z')
        return static_cast<signed char>(c - 'a' + 26);
    if (c >= '0' && c <= '9')
        return static_cast<signed char>(c - '0' + 52);
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

} // namespace

std::string dump(const Json& value)
{
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string dumpPretty(const Json& value)
{
    return value.dump(2, ' ', false, Json::error_handler_t::replace);
}

const Json& requireObject(const Json& value, std::string_view what)
{
    if (!value.is_object())
        fail("Expected an object for " + std::string(what) + ".");
    return value;
}

const Json& requireArray(const Json& value, std::string_view what)
{
    if (!value.is_array())
        fail("Expected an array for " + std::string(what) + ".");
    return value;
}

const Json& requireMember(const Json& object, std::string_view key)
{
    requireObject(object, "record");
    auto it = object.find(std::string(key));
    if (it == object.end())
        fail("Missing key " + keyText(key) + ".");
    if (it->is_null())
        fail("Null value for key " + keyText(key) + ".");
    return *it;
}

const Json& requireArrayMember(const Json& object, std::string_view key)
{
    return requireArray(requireMember(object, key), key);
}

const Json* member(const Json& object, std::string_view key)
{
    requireObject(object, "record");
    auto it = object.find(std::string(key));
    if (it == object.end() || it->is_null())
        return nullptr;
    return &*it;
}

std::string asString(const Json& value)
{
    if (!value.is_string())
        fail("Expected a string.");
    return value.get<std::string>();
}

bool asBool(const Json& value)
{
    if (!value.is_boolean())
        fail("Expected a Boolean.");
    return value.get<bool>();
}

double asDouble(const Json& value)
{
    if (!value.is_number())
        fail("Expected a number.");
    return value.get<double>();
}

std::int64_t asInt64(const Json& value)
{
    if (value.is_number_integer())
        return value.get<std::int64_t>();
    if (value.is_number_unsigned()) {
        auto v = value.get<std::uint64_t>();
        if (v > static_cast<std::uint64_t>(INT64_MAX))
            fail("Number does not fit a 64-bit integer.");
        return static_cast<std::int64_t>(v);
    }
    if (value.is_number_float()) {
        double d = value.get<double>();
        if (!std::isfinite(d) || std::trunc(d) != d || d < -9.2233720368547758e18 || d >= 9.2233720368547758e18)
            fail("Number is not an integer.");
        return static_cast<std::int64_t>(d);
    }
    fail("Expected an integer.");
}

Date asDate(const Json& value)
{
    return Date(asDouble(value));
}

Uuid asUuid(const Json& value)
{
    auto parsed = Uuid::parse(asString(value));
    if (!parsed)
        fail("Attempted to decode UUID from invalid UUID string.");
    return *parsed;
}

Url asUrl(const Json& value)
{
    auto parsed = Url::parse(asString(value));
    if (!parsed)
        fail("Invalid URL string.");
    return *parsed;
}

Bytes asBytes(const Json& value)
{
    auto decoded = base64Decode(asString(value));
    if (!decoded)
        fail("Encountered Data is not valid Base64.");
    return std::move(*decoded);
}

std::string requireString(const Json& object, std::string_view key) { return asString(requireMember(object, key)); }
bool requireBool(const Json& object, std::string_view key) { return asBool(requireMember(object, key)); }
double requireDouble(const Json& object, std::string_view key) { return asDouble(requireMember(object, key)); }
std::int64_t requireInt64(const Json& object, std::string_view key) { return asInt64(requireMember(object, key)); }
Date requireDate(const Json& object, std::string_view key) { return asDate(requireMember(object, key)); }
Uuid requireUuid(const Json& object, std::string_view key) { return asUuid(requireMember(object, key)); }
Url requireUrl(const Json& object, std::string_view key) { return asUrl(requireMember(object, key)); }
Bytes requireBytes(const Json& object, std::string_view key) { return asBytes(requireMember(object, key)); }

std::vector<Uuid> requireUuidArray(const Json& object, std::string_view key)
{
    const Json& array = requireArray(requireMember(object, key), key);
    std::vector<Uuid> ids;
    ids.reserve(array.size());
    for (const auto& element : array)
        ids.push_back(asUuid(element));
    return ids;
}

Json number(double value)
{
    if (!std::isfinite(value))
        throw EncodeError("Unable to encode a non-finite number.");
    // Integral values are written the way the reference encoder prints them: without a fraction.
    if (std::trunc(value) == value && std::fabs(value) < 9.007199254740992e15) {
        if (value == 0)
            return Json(0); // also for -0.0
        return Json(static_cast<std::int64_t>(value));
    }
    return Json(value);
}

Json date(Date value)
{
    return number(value.secondsSince2001());
}

Json uuid(const Uuid& value)
{
    return Json(value.toString());
}

Json uuidArray(const std::vector<Uuid>& values)
{
    Json array = Json::array();
    for (const auto& id : values)
        array.push_back(uuid(id));
    return array;
}

Json bytes(const Bytes& value)
{
    return Json(base64Encode(value));
}

std::string base64Encode(const Bytes& data)
{
    static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((data.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < data.size(); i += 3) {
        std::uint32_t n = data[i] << 16 | data[i + 1] << 8 | data[i + 2];
        out.push_back(alphabet[n >> 18 & 63]);
        out.push_back(alphabet[n >> 12 & 63]);
        out.push_back(alphabet[n >> 6 & 63]);
        out.push_back(alphabet[n & 63]);
    }
    if (i + 1 == data.size()) {
        std::uint32_t n = data[i] << 16;
        out.push_back(alphabet[n >> 18 & 63]);
        out.push_back(alphabet[n >> 12 & 63]);
        out.append("==");
    } else if (i + 2 == data.size()) {
        std::uint32_t n = data[i] << 16 | data[i + 1] << 8;
        out.push_back(alphabet[n >> 18 & 63]);
        out.push_back(alphabet[n >> 12 & 63]);
        out.push_back(alphabet[n >> 6 & 63]);
        out.push_back('=');
    }
    return out;
}

std::optional<Bytes> base64Decode(std::string_view text)
{
    if (text.size() % 4 != 0)
        return std::nullopt;
    Bytes out;
    out.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        bool last = i + 4 == text.size();
        int padding = 0;
        std::uint32_t n = 0;
        for (std::size_t j = 0; j < 4; ++j) {
            unsigned char c = static_cast<unsigned char>(text[i + j]);
            if (c == '=') {
                // Padding only in the last group, and only in its last one or two places.
                if (!last || j < 2)
                    return std::nullopt;
                ++padding;
                n <<= 6;
                continue;
            }
            if (padding > 0)
                return std::nullopt;
            signed char v = base64Value(c);
            if (v < 0)
                return std::nullopt;
            n = n << 6 | static_cast<std::uint32_t>(v);
        }
        out.push_back(static_cast<std::uint8_t>(n >> 16));
        if (padding < 2)
            out.push_back(static_cast<std::uint8_t>(n >> 8 & 0xFF));
        if (padding < 1)
            out.push_back(static_cast<std::uint8_t>(n & 0xFF));
    }
    return out;
}

std::pair<std::string, const Json*> oneCase(const Json& object, std::initializer_list<std::string_view> cases)
{
    requireObject(object, "enumeration");
    std::pair<std::string, const Json*> found{{}, nullptr};
    int count = 0;
    for (auto name : cases) {
        auto it = object.find(std::string(name));
        if (it != object.end()) {
            ++count;
            found = {std::string(name), &*it};
        }
    }
    if (count != 1)
        fail(kInvalidNumberOfKeys);
    return found;
}

} // namespace kovi::json
