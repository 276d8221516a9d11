#include "core/library/browser_library.h"

#include "core/library/library_import.h"
#include "core/support/files.h"
#include "core/support/storage_paths.h"
#include "core/support/text.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace kovi {

namespace {

constexpr const char* kCouldNotBeRead = "The library could not be read. Your saved file has been preserved. ";

Error libraryError(LibraryError error)
{
    return Error{error == LibraryError::invalidArchive ? ErrorCode::InvalidInput : ErrorCode::Io,
                 std::string(describe(error))};
}

Error formatError(const std::exception& error)
{
    return Error{ErrorCode::CorruptData, std::string("The file is not in the correct format. ") + error.what()};
}

Result<std::string> encodeCompact(const LibraryArchive& archive)
{
    try {
        return json::dump(toJson(archive));
    } catch (const std::exception& error) {
        return Error{ErrorCode::InvalidInput, error.what()};
    }
}

// A copy of `value` whose objects list their keys in byte order, at every depth.
Json sortedKeys(const Json& value)
{
    if (value.is_array()) {
        Json array = Json::array();
        for (const auto& element : value)
            array.push_back(sortedKeys(element));
        return array;
    }
    if (!value.is_object())
        return value;
    std::vector<std::string> keys;
    for (auto it = value.begin(); it != value.end(); ++it)
        keys.push_back(it.key());
    std::sort(keys.begin(), keys.end());
    Json object = Json::object();
    for (const auto& key : keys)
        object[key] = sortedKeys(value.at(key));
    return object;
}

} // namespace

BrowserLibrary::BrowserLibrary(std::optional<std::string> directory)
{
    m_directory = directory ? *directory : paths::defaultStorageDirectory();
    m_filePath = files::join(m_directory, fileName);

    auto bytes = files::readBounded(m_filePath, maxArchiveBytes);
    if (!bytes && bytes.error().code == ErrorCode::NotFound)
        return;

    Error failure;
    if (bytes) {
        auto decoded = decode(*bytes);
        if (decoded) {
            m_archive = std::move(*decoded);
            return;
        }
        failure = decoded.error();
    } else if (bytes.error().code == ErrorCode::TooLarge) {
        failure = libraryError(LibraryError::invalidArchive);
    } else {
        failure = bytes.error();
    }
    // Keep the user's file exactly as it is: no write may replace it while we cannot read it.
    // The user learns where it is and how to get a working library back.
    m_canWrite = false;
    m_errorMessage = kCouldNotBeRead + failure.message + "\n\nKovi leaves " + m_filePath
        + " as it is and saves no changes to the library until it can be read. Repair the file, or move it "
          "elsewhere to start with an empty library, then restart Kovi.";
    m_errorIsReadFailure = true;
}

void BrowserLibrary::setErrorMessage(std::optional<std::string> message)
{
    m_errorMessage = std::move(message);
    m_errorIsReadFailure = false;
    errorMessageChanged.emit();
}

bool BrowserLibrary::isWebURL(const Url& url)
{
    std::string scheme = url.schemeLowercased();
    return (scheme == "http" || scheme == "https") && url.host().has_value();
}

bool BrowserLibrary::isBookmarked(const Url& url) const
{
    return std::any_of(m_archive.pages.begin(), m_archive.pages.end(), [&](const SavedPage& page) {
        return page.url == url && page.collection == kBookmarksCollection;
    });
}

Result<LibraryArchive> BrowserLibrary::decode(std::string_view data)
{
    if (data.size() > maxArchiveBytes)
        return libraryError(LibraryError::invalidArchive);
    LibraryArchive archive;
    try {
        archive = LibraryArchive::fromJson(json::parse(data));
    } catch (const std::exception& error) {
        return formatError(error);
    }
    if (checkArchive(archive) != ArchiveRefusal::none)
        return libraryError(LibraryError::invalidArchive);
    return archive;
}

Result<void> BrowserLibrary::write(const LibraryArchive& archive)
{
    if (!m_canWrite)
        return libraryError(LibraryError::unreadableFile);
    auto bytes = encodeCompact(archive);
    if (!bytes)
        return bytes.error();
    if (bytes->size() > maxArchiveBytes || checkArchive(archive) != ArchiveRefusal::none)
        return libraryError(LibraryError::invalidArchive);
    return writeEncoded(archive, *bytes);
}

Result<void> BrowserLibrary::writeEncoded(const LibraryArchive& archive, const std::string& bytes)
{
    if (auto made = files::ensureDirectory(m_directory); !made)
        return made.error();
    if (auto written = files::writeAtomically(m_filePath, bytes); !written)
        return written.error();

    m_archive = archive;
    archiveChanged.emit();
    return {};
}

void BrowserLibrary::commit(const LibraryArchive& archive)
{
    if (auto written = write(archive); !written)
        setErrorMessage(written.error().message);
}

void BrowserLibrary::toggleBookmark(const Url& url, const std::string& title)
{
    if (!isBookmarked(url)) {
        save(url, title, kBookmarksCollection);
        return;
    }
    // Every bookmark of the page goes, so the star never stays lit by a duplicate left behind.
    LibraryArchive next = m_archive;
    std::erase_if(next.pages, [&](const SavedPage& page) {
        return page.url == url && page.collection == kBookmarksCollection;
    });
    commit(next);
}

