#pragma once

namespace Gtk {
class Widget;
class Window;
} // namespace Gtk

namespace kovi {

struct AppContext;

// The library area's views for the main window's view slots.
Gtk::Widget* makeBookmarkStrip(AppContext& ctx);
Gtk::Window* makeLibrarySheet(AppContext& ctx, Gtk::Window& parent);
Gtk::Widget* makeHistoryPanel(AppContext& ctx);
Gtk::Widget* makeDownloadsPanel(AppContext& ctx);

} // namespace kovi
