// Where each area's views are plugged into the main window: one include and one assignment per
// view. Keep the order of ViewParts.
#include "ui/base/view_parts.h"

#include "ui/ai/ai_view_parts.h"
#include "ui/base/app_context.h"
#include "ui/commandbar/command_bar_view.h"
#include "ui/library/library_view_parts.h"
#include "ui/sidebar/sidebar_view.h"
#include "ui/web/web_view_parts.h"

namespace kovi {

ViewParts defaultViewParts()
{
    ViewParts parts;
    parts.sidebar = [](AppContext& ctx, SidebarHost& host) {
        return ctx.web ? makeSidebarViewWithPages(ctx, host, *ctx.web) : makeSidebarView(ctx, host);
    };
    parts.tabContent = [](AppContext& ctx, const Tab& tab) -> Gtk::Widget* {
        return ctx.web ? makeTabContentView(*ctx.web, tab) : nullptr;
    };
    parts.commandBar = makeCommandBarView;
    parts.findBar = [](AppContext& ctx) -> Gtk::Widget* { return ctx.web ? makeFindBarView(*ctx.web) : nullptr; };
    parts.historyPanel = makeHistoryPanel;
    parts.downloadsPanel = makeDownloadsPanel;
    parts.bookmarkStrip = makeBookmarkStrip;
    parts.librarySheet = makeLibrarySheet;
    parts.extensionsSheet = [](AppContext& ctx, Gtk::Window& parent) -> Gtk::Window* {
        return ctx.web ? makeExtensionsSheet(*ctx.web, parent) : nullptr;
    };
    parts.aiChatPanel = [](AppContext& ctx) { return makeAIChatPanel(ctx); };
    parts.aiSettingsPanel = makeAISettingsPanel;
    return parts;
}

} // namespace kovi
