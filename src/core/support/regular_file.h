#pragma once

#include "core/support/result.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace kovi {

// A regular file open for reading. Its path is resolved and checked before it is opened, so a
// FIFO, a device or a socket, also behind a symbolic link, is never opened, read or waited on.
class RegularFile {
public:
    // Errors: NotFound, NotRegular, Io.
    static Result<RegularFile> open(const std::string& path);

    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&&) = delete;
    RegularFile(const RegularFile&) = delete;
    ~RegularFile();

    const std::string& path() const { return m_path; }
    // Its size when it was opened.
    std::uint64_t size() const { return m_size; }
    // Up to `size` next bytes into `buffer`; 0 at the end.
    Result<std::size_t> read(char* buffer, std::size_t size);

private:
    RegularFile(int fd, std::uint64_t size, std::string path);

    int m_fd = -1;
    std::uint64_t m_size = 0;
    std::string m_path;
};

} // namespace kovi
