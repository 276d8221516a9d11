#include "core/state/browser_state.h"

#include <glib.h>
#include <glibmm/main.h>

#include <algorithm>

#include <cmath>

namespace kovi {

namespace {

// The local calendar day around a moment, as the half-open span [start, end). Entries are then
// compared by time alone: converting every entry to a local date reloads the time zone each
// time, which made a 1,000-entry history take a third of a second per query.
struct LocalDaySpan {
    Date start;
    Date end;
    bool contains(Date date) const { return start <= date && date < end; }
};

Date unixDate(GDateTime* time)
{
    return Date::fromUnix(static_cast<double>(g_date_time_to_unix(time)));
}

// The day `daysFromDate` calendar days after the local day of `date` (negative: before).
std::optional<LocalDaySpan> localDaySpan(Date date, int daysFromDate = 0)
{
    const double seconds = std::floor(date.unixSeconds());
    if (!std::isfinite(seconds) || seconds < -6.2e10 || seconds > 2.5e11)
        return std::nullopt;
    GDateTime* moment = g_date_time_new_from_unix_local(static_cast<gint64>(seconds));
    if (!moment)
        return std::nullopt;
    GDateTime* shifted = g_date_time_add_days(moment, daysFromDate);
    g_date_time_unref(moment);
    if (!shifted)
        return std::nullopt;
    GTimeZone* zone = g_time_zone_new_local();
    GDateTime* start = g_date_time_new(zone, g_date_time_get_year(shifted), g_date_time_get_month(shifted),
                                       g_date_time_get_day_of_month(shifted), 0, 0, 0);
    g_date_time_unref(shifted);
    GDateTime* next = start ? g_date_time_add_days(start, 1) : nullptr;
    GDateTime* end = next ? g_date_time_new(zone, g_date_time_get_year(next), g_date_time_get_month(next),
                                            g_date_time_get_day_of_month(next), 0, 0, 0)
                          : nullptr;
    g_time_zone_unref(zone);
    std::optional<LocalDaySpan> span;
    if (start && end)
        span = LocalDaySpan{unixDate(start), unixDate(end)};
    for (GDateTime* time : {start, next, end}) {
        if (time)
            g_date_time_unref(time);
    }
    return span;
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
    auto day = localDaySpan(date);
    if (!day)
        return {};
    std::vector<HistoryItem> items;
    for (const HistoryItem& item : m_history) {
        if (item.spaceId == m_currentSpaceId && day->contains(item.visitedAt))
            items.push_back(item);
    }
    return items;
}

std::vector<HistoryItem> BrowserState::yesterdaysHistory() const
{
    auto yesterday = localDaySpan(Date::now(), -1);
    if (!yesterday)
        return {};
    std::vector<HistoryItem> items;
    for (const HistoryItem& item : m_history) {
        if (item.spaceId == m_currentSpaceId && yesterday->contains(item.visitedAt))
            items.push_back(item);
    }
    return items;
}

std::vector<HistoryItem> BrowserState::olderHistory() const
{
    // Everything before yesterday began, so Today, Yesterday and Older cover every entry.
    auto yesterday = localDaySpan(Date::now(), -1);
    if (!yesterday)
        return {};
    std::vector<HistoryItem> items;
    for (const HistoryItem& item : m_history) {
        if (item.spaceId == m_currentSpaceId && item.visitedAt < yesterday->start)
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
