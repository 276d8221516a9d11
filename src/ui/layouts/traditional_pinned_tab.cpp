#include "ui/layouts/traditional_pinned_tab.h"

#include "core/state/browser_state.h"
#include "ui/design/styles.h"
#include "ui/design/tooltips.h"

#include <gtkmm/gestureclick.h>

namespace kovi {

TraditionalPinnedTab::TraditionalPinnedTab(BrowserState& state, const Tab& tab)
    : m_state(state), m_tabId(tab.id), m_menu(*this, "tile", state)
{
    add_css_class("kovi-htab-pinned");
    set_has_frame(false);
    set_focus_on_click(false);
    set_size_request(32, 28);
    set_valign(Gtk::Align::CENTER);
    set_child(m_favicon);
    // Also when it is active already: the state decides what a repeat does.
    signal_clicked().connect([this] { m_state.setActiveTabId(m_tabId); });
    auto secondary = Gtk::GestureClick::create();
    secondary->set_button(GDK_BUTTON_SECONDARY);
    secondary->signal_pressed().connect([this](int, double x, double y) {
        if (auto tab = m_state.tab(m_tabId))
            m_menu.popup(*tab, TabMenu::Place::pinned, x, y);
    });
    add_controller(secondary);
    update(tab);
}

void TraditionalPinnedTab::update(const Tab& tab)
{
    // An empty title gives no tooltip at all.
    if (m_titleText != tab.title) {
        m_titleText = tab.title;
        setTextTooltip(*this, tab.title);
    }
    m_favicon.update(tab);
}

void TraditionalPinnedTab::setActive(bool active)
{
    if (active == m_isActive)
        return;
    m_isActive = active;
    setClass(*this, "active", active);
}

} // namespace kovi
