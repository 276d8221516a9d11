#include "ui/web/web_view_coordinator.h"

#include "core/state/browser_state.h"
#include "core/support/gobject_ptr.h"
#include "core/web/favicon_candidates.h"
#include "core/web/navigation_policy.h"
#include "ui/design/open_menus.h"
#include "ui/web/favicon_capture.h"
#include "ui/web/popup_shortcuts.h"
#include "ui/web/web_content.h"

#include <sigc++/adaptors/track_obj.h>
#include <glibmm/main.h>
#include <webkit/webkit.h>

#include <utility>
#include <vector>

namespace kovi {

namespace {

// Icons a page may declare; more than this is not a real page's list.
constexpr std::size_t maxDeclaredIcons = 32;

struct ScriptCall {
    std::weak_ptr<WebViewCoordinator*> coordinator;
    std::string pageUrl;
};

std::optional<std::string> responseHeader(WebKitURIResponse* response, const char* name)
{
    SoupMessageHeaders* headers = webkit_uri_response_get_http_headers(response);
    if (!headers)
        return std::nullopt;
    const char* value = soup_message_headers_get_one(headers, name);
    if (!value)
        return std::nullopt;
    return std::string(value);
}

} // namespace

WebViewCoordinator::WebViewCoordinator(WebContent& web, Uuid tabId, WebKitWebView* view)
    : m_web(web)
    , m_tabId(tabId)
    , m_view(view)
    , m_token(std::make_shared<WebViewCoordinator*>(this))
{
    setupNavigationNotifications();
    setupObservers();
}

WebViewCoordinator::~WebViewCoordinator()
{
    m_navigationObservers.clear();
    m_token.reset();
    disconnectView();
}

void WebViewCoordinator::disconnectView()
{
    m_favicon.reset();
    m_popupShortcuts.reset();
    if (m_view)
        g_signal_handlers_disconnect_by_data(m_view, this);
    if (m_backForwardList)
        g_signal_handlers_disconnect_by_data(m_backForwardList, this);
    if (m_findController)
        g_signal_handlers_disconnect_by_data(m_findController, this);
    m_view = nullptr;
    m_backForwardList = nullptr;
    m_findController = nullptr;
}

void WebViewCoordinator::setupObservers()
{
    WebKitWebView* view = m_view;
    if (!view)
        return;
    g_signal_connect(view, "notify::estimated-load-progress", G_CALLBACK(&WebViewCoordinator::onProgressChanged), this);
    g_signal_connect(view, "notify::is-loading", G_CALLBACK(&WebViewCoordinator::onProgressChanged), this);
    g_signal_connect(view, "notify::title", G_CALLBACK(&WebViewCoordinator::onTitleChanged), this);
    g_signal_connect(view, "notify::uri", G_CALLBACK(&WebViewCoordinator::onUriChanged), this);
    g_signal_connect(view, "load-changed", G_CALLBACK(&WebViewCoordinator::onLoadChanged), this);
    g_signal_connect(view, "load-failed", G_CALLBACK(&WebViewCoordinator::onLoadFailed), this);
    g_signal_connect(view, "load-failed-with-tls-errors", G_CALLBACK(&WebViewCoordinator::onLoadFailedWithTlsErrors), this);
    g_signal_connect(view, "web-process-terminated", G_CALLBACK(&WebViewCoordinator::onWebProcessTerminated), this);
    g_signal_connect(view, "decide-policy", G_CALLBACK(&WebViewCoordinator::onDecidePolicy), this);
    g_signal_connect(view, "create", G_CALLBACK(&WebViewCoordinator::onCreate), this);
    g_signal_connect(view, "context-menu", G_CALLBACK(&WebViewCoordinator::onContextMenu), this);
    g_signal_connect(view, "show-option-menu", G_CALLBACK(&WebViewCoordinator::onShowOptionMenu), this);
    g_signal_connect(view, "unmap", G_CALLBACK(&WebViewCoordinator::onUnmap), this);
    m_popupShortcuts = std::make_unique<PopupShortcuts>(GTK_WIDGET(view), [&web = m_web] { return web.popupShortcuts(); });
    m_backForwardList = webkit_web_view_get_back_forward_list(view);
    g_signal_connect(m_backForwardList, "changed", G_CALLBACK(&WebViewCoordinator::onBackForwardChanged), this);
    m_findController = webkit_web_view_get_find_controller(view);
    g_signal_connect(m_findController, "found-text", G_CALLBACK(&WebViewCoordinator::onFoundText), this);
    g_signal_connect(m_findController, "failed-to-find-text", G_CALLBACK(&WebViewCoordinator::onFailedToFindText), this);
}

void WebViewCoordinator::applyAppearance(bool isDarkMode)
{
    if (!m_view)
        return;
    // The view's background colour is the page's own canvas here, not a colour beneath the page:
    // black in the dark look would put the black text of every page without colours of its own
    // on black. Pages follow the dark look through prefers-color-scheme, which the toolkit's
    // colour scheme drives; the canvas stays the web's default white.
    (void)isDarkMode;
    GdkRGBA color{1, 1, 1, 1};
    webkit_web_view_set_background_color(m_view, &color);
}

// ---- Observations ---------------------------------------------------------------------------

void WebViewCoordinator::onProgressChanged(WebKitWebView*, GParamSpec*, gpointer self) noexcept
{
    static_cast<WebViewCoordinator*>(self)->mirrorProgress();
}

void WebViewCoordinator::onTitleChanged(WebKitWebView*, GParamSpec*, gpointer self) noexcept
{
    static_cast<WebViewCoordinator*>(self)->mirrorTitle();
}

void WebViewCoordinator::onUriChanged(WebKitWebView*, GParamSpec*, gpointer self) noexcept
{
    static_cast<WebViewCoordinator*>(self)->mirrorAddress();
}

void WebViewCoordinator::onBackForwardChanged(WebKitBackForwardList*, WebKitBackForwardListItem*, gpointer,
                                              gpointer self) noexcept
{
    static_cast<WebViewCoordinator*>(self)->mirrorHistoryButtons();
}

void WebViewCoordinator::mirrorProgress()
{
    if (!m_view)
        return;
    // A failed load keeps the loading indicator off with progress 0 until the next load starts,
    // whatever the engine reports while it winds the load down.
    if (m_failureShown) {
        m_web.state().updateTabLoading(m_tabId, false, 0);
        return;
    }
    m_web.state().updateTabLoading(m_tabId, webkit_web_view_is_loading(m_view),
                                   webkit_web_view_get_estimated_load_progress(m_view));
}

void WebViewCoordinator::mirrorTitle()
{
    if (!m_view)
        return;
    const char* title = webkit_web_view_get_title(m_view);
    if (NavigationPolicy::acceptsTitle(title))
        m_web.state().updateTabTitle(m_tabId, title);
}

void WebViewCoordinator::mirrorAddress()
{
    if (!m_view)
        return;
    // A failed load keeps the address that failed (see reportFailure), though the engine goes
    // back to the address of the page it still shows.
    if (m_failureShown)
        return;
    const char* uri = webkit_web_view_get_uri(m_view);
    std::optional<std::string> stored;
    if (auto tab = m_web.state().tab(m_tabId))
        stored = tab->url.string();
    if (!NavigationPolicy::acceptsAddress(stored, uri))
        return;
    if (auto url = Url::parse(uri))
        m_web.state().updateTabURL(m_tabId, *url);
}

void WebViewCoordinator::mirrorHistoryButtons()
{
    if (!m_view)
        return;
    m_web.state().updateTabNavigation(m_tabId, webkit_web_view_can_go_back(m_view), webkit_web_view_can_go_forward(m_view));
}

// ---- Navigation -----------------------------------------------------------------------------

void WebViewCoordinator::onLoadChanged(WebKitWebView*, int event, gpointer self) noexcept
{
    auto* coordinator = static_cast<WebViewCoordinator*>(self);
    switch (event) {
    case WEBKIT_LOAD_STARTED:
        coordinator->didStartNavigation();
        break;
    case WEBKIT_LOAD_COMMITTED:
        coordinator->didCommitNavigation();
        break;
    case WEBKIT_LOAD_FINISHED:
        coordinator->didFinishNavigation();
        break;
    default:
        break;
    }
}

void WebViewCoordinator::didStartNavigation()
{
    m_loadFailed = false;
    m_failureShown = false;
    m_favicon.reset(); // the tab moves on: an icon of the previous page must not arrive
    mirrorAddress(); // the address being loaded, whatever failed before
    const char* uri = webkit_web_view_get_uri(m_view);
    if (auto url = Url::parse(uri ? uri : ""); url && NavigationPolicy::isBlockedPort(*url)) {
        // The engine would put a blank page in place of such an address and report no failure:
        // the tab keeps the address and says why it is not loaded.
        webkit_web_view_stop_loading(m_view);
        reportFailure(NavigationPolicy::blockedPortDescription(), uri);
        return;
    }
    m_web.state().setNavigationError(m_tabId, std::nullopt);
    m_web.state().updateTabLoading(m_tabId, true, 0);
}

void WebViewCoordinator::didCommitNavigation()
{
    mirrorHistoryButtons();
    // The page now shown is a visit of the tab, whether or not the tab is the one on screen.
    mirrorAddress();
    m_web.state().recordNavigation(m_tabId);
    m_web.state().endFirstNavigation(m_tabId);
    m_loadingBeforeNavigate.reset();
    forgetFind();
}

void WebViewCoordinator::didFinishNavigation()
{
    // After a failure the engine still reports the end of the load; the error stays shown.
    if (m_loadFailed)
        return;
    m_web.state().setNavigationError(m_tabId, std::nullopt);
    m_web.state().updateTabLoading(m_tabId, false, 1.0);
    captureFavicon();
    findInLoadedPage();
}

gboolean WebViewCoordinator::onLoadFailed(WebKitWebView*, int, const char* uri, GError* error, gpointer self) noexcept
{
    auto* coordinator = static_cast<WebViewCoordinator*>(self);
    const char* domain = error ? g_quark_to_string(error->domain) : "";
    coordinator->reportNavigationError(domain ? domain : "", error ? error->code : 0, error ? error->message : "", uri);
    // Our overlay shows the failure; the engine's own error page would replace the last page.
    return TRUE;
}

gboolean WebViewCoordinator::onLoadFailedWithTlsErrors(WebKitWebView*, const char* uri, GTlsCertificate*, int,
                                                       gpointer self) noexcept
{
    static_cast<WebViewCoordinator*>(self)->reportFailure(NavigationPolicy::certificateErrorDescription(), uri);
    return TRUE;
}

void WebViewCoordinator::reportNavigationError(const char* domain, int code, const char* message,
                                               const char* failingUri)
{
    m_loadFailed = true;
    if (NavigationPolicy::isIgnoredError(domain, code))
        return;
    reportFailure(NavigationPolicy::errorDescription(domain, code, message ? message : ""), failingUri);
}

void WebViewCoordinator::reportFailure(const std::string& message, const char* failingUri)
{
    m_loadFailed = true;
    m_failureShown = true;
    m_web.state().updateTabLoading(m_tabId, false, 0);
    // The tab holds the address that failed: the field shows it and "Try Again" loads it.
    if (auto url = Url::parse(failingUri ? failingUri : ""))
        m_web.state().updateTabURL(m_tabId, *url);
    m_web.state().setNavigationError(m_tabId, message);
}

void WebViewCoordinator::onWebProcessTerminated(WebKitWebView*, int, gpointer self) noexcept
{
    static_cast<WebViewCoordinator*>(self)->webContentProcessDidTerminate();
}

void WebViewCoordinator::webContentProcessDidTerminate()
{
    m_favicon.reset();
    m_loadFailed = true;
    m_failureShown = true;
    m_web.state().updateTabLoading(m_tabId, false, 0);
    m_web.state().setNavigationError(m_tabId, NavigationPolicy::crashMessage);
    forgetFind();
}

// ---- Policy ---------------------------------------------------------------------------------

gboolean WebViewCoordinator::onDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, int type,
                                            gpointer self) noexcept
{
    auto* coordinator = static_cast<WebViewCoordinator*>(self);
    switch (type) {
    case WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION:
        return coordinator->decideNewWindow(decision);
    case WEBKIT_POLICY_DECISION_TYPE_RESPONSE:
        return coordinator->decideResponse(decision);
    default:
        return FALSE;
    }
}

