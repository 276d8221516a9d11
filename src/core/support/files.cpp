#include "core/support/files.h"

#include "core/support/date.h"

#include <gio/gio.h>
#include <glib.h>
#include <glib/gstdio.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace kovi::files {

namespace {

Error errnoError(ErrorCode code, const std::string& what, int err)
{
    return Error{code, what + ": " + std::strerror(err)};
}

std::string utcStamp()
{
    GDateTime* now = g_date_time_new_from_unix_utc(static_cast<gint64>(std::floor(Date::now().unixSeconds())));
    if (!now)
        now = g_date_time_new_now_utc();
    gchar* text = g_date_time_format(now, "%Y%m%d-%H%M%S");
    std::string stamp(text);
    g_free(text);
    g_date_time_unref(now);
    return stamp;
}

// A kept copy's place in time: its stamp, then the number added when the stamp was taken
// (none counts as 1), so "…-120000" < "…-120000-2" < "…-120000-10" < "…-120001".
struct CopyAge {
    std::string stamp;
    unsigned long number = 1;
    bool operator<(const CopyAge& other) const { return std::tie(stamp, number) < std::tie(other.stamp, other.number); }
};

CopyAge copyAge(const std::string& name, std::size_t prefixSize)
{
    CopyAge age;
    age.stamp = name.substr(prefixSize, 15); // yyyyMMdd-HHmmss
    std::size_t rest = prefixSize + age.stamp.size();
    if (rest + 1 < name.size() && name[rest] == '-')
        age.number = std::strtoul(name.c_str() + rest + 1, nullptr, 10);
    return age;
}

// The names of the copies in `folder` whose names start with `prefix`, oldest first.
std::vector<std::string> keptCopies(const std::string& folder, const std::string& prefix)
{
    std::vector<std::string> copies;
    if (GDir* dir = g_dir_open(folder.c_str(), 0, nullptr)) {
        while (const gchar* name = g_dir_read_name(dir))
            if (std::string_view(name).substr(0, prefix.size()) == prefix)
                copies.emplace_back(name);
        g_dir_close(dir);
    }
    std::sort(copies.begin(), copies.end(), [&](const std::string& a, const std::string& b) {
        return copyAge(a, prefix.size()) < copyAge(b, prefix.size());
    });
    return copies;
}

} // namespace

std::string join(std::string_view folder, std::string_view name)
{
    std::string path(folder);
    if (!path.empty() && path.back() != '/')
        path.push_back('/');
    path.append(name);
    return path;
}

bool exists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

bool isDirectory(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

Result<void> ensureDirectory(const std::string& path, int mode)
{
    if (path.empty())
        return Error{ErrorCode::Io, "No folder given."};
    if (g_mkdir_with_parents(path.c_str(), mode) != 0)
        return errnoError(ErrorCode::Io, "Could not create the folder " + path, errno);
    return {};
}

Result<void> writeAtomically(const std::string& path, std::string_view contents, int mode)
{
    gchar* parent = g_path_get_dirname(path.c_str());
    auto made = ensureDirectory(parent);
    g_free(parent);
    if (!made)
        return made;
    // A temporary file beside the target, renamed over it: readers see the old or the new file,
    // never a mix. No fsync: saves are frequent, and g_file_set_contents_full would sync every
    // replacement of an existing file even without DURABLE.
    std::string temp = path + ".XXXXXX";
    int fd = g_mkstemp_full(temp.data(), O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0)
        return errnoError(ErrorCode::Io, "Could not write " + path, errno);
    const char* data = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int err = errno;
            ::close(fd);
            g_unlink(temp.c_str());
            return errnoError(ErrorCode::Io, "Could not write " + path, err);
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0 || g_rename(temp.c_str(), path.c_str()) != 0) {
        int err = errno;
        g_unlink(temp.c_str());
        return errnoError(ErrorCode::Io, "Could not write " + path, err);
    }
    return {};
}

Result<std::string> readBounded(const std::string& path, std::size_t maxBytes)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        int err = errno;
        return errnoError(err == ENOENT ? ErrorCode::NotFound : ErrorCode::Io, "Could not open " + path, err);
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        int err = errno;
        ::close(fd);
        return errnoError(ErrorCode::Io, "Could not read " + path, err);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return Error{ErrorCode::NotRegular, path + " is not a regular file."};
    }
    std::string data;
    data.reserve(std::min<std::size_t>(static_cast<std::size_t>(st.st_size), maxBytes) + 1);
    std::vector<char> buffer(64 * 1024);
    while (data.size() <= maxBytes) {
        std::size_t want = std::min(buffer.size(), maxBytes + 1 - data.size());
        ssize_t n = ::read(fd, buffer.data(), want);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int err = errno;
            ::close(fd);
            return errnoError(ErrorCode::Io, "Could not read " + path, err);
        }
        if (n == 0)
            break;
        data.append(buffer.data(), static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (data.size() > maxBytes)
        return Error{ErrorCode::TooLarge, path + " is larger than " + std::to_string(maxBytes) + " bytes."};
    return data;
}

std::optional<std::string> keepAside(const std::string& path)
{
    gchar* folderText = g_path_get_dirname(path.c_str());
    gchar* baseText = g_path_get_basename(path.c_str());
    const std::string folder = folderText;
    const std::string prefix = std::string(baseText) + ".unreadable-";
    g_free(folderText);
    g_free(baseText);

    // A copy never replaces an earlier one: when copies of this second exist (two damaged files
    // within one second), the new one is numbered after them.
    const std::string stamp = utcStamp();
    unsigned long number = 0;
    for (const std::string& name : keptCopies(folder, prefix)) {
        CopyAge age = copyAge(name, prefix.size());
        if (age.stamp == stamp)
            number = std::max(number, age.number + 1);
    }
    auto copyName = [&] {
        std::string name = path + ".unreadable-" + stamp;
        return number > 1 ? name + "-" + std::to_string(number) : name;
    };

    // Streamed copy: the damaged file may be large.
    GFile* source = g_file_new_for_path(path.c_str());
    GError* error = nullptr;
    bool copied = false;
    std::string copy;
    for (int attempt = 0; attempt < 100; ++attempt) {
        copy = copyName();
        GFile* target = g_file_new_for_path(copy.c_str());
        copied = g_file_copy(source, target, G_FILE_COPY_NONE, nullptr, nullptr, nullptr, &error);
        g_object_unref(target);
        if (copied || !g_error_matches(error, G_IO_ERROR, G_IO_ERROR_EXISTS))
            break;
        g_clear_error(&error);
        number = std::max(number, 1ul) + 1;
    }
    g_object_unref(source);
    if (!copied) {
        std::cout << "Could not keep a copy of the unreadable file " << path << ": "
                  << (error ? error->message : "unknown error") << std::endl;
        g_clear_error(&error);
        return std::nullopt;
    }
    ::chmod(copy.c_str(), 0600);
    std::cout << "Kept a copy of the unreadable file " << path << " as " << copy << std::endl;

    // Keep the newest five copies.
    std::vector<std::string> copies = keptCopies(folder, prefix);
    for (std::size_t i = 0; i + 5 < copies.size(); ++i)
        g_remove(join(folder, copies[i]).c_str());
    return copy;
}

} // namespace kovi::files
