#pragma once

#include "core/support/gobject_ptr.h"
#include "core/support/url.h"
#include "core/support/uuid.h"
#include "ui/web/popup_shortcuts.h"
#include "ui/web/user_script_installer.h"

#include <gtkmm/box.h>
#include <sigc++/connection.h>
#include <sigc++/signal.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitBackForwardList WebKitBackForwardList;
typedef struct _WebKitBackForwardListItem WebKitBackForwardListItem;
typedef struct _GParamSpec GParamSpec;
typedef struct _GCancellable GCancellable;
typedef struct _GAsyncResult GAsyncResult;
typedef struct _GError GError;

namespace kovi {

class WebContent;

// A page of its own, outside the pool, for the small floating windows: made like a tab's view in
// the session of the given space (its cookies and storage, the ephemeral session for none), with
// the page-extension scripts and the fixed user agent, but tied to no tab: it reports nothing to
// the browser state and is never reused. It tells its owner about the page's title, address,
// loading and history through signals; the page's menu and a list's choices carry the shortcuts
// `popupKeys` builds. close() — or the widget's end — stops the page and releases the view at
// once. Main thread only.
class StandaloneWebView : public Gtk::Box {
public:
    StandaloneWebView(WebContent& web, std::optional<Uuid> spaceId, PopupShortcuts::Make popupKeys = {});
    ~StandaloneWebView() override;

    const std::optional<Uuid>& spaceId() const { return m_spaceId; }
    void load(const Url& url);
    void goBack();
    void goForward();
    // Stops the page while it loads, else reloads it.
    void reloadOrStop();
    void stopLoading();
    // Stops the page and lets go of the view; nothing works afterwards.
    void close();
    bool isClosed() const { return !m_view; }

    // nullopt: the page has no title (or the view is closed); an empty title stays empty.
    std::optional<std::string> title() const;
    std::optional<std::string> address() const;
    bool isLoading() const;
    bool canGoBack() const;
    bool canGoForward() const;
    // Whether the page shown is the engine's error page for a load that failed (a stopped or
    // replaced load does not count).
    bool showsLoadError() const { return m_showsLoadError; }
    // Asks the page, in a script world of its own, whether its document has a title element
    // (an empty title and no title are the same to the engine). `done` never runs after close().
    void queryHasTitleElement(std::function<void(bool)> done);
    WebKitWebView* webView() const { return m_view.get(); }

    sigc::signal<void()> titleChanged;
    sigc::signal<void()> addressChanged;
    sigc::signal<void()> loadingChanged;
    sigc::signal<void()> progressChanged;
    sigc::signal<void()> historyChanged;
    sigc::signal<void()> loadFinished;

private:
    static void onTitle(WebKitWebView*, GParamSpec*, gpointer self) noexcept;
    static void onAddress(WebKitWebView*, GParamSpec*, gpointer self) noexcept;
    static void onLoading(WebKitWebView*, GParamSpec*, gpointer self) noexcept;
    static void onProgress(WebKitWebView*, GParamSpec*, gpointer self) noexcept;
    static void onHistory(WebKitBackForwardList*, WebKitBackForwardListItem*, gpointer, gpointer self) noexcept;
    static void onLoadChanged(WebKitWebView*, int event, gpointer self) noexcept;
    static gboolean onLoadFailed(WebKitWebView*, int event, char* uri, GError* error, gpointer self) noexcept;
    static void onTitleElementAnswered(GObject* view, GAsyncResult* result, gpointer call) noexcept;

    WebContent& m_web;
    std::optional<Uuid> m_spaceId;
    GObjectPtr<WebKitWebView> m_view;
    WebKitBackForwardList* m_history = nullptr; // the view's
    std::unique_ptr<UserScriptInstaller> m_scripts;
    std::unique_ptr<PopupShortcuts> m_popupKeys;
    GObjectPtr<GCancellable> m_queries; // cancelled by close()
    bool m_errorPageNext = false;
    bool m_showsLoadError = false;
    sigc::connection m_extensionsChanged;
};

} // namespace kovi
