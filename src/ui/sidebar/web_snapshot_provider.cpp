#include "ui/sidebar/web_snapshot_provider.h"

#include "ui/web/web_view_representable.h"

#include <gdk/gdk.h>

namespace kovi {

void WebSnapshotProvider::snapshot(const Uuid& tabId, std::function<void(Glib::RefPtr<Gdk::Texture>)> done)
{
    WebViewRepresentable::snapshot(m_web, tabId, [done = std::move(done)](GdkTexture* texture) {
        // The pool keeps its own reference; take one for as long as the bubble shows it.
        done(texture ? Glib::wrap(texture, true) : Glib::RefPtr<Gdk::Texture>());
    });
}

} // namespace kovi
