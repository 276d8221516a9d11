#include "ui/web/download_manager.h"

#include "core/ai/ai_service.h"
#include "core/settings/preferences.h"
#include "core/state/browser_state.h"
#include "core/support/files.h"
#include "core/web/download_file_name.h"

#include <webkit/webkit.h>

#include <algorithm>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace kovi {

namespace {

bool isHttp(const char* uri)
{
    return uri && (g_str_has_prefix(uri, "http:") || g_str_has_prefix(uri, "https:"));
}

// Why a transfer the engine reports as finished is short of the length its server declared, if
// it is. The engine can end such a transfer as a success: a server that sends less than it
// announced and closes the connection at once is taken to have finished. A compressed reply
// declares its compressed length, which the saved bytes are not measured in.
std::optional<std::string> shortOfDeclaredLength(WebKitDownload* download, const std::string& savedPath)
{
    WebKitURIResponse* response = webkit_download_get_response(download);
    const guint64 declared = response ? webkit_uri_response_get_content_length(response) : 0;
    if (declared == 0)
        return std::nullopt;
    SoupMessageHeaders* headers = webkit_uri_response_get_http_headers(response);
    const char* encoding = headers ? soup_message_headers_get_one(headers, "Content-Encoding") : nullptr;
    if (encoding && g_ascii_strcasecmp(encoding, "identity") != 0)
        return std::nullopt;
    struct stat info {};
    const guint64 saved = ::stat(savedPath.c_str(), &info) == 0 ? static_cast<guint64>(info.st_size) : 0;
    const guint64 received = std::min<guint64>(webkit_download_get_received_data_length(download), saved);
    if (received >= declared)
        return std::nullopt;
    return "The server closed the connection after " + std::to_string(received) + " of " + std::to_string(declared)
           + " bytes";
}

} // namespace

DownloadManager::DownloadManager(BrowserState& state, Preferences& preferences, std::string downloadsDirectory,
                                 std::string partialDirectory)
    : m_state(state)
    , m_preferences(preferences)
    , m_downloadsDirectory(std::move(downloadsDirectory))
    , m_partialDirectory(std::move(partialDirectory))
{
    m_state.downloadsChanged.connect(sigc::mem_fun(*this, &DownloadManager::downloadsChanged));
}

DownloadManager::~DownloadManager()
{
    for (auto& session : m_sessions)
        g_signal_handlers_disconnect_by_data(session.get(), this);
    auto running = std::move(m_running);
    m_running.clear();
    for (auto& [download, entry] : running) {
        g_signal_handlers_disconnect_by_data(download, this);
        webkit_download_cancel(download);
        if (!entry.partialPath.empty()) {
            ::unlink(entry.partialPath.c_str());
            // The engine writes under this name until the transfer ends; it removes the file
            // itself after a cancel, but later than this process may quit.
            ::unlink((entry.partialPath + ".wkdownload").c_str());
        }
        if (!entry.cancelledHere)
            markFailed(entry);
    }
}

void DownloadManager::watch(WebKitNetworkSession* session)
{
    m_sessions.push_back(GObjectPtr<WebKitNetworkSession>::ref(session));
    g_signal_connect(session, "download-started", G_CALLBACK(&DownloadManager::onStarted), this);
}

void DownloadManager::onStarted(WebKitNetworkSession*, WebKitDownload* download, gpointer self) noexcept
{
    static_cast<DownloadManager*>(self)->started(download);
}

gboolean DownloadManager::onDecideDestination(WebKitDownload* download, const char* suggested, gpointer self) noexcept
{
    return static_cast<DownloadManager*>(self)->decideDestination(download, suggested);
}

void DownloadManager::onReceivedData(WebKitDownload* download, guint64, gpointer self) noexcept
{
    static_cast<DownloadManager*>(self)->receivedData(download);
}

void DownloadManager::onFailed(WebKitDownload* download, GError* error, gpointer self) noexcept
{
    static_cast<DownloadManager*>(self)->failed(download, error);
}

void DownloadManager::onFinished(WebKitDownload* download, gpointer self) noexcept
{
    static_cast<DownloadManager*>(self)->finished(download);
}

void DownloadManager::started(WebKitDownload* download)
{
    Running running;
    running.download = GObjectPtr<WebKitDownload>::ref(download);
    m_running.emplace(download, std::move(running));
    webkit_download_set_allow_overwrite(download, TRUE); // the private partial file only
    g_signal_connect(download, "decide-destination", G_CALLBACK(&DownloadManager::onDecideDestination), this);
    g_signal_connect(download, "received-data", G_CALLBACK(&DownloadManager::onReceivedData), this);
    g_signal_connect(download, "failed", G_CALLBACK(&DownloadManager::onFailed), this);
    g_signal_connect(download, "finished", G_CALLBACK(&DownloadManager::onFinished), this);
}

