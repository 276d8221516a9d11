#pragma once

#include "core/support/json_coding.h"
#include "core/support/result.h"

#include <sigc++/signal.h>

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace kovi {

// The folder the browser state is kept in, and the reading and writing of its files.
// A missing or empty file reads as nothing. A damaged one is copied aside before anything may
// replace it; when no copy can be made it is never written over. Writes replace a file whole;
// a failed write is kept and tried again by retryFailedWrites(). A folder that cannot be made
// is reported once, and each later read or write tries to make it again. The files whose last
// write failed are listed with the reason until a write of theirs works. Main thread only.
class StorageFolder {
public:
    // Largest file read; a bigger one is kept aside like a damaged one.
    static constexpr std::size_t maxFileBytes = 256u * 1024 * 1024;

    explicit StorageFolder(std::string path);

    StorageFolder(const StorageFolder&) = delete;
    StorageFolder& operator=(const StorageFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string filePath(std::string_view name) const;

    // The file's JSON handed to `decode`, which throws for content it refuses. nullopt for a
    // missing or empty file, a folder that cannot be made, and refused or unreadable content.
    template <class Decode>
    auto read(const std::string& name, Decode decode) -> std::optional<decltype(decode(Json()))>
    {
        std::optional<std::string> text = readText(name);
        if (!text)
            return std::nullopt;
        try {
            return decode(json::parse(*text));
        } catch (const std::exception&) {
            // Refused: the file is kept aside below.
        }
        keepAside(name);
        return std::nullopt;
    }

    // Like read(), for a file holding one array of which only the first `maxElements` elements
    // count: reading stops after them, so a long file costs no more than its head.
    template <class Decode>
    auto readArrayHead(const std::string& name, std::size_t maxElements, Decode decode)
        -> std::optional<decltype(decode(Json()))>
    {
        std::optional<Json> head = readHead(name, maxElements);
        if (!head)
            return std::nullopt;
        try {
            return decode(*head);
        } catch (const std::exception&) {
            // Refused: the file is kept aside below.
        }
        keepAside(name);
        return std::nullopt;
    }

    // Replaces the file with `text`. A failure prints `failurePrefix` and the reason, and keeps
    // the text for retryFailedWrites(). Returns whether the file was written.
    bool write(const std::string& name, const std::string& text, std::string_view failurePrefix);

    // Writes again, quietly, each file whose last write failed, except those named in `skip`
    // (which the caller has just written anew).
    void retryFailedWrites(const std::vector<std::string>& skip = {});
    bool hasFailedWrites() const { return !m_failedWrites.empty(); }

    // By file name, why its last write failed (also a write refused to protect an unreadable
    // file, which is not tried again).
    const std::map<std::string, std::string>& writeFailures() const { return m_writeFailures; }
    // Emitted with the file's name when its writes start to fail: once, until one works again.
    sigc::signal<void(const std::string&)> writeFailed;

private:
    // The file's bytes; nullopt when there is nothing to decode (also after keeping it aside).
    std::optional<std::string> readText(const std::string& name);
    std::optional<Json> readHead(const std::string& name, std::size_t maxElements);
    void keepAside(const std::string& name);
    Result<void> ensureFolder();
    void failed(const std::string& name, const std::string& reason);
    bool writeFile(const std::string& name, const std::string& text, std::string_view failurePrefix, bool quiet);

    std::string m_path;
    bool m_folderFailureReported = false;
    // Unreadable files that could not be copied aside: never written over.
    std::unordered_set<std::string> m_protected;
    struct FailedWrite {
        std::string text;
        std::string failurePrefix;
    };
    std::map<std::string, FailedWrite> m_failedWrites;
    std::map<std::string, std::string> m_writeFailures;
};

} // namespace kovi
