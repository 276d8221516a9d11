#pragma once

#include "core/model/download_item.h"
#include "core/support/date.h"
#include "core/support/url.h"
#include "core/support/uuid.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

namespace kovi {

class DelayedTask;
class StorageFolder;

// The downloads kept in downloads.json, newest first, and how often the file is written:
// progress reports come many times a second, so progress alone is written at most once a second
// per download (a delayed task writes what is left), while any other change is written at once.
// Main thread only.
class DownloadLog {
public:
    static constexpr const char* fileName = "downloads.json";
    static constexpr double progressWriteInterval = 1.0;

    // What a report needs: a change signal, and whether the file is to be written now.
    struct Update {
        bool changed = false;
        bool save = false;
    };

    // `flushTask` carries the postponed progress write; when it runs, `save` is called, and the
    // owner saves the file as it does for any change. `folder` and `flushTask` must outlive the
    // log.
    DownloadLog(StorageFolder& folder, DelayedTask& flushTask, std::function<void()> save);
    ~DownloadLog();

    DownloadLog(const DownloadLog&) = delete;
    DownloadLog& operator=(const DownloadLog&) = delete;

    const std::vector<DownloadItem>& items() const { return m_items; }
    const DownloadItem* find(const Uuid& id) const;
    // Returns whether the list changed.
    bool set(std::vector<DownloadItem> items);

    // A progress or completion report; a nullopt argument leaves its field as it is. Byte counts
    // without a status are taken only while the download is running.
    Update update(const Uuid& id, std::optional<std::int64_t> downloadedBytes, std::optional<std::int64_t> totalBytes,
                  std::optional<DownloadStatus> status, std::optional<Url> localPath);
    bool remove(const Uuid& id);
    bool clearCompleted();

    // Reads the file; downloads that were running when the browser stopped have failed.
    // Returns whether a file was read (it is then to be written again).
    bool load();
    // The file is about to be written with every report so far: no postponed write is needed.
    void saving();
    // Writes the file; false when it failed (the folder tries again later).
    bool write();

private:
    void writePostponedProgress();

    StorageFolder& m_folder;
    DelayedTask& m_flushTask;
    std::function<void()> m_save;
    std::vector<DownloadItem> m_items;
    std::unordered_map<Uuid, Date> m_lastWritten;
    bool m_progressUnsaved = false;
};

} // namespace kovi
