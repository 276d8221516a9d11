#pragma once

#include "core/model/tab.h"
#include "ui/base/tab_menu.h"
#include "ui/layouts/tab_favicon.h"

#include <gtkmm/button.h>

#include <string>

namespace kovi {

class BrowserState;

// One pinned tab of the horizontal strip: a 32 × 28 favicon button that activates its tab, with
// the title as its tooltip and the favourites' context menu. No title, close button or spinner.
// Main thread only; the state outlives it.
class TraditionalPinnedTab : public Gtk::Button {
public:
    TraditionalPinnedTab(BrowserState& state, const Tab& tab);

    const Uuid& tabId() const { return m_tabId; }
    void update(const Tab& tab);
    void setActive(bool active);
    bool isActive() const { return m_isActive; }
    TabFavicon& favicon() { return m_favicon; }
    TabMenu& menu() { return m_menu; }

private:
    BrowserState& m_state;
    Uuid m_tabId;
    bool m_isActive = false;
    std::string m_titleText; // as the tooltip got it
    TabFavicon m_favicon{false};
    TabMenu m_menu;
};

} // namespace kovi
