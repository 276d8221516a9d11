#include "core/state/browser_state.h"

#include <utility>

namespace kovi {

// ---- History -------------------------------------------------------------------------------

void BrowserState::addToHistory(const Tab& tab)
{
    if (!m_historyLog.record(tab, m_currentSpaceId))
        return;
    ChangeScope scope(*this);
    markChanged(Property::history);
    saveHistory();
}

void BrowserState::recordNavigation(const Uuid& tabId)
{
    const Tab* tab = findTab(tabId);
    if (!tab || !m_historyLog.recordNavigation(*tab, m_currentSpaceId))
        return;
    ChangeScope scope(*this);
    markChanged(Property::history);
    saveHistory();
}

void BrowserState::removeVisitOfDownload(const Uuid& tabId)
{
    if (!m_historyLog.removeTabVisit(tabId))
        return;
    ChangeScope scope(*this);
    markChanged(Property::history);
    saveHistory();
}

void BrowserState::writeVisitReportsSoon()
{
    // A page may change its title many times a second: one write shortly after the first
    // change takes along every report until then.
    if (m_visitReportFlush.isPending())
        return;
    // Safe: the task dies with the state.
    m_visitReportFlush.start(visitReportWriteDelay, [this] {
        if (m_historyLog.hasUnsavedChanges())
            saveHistory();
    });
}

std::vector<HistoryItem> BrowserState::historyForCurrentSpace() const
{
    return m_historyLog.forSpace(m_currentSpaceId);
}

std::vector<HistoryItem> BrowserState::historyForDate(Date date) const
{
    return m_historyLog.forDate(m_currentSpaceId, date);
}

std::vector<HistoryItem> BrowserState::yesterdaysHistory() const
{
    return m_historyLog.yesterday(m_currentSpaceId);
}

std::vector<HistoryItem> BrowserState::olderHistory() const
{
    return m_historyLog.older(m_currentSpaceId);
}

void BrowserState::removeHistoryItem(const Uuid& id)
{
    ChangeScope scope(*this);
    if (m_historyLog.remove(id))
        markChanged(Property::history);
    saveHistory();
}

void BrowserState::clearHistoryForCurrentSpace()
{
    ChangeScope scope(*this);
    if (m_historyLog.clear(m_currentSpaceId))
        markChanged(Property::history);
    saveHistory();
}

// ---- Downloads -----------------------------------------------------------------------------

void BrowserState::updateDownload(const Uuid& id, std::optional<std::int64_t> downloadedBytes,
                                  std::optional<std::int64_t> totalBytes, std::optional<DownloadStatus> status,
                                  std::optional<Url> localPath)
{
    ChangeScope scope(*this);
    DownloadLog::Update update = m_downloadLog.update(id, downloadedBytes, totalBytes, status, std::move(localPath));
    if (update.changed)
        markChanged(Property::downloads);
    if (update.save)
        saveDownloads();
}

void BrowserState::removeDownload(const Uuid& id)
{
    ChangeScope scope(*this);
    if (m_downloadLog.remove(id))
        markChanged(Property::downloads);
    saveDownloads();
}

void BrowserState::clearCompletedDownloads()
{
    ChangeScope scope(*this);
    if (m_downloadLog.clearCompleted())
        markChanged(Property::downloads);
    saveDownloads();
}

void BrowserState::openDownload(const Uuid& id)
{
    const DownloadItem* item = m_downloadLog.find(id);
    if (item && item->localPath && m_desktop.open)
        m_desktop.open(*item->localPath);
}

void BrowserState::showDownloadInFinder(const Uuid& id)
{
    const DownloadItem* item = m_downloadLog.find(id);
    if (item && item->localPath && m_desktop.showInFolder)
        m_desktop.showInFolder(*item->localPath);
}

void BrowserState::setDesktopHandler(DesktopHandler handler)
{
    m_desktop = std::move(handler);
}

} // namespace kovi
