#include "ui/web/web_view_representable.h"

#include "core/settings/appearance_manager.h"
#include "core/state/browser_state.h"
#include "core/web/page_extension_store.h"
#include "ui/web/web_content.h"
#include "ui/web/web_view_coordinator.h"

#include <webkit/webkit.h>

namespace kovi {

WebViewRepresentable::WebViewRepresentable(WebContent& web, Uuid tabId, Url initialUrl)
    : m_web(web)
    , m_tabId(tabId)
    , m_initialUrl(std::move(initialUrl))
{
    set_hexpand(true);
    set_vexpand(true);
    add_css_class("kovi-web-view-host");
    m_connections.add(
        web.pool().viewWillBeRemoved.connect(sigc::mem_fun(*this, &WebViewRepresentable::viewWillBeRemoved)));
    m_connections.add(web.appearance().isDarkModeChanged.connect(sigc::mem_fun(*this, &WebViewRepresentable::update)));
    m_connections.add(web.extensions().revisionChanged().connect(sigc::mem_fun(*this, &WebViewRepresentable::update)));
    // The hover preview of a hidden tab shows its page as it was last seen; taken before the
    // page goes off screen.
    signal_unmap().connect([this] { m_web.pool().rememberSnapshot(m_tabId); }, false);
    // A page kept hidden may have lent its view to another placement (a split pane) meanwhile:
    // it takes the view back, as it is, when it shows again.
    signal_map().connect([this] {
        if (WebViewPool::Entry* entry = m_web.pool().entry(m_tabId);
            entry && gtk_widget_get_parent(GTK_WIDGET(entry->view.get())) != GTK_WIDGET(gobj()))
            makeView();
    });
    if (web.pagesHeld())
        m_connections.add(web.pagesReleased.connect(sigc::mem_fun(*this, &WebViewRepresentable::makeView)));
    else
        makeView();
}

WebViewRepresentable::~WebViewRepresentable()
{
    m_connections.clear();
    WebKitWebView* view = m_view;
    // When the widget is destroyed by its parent, the box has let go of its children already.
    if (view && gobj() && gtk_widget_get_parent(GTK_WIDGET(view)) == GTK_WIDGET(gobj()))
        gtk_box_remove(gobj(), GTK_WIDGET(view));
}

std::optional<Uuid> WebViewRepresentable::resolvedSpaceIdentifier() const
{
    if (auto tab = m_web.state().tab(m_tabId); tab && tab->spaceId)
        return tab->spaceId;
    return m_web.state().currentSpaceId();
}

void WebViewRepresentable::snapshot(WebContent& web, const Uuid& tabId, std::function<void(GdkTexture*)> done)
{
    web.pool().snapshot(tabId, std::move(done));
}

void WebViewRepresentable::makeView()
{
    auto spaceId = resolvedSpaceIdentifier();
    WebViewPool& pool = m_web.pool();
    WebViewPool::Entry* entry = pool.entry(m_tabId);
    if (entry && !WebViewPool::isCompatible(*entry, spaceId)) {
        // The tab moved to another space: its page is dropped with the old session.
        pool.removeWebView(m_tabId);
        entry = nullptr;
    }
    bool created = false;
    if (!entry) {
        entry = &pool.build(m_tabId, spaceId, m_web.extensions().userScripts());
        created = true;
        // The scripts just installed are the store's current ones.
        entry->coordinator->extensionRevision = m_web.extensions().revision();
    }
    GtkWidget* view = GTK_WIDGET(entry->view.get());
    if (GtkWidget* parent = gtk_widget_get_parent(view)) {
        // Another placement shows this tab: the view moves here (a widget has one parent).
        if (GTK_IS_BOX(parent))
            gtk_box_remove(GTK_BOX(parent), view);
        else
            gtk_widget_unparent(view);
    }
    gtk_box_append(gobj(), view);
    m_view = entry->view.get();
    update();
    if (created)
        webkit_web_view_load_uri(entry->view.get(), m_initialUrl.string().c_str());
}

void WebViewRepresentable::update()
{
    WebViewPool::Entry* entry = m_web.pool().entry(m_tabId);
    if (!m_view || !entry || entry->view.get() != m_view)
        return;
    WebViewCoordinator& coordinator = *entry->coordinator;
    coordinator.applyAppearance(m_web.appearance().isDarkMode());
    int revision = m_web.extensions().revision();
    if (coordinator.extensionRevision != revision) {
        if (entry->scripts)
            entry->scripts->apply(m_web.extensions().userScripts());
        coordinator.extensionRevision = revision;
    }
}

void WebViewRepresentable::viewWillBeRemoved(const Uuid& tabId)
{
    if (tabId != m_tabId)
        return;
    // The pool takes the view out of this box as it destroys it.
    m_view = nullptr;
}

} // namespace kovi
