#include "core/state/download_log.h"

#include "core/state/storage_folder.h"
#include "core/support/delayed_task.h"
#include "core/support/json_coding.h"

#include <algorithm>
#include <iostream>
#include <utility>

namespace kovi {

DownloadLog::DownloadLog(StorageFolder& folder, DelayedTask& flushTask, std::function<void()> save)
    : m_folder(folder)
    , m_flushTask(flushTask)
    , m_save(std::move(save))
{
}

DownloadLog::~DownloadLog()
{
    m_flushTask.cancel();
}

const DownloadItem* DownloadLog::find(const Uuid& id) const
{
    auto it = std::find_if(m_items.begin(), m_items.end(), [&](const DownloadItem& item) { return item.id == id; });
    return it == m_items.end() ? nullptr : &*it;
}

bool DownloadLog::set(std::vector<DownloadItem> items)
{
    if (items == m_items)
        return false;
    m_items = std::move(items);
    return true;
}

DownloadLog::Update DownloadLog::update(const Uuid& id, std::optional<std::int64_t> downloadedBytes,
                                        std::optional<std::int64_t> totalBytes, std::optional<DownloadStatus> status,
                                        std::optional<Url> localPath)
{
    auto it = std::find_if(m_items.begin(), m_items.end(), [&](const DownloadItem& d) { return d.id == id; });
    if (it == m_items.end())
        return {};
    // Late byte counts of a download that has ended are dropped.
    if (!status && it->status != DownloadStatus::downloading)
        return {};

    Update result;
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
        result.changed = true;
    }

    const Date now = Date::now();
    const bool progressOnly = !status && !localPath;
    if (progressOnly) {
        auto last = m_lastWritten.find(id);
        if (last != m_lastWritten.end()) {
            double since = now.secondsSince(last->second);
            if (since >= 0 && since < progressWriteInterval) {
                m_progressUnsaved = true;
                if (!m_flushTask.isPending()) {
                    // Safe: the destructor cancels the task.
                    m_flushTask.start(progressWriteInterval, [this] { writePostponedProgress(); });
                }
                return result;
            }
        }
    }
    m_lastWritten.insert_or_assign(id, now);
    result.save = true;
    return result;
}

void DownloadLog::writePostponedProgress()
{
    if (!m_progressUnsaved)
        return;
    const Date now = Date::now();
    for (const DownloadItem& item : m_items)
        m_lastWritten.insert_or_assign(item.id, now);
    m_save();
}

bool DownloadLog::remove(const Uuid& id)
{
    m_lastWritten.erase(id);
    return std::erase_if(m_items, [&](const DownloadItem& item) { return item.id == id; }) > 0;
}

bool DownloadLog::clearCompleted()
{
    return std::erase_if(m_items, [](const DownloadItem& item) { return item.status == DownloadStatus::completed; }) > 0;
}

bool DownloadLog::load()
{
    auto stored = m_folder.read(fileName, [](const Json& value) {
        return json::arrayFromJson<DownloadItem>(value, "downloads");
    });
    if (!stored)
        return false;
    // No transfer survives a restart.
    for (DownloadItem& item : *stored) {
        if (item.status == DownloadStatus::pending || item.status == DownloadStatus::downloading ||
            item.status == DownloadStatus::paused)
            item.status = DownloadStatus::failed;
    }
    m_items = std::move(*stored);
    return true;
}

void DownloadLog::saving()
{
    m_progressUnsaved = false;
    m_flushTask.cancel();
}

bool DownloadLog::write()
{
    const char* failure = "Failed to save downloads: ";
    std::string text;
    try {
        text = json::dump(json::arrayToJson(m_items));
    } catch (const std::exception& error) {
        std::cout << failure << error.what() << std::endl;
        return false;
    }
    return m_folder.write(fileName, text, failure);
}

} // namespace kovi
