#include "ui/web/web_view_pool.h"

#include "ui/design/focus_release.h"
#include "ui/web/space_web_session_manager.h"
#include "ui/web/web_view_factory.h"

#include <glibmm/main.h>
#include <gtk/gtk.h>
#include <gtkmm/widget.h>
#include <webkit/webkit.h>

namespace kovi {

namespace {

void destroyEntry(WebViewPool::Entry& entry)
{
    // The page's reports stop before the page does.
    entry.coordinator.reset();
    if (WebKitWebView* view = entry.view.get()) {
        webkit_web_view_stop_loading(view);
        if (GtkWidget* parent = gtk_widget_get_parent(GTK_WIDGET(view))) {
            releaseFocusWithin(*Glib::wrap(GTK_WIDGET(view)));
            if (GTK_IS_BOX(parent))
                gtk_box_remove(GTK_BOX(parent), GTK_WIDGET(view));
            else
                gtk_widget_unparent(GTK_WIDGET(view));
        }
    }
    entry.lastSnapshot.clear();
    entry.scripts.reset();
    entry.view.clear();
}

} // namespace

struct WebViewPool::SnapshotRequest {
    std::weak_ptr<bool> alive;
    WebViewPool* pool;
    Uuid tabId;
    bool remember; // keep the picture in the entry instead of handing it out
    std::function<void(GdkTexture*)> done;
};

WebViewPool::WebViewPool(SpaceWebSessionManager& sessions, MakeCoordinator makeCoordinator)
    : m_sessions(sessions)
    , m_makeCoordinator(std::move(makeCoordinator))
{
}

WebViewPool::~WebViewPool()
{
    *m_alive = false;
    removeAll();
}

WebKitWebView* WebViewPool::webView(const Uuid& tabId) const
{
    auto it = m_storage.find(tabId);
    return it == m_storage.end() ? nullptr : it->second.view.get();
}

std::optional<Uuid> WebViewPool::tabOf(WebKitWebView* view) const
{
    for (const auto& [tabId, entry] : m_storage) {
        if (view && entry.view.get() == view)
            return tabId;
    }
    return std::nullopt;
}

WebViewPool::Entry* WebViewPool::entry(const Uuid& tabId)
{
    auto it = m_storage.find(tabId);
    return it == m_storage.end() ? nullptr : &it->second;
}

bool WebViewPool::isCompatible(const Entry& entry, const std::optional<Uuid>& spaceId)
{
    if (!spaceId)
        return true;
    return entry.spaceId == spaceId;
}

WebViewPool::Entry& WebViewPool::build(const Uuid& tabId, const std::optional<Uuid>& spaceId,
                                       const std::vector<UserScriptSpec>& scripts)
{
    removeWebView(tabId);
    BuiltWebView built = buildWebView(m_sessions.session(spaceId), scripts);
    WebKitWebView* view = built.view.get();
    Entry entry;
    entry.view = std::move(built.view);
    entry.spaceId = spaceId;
    entry.scripts = std::move(built.scripts);
    entry.coordinator = m_makeCoordinator(tabId, view);
    auto [it, inserted] = m_storage.emplace(tabId, std::move(entry));
    return it->second;
}

void WebViewPool::removeWebView(const Uuid& tabId)
{
    auto it = m_storage.find(tabId);
    if (it == m_storage.end())
        return;
    viewWillBeRemoved.emit(tabId);
    // The signal's slots may have changed the table.
    it = m_storage.find(tabId);
    if (it == m_storage.end())
        return;
    Entry entry = std::move(it->second);
    m_storage.erase(it);
    destroyEntry(entry);
}

void WebViewPool::removeAll()
{
    std::vector<Uuid> ids;
    for (const auto& [id, entry] : m_storage)
        ids.push_back(id);
    for (const auto& id : ids)
        removeWebView(id);
}

void WebViewPool::snapshot(const Uuid& tabId, std::function<void(GdkTexture*)> done)
{
    std::weak_ptr<bool> alive = m_alive;
    Glib::signal_idle().connect_once([this, alive, tabId, done = std::move(done)]() mutable {
        if (alive.expired()) {
            done(nullptr);
            return;
        }
        Entry* found = entry(tabId);
        if (!found || !found->view) {
            done(nullptr);
            return;
        }
        if (!gtk_widget_get_mapped(GTK_WIDGET(found->view.get()))) {
            done(found->lastSnapshot.get());
            return;
        }
        auto* request = new SnapshotRequest{alive, this, tabId, false, std::move(done)};
        webkit_web_view_get_snapshot(found->view.get(), WEBKIT_SNAPSHOT_REGION_VISIBLE, WEBKIT_SNAPSHOT_OPTIONS_NONE,
                                     nullptr, &WebViewPool::snapshotReady, request);
    });
}

void WebViewPool::rememberSnapshot(const Uuid& tabId)
{
    Entry* found = entry(tabId);
    if (!found || !found->view || !gtk_widget_get_mapped(GTK_WIDGET(found->view.get())))
        return;
    auto* request = new SnapshotRequest{m_alive, this, tabId, true, nullptr};
    webkit_web_view_get_snapshot(found->view.get(), WEBKIT_SNAPSHOT_REGION_VISIBLE, WEBKIT_SNAPSHOT_OPTIONS_NONE,
                                 nullptr, &WebViewPool::snapshotReady, request);
}

void WebViewPool::snapshotReady(GObject* source, GAsyncResult* result, gpointer data) noexcept
{
    std::unique_ptr<SnapshotRequest> request(static_cast<SnapshotRequest*>(data));
    GError* error = nullptr;
    auto texture =
        GObjectPtr<GdkTexture>::adopt(webkit_web_view_get_snapshot_finish(WEBKIT_WEB_VIEW(source), result, &error));
    g_clear_error(&error);
    if (request->alive.expired()) {
        if (request->done)
            request->done(nullptr);
        return;
    }
    Entry* found = request->pool->entry(request->tabId);
    // The picture belongs to the view it came from; a tab whose view was replaced meanwhile
    // must not show the old page.
    bool sameView = found && found->view.get() == WEBKIT_WEB_VIEW(source);
    if (request->remember) {
        if (sameView && texture)
            found->lastSnapshot = std::move(texture);
    } else if (request->done) {
        if (sameView && texture)
            found->lastSnapshot = GObjectPtr<GdkTexture>::ref(texture.get());
        request->done(sameView ? texture.get() : nullptr);
    }
}

} // namespace kovi
