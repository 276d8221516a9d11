#include "core/libraryviews/library_sheet_model.h"

#include "core/commands/command_ids.h"
#include "core/libraryviews/display_format.h"
#include "core/libraryviews/saved_page_actions.h"
#include "core/library/browser_library.h"
#include "core/library/library_import.h"
#include "core/state/browser_state.h"
#include "core/support/background_work.h"
#include "core/support/files.h"

#include <algorithm>

namespace kovi {

std::string_view librarySectionTitle(LibrarySection section)
{
    switch (section) {
    case LibrarySection::bookmarks: return kBookmarksCollection;
    case LibrarySection::readingList: return kReadingListCollection;
    case LibrarySection::workspaces: return "Workspaces";
    }
    return kBookmarksCollection;
}

std::string savedPageSubtitle(const SavedPage& page)
{
    return page.url.host().value_or(page.url.string());
}

std::string workspaceSubtitle(const WorkspaceSnapshot& workspace)
{
    return std::to_string(workspace.pages.size()) + " tabs \u00B7 " + display::abbreviatedDate(workspace.createdAt);
}

std::string_view savedPageSymbol(const SavedPage& page, LibrarySection section)
{
    if (section == LibrarySection::readingList)
        return page.isRead ? "checkmark.circle.fill" : "book";
    return "star";
}

LibrarySheetModel::LibrarySheetModel(BrowserLibrary& library, BrowserState& state) : m_library(library), m_state(state)
{
    m_connections.add(m_library.archiveChanged.connect([this] {
        m_filter.invalidate();
        refilter();
    }));
    m_connections.add(m_library.errorMessageChanged.connect([this] { alertChanged.emit(); }));
    refilter();
}

void LibrarySheetModel::setSection(LibrarySection section)
{
    if (section == m_section)
        return;
    m_section = section; // the query stays
    refilter();
    footerChanged.emit();
}

void LibrarySheetModel::setQuery(std::string query)
{
    if (query == m_query)
        return;
    m_query = std::move(query);
    refilter();
}

void LibrarySheetModel::refilter()
{
    const LibraryArchive& archive = m_library.archive();
    if (listsWorkspaces())
        m_rows = m_filter.workspaces(archive, m_query);
    else
        m_rows = m_filter.pages(archive, librarySectionTitle(m_section), m_query);
    listChanged.emit();
}

const SavedPage& LibrarySheetModel::pageAt(std::size_t row) const
{
    return m_library.archive().pages.at(m_rows.at(row));
}

const WorkspaceSnapshot& LibrarySheetModel::workspaceAt(std::size_t row) const
{
    return m_library.archive().workspaces.at(m_rows.at(row));
}

std::optional<LibrarySheetModel::EmptyState> LibrarySheetModel::emptyState() const
{
    if (listsWorkspaces()) {
        // Only an empty list invites saving; a search without matches leaves the list blank.
        if (m_library.archive().workspaces.empty())
            return EmptyState{"Save a workspace", "Capture this space\u2019s tabs and reopen them together later."};
        return std::nullopt;
    }
    if (!m_rows.empty())
        return std::nullopt;
    return EmptyState{m_query.empty() ? "Nothing saved here yet" : "No matches",
                      "Save a page with Ctrl+D, or add it to your reading list."};
}

std::string LibrarySheetModel::saveButtonTitle() const
{
    return listsWorkspaces() ? "Save Current Workspace" : "Save Current Page";
}

const char* LibrarySheetModel::saveCommand() const
{
    switch (m_section) {
    case LibrarySection::bookmarks: return commands::bookmarkPage;
    case LibrarySection::readingList: return commands::addToReadingList;
    case LibrarySection::workspaces: return commands::saveWorkspace;
    }
    return commands::bookmarkPage;
}

std::optional<SavedPage> LibrarySheetModel::page(const Uuid& pageId) const
{
    for (const SavedPage& page : m_library.archive().pages) {
        if (page.id == pageId)
            return page;
    }
    return std::nullopt;
}

void LibrarySheetModel::open(const Uuid& pageId)
{
    auto found = page(pageId);
    if (!found)
        return;
    openSavedPage(m_state, *found);
    dismissRequested.emit();
}

void LibrarySheetModel::toggleRead(const Uuid& pageId)
{
    auto found = page(pageId);
    if (!found)
        return;
    found->isRead = !found->isRead;
    m_library.update(*found);
}

void LibrarySheetModel::removePage(const Uuid& pageId)
{
    m_library.remove(pageId);
}

void LibrarySheetModel::restore(const Uuid& workspaceId)
{
    const auto& workspaces = m_library.archive().workspaces;
    auto it = std::find_if(workspaces.begin(), workspaces.end(),
                           [&](const WorkspaceSnapshot& workspace) { return workspace.id == workspaceId; });
    if (it == workspaces.end())
        return;
    const WorkspaceSnapshot workspace = *it; // the state's signals may change the library
    restoreWorkspace(m_state, workspace);
    dismissRequested.emit();
}

void LibrarySheetModel::removeWorkspace(const Uuid& workspaceId)
{
    m_library.removeWorkspace(workspaceId);
}

void LibrarySheetModel::importFile(const std::string& path)
{
    // Reading and decoding a large file takes a while: it happens on a worker thread, and only
    // the merge into the library comes back to the main loop.
    ++m_importsRunning;
    auto finish = [this, alive = std::weak_ptr<bool>(m_alive), name = files::baseName(path)](Result<LibraryArchive> read) {
        if (alive.expired())
            return; // the sheet has closed: nobody would hear of it, so nothing is merged
        --m_importsRunning;
        auto imported = read ? m_library.importArchive(*read, name) : Result<void>(read.error());
        setStatusMessage(imported ? std::string(importedMessage) : imported.error().message);
    };
    runInBackground<Result<LibraryArchive>>([path] { return readImportFile(path); }, std::move(finish));
}

void LibrarySheetModel::exportFile(const std::string& path)
{
    if (auto exported = m_library.exportToFile(path); !exported)
        setStatusMessage(exported.error().message);
}

std::optional<std::string> LibrarySheetModel::alertMessage() const
{
    if (m_statusMessage)
        return m_statusMessage;
    return m_library.errorMessage();
}

void LibrarySheetModel::dismissAlert()
{
    m_statusMessage.reset();
    m_library.setErrorMessage(std::nullopt);
    alertChanged.emit();
}

void LibrarySheetModel::setStatusMessage(std::optional<std::string> message)
{
    m_statusMessage = std::move(message);
    alertChanged.emit();
}

} // namespace kovi
