#include "core/state/browser_state.h"

#include <glib.h>
#include <glibmm/main.h>

#include <algorithm>

#include <cmath>

namespace kovi {

namespace {

// A calendar day in the local time zone.
struct LocalDay {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const LocalDay&) const = default;
};

GDateTime* localDateTime(Date date)
{
    double seconds = std::floor(date.unixSeconds());
    if (!std::isfinite(seconds) || seconds < -6.2e10 || seconds > 2.5e11)
        return nullptr;
    return g_date_time_new_from_unix_local(static_cast<gint64>(seconds));
}

std::optional<LocalDay> localDay(GDateTime* time)
{
    if (!time)
        return std::nullopt;
    return LocalDay{g_date_time_get_year(time), g_date_time_get_month(time), g_date_time_get_day_of_month(time)};
}

std::optional<LocalDay> localDay(Date date)
{
    GDateTime* time = localDateTime(date);
    auto day = localDay(time);
    if (time)
        g_date_time_unref(time);
    return day;
}

// Yesterday's calendar day, and the instant it began.
struct Yesterday {
    LocalDay day;
    Date start;
};

std::optional<Yesterday> yesterday()
{
    GDateTime* now = localDateTime(Date::now());
    if (!now)
        return std::nullopt;
    GDateTime* before = g_date_time_add_days(now, -1);
    g_date_time_unref(now);
    if (!before)
        return std::nullopt;
    LocalDay day = *localDay(before);
    g_date_time_unref(before);
    GDateTime* midnight = g_date_time_new_local(day.year, day.month, day.day, 0, 0, 0);
    if (!midnight)
        return std::nullopt;
    Date start = Date::fromUnix(static_cast<double>(g_date_time_to_unix(midnight)));
    g_date_time_unref(midnight);
    return Yesterday{day, start};
}

} // namespace

// ---- History -------------------------------------------------------------------------------

void BrowserState::addToHistory(const Tab& tab)
{
    if (tab.url.string().empty())
        return;
    for (const HistoryItem& item : m_history) {
        if (item.spaceId == m_currentSpaceId) {
            if (item.url == tab.url)
                return; // the page last recorded in this space
            break;
        }
    }
    ChangeScope scope(*this);
    HistoryItem item{
        .id = Uuid::random(),
        .url = tab.url,
        .title = tab.title,
        .visitedAt = Date::now(),
        .favicon = tab.favicon,
        .spaceId = tab.spaceId ? tab.spaceId : m_currentSpaceId,
    };
    m_history.insert(m_history.begin(), std::move(item));
    if (m_history.size() > maxHistoryEntries)
        m_history.resize(maxHistoryEntries, m_history.front());
    markChanged(Property::history);
    saveHistory();
}

std::vector<HistoryItem> BrowserState::historyForCurrentSpace() const
{
    std::vector<HistoryItem> items;
    for (const HistoryItem& item : m_history) {
        if (item.spaceId == m_currentSpaceId)
            items.push_back(item);
    }
    return items;
}

std::vector<HistoryItem> BrowserState::historyForDate(Date date) const
{
    auto day = localDay(date);
    if (!day)
        return {};
    std::vector<HistoryItem> items;
    for (const HistoryItem& item : m_history) {
        if (item.spaceId == m_currentSpaceId && localDay(item.visitedAt) == day)
            items.push_back(item);
    }
    return items;
}

std::vector<HistoryItem> BrowserState::yesterdaysHistory() const
{
    auto before = yesterday();
    if (!before)
        return {};
    std::vector<HistoryItem> items;
    for (const HistoryItem& item : m_history) {
        if (item.spaceId == m_currentSpaceId && localDay(item.visitedAt) == before->day)
            items.push_back(item);
    }
    return items;
}

std::vector<HistoryItem> BrowserState::olderHistory() const
{
    // Everything before yesterday began, so Today, Yesterday and Older cover every entry.
    auto before = yesterday();
    if (!before)
        return {};
    std::vector<HistoryItem> items;
    for (const HistoryItem& item : m_history) {
        if (item.spaceId == m_currentSpaceId && item.visitedAt < before->start)
            items.push_back(item);
    }
    return items;
}

