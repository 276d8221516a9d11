#pragma once

#include "core/support/notification_center.h"
#include "core/support/scoped_connections.h"
#include "core/support/url.h"
#include "core/support/uuid.h"

#include <glib.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitBackForwardList WebKitBackForwardList;
typedef struct _WebKitBackForwardListItem WebKitBackForwardListItem;
typedef struct _WebKitPolicyDecision WebKitPolicyDecision;
typedef struct _WebKitNavigationAction WebKitNavigationAction;
typedef struct _WebKitContextMenu WebKitContextMenu;
typedef struct _WebKitHitTestResult WebKitHitTestResult;
typedef struct _WebKitOptionMenu WebKitOptionMenu;
typedef struct _GtkWidget GtkWidget;
typedef struct _WebKitFindController WebKitFindController;
typedef struct _GTlsCertificate GTlsCertificate;
typedef struct _GParamSpec GParamSpec;
typedef struct _GError GError;
typedef struct _GObject GObject;
typedef struct _GAsyncResult GAsyncResult;

namespace kovi {

class FaviconCapture;
class PopupShortcuts;
class WebContent;

// The companion of one tab's pooled web view, for the whole life of the view whether it is shown
// or not: mirrors the page's loading progress, title, address and history buttons into the
// browser state, records each page the view commits as a visit, turns failed loads into the
// tab's error text, links that ask for a new window (and the page menu's "open in new window"
// items, labelled as what they do) into new tabs and unshowable responses into downloads, fetches the page's icon when a load
// finishes, and carries out the page commands posted for its tab. The page menu and the choices
// of a list show only on a view on screen, with the window's shortcuts, and close when the view
// leaves it. Made and destroyed by the pool together with the view; every engine signal is
// disconnected when it dies. Main thread only.
class WebViewCoordinator {
public:
    WebViewCoordinator(WebContent& web, Uuid tabId, WebKitWebView* view);
    ~WebViewCoordinator();
    WebViewCoordinator(const WebViewCoordinator&) = delete;
    WebViewCoordinator& operator=(const WebViewCoordinator&) = delete;

    const Uuid& tabId() const { return m_tabId; }
    WebKitWebView* webView() const { return m_view; }

    // The page-extension revision last applied to the view (-1: none yet).
    int extensionRevision = -1;

    // The page canvas for the look (the dark look reaches pages through prefers-color-scheme).
    void applyAppearance(bool isDarkMode);

    // The script that lists the icons a page declares.
    static const char* faviconCollectorScript();
    // The picture-in-picture script for a candidate expression.
    static std::string pictureInPictureScript(const std::string& candidate);

private:
    // Engine signals.
    static void onProgressChanged(WebKitWebView*, GParamSpec*, gpointer self) noexcept;
    static void onTitleChanged(WebKitWebView*, GParamSpec*, gpointer self) noexcept;
    static void onUriChanged(WebKitWebView*, GParamSpec*, gpointer self) noexcept;
    static void onBackForwardChanged(WebKitBackForwardList*, WebKitBackForwardListItem*, gpointer, gpointer self) noexcept;
    static void onLoadChanged(WebKitWebView*, int event, gpointer self) noexcept;
    static gboolean onLoadFailed(WebKitWebView*, int event, const char* uri, GError* error, gpointer self) noexcept;
    static gboolean onLoadFailedWithTlsErrors(WebKitWebView*, const char* uri, GTlsCertificate*, int errors,
                                              gpointer self) noexcept;
    static void onWebProcessTerminated(WebKitWebView*, int reason, gpointer self) noexcept;
    static gboolean onDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, int type, gpointer self) noexcept;
    static GtkWidget* onCreate(WebKitWebView*, WebKitNavigationAction* action, gpointer self) noexcept;
    static gboolean onContextMenu(WebKitWebView*, WebKitContextMenu* menu, WebKitHitTestResult*, gpointer self) noexcept;
    static gboolean onShowOptionMenu(WebKitWebView*, WebKitOptionMenu* menu, gpointer rectangle, gpointer self) noexcept;
    static void onUnmap(GtkWidget* view, gpointer self) noexcept;
    static void onFoundText(WebKitFindController*, guint count, gpointer self) noexcept;
    static void onFailedToFindText(WebKitFindController*, gpointer self) noexcept;
    static void onFaviconScriptDone(GObject* source, GAsyncResult* result, gpointer data) noexcept;

