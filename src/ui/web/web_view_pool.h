#pragma once

#include "core/support/uuid.h"
#include "core/web/page_extension_injector.h"
#include "core/support/gobject_ptr.h"
#include "ui/web/user_script_installer.h"
#include "ui/web/web_view_coordinator.h"

#include <sigc++/signal.h>

#include <gio/gio.h>

#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _GdkTexture GdkTexture;

namespace kovi {

class SpaceWebSessionManager;

// One live web view per tab, kept while the tab is open so that switching back to a tab shows
// the same page without a reload. The pool holds the only strong reference of each view, and
// with it the coordinator that follows the view's page into the tab's state whether the view is
// shown or not. A view is shown by placing it in one container at a time. Main thread only.
class WebViewPool {
public:
    struct Entry {
        GObjectPtr<WebKitWebView> view;
        std::optional<Uuid> spaceId; // the space whose session the view was built with
        std::unique_ptr<UserScriptInstaller> scripts;
        std::unique_ptr<WebViewCoordinator> coordinator;
        GObjectPtr<GdkTexture> lastSnapshot; // the picture taken when the view was last hidden
    };
    // Makes the coordinator of a new view.
    using MakeCoordinator = std::function<std::unique_ptr<WebViewCoordinator>(const Uuid& tabId, WebKitWebView* view)>;

    WebViewPool(SpaceWebSessionManager& sessions, MakeCoordinator makeCoordinator);
    ~WebViewPool();
    WebViewPool(const WebViewPool&) = delete;
    WebViewPool& operator=(const WebViewPool&) = delete;

    WebKitWebView* webView(const Uuid& tabId) const;
    // The tab a pooled view belongs to.
    std::optional<Uuid> tabOf(WebKitWebView* view) const;
    Entry* entry(const Uuid& tabId);
    std::size_t size() const { return m_storage.size(); }

    // A pooled view serves a tab when it was built for the tab's space; with no space known,
    // any view of the tab is kept.
    static bool isCompatible(const Entry& entry, const std::optional<Uuid>& spaceId);

    // A new view in the space's session (the ephemeral one for nullopt) with the given page
    // scripts and its coordinator, stored as the tab's entry (replacing and destroying any
    // previous one). It loads nothing yet.
    Entry& build(const Uuid& tabId, const std::optional<Uuid>& spaceId, const std::vector<UserScriptSpec>& scripts);

    // Destroys the tab's view (its page stops, its memory returns). Containers showing it are
    // told first through viewWillBeRemoved.
    void removeWebView(const Uuid& tabId);
    void removeAll();

    // A picture of the tab's page, always delivered later on the main loop: the visible area of
    // a shown view, else the picture kept from when it was last shown; nullptr when there is
    // none. The callback receives a texture it does not own.
    void snapshot(const Uuid& tabId, std::function<void(GdkTexture*)> done);
    // Keeps a picture of the tab's page for when it is not shown (taken as it is hidden).
    void rememberSnapshot(const Uuid& tabId);

    sigc::signal<void(const Uuid&)> viewWillBeRemoved;

private:
    struct SnapshotRequest;
    static void snapshotReady(GObject* source, GAsyncResult* result, gpointer data) noexcept;

    SpaceWebSessionManager& m_sessions;
    MakeCoordinator m_makeCoordinator;
    std::unordered_map<Uuid, Entry> m_storage;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace kovi
