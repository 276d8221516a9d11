#include "ui/web/standalone_web_view.h"

#include "core/web/page_extension_store.h"
#include "ui/web/web_content.h"
#include "ui/web/web_view_factory.h"

#include <webkit/webkit.h>

namespace kovi {

StandaloneWebView::StandaloneWebView(WebContent& web, std::optional<Uuid> spaceId, PopupShortcuts::Make popupKeys)
    : m_web(web), m_spaceId(std::move(spaceId))
{
    add_css_class("kovi-standalone-web-view");
    set_hexpand(true);
    set_vexpand(true);
    BuiltWebView built = buildWebView(web.sessions().session(m_spaceId), web.extensions().userScripts());
    m_view = std::move(built.view);
    m_scripts = std::move(built.scripts);
    WebKitWebView* view = m_view.get();
    g_signal_connect(view, "notify::title", G_CALLBACK(&StandaloneWebView::onTitle), this);
    g_signal_connect(view, "notify::uri", G_CALLBACK(&StandaloneWebView::onAddress), this);
    g_signal_connect(view, "notify::is-loading", G_CALLBACK(&StandaloneWebView::onLoading), this);
    g_signal_connect(view, "notify::estimated-load-progress", G_CALLBACK(&StandaloneWebView::onProgress), this);
    g_signal_connect(view, "load-changed", G_CALLBACK(&StandaloneWebView::onLoadChanged), this);
    g_signal_connect(view, "load-failed", G_CALLBACK(&StandaloneWebView::onLoadFailed), this);
    m_queries = GObjectPtr<GCancellable>::adopt(g_cancellable_new());
    m_history = webkit_web_view_get_back_forward_list(view);
    g_signal_connect(m_history, "changed", G_CALLBACK(&StandaloneWebView::onHistory), this);
    m_popupKeys = std::make_unique<PopupShortcuts>(GTK_WIDGET(view), std::move(popupKeys));
    gtk_box_append(gobj(), GTK_WIDGET(view));
    // Extensions switched on or off later reach this page at its next load, as in tabs.
    m_extensionsChanged = web.extensions().revisionChanged().connect([this] {
        if (m_scripts)
            m_scripts->apply(m_web.extensions().userScripts());
    });
}

StandaloneWebView::~StandaloneWebView()
{
    close();
}

void StandaloneWebView::close()
{
    m_extensionsChanged.disconnect();
    if (m_queries)
        g_cancellable_cancel(m_queries.get());
    WebKitWebView* view = m_view.get();
    if (!view)
        return;
    g_signal_handlers_disconnect_by_data(view, this);
    m_popupKeys.reset();
    if (m_history)
        g_signal_handlers_disconnect_by_data(m_history, this);
    m_history = nullptr;
    webkit_web_view_stop_loading(view);
    // When the widget is being destroyed by its parent, the box has let go of the view already.
    if (gobj() && gtk_widget_get_parent(GTK_WIDGET(view)) == GTK_WIDGET(gobj()))
        gtk_box_remove(gobj(), GTK_WIDGET(view));
    m_scripts.reset();
    m_view.clear(); // the last reference: the page goes with it
}

void StandaloneWebView::load(const Url& url)
{
    if (m_view)
        webkit_web_view_load_uri(m_view.get(), url.string().c_str());
}

void StandaloneWebView::goBack()
{
    if (m_view)
        webkit_web_view_go_back(m_view.get());
}

void StandaloneWebView::goForward()
{
    if (m_view)
        webkit_web_view_go_forward(m_view.get());
}

void StandaloneWebView::reloadOrStop()
{
    if (!m_view)
        return;
    if (webkit_web_view_is_loading(m_view.get()))
        webkit_web_view_stop_loading(m_view.get());
    else
        webkit_web_view_reload(m_view.get());
}

void StandaloneWebView::stopLoading()
{
    if (m_view)
        webkit_web_view_stop_loading(m_view.get());
}

std::optional<std::string> StandaloneWebView::title() const
{
    const char* title = m_view ? webkit_web_view_get_title(m_view.get()) : nullptr;
    return title ? std::optional<std::string>(title) : std::nullopt;
}

std::optional<std::string> StandaloneWebView::address() const
{
    const char* uri = m_view ? webkit_web_view_get_uri(m_view.get()) : nullptr;
    return uri ? std::optional<std::string>(uri) : std::nullopt;
}

bool StandaloneWebView::isLoading() const
{
    return m_view && webkit_web_view_is_loading(m_view.get());
}

bool StandaloneWebView::canGoBack() const
{
    return m_view && webkit_web_view_can_go_back(m_view.get());
}

bool StandaloneWebView::canGoForward() const
{
    return m_view && webkit_web_view_can_go_forward(m_view.get());
}

namespace {

struct TitleElementQuery {
    StandaloneWebView* view;
    std::function<void(bool)> done;
};

} // namespace

void StandaloneWebView::queryHasTitleElement(std::function<void(bool)> done)
{
    if (!m_view)
        return;
    // Our own world: the page's scripts cannot change what the DOM calls answer here.
    static constexpr char script[] = "document.getElementsByTagName('title').length > 0";
    webkit_web_view_evaluate_javascript(m_view.get(), script, -1, "kovi-floating-window", nullptr, m_queries.get(),
                                        &StandaloneWebView::onTitleElementAnswered,
                                        new TitleElementQuery{this, std::move(done)});
}

void StandaloneWebView::onTitleElementAnswered(GObject* view, GAsyncResult* result, gpointer call) noexcept
{
    std::unique_ptr<TitleElementQuery> query(static_cast<TitleElementQuery*>(call));
    GError* error = nullptr;
    auto value =
        GObjectPtr<JSCValue>::adopt(webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, &error));
    const bool cancelled = error && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);
    g_clear_error(&error);
    const bool has = value && jsc_value_is_boolean(value.get()) && jsc_value_to_boolean(value.get());
    // A page that cannot answer (none yet, or scripts failing) counts as having no title.
    if (!cancelled && query->done)
        query->done(has);
}