bool DownloadManager::decideDestination(WebKitDownload* download, const char* suggested)
{
    auto it = m_running.find(download);
    if (it == m_running.end())
        return false;
    Running& running = it->second;

    std::string name = suggested ? suggested : "";
    if (name.empty()) {
        if (WebKitURIResponse* response = webkit_download_get_response(download)) {
            if (const char* uri = webkit_uri_response_get_uri(response)) {
                if (auto url = Url::parse(uri))
                    name = url->lastPathComponent();
            }
        }
    }
    if (m_preferences.get(prefs::isTidyDownloadsEnabled))
        name = AIService::tidyDownloadFilename(name);
    name = DownloadFileName::safeName(name);

    const char* source = webkit_uri_request_get_uri(webkit_download_get_request(download));
    auto sourceUrl = Url::parse(source ? source : "");
    if (!sourceUrl)
        sourceUrl = Url::parse("about:blank");

    DownloadItem item{Uuid::random(), *sourceUrl, name, std::nullopt, 0, 0, DownloadStatus::downloading,
                      Clock::current().now(), std::nullopt};
    running.recordId = item.id;

    if (auto made = files::ensureDirectory(m_partialDirectory, 0700); !made) {
        std::cout << "Download failed: " << made.error().message << std::endl;
        running.failed = true;
    }
    running.partialPath = files::join(m_partialDirectory, item.id.toString() + ".part");

    auto downloads = m_state.downloads();
    downloads.insert(downloads.begin(), item);
    m_state.setDownloads(std::move(downloads));
    m_state.saveDownloads();
    if (m_openPanel)
        m_openPanel();
    else
        m_state.setIsDownloadsPanelVisible(true);

    if (running.failed) {
        markFailed(running);
        webkit_download_cancel(download);
    } else {
        webkit_download_set_destination(download, running.partialPath.c_str());
    }
    listedInView.emit(webkit_download_get_web_view(download));
    return true;
}

void DownloadManager::receivedData(WebKitDownload* download)
{
    auto it = m_running.find(download);
    if (it == m_running.end() || !it->second.recordId || it->second.failed)
        return;
    std::int64_t total = 0;
    if (WebKitURIResponse* response = webkit_download_get_response(download))
        total = static_cast<std::int64_t>(webkit_uri_response_get_content_length(response));
    m_state.updateDownload(*it->second.recordId,
                           static_cast<std::int64_t>(webkit_download_get_received_data_length(download)), total,
                           std::nullopt, std::nullopt);
}

void DownloadManager::failed(WebKitDownload* download, const GError* error)
{
    auto it = m_running.find(download);
    if (it == m_running.end())
        return;
    Running& running = it->second;
    if (running.failed)
        return;
    running.failed = true;
    if (running.cancelledHere)
        return;
    // A server's refusal (a failing status) fails quietly; a broken transfer says why.
    WebKitURIResponse* response = webkit_download_get_response(download);
    guint status = response ? webkit_uri_response_get_status_code(response) : 0;
    bool refused = response && isHttp(webkit_uri_response_get_uri(response)) && (status < 200 || status > 299);
    if (!refused)
        std::cout << "Download failed: " << (error ? error->message : "unknown error") << std::endl;
    markFailed(running);
}

void DownloadManager::finished(WebKitDownload* download)
{
    auto it = m_running.find(download);
    if (it == m_running.end())
        return;
    Running running = std::move(it->second);
    forget(download);

    if (running.failed || !running.recordId) {
        if (!running.partialPath.empty())
            ::unlink(running.partialPath.c_str());
        return;
    }
    WebKitURIResponse* response = webkit_download_get_response(download);
    const char* uri = response ? webkit_uri_response_get_uri(response) : nullptr;
    if (response && isHttp(uri)) {
        guint status = webkit_uri_response_get_status_code(response);
        if (status < 200 || status > 299) {
            ::unlink(running.partialPath.c_str());
            markFailed(running);
            return;
        }
    }
    if (auto cut = shortOfDeclaredLength(download, running.partialPath)) {
        std::cout << "Download failed: " << *cut << std::endl;
        ::unlink(running.partialPath.c_str());
        markFailed(running);
        return;
    }
    std::string name;
    for (const auto& item : m_state.downloads()) {
        if (item.id == *running.recordId)
            name = item.filename;
    }
    if (name.empty()) {
        // The record was removed while the last bytes arrived: keep nothing.
        ::unlink(running.partialPath.c_str());
        return;
    }
    auto moved = DownloadFileName::moveToFreeName(running.partialPath, m_downloadsDirectory, name);
    if (!moved) {
        std::cout << "Failed to move download: " << moved.error().message << std::endl;
        ::unlink(running.partialPath.c_str());
        markFailed(running);
        return;
    }
    struct stat info {};
    std::int64_t size = ::stat(moved->c_str(), &info) == 0 ? static_cast<std::int64_t>(info.st_size) : 0;
    m_state.updateDownload(*running.recordId, size, size, DownloadStatus::completed, Url::fromFilePath(*moved));
}

void DownloadManager::downloadsChanged()
{
    // Removing a running download from the list cancels its transfer.
    std::vector<WebKitDownload*> cancelled;
    for (auto& [download, running] : m_running) {
        if (!running.recordId || running.failed || running.cancelledHere)
            continue;
        bool listed = false;
        for (const auto& item : m_state.downloads()) {
            if (item.id == *running.recordId) {
                listed = true;
                break;
            }
        }
        if (!listed) {
            running.cancelledHere = true;
            cancelled.push_back(download);
        }
    }
    for (auto* download : cancelled)
        webkit_download_cancel(download);
}

void DownloadManager::markFailed(const Running& running)
{
    if (running.recordId)
        m_state.updateDownload(*running.recordId, std::nullopt, std::nullopt, DownloadStatus::failed, std::nullopt);
}

void DownloadManager::forget(WebKitDownload* download)
{
    g_signal_handlers_disconnect_by_data(download, this);
    m_running.erase(download);
}

} // namespace kovi
