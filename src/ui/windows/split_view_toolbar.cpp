#include "ui/windows/split_view_toolbar.h"

#include "core/state/browser_state.h"
#include "core/windows/split_view_rules.h"
#include "ui/base/command_action.h"
#include "ui/design/symbols.h"
#include "ui/design/tooltips.h"

#include <giomm/menu.h>
#include <gtkmm/image.h>

namespace kovi {

namespace {

void addAction(const Glib::RefPtr<Gio::SimpleActionGroup>& group, const char* name, std::function<void()> run)
{
    group->add_action(name, [run = std::move(run)] { run(); });
}

void setUp(Gtk::Button& button, const char* symbol, int size, const char* tooltip, const std::string& action)
{
    button.add_css_class("kovi-split-toolbar-button");
    button.set_has_frame(false);
    button.set_focus_on_click(false);
    button.set_child(*makeSymbolImage(symbol, size));
    button.set_tooltip_text(tooltip);
    button.set_action_name(action);
}

} // namespace

SplitViewToolbar::SplitViewToolbar(BrowserState& state)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 8), m_state(state), m_actions(Gio::SimpleActionGroup::create())
{
    add_css_class("kovi-split-toolbar");
    set_halign(Gtk::Align::END);
    set_valign(Gtk::Align::START);

    addAction(m_actions, "add-left", [this] { activateSplit(m_state, true); });
    addAction(m_actions, "add-right", [this] { activateSplit(m_state, false); });
    addAction(m_actions, "swap", [this] { m_state.swapSplitViews(); });
    addAction(m_actions, "equal", [this] { m_state.setSplitRatio(0.5); });
    insert_action_group("split", m_actions);

    auto menu = Gio::Menu::create();
    menu->append("Add Left Split", "split.add-left");
    menu->append("Add Right Split", "split.add-right");
    m_menu.add_css_class("kovi-split-toolbar-button");
    m_menu.set_has_frame(false);
    m_menu.set_focus_on_click(false);
    m_menu.set_child(*makeSymbolImage("rectangle.split.2x1", 12));
    m_menu.set_tooltip_text("Split options");
    m_menu.set_menu_model(menu);
    hideTooltipWhileMenuOpen(m_menu);
    append(m_menu);

    setUp(m_swap, "arrow.left.arrow.right", 12, "Swap split views", "split.swap");
    append(m_swap);
    setUp(m_equal, "square.split.2x1", 12, "Equal split", "split.equal");
    append(m_equal);
    setUp(m_close, "xmark", 10, "Close split view", appAction(commands::toggleSplitView));
    m_close.add_css_class("close");
    append(m_close);
}

} // namespace kovi
