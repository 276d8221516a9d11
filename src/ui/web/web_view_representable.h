#pragma once

#include "core/support/scoped_connections.h"
#include "core/support/url.h"
#include "core/support/uuid.h"

#include <gtkmm/box.h>

#include <functional>
#include <optional>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _GdkTexture GdkTexture;

namespace kovi {

class WebContent;

// Shows one tab's pooled web view: takes it from the pool, or builds it in the session of the
// tab's space and loads the tab's address. Keeps the page's background and extension scripts
// current while it shows the view. The view's coordinator belongs to the pool, so the tab's
// state follows its page whether it is shown or not. Main thread only.
class WebViewRepresentable : public Gtk::Box {
public:
    WebViewRepresentable(WebContent& web, Uuid tabId, Url initialUrl);
    ~WebViewRepresentable() override;

    const Uuid& tabId() const { return m_tabId; }
    WebKitWebView* webView() const { return m_view; }

    // The space whose session the tab uses: the tab's own, else the shown space.
    std::optional<Uuid> resolvedSpaceIdentifier() const;

    // A picture of the tab's page for the hover preview, always delivered later (nullptr when
    // the tab has no view).
    static void snapshot(WebContent& web, const Uuid& tabId, std::function<void(GdkTexture*)> done);

private:
    void makeView();
    void update();
    void viewWillBeRemoved(const Uuid& tabId);

    WebContent& m_web;
    Uuid m_tabId;
    Url m_initialUrl;
    WebKitWebView* m_view = nullptr; // the pool's view placed here, until the pool drops it
    ScopedConnections m_connections;
};

} // namespace kovi