void BrowserState::removeHistoryItem(const Uuid& id)
{
    ChangeScope scope(*this);
    if (std::erase_if(m_history, [&](const HistoryItem& item) { return item.id == id; }) > 0)
        markChanged(Property::history);
    saveHistory();
}

void BrowserState::clearHistoryForCurrentSpace()
{
    ChangeScope scope(*this);
    if (std::erase_if(m_history, [&](const HistoryItem& item) { return item.spaceId == m_currentSpaceId; }) > 0)
        markChanged(Property::history);
    saveHistory();
}

// ---- Downloads -----------------------------------------------------------------------------

void BrowserState::updateDownload(const Uuid& id, std::optional<std::int64_t> downloadedBytes,
                                  std::optional<std::int64_t> totalBytes, std::optional<DownloadStatus> status,
                                  std::optional<Url> localPath)
{
    auto it = std::find_if(m_downloads.begin(), m_downloads.end(), [&](const DownloadItem& d) { return d.id == id; });
    if (it == m_downloads.end())
        return;
    // Late byte counts of a download that has ended are dropped.
    if (!status && it->status != DownloadStatus::downloading)
        return;

    ChangeScope scope(*this);
    DownloadItem item = *it;
    if (downloadedBytes)
        item.downloadedBytes = *downloadedBytes;
    if (totalBytes)
        item.totalBytes = *totalBytes;
    if (status) {
        item.status = *status;
        if (*status == DownloadStatus::completed)
            item.completedAt = Date::now();
    }
    if (localPath) {
        item.filename = localPath->lastPathComponent();
        item.localPath = std::move(localPath);
    }
    if (!(item == *it)) {
        *it = std::move(item);
        markChanged(Property::downloads);
    }

    const Date now = Date::now();
    bool progressOnly = !status && !localPath;
    if (progressOnly) {
        // Progress reports come many times a second; the file takes at most one a second per
        // download, and a pending one is flushed by a timer.
        auto last = m_downloadLastWritten.find(id);
        if (last != m_downloadLastWritten.end() && now.secondsSince(last->second) < 1.0 &&
            now.secondsSince(last->second) >= 0) {
            m_downloadProgressUnsaved = true;
            if (!m_downloadFlushTimer.connected()) {
                // Safe: the connection is dropped in the destructor.
                m_downloadFlushTimer = Glib::signal_timeout().connect(
                    [this] {
                        flushPendingDownloadProgress();
                        return false;
                    },
                    1000);
            }
            return;
        }
    }
    m_downloadLastWritten.insert_or_assign(id, now);
    saveDownloads();
}

bool BrowserState::flushPendingDownloadProgress()
{
    if (!m_downloadProgressUnsaved)
        return false;
    ChangeScope scope(*this);
    const Date now = Date::now();
    for (const DownloadItem& item : m_downloads)
        m_downloadLastWritten.insert_or_assign(item.id, now);
    saveDownloads();
    return true;
}

void BrowserState::removeDownload(const Uuid& id)
{
    ChangeScope scope(*this);
    if (std::erase_if(m_downloads, [&](const DownloadItem& item) { return item.id == id; }) > 0)
        markChanged(Property::downloads);
    m_downloadLastWritten.erase(id);
    saveDownloads();
}

void BrowserState::clearCompletedDownloads()
{
    ChangeScope scope(*this);
    if (std::erase_if(m_downloads, [](const DownloadItem& item) { return item.status == DownloadStatus::completed; }) > 0)
        markChanged(Property::downloads);
    saveDownloads();
}

void BrowserState::openDownload(const Uuid& id)
{
    for (const DownloadItem& item : m_downloads) {
        if (item.id == id) {
            if (item.localPath && m_desktop.open)
                m_desktop.open(*item.localPath);
            return;
        }
    }
}

void BrowserState::showDownloadInFinder(const Uuid& id)
{
    for (const DownloadItem& item : m_downloads) {
        if (item.id == id) {
            if (item.localPath && m_desktop.showInFolder)
                m_desktop.showInFolder(*item.localPath);
            return;
        }
    }
}

void BrowserState::setDesktopHandler(DesktopHandler handler)
{
    m_desktop = std::move(handler);
}

} // namespace kovi
