#include "core/support/files.h"

#include "core/support/date.h"
#include "core/support/regular_file.h"

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

// Copies the regular file at `from` to the new file `to` (mode 0600), at most its size. A `to`
// that exists already gives InvalidInput.
Result<void> copyRegularFile(const std::string& from, const std::string& to)
{
    auto source = RegularFile::open(from);
    if (!source)
        return source.error();
    int fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        int err = errno;
        return errnoError(err == EEXIST ? ErrorCode::InvalidInput : ErrorCode::Io, "Could not write " + to, err);
    }
    std::vector<char> buffer(64 * 1024);
    std::uint64_t left = source->size();
    Result<void> outcome;
    while (left > 0 && outcome) {
        auto n = source->read(buffer.data(), static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), left)));
        if (!n) {
            outcome = n.error();
            break;
        }
        if (*n == 0)
            break; // it became shorter: the copy holds what there is
        left -= *n;
        for (std::size_t done = 0; done < *n;) {
            ssize_t written = ::write(fd, buffer.data() + done, *n - done);
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0) {
                outcome = errnoError(ErrorCode::Io, "Could not write " + to, errno);
                break;
            }
            done += static_cast<std::size_t>(written);
        }
    }
    if (::close(fd) != 0 && outcome)
        outcome = errnoError(ErrorCode::Io, "Could not write " + to, errno);
    if (!outcome)
        g_unlink(to.c_str());
    return outcome;
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

std::string baseName(const std::string& path)
{
    gchar* name = g_path_get_basename(path.c_str());
    std::string text = name;
    g_free(name);
    return text;
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
    auto file = RegularFile::open(path);
    if (!file)
        return file.error();
    std::string data;
    data.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(file->size(), maxBytes)) + 1);
    std::vector<char> buffer(64 * 1024);
    while (data.size() <= maxBytes) {
        std::size_t want = std::min(buffer.size(), maxBytes + 1 - data.size());
        auto n = file->read(buffer.data(), want);
        if (!n)
            return n.error();
        if (*n == 0)
            break;
        data.append(buffer.data(), *n);
    }
    if (data.size() > maxBytes)
        return Error{ErrorCode::TooLarge, path + " is larger than " + std::to_string(maxBytes) + " bytes."};
    return data;
}

std::optional<std::string> keepAside(const std::string& path)
{
    gchar* folderText = g_path_get_dirname(path.c_str());
    const std::string folder = folderText;
    const std::string prefix = baseName(path) + ".unreadable-";
    g_free(folderText);

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

    // Only a regular file is copied, and no more than its size: a path that leads to a device or a
    // FIFO would otherwise be copied without end or wait for a writer.
    std::string copy;
    Result<void> made = Error{};
    for (int attempt = 0; attempt < 100; ++attempt) {
        copy = copyName();
        made = copyRegularFile(path, copy);
        if (made || made.error().code != ErrorCode::InvalidInput)
            break;
        number = std::max(number, 1ul) + 1; // the name was taken
    }
    if (!made) {
        std::cout << "Could not keep a copy of the unreadable file " << path << ": " << made.error().message
                  << std::endl;
        return std::nullopt;
    }
    std::cout << "Kept a copy of the unreadable file " << path << " as " << copy << std::endl;

    // Keep the newest five copies.
    std::vector<std::string> copies = keptCopies(folder, prefix);
    for (std::size_t i = 0; i + 5 < copies.size(); ++i)
        g_remove(join(folder, copies[i]).c_str());
    return copy;
}

} // namespace kovi::files
