#pragma once

#include "core/support/date.h"
#include "core/support/uuid.h"
#include "ui/design/overlay_layer.h"
#include "ui/design/page_transition.h"
#include "ui/base/sidebar_host.h"
#include "ui/design/slide_bin.h"
#include "ui/base/view_parts.h"
#include "ui/design/window_chrome.h"
#include "ui/design/motion.h"
#include "ui/design/styles.h"

#include <gtkmm/box.h>
#include <gtkmm/overlay.h>

#include <memory>
#include <optional>
#include <vector>

namespace kovi {

struct AppContext;
class EmptyStateView;

// The window content of the sidebar layout: the sidebar (docked as a resizable column, or
// floating as a panel that slides in from the leading edge), the page area (split view, the
// active tab's page, or the start page), and the overlays above both (command bar, find bar,
// history and downloads panels).
//
// Where other areas plug in: see ViewParts (view_parts.h). The sidebar receives sidebarHost()
// for its two-way flags, the space swipe and the window's own controls. setChromeStart() puts
// those controls (the menu button) in a strip above the sidebar until the sidebar takes them
// into its top bar (SidebarHost::takeChromeWidget).
class ContentView : public Gtk::Overlay {
public:
    static constexpr int minimumWidth = 700;
    static constexpr int minimumHeight = 450;
    static constexpr double bezelPadding = 8;
    static constexpr double cornerRadius = 12;
    static constexpr int chromeStripHeight = 38;
    static constexpr double swipeInterval = 0.22;
    static constexpr unsigned hideOnLeaveDelayMs = 300;

    ContentView(AppContext& ctx, ViewParts parts);
    ~ContentView() override;

    SidebarHost& sidebarHost() { return m_host; }
    // `make` builds the window's controls (a new managed widget on every call).
    void setChromeStart(std::function<Gtk::Widget*()> make);

    // Moves to the neighbouring space (-1 or +1): ignored within 0.22 s of the last accepted
    // swipe and at either end of the list of spaces.
    void switchToAdjacentSpace(int step);
    int lastSpaceSwipeStep() const { return m_lastSpaceSwipeStep; }

    // ---- Inspection and pointer stand-ins, for tests ----
    bool isDocked() const { return m_host.isPinned(); }
    Gtk::Widget* shownPage() const;
    EmptyStateView* startPage() const;
    Gtk::Widget& sidebarColumn() { return m_sidebarColumn; }
    Gtk::Widget& chromeStrip() { return m_chromeStrip; }
    Gtk::Widget* sidebarWidget() const { return m_sidebar; }
    SidebarResizeHandle& dockedResizeHandle() { return m_dockedHandle; }
    SidebarResizeHandle& floatingResizeHandle() { return m_floatHandle; }
    Gtk::Widget& dragStripWhenBezelOff() { return m_bezelOffDrag; }
    BrowserSurface& browserSurface() { return m_surface; }
    OverlayLayer& commandBarLayer() { return m_commandBarLayer; }
    OverlayLayer& findBarLayer() { return m_findLayer; }
    OverlayLayer& historyLayer() { return m_historyLayer; }
    OverlayLayer& downloadsLayer() { return m_downloadsLayer; }
    Gtk::Widget& floatingScrim() { return m_floatScrim; }
    double floatingSidebarOffset() const { return m_slide.offset(); }
    void pointerEnteredRevealStrip();
    void pointerLeftFloatingSidebar();
    void tapFloatingScrim();

private:
    enum class PageKind { none, start, tab, split };

    void buildDocked();
    void buildFloating();
    void applyForm();
    void refreshPage();
    void refreshSidebarWidth();
    void refreshBezel();
    void refreshMaterial();
    void refreshFloatingVisibility(bool animated);
    double floatingHiddenOffset() const;
    void refreshOverlay(OverlayLayer& layer, bool visible, const std::function<Gtk::Widget*(AppContext&)>& make);
    void panelFlagChanged(bool visible);
    void hideOnLeaveCheck();

    AppContext& m_ctx;
    ViewParts m_parts;
    SidebarHost m_host;
    std::vector<sigc::connection> m_connections;
    std::vector<sigc::connection> m_timers;

    Gtk::Box m_formHolder;

    // Sidebar column: the chrome strip (window controls, drag area), then the sidebar.
    Gtk::Box m_sidebarColumn{Gtk::Orientation::VERTICAL};
    Gtk::Box m_chromeStrip{Gtk::Orientation::HORIZONTAL};
    Gtk::Box m_chromeStartSlot{Gtk::Orientation::HORIZONTAL};
    Gtk::Box m_sidebarSlot{Gtk::Orientation::VERTICAL};
    Gtk::Widget* m_sidebar = nullptr;
    Gtk::Widget* m_chromeStart = nullptr;

    // Page area: the bookmarks bar, then the framed page with its corner overlays.
    Gtk::Box m_pageArea{Gtk::Orientation::VERTICAL};
    Gtk::Box m_bookmarkSlot{Gtk::Orientation::VERTICAL};
    Gtk::Overlay m_pageOverlay;
    BrowserSurface m_surface;
    PageTransition m_pages;
    WindowDragHandle m_bezelOffDrag;
    Gtk::Box m_splitToolbarSlot{Gtk::Orientation::HORIZONTAL};
    PageKind m_pageKind = PageKind::none;
    std::optional<Uuid> m_pageTabId;
    std::optional<Uuid> m_pageSpaceId;

    // Docked form.
    Gtk::Overlay m_docked;
    Gtk::Box m_dockedRow{Gtk::Orientation::HORIZONTAL};
    Gtk::Box m_dockedSidebarSlot{Gtk::Orientation::VERTICAL};
    Gtk::Box m_dockedPageSlot{Gtk::Orientation::VERTICAL};
    SidebarResizeHandle m_dockedHandle;

    // Floating form.
    Gtk::Overlay m_floating;
    Gtk::Box m_floatingPageSlot{Gtk::Orientation::VERTICAL};
    Gtk::Box m_floatScrim;
    Gtk::Box m_revealStrip;
    SlideBin m_slide;
    Gtk::Overlay m_floatPanelOverlay;
    Gtk::Overlay m_floatPanel;
    VisualEffectBlur m_floatMaterial;
    Gtk::Box m_floatSidebarSlot{Gtk::Orientation::VERTICAL};
    SidebarResizeHandle m_floatHandle;
    std::unique_ptr<MotionValue> m_slideMotion;
    std::unique_ptr<MotionValue> m_formFade; // docked ↔ floating
    std::unique_ptr<MotionValue> m_floatScrimMotion;

    // Overlays.
    OverlayLayer m_commandBarLayer;
    OverlayLayer m_findLayer;
    OverlayLayer m_historyLayer;
    OverlayLayer m_downloadsLayer;

    Date m_lastSpaceSwipeAt = Date::distantPast();
    int m_lastSpaceSwipeStep = 0;
};

} // namespace kovi