bool WebViewCoordinator::decideNewWindow(WebKitPolicyDecision* decision)
{
    WebKitNavigationAction* action =
        webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    if (!openInNewTab(action))
        return FALSE; // no address: the engine goes on with the request
    webkit_policy_decision_ignore(decision);
    return TRUE;
}

GtkWidget* WebViewCoordinator::onCreate(WebKitWebView*, WebKitNavigationAction* action, gpointer self) noexcept
{
    // Links that ask for a new window became tabs by the policy above. What else asks the engine
    // for a window is a page's script (window.open), which gets none here, and an "open in new
    // window" item of the page menu, which opens a new tab. The menu's request carries no user
    // gesture of the page (a script's does) and comes after the menu has closed: each menu allows
    // one.
    auto* coordinator = static_cast<WebViewCoordinator*>(self);
    if (!webkit_navigation_action_is_user_gesture(action) && std::exchange(coordinator->m_menuMayOpenWindow, false))
        coordinator->openInNewTab(action);
    return nullptr;
}

bool WebViewCoordinator::openInNewTab(WebKitNavigationAction* action)
{
    WebKitURIRequest* request = action ? webkit_navigation_action_get_request(action) : nullptr;
    const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
    auto url = uri && *uri ? Url::parse(uri) : std::nullopt;
    if (!url)
        return false;
    // The new tab becomes active, which replaces the view showing this page; that happens after
    // the engine's signal has returned, never under it.
    BrowserState& state = m_web.state();
    Glib::signal_idle().connect_once(sigc::track_object(
        [&state, url = *url]() {
            state.addTab(Tab(Uuid::random(), url, std::nullopt, false, false, state.currentSpaceId(), std::nullopt));
        },
        m_web));
    return true;
}

