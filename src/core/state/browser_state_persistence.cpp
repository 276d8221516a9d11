#include "core/state/browser_state.h"

#include "core/state/persisted_state.h"
#include "core/support/files.h"

#include <iostream>
#include <unordered_set>

namespace kovi {

namespace {

void printLine(const std::string& line)
{
    std::cout << line << std::endl;
}

} // namespace

std::string BrowserState::filePath(const char* fileName) const
{
    // The folder may have been removed since the last write; its creation is retried each time
    // and a failure shows up in the read or write that follows.
    (void)files::ensureDirectory(m_storageDirectory);
    return files::join(m_storageDirectory, fileName);
}

template <class Decode>
auto BrowserState::readStoredFile(const char* fileName, Decode decode) -> std::optional<decltype(decode(Json()))>
{
    std::string path = filePath(fileName);
    auto contents = files::readBounded(path, maxFileBytes);
    if (!contents) {
        if (contents.error().code == ErrorCode::NotFound)
            return std::nullopt; // first launch
    } else if (contents->empty()) {
        return std::nullopt;
    } else {
        try {
            return decode(json::parse(*contents));
        } catch (const std::exception&) {
            // Falls through: the file is unreadable.
        }
    }
    if (!files::keepAside(path))
        m_protectedFiles.insert(fileName);
    return std::nullopt;
}

bool BrowserState::writeStoredFile(const char* fileName, const std::string& contents, const char* failurePrefix)
{
    std::string path = filePath(fileName);
    if (m_protectedFiles.count(fileName) > 0) {
        printLine(std::string(failurePrefix) + "the unreadable file " + path +
                  " could not be kept aside, so it is not replaced.");
        return false;
    }
    auto written = files::writeAtomically(path, contents);
    if (!written) {
        printLine(std::string(failurePrefix) + written.error().message);
        return false;
    }
    return true;
}

// ---- Loading -------------------------------------------------------------------------------

Space BrowserState::makeDefaultSpace() const
{
    return Space{
        .id = Uuid::random(),
        .name = "Personal",
        .color = SpaceColor::blue,
        .icon = "person.fill",
        .tabOrder = {},
        .sidebarOrder = {},
        .lastActiveTabId = std::nullopt,
        .createdAt = Date::now(),
    };
}

void BrowserState::loadState()
{
    auto stored = readStoredFile(stateFileName, [](const Json& value) { return PersistedState::fromJson(value); });

    if (!stored) {
        m_spaces.push_back(makeDefaultSpace());
        setCurrentSpaceId(m_spaces.back().id);
        loadHistory();
        loadDownloads();
        loadCanvases();
        return;
    }

    for (auto& [key, tab] : stored->tabs) {
        // A restored tab has no live web view yet: nothing loads and there is no back/forward
        // history until the page is shown again.
        tab.isLoading = false;
        tab.loadingProgress = 0;
        tab.canGoBack = false;
        tab.canGoForward = false;
        m_tabs.insert_or_assign(tab.id, std::move(tab));
    }
    if (stored->folders) {
        for (auto& [key, folder] : *stored->folders)
            m_folders.insert_or_assign(folder.id, std::move(folder));
    }
    m_spaces = std::move(stored->spaces);
    if (m_spaces.empty())
        m_spaces.push_back(makeDefaultSpace());

    setCurrentSpaceId(spaceIndex(stored->currentSpaceId) >= 0 ? stored->currentSpaceId
                                                              : std::optional(m_spaces.front().id));
    setActiveTabId(stored->activeTabId);

    for (std::size_t i = 0; i < m_spaces.size(); ++i) {
        Space& space = m_spaces[i];
        std::unordered_set<Uuid> seen;
        std::vector<Uuid> order;
        for (const Uuid& id : space.tabOrder) {
            const Tab* tab = findTab(id);
            if (tab && tab->spaceId == space.id && !tab->isPinned && seen.insert(id).second)
                order.push_back(id);
        }
        std::vector<Tab> unlisted;
        for (const auto& [id, tab] : m_tabs) {
            if (tab.spaceId == space.id && !tab.isPinned && !seen.count(id))
                unlisted.push_back(tab);
        }
        for (const Tab& tab : sortedByCreation(std::move(unlisted)))
            order.push_back(tab.id);
        space.tabOrder = std::move(order);
        ensureSidebarOrderInitialized(static_cast<int>(i));
    }

    if (m_currentSpaceId) {
        for (auto& [id, tab] : m_tabs) {
            if (tab.isPinned && !tab.spaceId)
                tab.spaceId = m_currentSpaceId;
        }
    }

    loadHistory();
    loadDownloads();
    loadCanvases();
    // Loading changed records in place; nothing encoded before may be reused.
    m_tabJson.clear();
    m_historyJson.clear();
}

void BrowserState::loadHistory()
{
    auto stored = readStoredFile(historyFileName, [](const Json& value) {
        std::vector<HistoryItem> items;
        for (const Json& item : json::requireArray(value, "history"))
            items.push_back(HistoryItem::fromJson(item));
        return items;
    });
    if (!stored)
        return;
    if (m_currentSpaceId) {
        for (HistoryItem& item : *stored) {
            if (!item.spaceId)
                item.spaceId = m_currentSpaceId;
        }
    }
    setHistory(std::move(*stored));
}

void BrowserState::loadDownloads()
{
    auto stored = readStoredFile(downloadsFileName, [](const Json& value) {
        std::vector<DownloadItem> items;
        for (const Json& item : json::requireArray(value, "downloads"))
            items.push_back(DownloadItem::fromJson(item));
        return items;
    });
    if (!stored)
        return;
    // No transfer survives a restart.
    for (DownloadItem& item : *stored) {
        if (item.status == DownloadStatus::pending || item.status == DownloadStatus::downloading ||
            item.status == DownloadStatus::paused)
            item.status = DownloadStatus::failed;
    }
    setDownloads(std::move(*stored));
    saveDownloads();
}

void BrowserState::loadCanvases()
{
    auto stored = readStoredFile(canvasesFileName, [](const Json& value) {
        std::vector<KoviCanvas> canvases;
        for (const Json& canvas : json::requireArray(value, "canvases"))
            canvases.push_back(KoviCanvas::fromJson(canvas));
        return canvases;
    });
    m_canvases = stored ? std::move(*stored) : std::vector<KoviCanvas>{};
}

// ---- Saving --------------------------------------------------------------------------------

void BrowserState::saveState()
{
    if (m_isRestoringState)
        return;
    if (m_changeDepth > 0) {
        m_stateSavePending = true; // written once when the operation ends
        return;
    }
    writeStateFile();
}

void BrowserState::writeStateFile()
{
    std::string& text = m_fileText;
    try {
        std::vector<std::pair<Uuid, const std::string*>> encoded;
        encoded.reserve(m_tabs.size());
        for (const auto& [id, tab] : m_tabs) {
            auto cached = m_tabJson.find(id);
            if (cached == m_tabJson.end())
                cached = m_tabJson.emplace(id, json::dump(toJson(tab))).first;
            encoded.emplace_back(id, &cached->second);
        }
        PersistedState::assemble(encoded, m_folders, m_spaces, m_currentSpaceId, m_activeTabId, text);
    } catch (const std::exception& error) {
        printLine(std::string("Failed to save state: ") + error.what());
        return;
    }
    writeStoredFile(stateFileName, text, "Failed to save state: ");
}

void BrowserState::saveHistory()
{
    if (m_changeDepth > 0) {
        m_historySavePending = true;
        return;
    }
    writeHistoryFile();
}

void BrowserState::writeHistoryFile()
{
    std::string& text = m_fileText;
    text.clear();
    try {
        std::size_t size = 2;
        for (const HistoryItem& item : m_history) {
            auto cached = m_historyJson.find(item.id);
            size += cached == m_historyJson.end() ? 256 : cached->second.size() + 1;
        }
        text.reserve(size);
        text += '[';
        std::unordered_set<Uuid> present;
        for (const HistoryItem& item : m_history) {
            if (text.size() > 1)
                text += ',';
            if (!present.insert(item.id).second) {
                text += json::dump(toJson(item)); // a repeated id: its text is not the cached one
                continue;
            }
            auto cached = m_historyJson.find(item.id);
            if (cached == m_historyJson.end())
                cached = m_historyJson.emplace(item.id, json::dump(toJson(item))).first;
            text += cached->second;
        }
        text += ']';
        if (m_historyJson.size() > present.size())
            std::erase_if(m_historyJson, [&](const auto& entry) { return !present.count(entry.first); });
    } catch (const std::exception& error) {
        printLine(std::string("Failed to save history: ") + error.what());
        return;
    }
    writeStoredFile(historyFileName, text, "Failed to save history: ");
}

void BrowserState::saveDownloads()
{
    m_downloadProgressUnsaved = false;
    m_downloadFlushTimer.disconnect();
    if (m_changeDepth > 0) {
        m_downloadsSavePending = true;
        return;
    }
    writeDownloadsFile();
}

void BrowserState::writeDownloadsFile()
{
    if (auto created = files::ensureDirectory(m_storageDirectory); !created) {
        printLine("Failed to save downloads: " + created.error().message);
        return;
    }
    std::string text;
    try {
        Json array = Json::array();
        for (const DownloadItem& item : m_downloads)
            array.push_back(toJson(item));
        text = json::dump(array);
    } catch (const std::exception& error) {
        printLine(std::string("Failed to save downloads: ") + error.what());
        return;
    }
    writeStoredFile(downloadsFileName, text, "Failed to save downloads: ");
}

void BrowserState::saveKoviCanvases()
{
    if (m_changeDepth > 0) {
        m_canvasesSavePending = true;
        return;
    }
    writeCanvasesFile();
}

void BrowserState::writeCanvasesFile()
{
    std::string text;
    try {
        Json array = Json::array();
        for (const KoviCanvas& canvas : m_canvases)
            array.push_back(toJson(canvas));
        text = json::dump(array);
    } catch (const std::exception& error) {
        printLine(std::string("Failed to save canvases: ") + error.what());
        return;
    }
    writeStoredFile(canvasesFileName, text, "Failed to save canvases: ");
}

} // namespace kovi
