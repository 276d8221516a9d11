#pragma once

#include "core/libraryviews/library_filter.h"
#include "core/library/library_archive.h"
#include "core/support/scoped_connections.h"

#include <sigc++/signal.h>

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kovi {

class BrowserLibrary;
class BrowserState;

enum class LibrarySection { bookmarks, readingList, workspaces };

// The sections in picker order; each one's title doubles as the collection name of its pages.
inline constexpr std::array<LibrarySection, 3> librarySections{LibrarySection::bookmarks, LibrarySection::readingList,
                                                               LibrarySection::workspaces};
std::string_view librarySectionTitle(LibrarySection section);

// Row texts of the library sheet.
// The page row's second line: the URL's host, or the whole URL when it has none.
std::string savedPageSubtitle(const SavedPage& page);
// "3 tabs · Jan 5, 2024" (plural even for one page).
std::string workspaceSubtitle(const WorkspaceSnapshot& workspace);
// The page row's symbol: "star" in Bookmarks; "checkmark.circle.fill" or "book" in the Reading List.
std::string_view savedPageSymbol(const SavedPage& page, LibrarySection section);

// What one presentation of the library sheet shows and does: the section and the search text,
// the filtered rows, the empty state, the footer's save button, the row actions, import and
// export, and the "Library" alert. It redraws through its signals whenever the library or the
// active tab changes. Main thread only; the library and the state must outlive it.
class LibrarySheetModel {
public:
    static constexpr const char* importedMessage =
        "Library imported. Existing items were kept and duplicates were skipped.";

    struct EmptyState {
        std::string title;
        std::string detail;
    };

    LibrarySheetModel(BrowserLibrary& library, BrowserState& state);
    LibrarySheetModel(const LibrarySheetModel&) = delete;
    LibrarySheetModel& operator=(const LibrarySheetModel&) = delete;

    LibrarySection section() const { return m_section; }
    void setSection(LibrarySection section);
    const std::string& query() const { return m_query; }
    void setQuery(std::string query);

    // The listed rows: pages in the two page sections, workspaces in "Workspaces".
    std::size_t rowCount() const { return m_rows.size(); }
    bool listsWorkspaces() const { return m_section == LibrarySection::workspaces; }
    const SavedPage& pageAt(std::size_t row) const;
    const WorkspaceSnapshot& workspaceAt(std::size_t row) const;
    // Shown above the rows, when there is one.
    std::optional<EmptyState> emptyState() const;

    // Footer: "Save Current Page" or "Save Current Workspace" for the section, and the
    // command of the command table it runs (which is enabled only while it can save).
    std::string saveButtonTitle() const;
    const char* saveCommand() const;

    // Row actions, by the id of the saved page or workspace. open and restore then ask the
    // sheet to close.
    void open(const Uuid& pageId);
    void toggleRead(const Uuid& pageId);
    void removePage(const Uuid& pageId);
    void restore(const Uuid& workspaceId);
    void removeWorkspace(const Uuid& workspaceId);
    std::optional<SavedPage> page(const Uuid& pageId) const;

    // The file-panel halves: the chosen file is read and merged, or the export is written to it.
    // The outcome goes to the alert (nothing on a successful export). The import's file is read
    // and decoded off the main thread; its outcome comes later, and not at all once the model
    // is gone (nothing is merged then).
    void importFile(const std::string& path);
    bool isImporting() const { return m_importsRunning > 0; }
    void exportFile(const std::string& path);

    // The "Library" alert: the sheet's own message, else the library's error; dismissing it
    // clears both.
    std::optional<std::string> alertMessage() const;
    void dismissAlert();

    sigc::signal<void()> listChanged;    // rows or empty state
    sigc::signal<void()> footerChanged;  // the section's save button
    sigc::signal<void()> alertChanged;
    sigc::signal<void()> dismissRequested;

private:
    void refilter();
    void setStatusMessage(std::optional<std::string> message);

    BrowserLibrary& m_library;
    BrowserState& m_state;
    LibrarySection m_section = LibrarySection::bookmarks;
    std::string m_query;
    std::optional<std::string> m_statusMessage;
    LibraryFilter m_filter;
    std::vector<std::size_t> m_rows;
    int m_importsRunning = 0;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    ScopedConnections m_connections;
};

} // namespace kovi