gboolean WebViewCoordinator::onContextMenu(WebKitWebView* view, WebKitContextMenu* menu, WebKitHitTestResult*,
                                           gpointer self) noexcept
{
    // The engine asks for the menu after a round trip to the page's process; the view may be off
    // screen by then (another tab, another layout, split view), and the toolkit cannot show a
    // menu on a view that has left the window: it crashes.
    if (!gtk_widget_get_mapped(GTK_WIDGET(view))) {
        static_cast<WebViewCoordinator*>(self)->m_menuMayOpenWindow = false;
        return TRUE;
    }
    // The engine's items open a new window, which here is a new tab: they say so.
    static constexpr std::pair<WebKitContextMenuAction, const char*> labels[] = {
        {WEBKIT_CONTEXT_MENU_ACTION_OPEN_LINK_IN_NEW_WINDOW, "Open Link in New Tab"},
        {WEBKIT_CONTEXT_MENU_ACTION_OPEN_IMAGE_IN_NEW_WINDOW, "Open Image in New Tab"},
        {WEBKIT_CONTEXT_MENU_ACTION_OPEN_FRAME_IN_NEW_WINDOW, "Open Frame in New Tab"},
        {WEBKIT_CONTEXT_MENU_ACTION_OPEN_VIDEO_IN_NEW_WINDOW, "Open Video in New Tab"},
        {WEBKIT_CONTEXT_MENU_ACTION_OPEN_AUDIO_IN_NEW_WINDOW, "Open Audio in New Tab"},
    };
    std::vector<WebKitContextMenuItem*> items;
    for (GList* item = webkit_context_menu_get_items(menu); item; item = item->next)
        items.push_back(static_cast<WebKitContextMenuItem*>(item->data));
    bool opensWindow = false;
    for (std::size_t at = 0; at < items.size(); ++at) {
        const WebKitContextMenuAction action = webkit_context_menu_item_get_stock_action(items[at]);
        for (const auto& [stock, label] : labels) {
            if (action != stock)
                continue;
            webkit_context_menu_remove(menu, items[at]);
            webkit_context_menu_insert(menu, webkit_context_menu_item_new_from_stock_action_with_label(stock, label),
                                       static_cast<int>(at));
            opensWindow = true;
            break;
        }
    }
    static_cast<WebViewCoordinator*>(self)->m_menuMayOpenWindow = opensWindow;
    return FALSE; // the engine shows the menu
}