void StandaloneWebView::onLoadChanged(WebKitWebView*, int event, gpointer self) noexcept
{
    auto* me = static_cast<StandaloneWebView*>(self);
    if (event == WEBKIT_LOAD_STARTED) {
        // The engine follows a failed load with a load of its error page.
        me->m_showsLoadError = me->m_errorPageNext;
        me->m_errorPageNext = false;
    } else if (event == WEBKIT_LOAD_FINISHED) {
        me->loadFinished.emit();
    }
}

gboolean StandaloneWebView::onLoadFailed(WebKitWebView*, int, char*, GError* error, gpointer self) noexcept
{
    const bool replaced = g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED)
        || g_error_matches(error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE);
    if (!replaced)
        static_cast<StandaloneWebView*>(self)->m_errorPageNext = true;
    return FALSE; // the engine shows its error page
}

void StandaloneWebView::onTitle(WebKitWebView*, GParamSpec*, gpointer self) noexcept
{
    static_cast<StandaloneWebView*>(self)->titleChanged.emit();
}

void StandaloneWebView::onAddress(WebKitWebView*, GParamSpec*, gpointer self) noexcept
{
    static_cast<StandaloneWebView*>(self)->addressChanged.emit();
}

void StandaloneWebView::onLoading(WebKitWebView*, GParamSpec*, gpointer self) noexcept
{
    static_cast<StandaloneWebView*>(self)->loadingChanged.emit();
}

void StandaloneWebView::onProgress(WebKitWebView*, GParamSpec*, gpointer self) noexcept
{
    static_cast<StandaloneWebView*>(self)->progressChanged.emit();
}

void StandaloneWebView::onHistory(WebKitBackForwardList*, WebKitBackForwardListItem*, gpointer, gpointer self) noexcept
{
    static_cast<StandaloneWebView*>(self)->historyChanged.emit();
}

} // namespace kovi
