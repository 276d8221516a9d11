#include "core/state/storage_folder.h"

#include "core/support/files.h"
#include "core/support/regular_file.h"

#include <algorithm>
#include <iostream>

namespace kovi {

namespace {

void printLine(const std::string& line)
{
    std::cout << line << std::endl;
}

} // namespace

StorageFolder::StorageFolder(std::string path)
    : m_path(std::move(path))
{
}

std::string StorageFolder::filePath(std::string_view name) const
{
    return files::join(m_path, name);
}

Result<void> StorageFolder::ensureFolder()
{
    // The folder may have been removed since the last write, so it is made again each time.
    auto made = files::ensureDirectory(m_path);
    if (made) {
        m_folderFailureReported = false;
        return made;
    }
    if (!m_folderFailureReported) {
        m_folderFailureReported = true;
        printLine(made.error().message + ". Saving is tried again at each change.");
    }
    return made;
}

std::optional<std::string> StorageFolder::readText(const std::string& name)
{
    // Without its folder no file exists: nothing to keep aside, nothing to protect.
    if (!ensureFolder())
        return std::nullopt;
    auto contents = files::readBounded(filePath(name), maxFileBytes);
    if (contents) {
        if (contents->empty())
            return std::nullopt;
        return std::move(contents).value();
    }
    if (contents.error().code != ErrorCode::NotFound)
        keepAside(name);
    return std::nullopt; // a missing file is the first launch
}

std::optional<Json> StorageFolder::readHead(const std::string& name, std::size_t maxElements)
{
    if (!ensureFolder())
        return std::nullopt;
    auto file = RegularFile::open(filePath(name));
    if (!file) {
        if (file.error().code != ErrorCode::NotFound)
            keepAside(name);
        return std::nullopt;
    }
    if (file->size() == 0)
        return std::nullopt;
    std::size_t total = 0;
    try {
        return json::parseArrayHead(
            [&](char* buffer, std::size_t size) -> std::size_t {
                auto read = file->read(buffer, size);
                if (!read)
                    throw DecodeError(read.error().message);
                total += *read;
                if (total > maxFileBytes)
                    throw DecodeError("The file is too large.");
                return *read;
            },
            maxElements);
    } catch (const DecodeError&) {
        // Kept aside below.
    }
    keepAside(name);
    return std::nullopt;
}

void StorageFolder::keepAside(const std::string& name)
{
    if (!files::keepAside(filePath(name)))
        m_protected.insert(name);
}

bool StorageFolder::write(const std::string& name, const std::string& text, std::string_view failurePrefix)
{
    return writeFile(name, text, failurePrefix, false);
}

bool StorageFolder::writeFile(const std::string& name, const std::string& text, std::string_view failurePrefix,
                              bool quiet)
{
    if (m_protected.count(name) > 0) {
        // Not kept for a retry: it would be refused again for the same reason.
        const std::string reason =
            "the unreadable file " + filePath(name) + " could not be kept aside, so it is not replaced";
        if (!quiet)
            printLine(std::string(failurePrefix) + reason + ".");
        failed(name, reason);
        return false;
    }
    auto keepForRetry = [&] { m_failedWrites[name] = FailedWrite{text, std::string(failurePrefix)}; };
    if (auto folder = ensureFolder(); !folder) {
        keepForRetry(); // printed once by ensureFolder
        failed(name, folder.error().message);
        return false;
    }
    auto written = files::writeAtomically(filePath(name), text);
    if (!written) {
        if (!quiet)
            printLine(std::string(failurePrefix) + written.error().message);
        keepForRetry();
        failed(name, written.error().message);
        return false;
    }
    m_failedWrites.erase(name);
    m_writeFailures.erase(name);
    return true;
}

void StorageFolder::failed(const std::string& name, const std::string& reason)
{
    const bool started = m_writeFailures.count(name) == 0;
    m_writeFailures[name] = reason;
    if (started)
        writeFailed.emit(name);
}

void StorageFolder::retryFailedWrites(const std::vector<std::string>& skip)
{
    std::vector<std::string> names;
    for (const auto& [name, failed] : m_failedWrites) {
        if (std::find(skip.begin(), skip.end(), name) == skip.end())
            names.push_back(name);
    }
    for (const std::string& name : names) {
        // Moved out first: writeFile stores it again when the write fails once more.
        FailedWrite failed = std::move(m_failedWrites[name]);
        writeFile(name, failed.text, failed.failurePrefix, true);
    }
}

} // namespace kovi
