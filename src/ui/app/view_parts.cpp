// Where each area's views are plugged into the main window: one include and one assignment per
// view. Keep the order of ViewParts.
#include "ui/app/view_parts.h"

#include "ui/app/app_context.h"
#include "ui/commandbar/command_bar_view.h"
#include "ui/sidebar/sidebar_view.h"

namespace kovi {

ViewParts defaultViewParts()
{
    ViewParts parts;
    parts.sidebar = makeSidebarView;
    // parts.tabContent = [](AppContext& ctx, const Tab& tab) -> Gtk::Widget* { ... };
    parts.commandBar = makeCommandBarView;
    return parts;
}

} // namespace kovi
