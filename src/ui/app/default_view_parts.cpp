// Where each area's views are plugged into the main window: one include and one assignment per
// view. Keep the order of ViewParts.
#include "ui/base/view_parts.h"

#include "core/model/tab.h"
#include "core/state/browser_state.h"
#include "ui/ai/ai_view_parts.h"
#include "ui/base/app_context.h"
#include "ui/commandbar/command_bar_view.h"
#include "ui/library/library_view_parts.h"
#include "ui/settings/account_button.h"
#include "ui/settings/account_settings_view.h"
#include "ui/settings/settings_window_controller.h"
#include "ui/sidebar/sidebar_view.h"
#include "ui/web/web_view_parts.h"
#include "ui/windows/floating_windows.h"
#include "ui/windows/window_parts.h"

#include <memory>

namespace kovi {

ViewParts defaultViewParts()
{
    ViewParts parts;
    auto openQuickView = [](AppContext& ctx, const Tab& tab) {
        if (FloatingWindows* floating = ctx.floatingWindows)
            floating->openLittleSkiv(tab.url, tab.id);
    };
    parts.sidebar = [openQuickView](AppContext& ctx, SidebarHost& host) -> Gtk::Widget* {
        SidebarExtras extras;
        extras.pages = ctx.web;
        if (ctx.floatingWindows)
            extras.openQuickView = [&ctx, openQuickView](const Tab& tab) { openQuickView(ctx, tab); };
        extras.accountButton = [&ctx]() -> Gtk::Widget* { return Gtk::make_managed<AccountButton>(ctx); };
        return makeSidebarView(ctx, host, std::move(extras));
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
    parts.accountPanel = [](AppContext& ctx) -> Gtk::Widget* {
        // Over the browser, the panel's close button closes the panel as a tap on the scrim does.
        return Gtk::make_managed<AccountSettingsView>(ctx, [&ctx] { ctx.state.setIsAccountSettingsVisible(false); });
    };
    parts.extensionsSheet = [](AppContext& ctx, Gtk::Window& parent) -> Gtk::Window* {
        return ctx.web ? makeExtensionsSheet(*ctx.web, parent) : nullptr;
    };
    auto settings = std::make_shared<SettingsWindowController>();
    parts.openSettings = [settings](AppContext& ctx, Gtk::Window& parent) { settings->openSettings(ctx, parent); };
    parts.aiChatPanel = [](AppContext& ctx) { return makeAIChatPanel(ctx); };
    parts.aiSettingsPanel = makeAISettingsPanel;
    parts.openQuickView = openQuickView;
    return parts;
}

} // namespace kovi
