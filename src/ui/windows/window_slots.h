#pragma once

namespace Gtk {
class Widget;
}

namespace kovi {

struct AppContext;

// The split view as the main window places it, while split view is on: the two panes with their
// divider (the page area), and the toolbar for the page area's top-right corner.
Gtk::Widget* makeSplitView(AppContext& ctx);
Gtk::Widget* makeSplitViewToolbar(AppContext& ctx);

} // namespace kovi
