// Where each area's views are plugged into the main window: one include and one assignment per
// view. Keep the order of ViewSlots.
#include "ui/base/view_slots.h"

#include "core/model/tab.h"
#include "ui/ai/ai_view_slots.h"
#include "ui/app/main_browser_view.h"
#include "ui/base/app_context.h"
#include "ui/commandbar/command_bar_view.h"
#include "ui/library/library_view_slots.h"
#include "ui/settings/account_button.h"
#include "ui/settings/account_settings_view.h"
#include "ui/settings/settings_window_controller.h"
#include "ui/sidebar/sidebar_view.h"
#include "ui/web/web_view_slots.h"
#include "ui/windows/floating_windows.h"
#include "ui/windows/window_slots.h"

#include <memory>

namespace kovi {

ViewSlots defaultViewSlots()
{
    ViewSlots slots;
    auto openQuickView = [](AppContext& ctx, const Tab& tab) {
        if (FloatingWindows* floating = ctx.floatingWindows)
            floating->openSmallWindow(tab.url, tab.id);
    };
    slots.sidebar = [openQuickView](AppContext& ctx, SidebarHost& host) -> Gtk::Widget* {
        SidebarExtras extras;
        extras.pages = ctx.web;
        if (ctx.floatingWindows)
            extras.openQuickView = [&ctx, openQuickView](const Tab& tab) { openQuickView(ctx, tab); };
        extras.accountButton = [&ctx]() -> Gtk::Widget* { return Gtk::make_managed<AccountButton>(ctx); };
        return makeSidebarView(ctx, host, std::move(extras));
    };
    slots.tabContent = [](AppContext& ctx, const Tab& tab) -> Gtk::Widget* {
        return ctx.web ? makeTabContentView(*ctx.web, tab) : nullptr;
    };
    slots.splitView = makeSplitView;
    slots.splitViewToolbar = makeSplitViewToolbar;
    slots.commandBar = makeCommandBarView;
    slots.findBar = [](AppContext& ctx) -> Gtk::Widget* { return ctx.web ? makeFindBarView(*ctx.web) : nullptr; };
    slots.historyPanel = makeHistoryPanel;
    slots.downloadsPanel = makeDownloadsPanel;
    slots.bookmarkStrip = makeBookmarkStrip;
    slots.librarySheet = makeLibrarySheet;
    slots.accountPanel = [](AppContext& ctx) -> Gtk::Widget* {
        // Over the browser, the panel's close button closes the panel as a tap on the scrim does.
        // Only the panel calls it, so the pointer is valid then.
        auto panel = std::make_shared<Gtk::Widget*>(nullptr);
        *panel = Gtk::make_managed<AccountSettingsView>(ctx, [panel] {
            for (Gtk::Widget* w = *panel; w; w = w->get_parent()) {
                if (auto* root = dynamic_cast<MainBrowserView*>(w))
                    return root->setShowAccountSettings(false);
            }
        });
        return *panel;
    };
    slots.extensionsSheet = [](AppContext& ctx, Gtk::Window& parent) -> Gtk::Window* {
        return ctx.web ? makeExtensionsSheet(*ctx.web, parent) : nullptr;
    };
    auto settings = std::make_shared<SettingsWindowController>();
    slots.openSettings = [settings](AppContext& ctx, Gtk::Window& parent) { settings->openSettings(ctx, parent); };
    slots.aiChatPanel = [](AppContext& ctx) { return makeAIChatPanel(ctx); };
    slots.aiSettingsPanel = makeAISettingsPanel;
    slots.openQuickView = openQuickView;
    return slots;
}

} // namespace kovi