void BrowserLibrary::save(const Url& url, const std::string& title, const std::string& collection)
{
    if (!isWebURL(url))
        return;
    bool alreadySaved = std::any_of(m_archive.pages.begin(), m_archive.pages.end(), [&](const SavedPage& page) {
        return page.url == url && page.collection == collection;
    });
    if (alreadySaved)
        return;

    // A title of blanks would show as an empty row, so it falls back like an empty one.
    std::string shownTitle = title;
    if (text::isBlank(title))
        shownTitle = url.host().value_or("");
    if (shownTitle.empty())
        shownTitle = "Saved page";

    SavedPage page{Uuid::random(), url, shownTitle, collection, false, Date::now()};
    LibraryArchive next = m_archive;
    next.pages.insert(next.pages.begin(), std::move(page));
    commit(next);
}

void BrowserLibrary::update(const SavedPage& page)
{
    if (!isWebURL(page.url) || text::isBlank(page.title))
        return;
    LibraryArchive next = m_archive;
    auto it = std::find_if(next.pages.begin(), next.pages.end(), [&](const SavedPage& p) { return p.id == page.id; });
    if (it == next.pages.end())
        return;
    *it = page;
    commit(next);
}

void BrowserLibrary::remove(const Uuid& id)
{
    LibraryArchive next = m_archive;
    std::erase_if(next.pages, [&](const SavedPage& page) { return page.id == id; });
    commit(next);
}

void BrowserLibrary::saveWorkspace(const std::string& name, const std::vector<WorkspaceSnapshot::Page>& pages)
{
    WorkspaceSnapshot workspace;
    workspace.id = Uuid::random();
    workspace.name = name;
    workspace.createdAt = Date::now();
    std::copy_if(pages.begin(), pages.end(), std::back_inserter(workspace.pages),
                 [](const WorkspaceSnapshot::Page& page) { return isWebURL(page.url); });
    if (workspace.pages.empty())
        return;
    LibraryArchive next = m_archive;
    next.workspaces.insert(next.workspaces.begin(), std::move(workspace));
    commit(next);
}

void BrowserLibrary::removeWorkspace(const Uuid& id)
{
    LibraryArchive next = m_archive;
    std::erase_if(next.workspaces, [&](const WorkspaceSnapshot& workspace) { return workspace.id == id; });
    commit(next);
}

Result<std::string> BrowserLibrary::exportedData() const
{
    // An unreadable library shows as empty; exporting that would invite overwriting a good backup.
    if (!m_canWrite)
        return libraryError(LibraryError::unreadableFile);
    std::string bytes;
    try {
        // Compact, like library.json: the export of any library the store accepts then fits the
        // import's size limit too.
        bytes = json::dump(sortedKeys(toJson(m_archive)));
    } catch (const std::exception& error) {
        return Error{ErrorCode::InvalidInput, error.what()};
    }
    // A library.json written by hand may encode longer than it was read (numbers in exponent
    // form, say). A backup that cannot be imported again is refused rather than written.
    if (bytes.size() > maxArchiveBytes)
        return Error{ErrorCode::TooLarge, "The library is too large to export as a file that can be imported again."};
    return bytes;
}

Result<void> BrowserLibrary::importData(std::string_view data)
{
    auto imported = decodeImport(data, {});
    if (!imported)
        return imported.error();
    return importArchive(*imported, {});
}

Result<void> BrowserLibrary::importArchive(const LibraryArchive& imported, std::string_view fileName)
{
    if (!m_canWrite)
        return libraryError(LibraryError::unreadableFile);
    LibraryArchive merged = m_archive;
    // Keyed by collection and address, so merging a large file stays linear.
    std::unordered_set<std::string> known;
    auto pageKey = [](const SavedPage& page) { return page.collection + '\n' + page.url.string(); };
    for (const auto& page : merged.pages)
        known.insert(pageKey(page));
    for (const auto& page : imported.pages) {
        if (!known.insert(pageKey(page)).second)
            continue;
        SavedPage copy = page;
        copy.id = Uuid::random();
        merged.pages.push_back(std::move(copy));
    }
    for (const auto& workspace : imported.workspaces) {
        bool known = std::any_of(merged.workspaces.begin(), merged.workspaces.end(),
                                 [&](const WorkspaceSnapshot& existing) {
                                     return existing.name == workspace.name && existing.pages == workspace.pages;
                                 });
        if (known)
            continue;
        WorkspaceSnapshot copy = workspace;
        copy.id = Uuid::random();
        merged.workspaces.push_back(std::move(copy));
    }

    // Both halves met the rules on their own; only the limits of the whole can be passed.
    if (merged.pages.size() > maxPages)
        return importPassesLimit(fileName, LibraryLimit::pages);
    if (merged.workspaces.size() > maxWorkspaces)
        return importPassesLimit(fileName, LibraryLimit::workspaces);
    auto bytes = encodeCompact(merged);
    if (!bytes)
        return bytes.error();
    if (bytes->size() > maxArchiveBytes)
        return importPassesLimit(fileName, LibraryLimit::bytes);
    return writeEncoded(merged, *bytes);
}

Result<void> BrowserLibrary::importFile(const std::string& path)
{
    auto imported = readImportFile(path);
    if (!imported)
        return imported.error();
    return importArchive(*imported, files::baseName(path));
}

Result<void> BrowserLibrary::exportToFile(const std::string& path) const
{
    auto data = exportedData();
    if (!data)
        return data.error();
    return files::writeAtomically(path, *data);
}

} // namespace kovi