gboolean WebViewCoordinator::onShowOptionMenu(WebKitWebView* view, WebKitOptionMenu* menu, gpointer, gpointer) noexcept
{
    // A list's choices come the same way as the page menu, and crash the same way.
    if (gtk_widget_get_mapped(GTK_WIDGET(view)))
        return FALSE; // the engine shows them
    // Closed once the engine has taken the answer; closed under the signal, the page would take
    // the list for open and never open it again.
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        +[](gpointer refused) -> gboolean {
            webkit_option_menu_close(WEBKIT_OPTION_MENU(refused));
            return G_SOURCE_REMOVE;
        },
        g_object_ref(menu), g_object_unref);
    return TRUE;
}

void WebViewCoordinator::onUnmap(GtkWidget* view, gpointer) noexcept
{
    // The engine's popups over the page (its menu among them) close with the page: left open,
    // a menu stays on the view as it moves, and no right-click opens another.
    closeMenusWithin(view);
}

bool WebViewCoordinator::decideResponse(WebKitPolicyDecision* decision)
{
    auto* responseDecision = WEBKIT_RESPONSE_POLICY_DECISION(decision);
    WebKitURIResponse* response = webkit_response_policy_decision_get_response(responseDecision);
    NavigationPolicy::Response info;
    const char* uri = response ? webkit_uri_response_get_uri(response) : nullptr;
    info.isHttp = uri && (g_str_has_prefix(uri, "http:") || g_str_has_prefix(uri, "https:"));
    if (uri)
        info.url = uri;
    if (const char* mime = response ? webkit_uri_response_get_mime_type(response) : nullptr)
        info.mimeType = mime;
    if (response)
        info.contentDisposition = responseHeader(response, "Content-Disposition");
    info.canShowMimeType = webkit_response_policy_decision_is_mime_type_supported(responseDecision);
    if (const char* suggested = response ? webkit_uri_response_get_suggested_filename(response) : nullptr)
        info.suggestedFilename = suggested;

    if (!NavigationPolicy::decideResponse(info).download) {
        webkit_policy_decision_use(decision);
        return TRUE;
    }
    // The download continues this very request inside the page's own session; the download
    // handling names and records it.
    webkit_policy_decision_download(decision);
    if (webkit_response_policy_decision_is_main_frame_main_resource(responseDecision))
        keepPageAfterDownload();
    return TRUE;
}

