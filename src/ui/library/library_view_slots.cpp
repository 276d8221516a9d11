#include "ui/library/library_view_slots.h"

#include "ui/base/app_context.h"
#include "ui/library/bookmark_strip.h"
#include "ui/library/downloads_panel.h"
#include "ui/library/history_panel.h"
#include "ui/library/library_sheet.h"

#include <gtkmm/application.h>

namespace kovi {

Gtk::Widget* makeBookmarkStrip(AppContext& ctx)
{
    return Gtk::make_managed<BookmarkStrip>(ctx.state, ctx.library, ctx.preferences);
}

Gtk::Window* makeLibrarySheet(AppContext& ctx, Gtk::Window& parent)
{
    // The presenter makes it transient for the window and owns it. In the application, its save
    // button runs the application's commands.
    auto* sheet = new LibrarySheet(ctx.library, ctx.state, ctx.theme);
    if (auto application = parent.get_application())
        sheet->set_application(application);
    return sheet;
}

Gtk::Widget* makeHistoryPanel(AppContext& ctx)
{
    return Gtk::make_managed<HistoryPanel>(ctx.state);
}

Gtk::Widget* makeDownloadsPanel(AppContext& ctx)
{
    return Gtk::make_managed<DownloadsPanel>(ctx.state);
}

} // namespace kovi
