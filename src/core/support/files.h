#pragma once

#include "core/support/result.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kovi::files {

std::string join(std::string_view folder, std::string_view name);
// The last component of `path` ("Kovi Library.json" of "/home/a/Kovi Library.json").
std::string baseName(const std::string& path);
bool exists(const std::string& path);
bool isDirectory(const std::string& path);

// mkdir -p; new folders get `mode`.
Result<void> ensureDirectory(const std::string& path, int mode = 0700);

// Writes the whole file to a temporary file beside it and renames it into place, so readers see
// the old or the new contents, never a mix. The parent folder is created when missing.
Result<void> writeAtomically(const std::string& path, std::string_view contents, int mode = 0600);

// Reads a regular file (after following links) of at most `maxBytes` bytes; reads no more than
// maxBytes + 1 to find out. Anything else is refused before it is opened.
// Errors: NotFound, NotRegular, TooLarge, Io.
Result<std::string> readBounded(const std::string& path, std::size_t maxBytes);

// Copies an unreadable file aside as "<path>.unreadable-<UTC yyyyMMdd-HHmmss>" (the time from
// Date::now(); "-2", "-3"… added when that name is taken, so no copy replaces another), keeps
// the newest five such copies, and prints one line saying so. Returns the copy's path. Only a
// regular file (after following links) is copied, and at most its size when opened; for
// anything else nothing is copied and nullopt is returned.
std::optional<std::string> keepAside(const std::string& path);

} // namespace kovi::files
