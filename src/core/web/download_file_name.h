#pragma once

#include "core/support/result.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kovi {

// Names and places of downloaded files: a server's suggested name made safe to use as one
// file name in the Downloads folder, and the first free variant "base (n).ext" of it, taken
// with a final step that never replaces an existing file.
class DownloadFileName {
public:
    static constexpr const char* fallbackName = "Download";
    static constexpr std::size_t maxBytes = 255;

    // The last path component; no NUL, '/' or control characters; no leading dots or blanks;
    // valid UTF-8; at most 255 bytes (the extension kept where it fits); "Download" when nothing
    // is left.
    static std::string safeName(std::string_view suggested);

    // n = 0: the name itself; n ≥ 1: "base (n).ext", or "base (n)" without an extension. The
    // base is shortened (at a character boundary) so the result stays within 255 bytes.
    static std::string candidate(const std::string& name, unsigned n);

    // The part after the last dot, when the dot is neither first nor last; else empty.
    static std::string extension(const std::string& name);

    // Moves `source` into `directory` (created when missing) under the first candidate of `name`
    // that is free at the moment of the move; an existing file is never replaced, also when one
    // appears between the check and the move. Returns the destination path.
    static Result<std::string> moveToFreeName(const std::string& source, const std::string& directory,
                                              const std::string& name);
};

} // namespace kovi
