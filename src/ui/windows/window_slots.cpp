#include "ui/windows/window_slots.h"

#include "ui/base/app_context.h"
#include "ui/windows/split_view_container.h"
#include "ui/windows/split_view_toolbar.h"

namespace kovi {

Gtk::Widget* makeSplitView(AppContext& ctx)
{
    return Gtk::make_managed<SplitViewContainer>(ctx);
}

Gtk::Widget* makeSplitViewToolbar(AppContext& ctx)
{
    return Gtk::make_managed<SplitViewToolbar>(ctx.state);
}

} // namespace kovi