void WebViewCoordinator::keepPageAfterDownload()
{
    // A shown page stays, and the engine gives its address back.
    auto page = std::exchange(m_loadingBeforeNavigate, std::nullopt);
    if (webkit_back_forward_list_get_current_item(m_backForwardList))
        return;
    if (!page) {
        // The tab's own address (a new tab's, a restored tab's) is the download: the tab has no
        // page to show. One sent to another address keeps the address it had.
        if (!m_sentElsewhere)
            m_web.state().leaveForDownload(m_tabId);
        return;
    }
    // The user's tab was sent to the download while it still loaded its page, none shown yet:
    // left as it is, it would be blank under the download's address. It goes back to that page.
    m_web.state().updateTabURL(m_tabId, *page);
    // Once the engine has let go of the load the download took.
    std::weak_ptr<WebViewCoordinator*> token = m_token;
    Glib::signal_idle().connect_once([token, address = page->string()] {
        if (auto coordinator = token.lock(); coordinator && (*coordinator)->m_view)
            webkit_web_view_load_uri((*coordinator)->m_view, address.c_str());
    });
}

// ---- Favicon --------------------------------------------------------------------------------

const char* WebViewCoordinator::faviconCollectorScript()
{
    return "(function() {\n"
           "  var links = Array.from(document.querySelectorAll(\"link[rel~='icon'], link[rel='apple-touch-icon'], "
           "link[rel='shortcut icon']\"));\n"
           "  return links.map(function(link) { return link.href; }).filter(Boolean);\n"
           "})();";
}

