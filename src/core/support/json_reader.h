#pragma once

// The one way JSON text becomes a value: every file, network answer and drag payload is read
// through here. Reading is linear in the size of the input (objects with many keys too), and
// nesting deeper than maxDepth is refused as unreadable instead of exhausting the stack.
// Failures throw DecodeError with a message of our own, never the input's bytes.

#include <nlohmann/json.hpp>

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string_view>

namespace kovi {

using Json = nlohmann::ordered_json;

class DecodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

namespace json {

// Far above any file the program writes (the deepest stored record nests a handful of levels).
inline constexpr std::size_t maxDepth = 512;

// A whole document; scalars at the top are accepted. Keys repeated within an object keep their
// first place and their last value.
Json parse(std::string_view text);

// Fills `buffer` with up to `size` next bytes of the input and returns how many (0 at its end).
// It may throw DecodeError to stop reading.
using ByteSource = std::function<std::size_t(char* buffer, std::size_t size)>;

// The first `maxElements` elements of the array at the top of the input. Reading stops once they
// are complete, so the rest of the input is neither read nor checked. Input that is not an
// array at the top is read whole.
Json parseArrayHead(const ByteSource& source, std::size_t maxElements);

} // namespace json
} // namespace kovi
