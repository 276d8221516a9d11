#include "ui/app/content_view.h"

#include "core/settings/appearance_manager.h"
#include "core/state/browser_state.h"
#include "ui/base/app_context.h"
#include "ui/layouts/empty_state_view.h"
#include "ui/design/kovi_design.h"

#include <glibmm/main.h>
#include <gtkmm/eventcontrollermotion.h>
#include <gtkmm/gestureclick.h>

#include <algorithm>

namespace kovi {

namespace {

// Spring of the floating sidebar's reveal and hide (response, damping).
constexpr KoviDesign::Motion sidebarRevealAnimation = KoviDesign::Motion::springOf(0.32, 0.88);
constexpr KoviDesign::Motion sidebarHideAnimation = KoviDesign::Motion::springOf(0.34, 0.9);
// The page area follows a space change on this spring.
constexpr KoviDesign::Motion spaceSlideAnimation = KoviDesign::Motion::springOf(0.3, 0.9);

void removeFromParent(Gtk::Widget& widget)
{
    if (auto* parent = widget.get_parent()) {
        if (auto* box = dynamic_cast<Gtk::Box*>(parent))
            box->remove(widget);
        else
            widget.unparent();
    }
}

} // namespace

ContentView::ContentView(AppContext& ctx, ViewParts parts)
    : m_ctx(ctx), m_parts(std::move(parts)), m_pages(spaceSlideAnimation), m_dockedHandle(ctx.state),
      m_floatHandle(ctx.state),
      m_commandBarLayer(false, {}, 0.98), m_findLayer(false, {}, 1.0),
      m_historyLayer(true, [this] { m_ctx.state.setIsHistoryPanelVisible(false); }),
      m_downloadsLayer(true, [this] { m_ctx.state.setIsDownloadsPanelVisible(false); })
{
    add_css_class("kovi-content-view");
    add_css_class("kovi-chrome");
    set_size_request(minimumWidth, minimumHeight);
    set_hexpand(true);
    set_vexpand(true);

    // Sidebar column.
    m_sidebarColumn.add_css_class("kovi-sidebar-column");
    m_sidebarColumn.set_hexpand(false);
    m_chromeStrip.add_css_class("kovi-chrome-strip");
    m_chromeStrip.set_size_request(-1, chromeStripHeight);
    m_chromeStartSlot.set_valign(Gtk::Align::CENTER);
    m_chromeStartSlot.set_margin_start(8);
    m_chromeStrip.append(m_chromeStartSlot);
    m_chromeStrip.append(*Gtk::make_managed<WindowDragHandle>());
    m_chromeStrip.set_visible(false); // until the window gives its controls
    m_sidebarColumn.append(m_chromeStrip);
    m_sidebarSlot.set_vexpand(true);
    m_sidebarColumn.append(m_sidebarSlot);
    m_host.onSpaceSwipe = [this](int step) { switchToAdjacentSpace(step); };
    if (m_parts.sidebar) {
        m_sidebar = m_parts.sidebar(m_ctx, m_host);
        if (m_sidebar) {
            m_sidebar->set_vexpand(true);
            m_sidebarSlot.append(*m_sidebar);
        }
    }

    // Page area.
    m_pageArea.add_css_class("kovi-page-area");
    m_pageArea.set_hexpand(true);
    m_pageArea.set_vexpand(true);
    if (m_parts.bookmarkStrip) {
        if (auto* strip = m_parts.bookmarkStrip(m_ctx))
            m_bookmarkSlot.append(*strip);
    }
    m_pageArea.append(m_bookmarkSlot);
    m_pages.add_css_class("kovi-content-bg");
    m_pages.set_hexpand(true);
    m_pages.set_vexpand(true);
    m_surface.setContent(&m_pages);
    m_pageOverlay.set_child(m_surface);
    m_pageOverlay.set_vexpand(true);
    m_bezelOffDrag.set_valign(Gtk::Align::START);
    m_bezelOffDrag.set_size_request(-1, 6);
    m_pageOverlay.add_overlay(m_bezelOffDrag);
    m_splitToolbarSlot.set_halign(Gtk::Align::END);
    m_splitToolbarSlot.set_valign(Gtk::Align::START);
    m_splitToolbarSlot.set_margin_top(8);
    m_splitToolbarSlot.set_margin_end(8);
    m_splitToolbarSlot.set_visible(false);
    m_pageOverlay.add_overlay(m_splitToolbarSlot);
    m_pageArea.append(m_pageOverlay);

    buildDocked();
    buildFloating();

    m_formHolder.set_hexpand(true);
    m_formHolder.set_vexpand(true);
    set_child(m_formHolder);
    m_formFade = std::make_unique<MotionValue>(m_formHolder, 1.0, [this](double v) { m_formHolder.set_opacity(v); });

    // Overlays, back to front.
    m_findLayer.set_halign(Gtk::Align::END);
    m_findLayer.set_valign(Gtk::Align::START);
    for (OverlayLayer* layer : {&m_commandBarLayer, &m_findLayer, &m_historyLayer, &m_downloadsLayer})
        add_overlay(*layer);

    BrowserState& state = m_ctx.state;
    m_connections.push_back(state.activeTabIdChanged.connect([this] { refreshPage(); }));
    m_connections.push_back(state.currentSpaceIdChanged.connect([this] { refreshPage(); }));
    m_connections.push_back(state.splitViewConfigChanged.connect([this] { refreshPage(); }));
    m_connections.push_back(state.isBrowserBezelEnabledChanged.connect([this] { refreshBezel(); }));
    m_connections.push_back(state.sidebarWidthChanged.connect([this] { refreshSidebarWidth(); }));
    m_connections.push_back(state.isCommandBarVisibleChanged.connect([this] {
        refreshOverlay(m_commandBarLayer, m_ctx.state.isCommandBarVisible(), m_parts.commandBar);
    }));
    m_connections.push_back(state.isFindInPageVisibleChanged.connect([this] {
        refreshOverlay(m_findLayer, m_ctx.state.isFindInPageVisible(), m_parts.findBar);
        refreshBezel();
    }));
    m_connections.push_back(state.isHistoryPanelVisibleChanged.connect([this] {
        refreshOverlay(m_historyLayer, m_ctx.state.isHistoryPanelVisible(), m_parts.historyPanel);
        panelFlagChanged(m_ctx.state.isHistoryPanelVisible());
    }));
    m_connections.push_back(state.isDownloadsPanelVisibleChanged.connect([this] {
        refreshOverlay(m_downloadsLayer, m_ctx.state.isDownloadsPanelVisible(), m_parts.downloadsPanel);
        panelFlagChanged(m_ctx.state.isDownloadsPanelVisible());
    }));
    m_connections.push_back(m_ctx.appearance.isDarkModeChanged.connect([this] { refreshMaterial(); }));
    m_connections.push_back(m_host.isPinnedChanged.connect([this] {
        applyForm();
        // The new form fades in over a quarter of a second.
        m_formFade->jumpTo(0.35);
        m_formFade->animateTo(1.0, KoviDesign::Motion::easeInOut(0.25));
    }));
    m_connections.push_back(m_host.isSidebarVisibleChanged.connect([this] { refreshFloatingVisibility(true); }));

    applyForm();
    refreshSidebarWidth();
    refreshBezel();
    refreshMaterial();
    refreshPage();
    refreshFloatingVisibility(false);
    // Panels already open when the view is built (the flags belong to the state).
    refreshOverlay(m_commandBarLayer, state.isCommandBarVisible(), m_parts.commandBar);
    refreshOverlay(m_findLayer, state.isFindInPageVisible(), m_parts.findBar);
    refreshOverlay(m_historyLayer, state.isHistoryPanelVisible(), m_parts.historyPanel);
    refreshOverlay(m_downloadsLayer, state.isDownloadsPanelVisible(), m_parts.downloadsPanel);
}

ContentView::~ContentView()
{
    for (auto& c : m_connections)
        c.disconnect();
    for (auto& c : m_timers)
        c.disconnect();
    // The panel is a member declared after the slide holder: let go of it before either dies.
    m_slide.setChild(nullptr);
    m_slideMotion.reset();
    m_floatScrimMotion.reset();
    m_formFade.reset();
}

void ContentView::buildDocked()
{
    m_docked.add_css_class("kovi-docked");
    m_dockedSidebarSlot.add_css_class("kovi-chrome");
    m_dockedSidebarSlot.set_hexpand(false);
    m_dockedPageSlot.add_css_class("kovi-chrome");
    m_dockedPageSlot.set_hexpand(true);
    m_dockedPageSlot.set_vexpand(true);
    m_dockedRow.append(m_dockedSidebarSlot);
    m_dockedRow.append(m_dockedPageSlot);
    m_docked.set_child(m_dockedRow);
    // The handle straddles the column's trailing edge: its 6-px strip lies inside the column,
    // its hit area 6 px beyond on either side.
    m_dockedHandle.set_halign(Gtk::Align::START);
    m_dockedHandle.set_vexpand(true);
    m_docked.add_overlay(m_dockedHandle);
    // Placed from the column's real width: a sidebar whose content needs more than the stored
    // width is wider than it, and the handle belongs on its visible edge.
    m_docked.signal_get_child_position().connect(
        [this](Gtk::Widget* child, Gdk::Rectangle& allocation) {
            if (child != &m_dockedHandle)
                return false;
            int min = 0, natural = 0, minBaseline = 0, naturalBaseline = 0;
            m_dockedHandle.measure(Gtk::Orientation::HORIZONTAL, -1, min, natural, minBaseline, naturalBaseline);
            const int edge = std::max(m_dockedSidebarSlot.get_width(), static_cast<int>(m_ctx.state.sidebarWidth()));
            allocation = Gdk::Rectangle(std::max(0, edge - SidebarResizeHandle::handleWidth - SidebarResizeHandle::hitInset),
                                        0, natural, m_docked.get_height());
            return true;
        },
        false);
}

void ContentView::buildFloating()
{
    m_floating.add_css_class("kovi-floating");
    m_floatingPageSlot.set_hexpand(true);
    m_floatingPageSlot.set_vexpand(true);
    m_floating.set_child(m_floatingPageSlot);

    m_floatScrim.add_css_class("kovi-float-scrim");
    m_floatScrim.set_hexpand(true);
    m_floatScrim.set_vexpand(true);
    auto scrimClick = Gtk::GestureClick::create();
    scrimClick->signal_released().connect([this](int count, double, double) {
        if (count == 1)
            tapFloatingScrim();
    });
    m_floatScrim.add_controller(scrimClick);
    m_floating.add_overlay(m_floatScrim);
    m_floatScrimMotion = std::make_unique<MotionValue>(m_floatScrim, 0.0, [this](double v) { m_floatScrim.set_opacity(v); });

    m_revealStrip.add_css_class("kovi-reveal-strip");
    m_revealStrip.set_size_request(6, -1);
    m_revealStrip.set_halign(Gtk::Align::START);
    m_revealStrip.set_vexpand(true);
    auto stripMotion = Gtk::EventControllerMotion::create();
    stripMotion->signal_enter().connect([this](double, double) { pointerEnteredRevealStrip(); });
    m_revealStrip.add_controller(stripMotion);
    m_floating.add_overlay(m_revealStrip);

    m_floatPanel.add_css_class("kovi-floating-sidebar");
    m_floatPanel.set_overflow(Gtk::Overflow::HIDDEN);
    m_floatPanel.set_margin(8);
    m_floatPanel.set_vexpand(true);
    m_floatMaterial.set_hexpand(true);
    m_floatMaterial.set_vexpand(true);
    m_floatPanel.set_child(m_floatMaterial);
    m_floatSidebarSlot.set_hexpand(true);
    m_floatSidebarSlot.set_vexpand(true);
    m_floatPanel.add_overlay(m_floatSidebarSlot);
    auto panelMotion = Gtk::EventControllerMotion::create();
    panelMotion->signal_leave().connect([this] { pointerLeftFloatingSidebar(); });
    m_floatPanel.add_controller(panelMotion);

    m_floatPanelOverlay.set_child(m_floatPanel);
    m_floatHandle.set_halign(Gtk::Align::END);
    m_floatHandle.set_valign(Gtk::Align::CENTER);
    m_floatHandle.set_vexpand(false);
    m_floatHandle.set_size_request(SidebarResizeHandle::handleWidth + 2 * SidebarResizeHandle::hitInset, 520);
    m_floatHandle.set_margin_end(10 - SidebarResizeHandle::hitInset);
    m_floatPanelOverlay.add_overlay(m_floatHandle);

    m_slide.setChild(&m_floatPanelOverlay);
    m_slide.set_halign(Gtk::Align::START);
    m_slide.set_vexpand(true);
    m_floating.add_overlay(m_slide);
    m_slideMotion = std::make_unique<MotionValue>(m_slide, 0.0, [this](double v) { m_slide.setOffset(v); });
}

void ContentView::setChromeStart(std::function<Gtk::Widget*()> make)
{
    if (m_chromeStart)
        m_chromeStartSlot.remove(*m_chromeStart);
    m_chromeStart = make ? make() : nullptr;
    if (m_chromeStart)
        m_chromeStartSlot.append(*m_chromeStart);
    m_chromeStrip.set_visible(m_chromeStart != nullptr);
    m_host.onTakeChrome = [this, make]() -> Gtk::Widget* {
        // A fresh set for the sidebar's top bar: the strip is no longer needed.
        if (m_chromeStart) {
            m_chromeStartSlot.remove(*m_chromeStart);
            m_chromeStart = nullptr;
        }
        m_chromeStrip.set_visible(false);
        return make ? make() : nullptr;
    };
    m_host.setChromeWidget(m_chromeStart);
}

void ContentView::applyForm()
{
    removeFromParent(m_sidebarColumn);
    removeFromParent(m_pageArea);
    if (auto* child = m_formHolder.get_first_child())
        m_formHolder.remove(*child);
    if (m_host.isPinned()) {
        m_dockedSidebarSlot.append(m_sidebarColumn);
        m_dockedPageSlot.append(m_pageArea);
        m_sidebarColumn.remove_css_class("floating");
        m_formHolder.append(m_docked);
    } else {
        m_floatSidebarSlot.append(m_sidebarColumn);
        m_floatingPageSlot.append(m_pageArea);
        m_sidebarColumn.add_css_class("floating");
        m_formHolder.append(m_floating);
        refreshFloatingVisibility(false);
    }
    m_docked.set_hexpand(true);
    m_floating.set_hexpand(true);
    m_docked.set_vexpand(true);
    m_floating.set_vexpand(true);
}

void ContentView::refreshSidebarWidth()
{
    const int width = static_cast<int>(m_ctx.state.sidebarWidth());
    m_sidebarColumn.set_size_request(width, -1);
    m_dockedSidebarSlot.set_size_request(width, -1);
    m_floatPanel.set_size_request(width, -1);
    m_docked.queue_allocate();
    if (!m_host.isSidebarVisible())
        m_slideMotion->jumpTo(floatingHiddenOffset());
}

double ContentView::floatingHiddenOffset() const
{
    // Fully out of view, also when the sidebar's content makes it wider than the stored width.
    int min = 0, natural = 0, minBaseline = 0, naturalBaseline = 0;
    m_sidebarColumn.measure(Gtk::Orientation::HORIZONTAL, -1, min, natural, minBaseline, naturalBaseline);
    return -(std::max(m_ctx.state.sidebarWidth(), static_cast<double>(min)) + 30);
}

void ContentView::refreshBezel()
{
    const bool bezel = m_ctx.state.isBrowserBezelEnabled();
    m_surface.setBezelEnabled(bezel);
    m_bezelOffDrag.set_visible(!bezel);
    m_findLayer.set_margin_top(bezel ? static_cast<int>(bezelPadding + 12) : 12);
    m_findLayer.set_margin_end(bezel ? static_cast<int>(bezelPadding + 12) : 16);
}

void ContentView::refreshMaterial()
{
    m_floatMaterial.setMaterial(m_ctx.appearance.isDarkMode() ? VisualEffectBlur::Material::hudWindow
                                                             : VisualEffectBlur::Material::sidebar);
}

void ContentView::refreshFloatingVisibility(bool animated)
{
    const bool visible = m_host.isSidebarVisible();
    const double target = visible ? 0.0 : floatingHiddenOffset();
    m_slide.set_can_target(visible);
    // Wholly out of view, the panel is not drawn at all: a loading tab's spinner in it would keep
    // the window redrawing.
    if (visible)
        m_slide.set_visible(true);
    if (animated) {
        m_slideMotion->animateTo(target, visible ? sidebarRevealAnimation : sidebarHideAnimation,
                                 [this] { m_slide.set_visible(m_host.isSidebarVisible()); });
        if (visible)
            m_floatScrim.set_visible(true);
        m_floatScrimMotion->animateTo(visible ? 1.0 : 0.0, KoviDesign::Animation::fast, [this] {
            m_floatScrim.set_visible(m_host.isSidebarVisible());
        });
    } else {
        m_slideMotion->jumpTo(target);
        m_slide.set_visible(visible);
        m_floatScrimMotion->jumpTo(visible ? 1.0 : 0.0);
        m_floatScrim.set_visible(visible);
    }
    m_floatScrim.set_can_target(visible);
}

void ContentView::pointerEnteredRevealStrip()
{
    if (!m_host.isPinned() && !m_host.isSidebarVisible())
        m_host.setIsSidebarVisible(true);
}

void ContentView::pointerLeftFloatingSidebar()
{
    if (m_host.isPinned() || !m_host.isSidebarVisible())
        return;
    // Not cancelled by coming back: the check reads the flags when it runs.
    m_timers.push_back(Glib::signal_timeout().connect(
        [this] {
            hideOnLeaveCheck();
            return false;
        },
        hideOnLeaveDelayMs));
}

void ContentView::hideOnLeaveCheck()
{
    const BrowserState& state = m_ctx.state;
    if (!state.isHistoryPanelVisible() && !state.isDownloadsPanelVisible() && !m_host.isInteractionLocked())
        m_host.setIsSidebarVisible(false);
}

void ContentView::tapFloatingScrim()
{
    if (m_host.isSidebarVisible())
        m_host.setIsSidebarVisible(false);
}

void ContentView::panelFlagChanged(bool visible)
{
    // Opening the history or downloads panel slides the floating sidebar in; closing does nothing.
    if (visible && !m_host.isSidebarVisible() && !m_host.isPinned())
        m_host.setIsSidebarVisible(true);
}

void ContentView::refreshOverlay(OverlayLayer& layer, bool visible,
                                 const std::function<Gtk::Widget*(AppContext&)>& make)
{
    if (visible == layer.isPresented())
        return;
    if (!visible) {
        layer.dismiss();
        return;
    }
    Gtk::Widget* content = make ? make(m_ctx) : nullptr;
    if (!content && &layer != &m_historyLayer && &layer != &m_downloadsLayer)
        return; // nothing to show yet; the flag still belongs to the state
    if (&layer == &m_findLayer && content) {
        content->set_halign(Gtk::Align::END);
        content->set_valign(Gtk::Align::START);
    }
    layer.present(content);
}

Gtk::Widget* ContentView::shownPage() const
{
    return m_pages.shownPage();
}

EmptyStateView* ContentView::startPage() const
{
    return dynamic_cast<EmptyStateView*>(shownPage());
}

void ContentView::refreshPage()
{
    const BrowserState& state = m_ctx.state;
    PageKind kind = PageKind::start;
    std::optional<Uuid> tabId;
    std::optional<Tab> tab;
    if (state.splitViewConfig().isEnabled) {
        kind = PageKind::split;
    } else if ((tab = state.activeTab())) {
        kind = PageKind::tab;
        tabId = tab->id;
    }
    const std::optional<Uuid> spaceId = state.currentSpaceId();
    const bool spaceChanged = m_pageKind != PageKind::none && spaceId != m_pageSpaceId;
    if (kind == m_pageKind && tabId == m_pageTabId && !spaceChanged)
        return;

    Gtk::Widget* page = nullptr;
    switch (kind) {
    case PageKind::split:
        if (m_parts.splitView)
            page = m_parts.splitView(m_ctx);
        break;
    case PageKind::tab:
        if (m_parts.tabContent)
            page = m_parts.tabContent(m_ctx, *tab);
        break;
    case PageKind::start:
    case PageKind::none:
        page = Gtk::make_managed<EmptyStateView>(m_ctx);
        break;
    }
    if (!page) {
        // The page view of this kind is not plugged in: an empty page area.
        auto* blank = Gtk::make_managed<Gtk::Box>();
        blank->add_css_class("kovi-content-bg");
        page = blank;
    }
    page->set_hexpand(true);
    page->set_vexpand(true);

    // A space change slides the whole page area: from the trailing side for a step forward
    // (and for changes made by other means before any swipe), from the leading side back.
    m_pages.show(*page, spaceChanged ? (m_lastSpaceSwipeStep < 0 ? -1 : 1) : 0);

    m_pageKind = kind;
    m_pageTabId = tabId;
    m_pageSpaceId = spaceId;

    // The split toolbar sits in the top-right corner while split view is on.
    if (auto* old = m_splitToolbarSlot.get_first_child())
        m_splitToolbarSlot.remove(*old);
    if (kind == PageKind::split && m_parts.splitViewToolbar) {
        if (auto* toolbar = m_parts.splitViewToolbar(m_ctx))
            m_splitToolbarSlot.append(*toolbar);
    }
    m_splitToolbarSlot.set_visible(kind == PageKind::split && m_splitToolbarSlot.get_first_child());
}

void ContentView::switchToAdjacentSpace(int step)
{
    const Date now = Clock::current().now();
    if (!(now.secondsSince(m_lastSpaceSwipeAt) > swipeInterval))
        return;
    BrowserState& state = m_ctx.state;
    const auto& spaces = state.spaces();
    const auto current = state.currentSpaceId();
    if (!current || spaces.empty())
        return;
    int index = -1;
    for (std::size_t i = 0; i < spaces.size(); ++i) {
        if (spaces[i].id == *current) {
            index = static_cast<int>(i);
            break;
        }
    }
    if (index < 0)
        return;
    const int target = index + step;
    if (target < 0 || target >= static_cast<int>(spaces.size()))
        return;
    m_lastSpaceSwipeAt = now;
    m_lastSpaceSwipeStep = step;
    state.setCurrentSpaceId(spaces[static_cast<std::size_t>(target)].id);
}

} // namespace kovi
