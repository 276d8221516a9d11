#include "ui/ai/ai_view_slots.h"

#include "core/ai/ai_chat_controller.h"
#include "core/ai/open_tabs_context.h"
#include "core/state/browser_state.h"
#include "ui/ai/ai_chat_panel.h"
#include "ui/ai/kovi_max_settings_view.h"
#include "ui/base/app_context.h"

namespace kovi {

Gtk::Widget* makeAIChatPanel(AppContext& ctx, const AIEndpoints& endpoints)
{
    BrowserState& state = ctx.state;
    // Safe: the browser state belongs to the application, which outlives every panel.
    auto controller = std::make_unique<AIChatController>(std::make_unique<AIChatClient>(ctx.ai, endpoints),
                                                         [&state] { return openTabsContext(state.tabs()); });
    return Gtk::make_managed<AIChatPanel>(state, std::move(controller));
}

Gtk::Widget* makeAISettingsPanel(AppContext& ctx)
{
    return Gtk::make_managed<KoviMaxSettingsView>(ctx.state, ctx.appearance, ctx.ai);
}

} // namespace kovi