    void setupObservers();
    void disconnectView();
    void mirrorProgress();
    void mirrorTitle();
    void mirrorAddress();
    void mirrorHistoryButtons();
    void didStartNavigation();
    void didCommitNavigation();
    void didFinishNavigation();
    void reportNavigationError(const char* domain, int code, const char* message, const char* failingUri);
    void reportFailure(const std::string& message, const char* failingUri = nullptr);
    void webContentProcessDidTerminate();
    bool decideNewWindow(WebKitPolicyDecision* decision);
    // Opens the action's address as a new active tab; false when it has none.
    bool openInNewTab(WebKitNavigationAction* action);
    bool decideResponse(WebKitPolicyDecision* decision);
    void keepPageAfterDownload();
    void captureFavicon();
    void faviconCandidatesCollected(const std::string& pageUrl, const std::vector<std::string>& declared);

    // Page commands (web_view_coordinator_commands.cpp).
    void setupNavigationNotifications();
    void observe(const char* name, void (WebViewCoordinator::*action)(const Notification&));
    void goBack(const Notification&);
    void goForward(const Notification&);
    void reload(const Notification&);
    void zoomIn(const Notification&);
    void zoomOut(const Notification&);
    void zoomReset(const Notification&);
    void findInPage(const Notification&);
    void findNext(const Notification&);
    void findPrevious(const Notification&);
    void askFind();
    bool isSearchOwed() const;
    void findStep(bool forward);
    void findAnswered(guint count);
    // The page searched is gone (another committed, or its process ended).
    void forgetFind();
    // The page has loaded whole: the text is searched there again from its first match, unless
    // a search is still owed (answered after the load, it is of the whole page).
    void findInLoadedPage();
    void toggleDevTools(const Notification&);
    void enterPictureInPicture(const Notification&);
    void checkAndEnterPiP(const Notification&);
    void navigate(const Notification&);
    void adjustZoom(double delta);
    void postZoomChanged(double zoom);
    void runScript(const std::string& script);

    WebContent& m_web;
    Uuid m_tabId;
    WebKitWebView* m_view; // owned by the pool
    WebKitBackForwardList* m_backForwardList = nullptr;
    WebKitFindController* m_findController = nullptr;
    bool m_loadFailed = false;   // the engine reports "finished" after a failure too
    bool m_failureShown = false; // a failure the user sees: loading stays off with progress 0
    // The last page menu offered an item that opens a new window, and none was opened since.
    bool m_menuMayOpenWindow = false;
    // The engine answers find requests one by one in the order they were made, naming no text:
    // each answer is matched to the oldest request still owed one. One search is owed at a time;
    // text typed meanwhile is searched when it answers, so the engine's match is of the latest.
    // Every request is answered, those made of a page that has gone too: before the next page
    // commits, or as failures once the page's process has ended (some after its end is reported).
    struct FindRequest {
        std::string text; // "" once the bar was cleared or the page replaced after it was made
        bool isStep;
    };
    std::deque<FindRequest> m_findOwed;
    std::string m_findText; // the latest text asked for on the page shown
    // The page the view was still loading, none shown yet, when it was sent to another address.
    std::optional<Url> m_loadingBeforeNavigate;
    // The view was sent to an address other than the tab's own.
    bool m_sentElsewhere = false;
    std::unique_ptr<FaviconCapture> m_favicon;
    std::unique_ptr<PopupShortcuts> m_popupShortcuts;
    // Async engine callbacks hold this weakly and do nothing once the coordinator is gone.
    std::shared_ptr<WebViewCoordinator*> m_token;
    ScopedConnections m_navigationObservers;
};

} // namespace kovi
