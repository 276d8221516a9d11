#include "core/web/download_file_name.h"

#include "core/support/files.h"

#include <glib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kovi {

namespace {

// Drops bytes that are not valid UTF-8 and every control character (C0, DEL, C1).
std::string cleanText(std::string_view text)
{
    std::string out;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        const char* next = nullptr;
        gunichar c = g_utf8_get_char_validated(p, end - p);
        if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) {
            ++p; // an invalid byte
            continue;
        }
        next = g_utf8_next_char(p);
        bool control = c < 0x20 || c == 0x7f || (c >= 0x80 && c < 0xa0);
        if (!control && c != '/')
            out.append(p, next - p);
        p = next;
    }
    return out;
}

bool isBlank(gunichar c)
{
    return g_unichar_isspace(c) || c == 0x00a0 || c == 0x200b || c == 0xfeff;
}

// Cuts `text` to at most `limit` bytes without splitting a character.
std::string truncateUtf8(const std::string& text, std::size_t limit)
{
    if (text.size() <= limit)
        return text;
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xc0) == 0x80)
        --cut;
    return text.substr(0, cut);
}

// Fits base + suffix + ".ext" into maxBytes, shortening the base first and the extension only
// when the extension alone is too long.
std::string fit(std::string base, const std::string& suffix, std::string ext)
{
    std::size_t extPart = ext.empty() ? 0 : ext.size() + 1;
    if (suffix.size() + extPart >= DownloadFileName::maxBytes) {
        ext.clear();
        extPart = 0;
    }
    base = truncateUtf8(base, DownloadFileName::maxBytes - suffix.size() - extPart);
    std::string out = base + suffix;
    if (!ext.empty())
        out += "." + ext;
    return out;
}

std::string baseName(const std::string& name, const std::string& ext)
{
    return ext.empty() ? name : name.substr(0, name.size() - ext.size() - 1);
}

Result<void> copyFile(const std::string& source, int out)
{
    int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return Error{ErrorCode::Io, std::strerror(errno)};
    char buffer[64 * 1024];
    for (;;) {
        ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            int error = errno;
            ::close(in);
            return Error{ErrorCode::Io, std::strerror(error)};
        }
        if (got == 0)
            break;
        ssize_t done = 0;
        while (done < got) {
            ssize_t w = ::write(out, buffer + done, static_cast<std::size_t>(got - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w < 0) {
                int error = errno;
                ::close(in);
                return Error{ErrorCode::Io, std::strerror(error)};
            }
            done += w;
        }
    }
    ::close(in);
    return {};
}

} // namespace

std::string DownloadFileName::extension(const std::string& name)
{
    auto dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == name.size())
        return {};
    return name.substr(dot + 1);
}

std::string DownloadFileName::safeName(std::string_view suggested)
{
    // The last path component, trailing separators ignored ("a/b/" gives "b").
    std::string_view text = suggested;
    while (!text.empty() && text.back() == '/')
        text.remove_suffix(1);
    if (auto slash = text.rfind('/'); slash != std::string_view::npos)
        text.remove_prefix(slash + 1);

    std::string name = cleanText(text);

    // No leading dots or blanks (hidden files, names that look empty), no trailing blanks.
    std::size_t start = 0;
    while (start < name.size()) {
        gunichar c = g_utf8_get_char(name.c_str() + start);
        if (c != '.' && !isBlank(c))
            break;
        start = g_utf8_next_char(name.c_str() + start) - name.c_str();
    }
    name.erase(0, start);
    while (!name.empty()) {
        const char* last = g_utf8_find_prev_char(name.c_str(), name.c_str() + name.size());
        if (!last || !isBlank(g_utf8_get_char(last)))
            break;
        name.erase(last - name.c_str());
    }

    if (name.size() > maxBytes) {
        std::string ext = extension(name);
        if (ext.size() > 16)
            ext.clear();
        name = fit(baseName(name, ext), "", ext);
    }
    if (name.empty())
        return fallbackName;
    return name;
}

std::string DownloadFileName::candidate(const std::string& name, unsigned n)
{
    if (n == 0)
        return name;
    std::string ext = extension(name);
    return fit(baseName(name, ext), " (" + std::to_string(n) + ")", ext);
}

Result<std::string> DownloadFileName::moveToFreeName(const std::string& source, const std::string& directory,
                                                     const std::string& name)
{
    if (auto made = files::ensureDirectory(directory, 0755); !made)
        return made.error();
    constexpr unsigned maxAttempts = 10000;
    for (unsigned n = 0; n < maxAttempts; ++n) {
        std::string destination = files::join(directory, candidate(name, n));
        struct stat info {};
        if (::lstat(destination.c_str(), &info) == 0)
            continue;
        // renameat2 with RENAME_NOREPLACE refuses to replace a file that appeared meanwhile.
        if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, destination.c_str(), RENAME_NOREPLACE) == 0)
            return destination;
        int error = errno;
        if (error == EEXIST)
            continue;
        if (error == EXDEV || error == EINVAL || error == ENOSYS) {
            // Another file system, or one without the no-replace rename: copy into a file that
            // is created exclusively, then drop the source.
            int out = ::open(destination.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (out < 0) {
                if (errno == EEXIST)
                    continue;
                return Error{ErrorCode::Io, std::strerror(errno)};
            }
            auto copied = copyFile(source, out);
            ::close(out);
            if (!copied) {
                ::unlink(destination.c_str());
                return copied.error();
            }
            ::unlink(source.c_str());
            return destination;
        }
        return Error{ErrorCode::Io, std::strerror(error)};
    }
    return Error{ErrorCode::Io, "No free file name was found."};
}

} // namespace kovi
