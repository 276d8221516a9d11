#pragma once

#include "core/support/date.h"
#include "ui/layouts/sidebar_dock.h"
#include "ui/base/sidebar_host.h"
#include "ui/base/view_slots.h"
#include "ui/layouts/page_area.h"
#include "ui/layouts/panel_overlays.h"

#include <gtkmm/overlay.h>

#include <functional>

namespace kovi {

struct AppContext;

// The window content of the sidebar layout: the sidebar dock (the sidebar docked beside the
// page area or floating over it), the page area, and the panels over both (command bar,
// history, downloads).
//
// Where other areas plug in: see ViewSlots (view_slots.h). The sidebar receives sidebarHost()
// for its two-way flags, the space swipe and the window's own controls. setChromeStart() puts
// those controls (the menu button) in a strip above the sidebar until the sidebar takes them
// into its top bar (SidebarHost::takeChromeWidget).
class ContentView : public Gtk::Overlay {
public:
    static constexpr int minimumWidth = 700;
    static constexpr int minimumHeight = 450;
    static constexpr double swipeInterval = 0.22;

    ContentView(AppContext& ctx, ViewSlots slots);
    ~ContentView() override;

    SidebarHost& sidebarHost() { return m_host; }
    // `make` builds the window's controls (a new managed widget on every call).
    void setChromeStart(std::function<Gtk::Widget*()> make) { m_dock.setChromeStart(std::move(make)); }

    // Moves to the neighbouring space (-1 or +1): ignored within 0.22 s of the last accepted
    // swipe and at either end of the list of spaces.
    void switchToAdjacentSpace(int step);
    int lastSpaceSwipeStep() const { return m_lastSpaceSwipeStep; }

    bool isDocked() const { return m_host.isPinned(); }
    SidebarDock& dock() { return m_dock; }
    PageArea& pageArea() { return m_pageArea; }
    PanelOverlays& panels() { return m_panels; }

private:
    AppContext& m_ctx;
    SidebarHost m_host;
    PageArea m_pageArea;
    SidebarDock m_dock;
    PanelOverlays m_panels;

    Date m_lastSpaceSwipeAt = Date::distantPast();
    int m_lastSpaceSwipeStep = 0;
};

} // namespace kovi
