#pragma once

#include "core/support/scoped_connections.h"
#include "ui/design/motion.h"
#include "ui/design/slide_bin.h"
#include "ui/design/window_chrome.h"

#include <gtkmm/box.h>
#include <gtkmm/eventcontrollermotion.h>
#include <gtkmm/overlay.h>
#include <sigc++/connection.h>

#include <memory>

namespace kovi {

struct AppContext;
class SidebarHost;

// The sidebar's floating form: the page area under a panel that slides in from the leading edge
// while SidebarHost::isSidebarVisible. A 6-px strip at that edge reveals it; it hides again
// 0.3 s after the pointer leaves it (unless the pointer is back or still on it, one of its menus
// is open, the history or downloads panel is open or the sidebar locks it) and on a tap beside
// it, where a light scrim lies over the page. Opening the history or downloads panel reveals it;
// once they have closed it hides again in the same way.
class FloatingSidebar : public Gtk::Overlay {
public:
    static constexpr unsigned hideOnLeaveDelayMs = 300;

    FloatingSidebar(AppContext& ctx, SidebarHost& host);
    ~FloatingSidebar() override;

    // Where the sidebar column and the page area go while the sidebar floats.
    Gtk::Box& columnSlot() { return m_sidebarSlot; }
    Gtk::Box& pageSlot() { return m_pageSlot; }
    // Follows BrowserState::sidebarWidth (the panel's width and, while hidden, its offset).
    void refreshWidth();
    // Shows or hides the panel as SidebarHost::isSidebarVisible says.
    void refreshVisibility(bool animated);

    // ---- Inspection and pointer stand-ins, for tests ----
    SidebarResizeHandle& resizeHandle() { return m_handle; }
    Gtk::Widget& panel() { return m_panel; }
    Gtk::Widget& scrim() { return m_scrim; }
    double offset() const { return m_slide.offset(); }
    void pointerEnteredRevealStrip();
    void pointerEnteredPanel();
    void pointerLeftPanel();
    void tapScrim();

private:
    void refreshMaterial();
    double hiddenOffset() const;
    void panelFlagChanged(bool visible);
    bool hideOnLeaveCheck();
    bool isPointerOnPanel() const;

    AppContext& m_ctx;
    SidebarHost& m_host;
    sigc::connection m_hideTimer;

    Gtk::Box m_pageSlot{Gtk::Orientation::VERTICAL};
    Gtk::Box m_scrim;
    Gtk::Box m_revealStrip;
    SlideBin m_slide;
    Gtk::Overlay m_panelOverlay;
    Gtk::Overlay m_panel;
    VisualEffectBlur m_material;
    Gtk::Box m_sidebarSlot{Gtk::Orientation::VERTICAL};
    SidebarResizeHandle m_handle;
    Glib::RefPtr<Gtk::EventControllerMotion> m_panelMotion;
    std::unique_ptr<MotionValue> m_slideMotion;
    std::unique_ptr<MotionValue> m_scrimMotion;
    ScopedConnections m_connections;
};

} // namespace kovi
