#pragma once

namespace Gtk {
class Widget;
class Window;
} // namespace Gtk

namespace kovi {

class WebContent;
struct Tab;

// The page views as the main windows place them.
// The content of the shown tab: its page, error overlay and zoom badge.
Gtk::Widget* makeTabContentView(WebContent& web, const Tab& tab);
// The find bar over the page area (shown while BrowserState::isFindInPageVisible).
Gtk::Widget* makeFindBarView(WebContent& web);
// The page extensions sheet over `parent`; closing it clears BrowserState::isExtensionsVisible.
Gtk::Window* makeExtensionsSheet(WebContent& web, Gtk::Window& parent);

} // namespace kovi
