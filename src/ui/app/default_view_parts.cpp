// Where each area's views are plugged into the main window: one include and one assignment per
// view. Keep the order of ViewParts.
#include "ui/base/view_parts.h"

#include "core/model/tab.h"
#include "ui/ai/ai_view_parts.h"
#include "ui/base/app_context.h"
#include "ui/commandbar/command_bar_view.h"
#include "ui/library/library_view_parts.h"
#include "ui/sidebar/sidebar_view.h"
#include "ui/web/web_view_parts.h"
#include "ui/windows/floating_windows.h"
#include "ui/windows/window_parts.h"

namespace kovi {

ViewParts defaultViewParts()
{
    ViewParts parts;
    parts.sidebar = [](AppContext& ctx, SidebarHost& host) -> Gtk::Widget* {
        if (!ctx.web)
            return makeSidebarView(ctx, host);
        std::function<void(const Tab&)> openQuickView;
        if (FloatingWindows* floating = ctx.floatingWindows)
            openQuickView = [floating](const Tab& tab) { floating->openLittleSkiv(tab.url, tab.id); };
        return makeSidebarViewWithPages(ctx, host, *ctx.web, std::move(openQuickView));
    };
    parts.tabContent = [](AppContext& ctx, const Tab& tab) -> Gtk::Widget* {
        return ctx.web ? makeTabContentView(*ctx.web, tab) : nullptr;
    };
    parts.splitView = makeSplitView;
    parts.splitViewToolbar = makeSplitViewToolbar;
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
