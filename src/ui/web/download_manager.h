#pragma once

#include "core/support/uuid.h"
#include "core/support/gobject_ptr.h"

#include <sigc++/signal.h>
#include <sigc++/trackable.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

typedef struct _WebKitDownload WebKitDownload;
typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitNetworkSession WebKitNetworkSession;
typedef struct _GError GError;

namespace kovi {

class BrowserState;
class Preferences;

// Saves the downloads of every session into the Downloads folder and keeps their records in the
// browser state. A download runs inside the session of the page that started it, so signed-in
// and one-time addresses give the right bytes. The file is written under a private name first
// and moved to its free name only when the transfer succeeded, so a failed download leaves no
// file behind and nothing is ever overwritten. Main thread only.
class DownloadManager : public sigc::trackable {
public:
    DownloadManager(BrowserState& state, Preferences& preferences, std::string downloadsDirectory,
                    std::string partialDirectory);
    // Running transfers are cancelled and recorded as failed.
    ~DownloadManager();
    DownloadManager(const DownloadManager&) = delete;
    DownloadManager& operator=(const DownloadManager&) = delete;

    // Handles the downloads that start in this session from now on.
    void watch(WebKitNetworkSession* session);
    // A download the page of this view started (nullptr: no page did) is listed and being
    // written; from then on the view may go without taking the download along.
    sigc::signal<void(WebKitWebView*)> listedInView;
    // What shows the downloads panel when a download is listed; by default it opens at once.
    void setPanelOpener(std::function<void()> open) { m_openPanel = std::move(open); }
    std::size_t runningCount() const { return m_running.size(); }
    const std::string& downloadsDirectory() const { return m_downloadsDirectory; }

private:
    struct Running {
        GObjectPtr<WebKitDownload> download;
        std::optional<Uuid> recordId; // set once the record exists
        std::string partialPath;
        bool failed = false;
        bool cancelledHere = false; // its record was removed from the list
    };

    static void onStarted(WebKitNetworkSession*, WebKitDownload* download, gpointer self) noexcept;
    static gboolean onDecideDestination(WebKitDownload* download, const char* suggested, gpointer self) noexcept;
    static void onReceivedData(WebKitDownload* download, guint64 length, gpointer self) noexcept;
    static void onFailed(WebKitDownload* download, GError* error, gpointer self) noexcept;
    static void onFinished(WebKitDownload* download, gpointer self) noexcept;

    void started(WebKitDownload* download);
    bool decideDestination(WebKitDownload* download, const char* suggested);
    void receivedData(WebKitDownload* download);
    void failed(WebKitDownload* download, const GError* error);
    void finished(WebKitDownload* download);
    void downloadsChanged();
    void markFailed(const Running& running);
    void forget(WebKitDownload* download);

    BrowserState& m_state;
    Preferences& m_preferences;
    std::string m_downloadsDirectory;
    std::string m_partialDirectory;
    std::vector<GObjectPtr<WebKitNetworkSession>> m_sessions;
    std::map<WebKitDownload*, Running> m_running;
    std::function<void()> m_openPanel;
};

} // namespace kovi
