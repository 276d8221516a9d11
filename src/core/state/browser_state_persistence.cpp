#include "core/state/browser_state.h"

#include <algorithm>
#include <iostream>

namespace kovi {

// ---- Loading -------------------------------------------------------------------------------

void BrowserState::load()
{
    StateFile::Contents contents = m_stateFile.load();
    m_tabs = std::move(contents.tabs);
    m_folders = std::move(contents.folders);
    m_spaces = std::move(contents.spaces);
    setCurrentSpaceId(contents.currentSpaceId);
    setActiveTabId(contents.activeTabId);

    m_historyLog.load(m_currentSpaceId);
    if (m_downloadLog.load())
        saveDownloads(); // with the unfinished downloads marked failed
    loadCanvases();
}

void BrowserState::loadCanvases()
{
    auto stored = m_storage.read(canvasesFileName, [](const Json& value) {
        return json::arrayFromJson<KoviCanvas>(value, "canvases");
    });
    m_canvases = stored ? std::move(*stored) : std::vector<KoviCanvas>{};
}

// ---- Saving --------------------------------------------------------------------------------
// Each save is written once, when the running operation ends (see finishChanges).

void BrowserState::saveState()
{
    if (m_isRestoringState)
        return;
    ChangeScope scope(*this);
    m_stateSavePending = true;
    // Titles and icons pages reported into their visits are written with the state.
    if (m_historyLog.hasUnsavedChanges())
        m_historySavePending = true;
}

void BrowserState::saveHistory()
{
    ChangeScope scope(*this);
    m_historySavePending = true;
}

void BrowserState::saveDownloads()
{
    m_downloadLog.saving();
    ChangeScope scope(*this);
    m_downloadsSavePending = true;
}

void BrowserState::saveKoviCanvases()
{
    ChangeScope scope(*this);
    m_canvasesSavePending = true;
}

namespace {

std::optional<BrowserState::SavedData> savedData(const std::string& fileName)
{
    if (fileName == BrowserState::stateFileName)
        return BrowserState::SavedData::tabs;
    if (fileName == BrowserState::historyFileName)
        return BrowserState::SavedData::history;
    if (fileName == BrowserState::downloadsFileName)
        return BrowserState::SavedData::downloads;
    return std::nullopt;
}

} // namespace

void BrowserState::watchWriteFailures()
{
    // Safe: the folder is a member, so its signal dies with the state.
    m_storage.writeFailed.connect([this](const std::string& fileName) {
        if (savedData(fileName))
            m_saveFailureStarted = true;
    });
}

std::vector<BrowserState::SaveFailure> BrowserState::saveFailures() const
{
    std::vector<SaveFailure> failures;
    for (const auto& [fileName, reason] : m_storage.writeFailures()) {
        if (auto data = savedData(fileName))
            failures.push_back(SaveFailure{*data, reason});
    }
    std::sort(failures.begin(), failures.end(),
              [](const SaveFailure& a, const SaveFailure& b) { return a.data < b.data; });
    return failures;
}

void BrowserState::writeCanvasesFile()
{
    const char* failure = "Failed to save canvases: ";
    std::string text;
    try {
        text = json::dump(json::arrayToJson(m_canvases));
    } catch (const std::exception& error) {
        std::cout << failure << error.what() << std::endl;
        return;
    }
    m_storage.write(canvasesFileName, text, failure);
}

} // namespace kovi
