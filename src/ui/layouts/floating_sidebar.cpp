#include "ui/layouts/floating_sidebar.h"

#include "core/settings/appearance_manager.h"
#include "core/state/browser_state.h"
#include "ui/base/app_context.h"
#include "ui/base/sidebar_host.h"
#include "ui/design/kovi_design.h"

#include <glibmm/main.h>
#include <gtkmm/gestureclick.h>
#include <gtkmm/popover.h>

#include <algorithm>

namespace kovi {

namespace {

// Spring of the reveal and the hide (response, damping).
constexpr KoviDesign::Motion revealAnimation = KoviDesign::Motion::springOf(0.32, 0.88);
constexpr KoviDesign::Motion hideAnimation = KoviDesign::Motion::springOf(0.34, 0.9);

bool hasOpenPopover(Gtk::Widget& widget)
{
    for (auto* child = widget.get_first_child(); child; child = child->get_next_sibling()) {
        if (dynamic_cast<Gtk::Popover*>(child) ? child->get_visible() : hasOpenPopover(*child))
            return true;
    }
    return false;
}

} // namespace

FloatingSidebar::FloatingSidebar(AppContext& ctx, SidebarHost& host) : m_ctx(ctx), m_host(host), m_handle(ctx.state)
{
    add_css_class("kovi-floating");
    set_hexpand(true);
    set_vexpand(true);
    m_pageSlot.set_hexpand(true);
    m_pageSlot.set_vexpand(true);
    set_child(m_pageSlot);

    m_scrim.add_css_class("kovi-float-scrim");
    m_scrim.set_hexpand(true);
    m_scrim.set_vexpand(true);
    auto scrimClick = Gtk::GestureClick::create();
    scrimClick->signal_released().connect([this](int count, double, double) {
        if (count == 1)
            tapScrim();
    });
    m_scrim.add_controller(scrimClick);
    add_overlay(m_scrim);
    m_scrimMotion = std::make_unique<MotionValue>(m_scrim, 0.0, [this](double v) { m_scrim.set_opacity(v); });

    m_revealStrip.add_css_class("kovi-reveal-strip");
    m_revealStrip.set_size_request(6, -1);
    m_revealStrip.set_halign(Gtk::Align::START);
    m_revealStrip.set_vexpand(true);
    auto stripMotion = Gtk::EventControllerMotion::create();
    stripMotion->signal_enter().connect([this](double, double) { pointerEnteredRevealStrip(); });
    m_revealStrip.add_controller(stripMotion);
    add_overlay(m_revealStrip);

    m_panel.add_css_class("kovi-floating-sidebar");
    m_panel.set_overflow(Gtk::Overflow::HIDDEN);
    m_panel.set_margin(8);
    m_panel.set_vexpand(true);
    m_material.set_hexpand(true);
    m_material.set_vexpand(true);
    m_panel.set_child(m_material);
    m_sidebarSlot.set_hexpand(true);
    m_sidebarSlot.set_vexpand(true);
    m_panel.add_overlay(m_sidebarSlot);
    m_panelMotion = Gtk::EventControllerMotion::create();
    m_panelMotion->signal_enter().connect([this](double, double) { pointerEnteredPanel(); });
    m_panelMotion->signal_leave().connect([this] { pointerLeftPanel(); });
    m_panel.add_controller(m_panelMotion);

    m_panelOverlay.set_child(m_panel);
    m_handle.set_halign(Gtk::Align::END);
    m_handle.set_valign(Gtk::Align::CENTER);
    m_handle.set_vexpand(false);
    m_handle.set_size_request(SidebarResizeHandle::handleWidth + 2 * SidebarResizeHandle::hitInset, 520);
    m_handle.set_margin_end(10 - SidebarResizeHandle::hitInset);
    m_panelOverlay.add_overlay(m_handle);

    m_slide.setChild(&m_panelOverlay);
    m_slide.set_halign(Gtk::Align::START);
    m_slide.set_vexpand(true);
    add_overlay(m_slide);
    m_slideMotion = std::make_unique<MotionValue>(m_slide, 0.0, [this](double v) { m_slide.setOffset(v); });

    BrowserState& state = m_ctx.state;
    m_connections.add(state.isHistoryPanelVisibleChanged.connect(
        [this] { panelFlagChanged(m_ctx.state.isHistoryPanelVisible()); }));
    m_connections.add(state.isDownloadsPanelVisibleChanged.connect(
        [this] { panelFlagChanged(m_ctx.state.isDownloadsPanelVisible()); }));
    // Its address field let go (Enter, Escape): hidden unless the pointer is on it, as after a
    // leave. The field may have revealed it by key with the pointer elsewhere.
    m_connections.add(m_host.isInteractionLockedChanged.connect([this] {
        if (!m_host.isInteractionLocked())
            pointerLeftPanel();
    }));
    m_connections.add(m_ctx.appearance.isDarkModeChanged.connect([this] { refreshMaterial(); }));
    refreshMaterial();
}

FloatingSidebar::~FloatingSidebar()
{
    m_connections.clear();
    m_hideTimer.disconnect();
    // The panel is a member declared after the slide holder: let go of it before either dies.
    m_slide.setChild(nullptr);
    m_slideMotion.reset();
    m_scrimMotion.reset();
}

void FloatingSidebar::refreshWidth()
{
    m_panel.set_size_request(static_cast<int>(m_ctx.state.sidebarWidth()), -1);
    if (!m_host.isSidebarVisible())
        m_slideMotion->jumpTo(hiddenOffset());
}

double FloatingSidebar::hiddenOffset() const
{
    // Fully out of view, also when the sidebar's content makes it wider than the stored width.
    int min = 0, natural = 0, minBaseline = 0, naturalBaseline = 0;
    m_sidebarSlot.measure(Gtk::Orientation::HORIZONTAL, -1, min, natural, minBaseline, naturalBaseline);
    return -(std::max(m_ctx.state.sidebarWidth(), static_cast<double>(min)) + 30);
}

void FloatingSidebar::refreshMaterial()
{
    m_material.setMaterial(m_ctx.appearance.isDarkMode() ? VisualEffectBlur::Material::hudWindow
                                                         : VisualEffectBlur::Material::sidebar);
}

void FloatingSidebar::refreshVisibility(bool animated)
{
    const bool visible = m_host.isSidebarVisible();
    const double target = visible ? 0.0 : hiddenOffset();
    m_slide.set_can_target(visible);
    if (!visible || m_host.isPinned())
        m_hideTimer.disconnect();
    // Wholly out of view, the panel is not drawn at all: a loading tab's spinner in it would keep
    // the window redrawing.
    if (visible)
        m_slide.set_visible(true);
    if (animated) {
        m_slideMotion->animateTo(target, visible ? revealAnimation : hideAnimation,
                                 [this] { m_slide.set_visible(m_host.isSidebarVisible()); });
        if (visible)
            m_scrim.set_visible(true);
        m_scrimMotion->animateTo(visible ? 1.0 : 0.0, KoviDesign::Animation::fast,
                                 [this] { m_scrim.set_visible(m_host.isSidebarVisible()); });
    } else {
        m_slideMotion->jumpTo(target);
        m_slide.set_visible(visible);
        m_scrimMotion->jumpTo(visible ? 1.0 : 0.0);
        m_scrim.set_visible(visible);
    }
    m_scrim.set_can_target(visible);
}

void FloatingSidebar::pointerEnteredRevealStrip()
{
    if (!m_host.isPinned() && !m_host.isSidebarVisible())
        m_host.setIsSidebarVisible(true);
}

void FloatingSidebar::pointerEnteredPanel()
{
    m_hideTimer.disconnect(); // back on the panel before it went
}

void FloatingSidebar::pointerLeftPanel()
{
    if (m_host.isPinned() || !m_host.isSidebarVisible())
        return;
    m_hideTimer.disconnect();
    m_hideTimer = Glib::signal_timeout().connect([this] { return hideOnLeaveCheck(); }, hideOnLeaveDelayMs);
}

bool FloatingSidebar::hideOnLeaveCheck()
{
    const BrowserState& state = m_ctx.state;
    if (m_host.isPinned() || !m_host.isSidebarVisible() || state.isHistoryPanelVisible() ||
        state.isDownloadsPanelVisible() || m_host.isInteractionLocked())
        return false;
    // A leave reported while the pointer is still on the panel (a row or a popover took it)
    // hides nothing; the next real leave starts the delay again. A pointer the panel never saw
    // come in (it came back from a menu over it) sends no leave: look again until it goes.
    if (isPointerOnPanel())
        return !m_panelMotion->contains_pointer();
    // One of the sidebar's menus is open: look again once it may have closed.
    if (hasOpenPopover(m_panel))
        return true;
    m_host.setIsSidebarVisible(false);
    return false;
}

bool FloatingSidebar::isPointerOnPanel() const
{
    if (m_panelMotion->contains_pointer())
        return true;
    auto* native = gtk_widget_get_native(GTK_WIDGET(m_panel.gobj()));
    GdkSurface* surface = native ? gtk_native_get_surface(native) : nullptr;
    GdkSeat* seat = surface ? gdk_display_get_default_seat(gdk_surface_get_display(surface)) : nullptr;
    GdkDevice* pointer = seat ? gdk_seat_get_pointer(seat) : nullptr;
    double x = 0, y = 0, dx = 0, dy = 0;
    graphene_rect_t bounds;
    if (!pointer || !gdk_surface_get_device_position(surface, pointer, &x, &y, nullptr) ||
        !gtk_widget_compute_bounds(GTK_WIDGET(m_panel.gobj()), GTK_WIDGET(native), &bounds))
        return false;
    gtk_native_get_surface_transform(native, &dx, &dy);
    const graphene_point_t at = GRAPHENE_POINT_INIT(static_cast<float>(x - dx), static_cast<float>(y - dy));
    return graphene_rect_contains_point(&bounds, &at);
}

void FloatingSidebar::tapScrim()
{
    if (m_host.isSidebarVisible())
        m_host.setIsSidebarVisible(false);
}

void FloatingSidebar::panelFlagChanged(bool visible)
{
    // Opening the history or downloads panel slides the sidebar in; once neither is open it goes
    // again as after the pointer left it (not while the pointer or one of its menus is on it).
    const BrowserState& state = m_ctx.state;
    if (visible && !m_host.isSidebarVisible() && !m_host.isPinned())
        m_host.setIsSidebarVisible(true);
    else if (!visible && !state.isHistoryPanelVisible() && !state.isDownloadsPanelVisible())
        pointerLeftPanel();
}

} // namespace kovi