void WebViewCoordinator::captureFavicon()
{
    if (!m_view)
        return;
    const char* uri = webkit_web_view_get_uri(m_view);
    if (!uri || !*uri)
        return;
    auto* call = new ScriptCall{m_token, uri};
    webkit_web_view_evaluate_javascript(m_view, faviconCollectorScript(), -1, nullptr, nullptr, nullptr,
                                        &WebViewCoordinator::onFaviconScriptDone, call);
}

void WebViewCoordinator::onFaviconScriptDone(GObject* source, GAsyncResult* result, gpointer data) noexcept
{
    std::unique_ptr<ScriptCall> call(static_cast<ScriptCall*>(data));
    GError* error = nullptr;
    auto value = GObjectPtr<JSCValue>::adopt(
        webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error));
    g_clear_error(&error);
    std::vector<std::string> declared;
    if (value && jsc_value_is_array(value.get())) {
        auto lengthValue = GObjectPtr<JSCValue>::adopt(jsc_value_object_get_property(value.get(), "length"));
        const int length = lengthValue ? jsc_value_to_int32(lengthValue.get()) : 0;
        for (int i = 0; i < length && declared.size() < maxDeclaredIcons; ++i) {
            auto item =
                GObjectPtr<JSCValue>::adopt(jsc_value_object_get_property_at_index(value.get(), static_cast<guint>(i)));
            if (item && jsc_value_is_string(item.get())) {
                char* text = jsc_value_to_string(item.get());
                declared.emplace_back(text ? text : "");
                g_free(text);
            }
        }
    }
    auto coordinator = call->coordinator.lock();
    if (!coordinator)
        return;
    (*coordinator)->faviconCandidatesCollected(call->pageUrl, declared);
}

void WebViewCoordinator::faviconCandidatesCollected(const std::string& pageUrl, const std::vector<std::string>& declared)
{
    if (!m_view)
        return;
    const char* current = webkit_web_view_get_uri(m_view);
    if (!current || pageUrl != current)
        return; // the tab has moved on
    auto page = Url::parse(pageUrl);
    if (!page)
        return;
    auto candidates = FaviconCandidates::build(declared, *page);
    std::weak_ptr<WebViewCoordinator*> token = m_token;
    m_favicon = std::make_unique<FaviconCapture>(
        m_web.iconClient(), std::move(candidates), [this, token, pageUrl](FaviconCapture::Bytes bytes) {
            if (token.expired() || !m_view)
                return;
            const char* now = webkit_web_view_get_uri(m_view);
            if (!now || pageUrl != now)
                return; // an icon for a page the tab has left
            m_web.state().updateTabFavicon(m_tabId, std::move(bytes));
        });
}

} // namespace kovi
