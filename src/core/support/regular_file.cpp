#include "core/support/regular_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kovi {

namespace {

Error errnoError(ErrorCode code, const std::string& what, int err)
{
    return Error{code, what + ": " + std::strerror(err)};
}

Error notRegular(const std::string& path)
{
    return Error{ErrorCode::NotRegular, path + " is not a regular file."};
}

} // namespace

Result<RegularFile> RegularFile::open(const std::string& path)
{
    // Looked at before it is opened: opening a FIFO waits for a writer, and a device may be
    // endless or act on being opened.
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        int err = errno;
        return errnoError(err == ENOENT ? ErrorCode::NotFound : ErrorCode::Io, "Could not open " + path, err);
    }
    if (!S_ISREG(st.st_mode))
        return notRegular(path);
    // Without blocking, and checked again once open, in case the path was swapped in between.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        int err = errno;
        return errnoError(err == ENOENT ? ErrorCode::NotFound : ErrorCode::Io, "Could not open " + path, err);
    }
    if (::fstat(fd, &st) != 0) {
        int err = errno;
        ::close(fd);
        return errnoError(ErrorCode::Io, "Could not read " + path, err);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return notRegular(path);
    }
    return RegularFile(fd, static_cast<std::uint64_t>(st.st_size), path);
}

RegularFile::RegularFile(int fd, std::uint64_t size, std::string path)
    : m_fd(fd), m_size(size), m_path(std::move(path))
{
}

RegularFile::RegularFile(RegularFile&& other) noexcept
    : m_fd(other.m_fd), m_size(other.m_size), m_path(std::move(other.m_path))
{
    other.m_fd = -1;
}

RegularFile::~RegularFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

Result<std::size_t> RegularFile::read(char* buffer, std::size_t size)
{
    for (;;) {
        ssize_t n = ::read(m_fd, buffer, size);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            return errnoError(ErrorCode::Io, "Could not read " + m_path, errno);
    }
}

} // namespace kovi
