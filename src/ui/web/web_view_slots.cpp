#include "ui/web/web_view_slots.h"

#include "core/state/browser_state.h"
#include "ui/web/extensions_view.h"
#include "ui/web/find_in_page_view.h"
#include "ui/web/web_content.h"
#include "ui/web/web_view_container.h"

namespace kovi {

Gtk::Widget* makeTabContentView(WebContent& web, const Tab& tab)
{
    return Gtk::make_managed<WebViewContainer>(web, tab);
}

Gtk::Widget* makeFindBarView(WebContent& web)
{
    return Gtk::make_managed<FindInPageView>(web);
}

Gtk::Window* makeExtensionsSheet(WebContent& web, Gtk::Window& parent)
{
    BrowserState& state = web.state();
    return new ExtensionsView(parent, web.extensions(), web.appearance(), [&state] { state.setIsExtensionsVisible(false); });
}

} // namespace kovi
