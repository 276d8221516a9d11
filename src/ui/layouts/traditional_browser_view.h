#pragma once

#include "ui/base/view_slots.h"
#include "ui/layouts/page_area.h"
#include "ui/layouts/panel_overlays.h"
#include "ui/layouts/traditional_navigation_bar.h"
#include "ui/layouts/traditional_tab_bar.h"

#include <gtkmm/box.h>
#include <gtkmm/overlay.h>

#include <functional>

namespace kovi {

struct AppContext;

// The window content of the horizontal-tab layout: the tab bar, the navigation bar and the page
// area (bookmarks bar, page or split view or start page, find bar) in one column, and the
// panels over it (command bar, history, downloads). It keeps no state of its own: the same
// tabs, pages and panels show in either layout, so switching layouts loses nothing.
class TraditionalBrowserView : public Gtk::Overlay {
public:
    static constexpr int minimumWidth = 700;
    static constexpr int minimumHeight = 450;

    TraditionalBrowserView(AppContext& ctx, const ViewSlots& slots);
    ~TraditionalBrowserView() override;

    // `make` builds the window's menu button (a new managed widget), placed at the end of the
    // navigation bar.
    void setWindowMenu(const std::function<Gtk::Widget*()>& make);

    TraditionalTabBar& tabBar() { return m_tabBar; }
    TraditionalNavigationBar& navigationBar() { return m_navigationBar; }
    PageArea& pageArea() { return m_pageArea; }
    PanelOverlays& panels() { return m_panels; }

private:
    Gtk::Box m_column{Gtk::Orientation::VERTICAL, 0};
    TraditionalTabBar m_tabBar;
    TraditionalNavigationBar m_navigationBar;
    PageArea m_pageArea;
    PanelOverlays m_panels;
};

} // namespace kovi
