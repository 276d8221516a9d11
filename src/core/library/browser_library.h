#pragma once

#include "core/library/library_archive.h"
#include "core/support/result.h"

#include <sigc++/signal.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kovi {

// The library of saved pages ("Bookmarks", "Reading List") and saved workspaces, mirrored into
// library.json. `archive` always equals what is on disk: it changes only after a successful
// write. A library.json that cannot be read makes the store read-only for its lifetime, so the
// user's file is never overwritten. Main thread only.
class BrowserLibrary {
public:
    using LibraryError = kovi::LibraryError;

    static constexpr std::size_t maxArchiveBytes = 10'000'000;
    static constexpr std::size_t maxPages = 10'000;
    static constexpr std::size_t maxWorkspaces = 500;
    static constexpr std::size_t maxWorkspacePages = 1'000;
    static constexpr const char* fileName = "library.json";
    static constexpr const char* exportFileName = "Kovi Library.json";

    // nullopt keeps the library in paths::defaultStorageDirectory(). The folder is not created
    // until the first write.
    explicit BrowserLibrary(std::optional<std::string> directory = std::nullopt);

    BrowserLibrary(const BrowserLibrary&) = delete;
    BrowserLibrary& operator=(const BrowserLibrary&) = delete;

    const LibraryArchive& archive() const { return m_archive; }
    sigc::signal<void()> archiveChanged;

    // The last message for the user; the window that shows it resets it to nullopt.
    const std::optional<std::string>& errorMessage() const { return m_errorMessage; }
    void setErrorMessage(std::optional<std::string> message);
    sigc::signal<void()> errorMessageChanged;
    // Whether errorMessage tells that library.json could not be read at start (every later
    // message is about a change that could not be saved).
    bool errorIsReadFailure() const { return m_errorIsReadFailure; }

    bool canWrite() const { return m_canWrite; }
    const std::string& filePath() const { return m_filePath; }

    // Mutations never fail loudly: a refused write sets errorMessage.
    void toggleBookmark(const Url& url, const std::string& title);
    void save(const Url& url, const std::string& title, const std::string& collection);
    void update(const SavedPage& page);
    void remove(const Uuid& id);
    void saveWorkspace(const std::string& name, const std::vector<WorkspaceSnapshot::Page>& pages);
    void removeWorkspace(const Uuid& id);

    bool isBookmarked(const Url& url) const;

    static bool isWebURL(const Url& url);

    // Export and import report their failure to the caller, whose message is the error's text
    // and says what is wrong; they leave errorMessage alone and change nothing when they fail.
    // The export is compact with sorted keys, so it always fits the import's size limit.
    Result<std::string> exportedData() const;
    Result<void> importData(std::string_view data);
    // Merges an archive read by readImportFile() (library_import.h), which may run off the main
    // thread; `fileName` names the file in messages.
    Result<void> importArchive(const LibraryArchive& imported, std::string_view fileName);
    // The file-panel halves: a regular file of at most maxArchiveBytes is read; the export is
    // written whole and atomically.
    Result<void> importFile(const std::string& path);
    Result<void> exportToFile(const std::string& path) const;

    // The archive reader: size limit, strict decoding, then the library's rules.
    static Result<LibraryArchive> decode(std::string_view data);

private:
    Result<void> write(const LibraryArchive& archive);
    Result<void> writeEncoded(const LibraryArchive& archive, const std::string& bytes);
    void commit(const LibraryArchive& archive);

    LibraryArchive m_archive;
    std::optional<std::string> m_errorMessage;
    std::string m_directory;
    std::string m_filePath;
    bool m_canWrite = true;
    bool m_errorIsReadFailure = false;
};

} // namespace kovi
