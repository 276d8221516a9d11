#include "ui/sidebar/sidebar_view.h"

#include "core/settings/appearance_manager.h"
#include "core/state/browser_state.h"
#include "ui/base/app_context.h"
#include "ui/base/command_action.h"
#include "ui/base/sidebar_host.h"
#include "ui/design/space_palette.h"
#include "ui/design/symbols.h"
#include "ui/sidebar/tab_snapshot_provider.h"
#include "ui/sidebar/web_snapshot_provider.h"

#include <gdk/gdk.h>
#include <gdkmm/frameclock.h>
#include <gtkmm/adjustment.h>
#include <gtkmm/eventcontrollerkey.h>
#include <gtkmm/eventcontrollermotion.h>
#include <gtkmm/eventcontrollerscroll.h>
#include <gtkmm/separator.h>
#include <glibmm/main.h>

#include <algorithm>
#include <initializer_list>

namespace kovi {

namespace {

// A snapshot as the preview model carries it.
struct TexturePicture final : PreviewPicture {
    explicit TexturePicture(Glib::RefPtr<Gdk::Texture> texture) : texture(std::move(texture)) {}
    Glib::RefPtr<Gdk::Texture> texture;
};

// Switching spaces animates the column's content with the row spring.
constexpr KoviDesign::Motion rowAnimation = KoviDesign::Motion::springOf(0.3, 0.8);

void setMargins(Gtk::Widget& widget, int horizontal, int top, int bottom)
{
    widget.set_margin_start(horizontal);
    widget.set_margin_end(horizontal);
    widget.set_margin_top(top);
    widget.set_margin_bottom(bottom);
}

} // namespace

SidebarView::SidebarView(SidebarServices services, SidebarHost& host)
    : Gtk::Box(Gtk::Orientation::VERTICAL)
    , m_services(std::move(services))
    , m_state(m_services.state)
    , m_host(host)
    , m_http(m_services.http)
    , m_env(m_state)
    , m_topBar(m_state, host)
    , m_address(m_state, m_services.appearance, m_services.notifications, host,
                m_http, m_env.favicons, m_services.suggestionBaseUrl, m_services.library)
    , m_list(m_env)
    , m_bottom(
          m_state, m_services.appearance, [this](std::optional<Space> space) { openSpaceEditor(std::move(space)); },
          m_services.accountButton)
    , m_preview(m_previewDelay,
                [this](const Uuid& tabId, std::function<void(HoverPreviewModel::Picture)> done) {
                    if (!m_services.snapshots) {
                        done(nullptr);
                        return;
                    }
                    m_services.snapshots->snapshot(tabId, [done](Glib::RefPtr<Gdk::Texture> texture) {
                        done(texture ? std::make_shared<TexturePicture>(texture) : nullptr);
                    });
                })
    , m_spaceFade(*this, 1.0,
                  [this](double v) {
                      // GTK clamps the spring's overshoot to full opacity.
                      for (Gtk::Widget* w : std::initializer_list<Gtk::Widget*>{
                               &m_list.pinnedGrid(), &m_list.keepSection(), &m_spaceHeader, &m_scroller})
                          w->set_opacity(v);
                  })
{
    add_css_class("sidebar");
    set_hexpand(false); // the window sizes the column; no child may widen it
    m_env.openQuickView = m_services.openQuickView;
    m_env.onPreviewRequest = [this](const Uuid& id, bool hovering) { m_preview.handlePreviewRequest(id, hovering); };

    setMargins(m_topBar, 14, 12, 8);
    append(m_topBar);
    setMargins(m_address, 12, 0, 10);
    append(m_address);
    setMargins(m_list.pinnedGrid(), 12, 0, 12);
    m_upper.append(m_list.pinnedGrid());
    m_upper.append(m_list.keepSection());
    // No scroll bar while everything fits: it would claim a height of its own.
    m_upperScroller.set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::EXTERNAL);
    m_upperScroller.set_propagate_natural_height(true);
    m_upperScroller.set_child(m_upper);
    m_upperScroller.get_vadjustment()->signal_changed().connect([this] {
        if (!m_upperPolicyIdle.connected())
            m_upperPolicyIdle = Glib::signal_idle().connect([this] {
                refreshUpperScrollbar();
                return false;
            });
    });
    append(m_upperScroller);

    m_spaceHeader.set_spacing(6);
    m_spaceHeader.add_css_class("sidebar-space-header");
    setMargins(m_spaceHeader, 18, 4, 6);
    m_spaceHeader.append(m_spaceIcon);
    m_spaceName.set_ellipsize(Pango::EllipsizeMode::END);
    // Asks for no width of its own: a long name must not widen the sidebar, it is cut short.
    m_spaceName.set_max_width_chars(1);
    m_spaceName.set_xalign(0);
    m_spaceName.set_hexpand(true);
    m_spaceName.add_css_class("sidebar-space-name");
    m_spaceHeader.append(m_spaceName);
    append(m_spaceHeader);

    setMargins(m_list.list(), 10, 2, 8);
    m_scroller.set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    m_scroller.set_vexpand(true);
    m_listHold.setChild(m_list.list());
    m_scroller.set_child(m_listHold);
    append(m_scroller);

    auto* divider = Gtk::make_managed<Gtk::Separator>(Gtk::Orientation::HORIZONTAL);
    divider->set_margin_start(16);
    divider->set_margin_end(16);
    divider->add_css_class("sidebar-divider");
    append(*divider);

    auto* label = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
    auto* plus = Gtk::make_managed<Gtk::Image>();
    setSymbol(*plus, "plus", 12);
    label->append(*plus);
    auto* text = Gtk::make_managed<Gtk::Label>("New Tab");
    text->set_hexpand(true);
    text->set_xalign(0);
    text->add_css_class("sidebar-new-tab-title");
    label->append(*text);
    auto* shortcut = Gtk::make_managed<Gtk::Label>("Ctrl+T"); // a label only; the menu owns the key
    shortcut->add_css_class("sidebar-new-tab-shortcut");
    label->append(*shortcut);
    m_newTab.set_child(*label);
    m_newTab.set_has_frame(false);
    m_newTab.set_focus_on_click(false);
    m_newTab.set_tooltip_text("New Tab");
    m_newTab.add_css_class("sidebar-new-tab");
    setMargins(m_newTab, 10, 8, 8);
    m_newTab.set_action_name(appAction(commands::newTab));
    append(m_newTab);

    setMargins(m_bottom, 14, 0, 14);
    append(m_bottom);

    // The hover preview bubble, placed into the window's overlay when first needed.
    m_preview.changed.connect([this] { refreshPreview(); });

    // Up, Down and Escape belong to the address field, before the field itself sees them.
    auto keys = Gtk::EventControllerKey::create();
    keys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    keys->signal_key_pressed().connect(
        [this](guint keyval, guint, Gdk::ModifierType) {
            switch (keyval) {
            case GDK_KEY_Up:
            case GDK_KEY_KP_Up: return m_address.handleKey(AddressFieldModel::Key::up);
            case GDK_KEY_Down:
            case GDK_KEY_KP_Down: return m_address.handleKey(AddressFieldModel::Key::down);
            case GDK_KEY_Escape: return m_address.handleKey(AddressFieldModel::Key::escape);
            default: return false;
            }
        },
        false);
    add_controller(keys);
    setupSwipe();

    auto schedule = [this] { scheduleRefresh(); };
    for (auto* signal : {&m_state.tabsChanged, &m_state.foldersChanged, &m_state.spacesChanged,
                         &m_state.currentSpaceIdChanged, &m_state.activeTabIdChanged})
        m_connections.add(signal->connect(schedule));
    m_list.onDragFinished = schedule;
    m_host.onEditAddress = [this] { m_address.model().beginEditing(); };
    // A reveal asked for while the sidebar was not on screen happens when it shows.
    signal_map().connect([this] {
        if (m_revealPending)
            revealSoon();
    });
    signal_unmap().connect([this] { stopRevealing(); });
    refresh();
}

SidebarView::~SidebarView()
{
    m_refreshIdle.disconnect();
    m_upperPolicyIdle.disconnect();
    stopRevealing();
    m_connections.clear();
    m_host.onEditAddress = nullptr;
    m_env.onPreviewRequest = nullptr;
    if (auto* overlay = dynamic_cast<Gtk::Overlay*>(m_bubble.get_parent()))
        overlay->remove_overlay(m_bubble);
    if (m_editor)
        m_editor->set_visible(false);
}

void SidebarView::refreshUpperScrollbar()
{
    auto adjustment = m_upperScroller.get_vadjustment();
    const bool overflows = adjustment->get_upper() > adjustment->get_page_size() + 0.5;
    m_upperScroller.set_policy(Gtk::PolicyType::NEVER, overflows ? Gtk::PolicyType::AUTOMATIC : Gtk::PolicyType::EXTERNAL);
}

void SidebarView::scheduleRefresh()
{
    if (m_refreshIdle.connected())
        return;
    // Before layout and drawing, after the operation that changed the state has finished.
    m_refreshIdle = Glib::signal_idle().connect(
        [this] {
            m_refreshIdle.disconnect();
            refresh();
            return false;
        },
        Glib::PRIORITY_HIGH_IDLE);
}

void SidebarView::flushRefresh()
{
    if (!m_refreshIdle.connected())
        return;
    m_refreshIdle.disconnect();
    refresh();
}

void SidebarView::refresh()
{
    const bool spaceChanged = m_list.refresh();
    refreshSpaceHeader();
    refreshPreview();
    if (spaceChanged) {
        m_spaceFade.jumpTo(0.0);
        m_spaceFade.animateTo(1.0, rowAnimation);
    }

    // The active tab comes into view when it becomes active or moves, and so does a folder
    // just made in the shown space (its tab may have gone from the top to the bottom).
    std::set<Uuid> folders;
    const auto space = m_state.currentSpaceId();
    for (const auto& [id, folder] : m_state.folders()) {
        if (folder.spaceId == space)
            folders.insert(id);
    }
    bool wanted = false;
    if (!spaceChanged && m_list.refreshCount() > 1) {
        for (const Uuid& id : folders) {
            if (!m_knownFolders.contains(id)) {
                m_revealFolder = id;
                wanted = true;
            }
        }
    }
    m_knownFolders = std::move(folders);
    const auto active = m_state.activeTabId();
    Gtk::Widget* row = activeTabWidget();
    const auto* listed = dynamic_cast<SidebarTabRow*>(row);
    const int index = listed ? listed->index() : -1;
    if (active != m_revealedTab || row != m_revealedRow || index != m_revealedIndex)
        wanted = wanted || active.has_value();
    m_revealedTab = active;
    m_revealedRow = row;
    m_revealedIndex = index;
    if (wanted)
        revealSoon();
}

Gtk::Widget* SidebarView::activeTabWidget() const
{
    const auto active = m_state.activeTabId();
    if (!active)
        return nullptr;
    if (auto* row = m_list.topLevelRow(*active))
        return row;
    if (auto* row = m_list.keepRow(*active))
        return row;
    if (auto* tile = m_list.pinnedTile(*active))
        return tile;
    const auto tab = m_state.tab(*active);
    FolderRow* folder = tab && tab->folderId ? m_list.folderRow(*tab->folderId) : nullptr;
    if (!folder)
        return nullptr;
    // A closed folder shows its header in the tab's place.
    SidebarTabRow* row = folder->isShowingTabs() ? folder->rowFor(*active) : nullptr;
    return row ? static_cast<Gtk::Widget*>(row) : &folder->header();
}

void SidebarView::revealSoon()
{
    m_revealPending = true;
    if (m_revealClock || !get_mapped())
        return; // on its way, or once the sidebar shows
    m_revealClock = get_frame_clock()->gobj();
    m_afterPaint = g_signal_connect_swapped(m_revealClock, "after-paint",
                                            G_CALLBACK(+[](SidebarView* self) { self->reveal(); }), this);
    queue_allocate();
}

void SidebarView::stopRevealing()
{
    if (m_revealClock)
        g_signal_handler_disconnect(m_revealClock, m_afterPaint);
    m_revealClock = nullptr;
    m_afterPaint = 0;
}

void SidebarView::reveal()
{
    Gtk::Widget* target = nullptr;
    if (m_revealFolder)
        target = m_list.folderRow(*m_revealFolder);
    if (!target)
        target = activeTabWidget();
    Gtk::ScrolledWindow* scroller = nullptr;
    for (Gtk::ScrolledWindow* s : {&m_scroller, &m_upperScroller}) {
        if (target && target->is_ancestor(*s))
            scroller = s;
    }
    graphene_rect_t bounds;
    const bool placed = scroller && target->get_mapped() &&
                        gtk_widget_compute_bounds(target->gobj(), GTK_WIDGET(scroller->gobj()), &bounds);
    if (placed && target->get_height() == 0)
        return; // not laid out yet: a later frame places it
    stopRevealing();
    m_revealPending = false;
    m_revealFolder.reset();
    if (!placed)
        return;
    // The least move that shows the whole row (its top, when it is taller than the view).
    const double top = bounds.origin.y;
    const double bottom = top + bounds.size.height;
    double shift = 0;
    if (bottom > scroller->get_height())
        shift = bottom - scroller->get_height();
    if (top - shift < 0)
        shift = top;
    if (shift != 0) {
        auto adjustment = scroller->get_vadjustment();
        adjustment->set_value(adjustment->get_value() + shift);
    }
}

void SidebarView::refreshSpaceHeader()
{
    std::optional<Space> space;
    if (auto id = m_state.currentSpaceId())
        space = m_state.space(*id);
    m_spaceHeader.set_visible(space.has_value());
    if (!space)
        return;
    if (m_spaceName.get_text().raw() != space->name)
        m_spaceName.set_text(space->name);
    setSymbol(m_spaceIcon, space->icon, 14, "folder-symbolic");
    setSpaceColorClass(m_spaceIcon, SpaceColorRole::text, space->color);
}

void SidebarView::setPreviewOverlay(Gtk::Overlay* overlay)
{
    m_previewOverlay = overlay;
    m_previewOverlayChosen = overlay != nullptr;
    refreshPreview();
}

Gtk::Overlay* SidebarView::previewOverlay()
{
    if (m_previewOverlayChosen)
        return m_previewOverlay;
    // The outermost overlay of the window covers both the sidebar and the page beside it.
    Gtk::Overlay* found = nullptr;
    for (Gtk::Widget* w = get_parent(); w; w = w->get_parent()) {
        if (auto* overlay = dynamic_cast<Gtk::Overlay*>(w))
            found = overlay;
    }
    return found;
}

void SidebarView::refreshPreview()
{
    auto picture = std::dynamic_pointer_cast<const TexturePicture>(m_preview.visiblePicture());
    auto tabId = m_preview.previewTabId();
    Gtk::Widget* anchor = tabId ? m_env.anchor(*tabId) : nullptr;
    Gtk::Overlay* overlay = previewOverlay();
    if (!picture || !picture->texture || !anchor || !overlay || !anchor->get_mapped() || !get_mapped()) {
        m_bubble.set_visible(false);
        return;
    }
    if (m_bubble.get_parent() != overlay) {
        if (auto* old = dynamic_cast<Gtk::Overlay*>(m_bubble.get_parent()))
            old->remove_overlay(m_bubble);
        overlay->add_overlay(m_bubble);
    }
    graphene_rect_t row, column;
    if (!gtk_widget_compute_bounds(anchor->gobj(), GTK_WIDGET(overlay->gobj()), &row)
        || !gtk_widget_compute_bounds(GTK_WIDGET(gobj()), GTK_WIDGET(overlay->gobj()), &column)) {
        m_bubble.set_visible(false);
        return;
    }
    const PreviewPlacement place = HoverPreviewModel::place(
        {row.origin.x, row.origin.y, row.size.width, row.size.height}, column.origin.y, column.size.height);
    m_bubble.set_margin_start(std::max(0, static_cast<int>(place.centerX - HoverPreviewModel::bubbleWidth / 2)));
    m_bubble.set_margin_top(std::max(0, static_cast<int>(place.centerY - HoverPreviewModel::bubbleHeight / 2)));
    m_bubble.setTexture(picture->texture);
    m_bubble.set_visible(true);
}

void SidebarView::openSpaceEditor(std::optional<Space> editing)
{
    if (m_editor)
        return;
    m_editor = std::make_unique<SpaceEditorWindow>(m_state, std::move(editing));
    if (auto* window = dynamic_cast<Gtk::Window*>(get_root()))
        m_editor->set_transient_for(*window);
    m_editor->closed.connect([this] {
        // Destroyed after the click that closed it has been handled.
        m_editorCleanup.start(0, [this] { m_editor.reset(); });
    });
    m_editor->present();
}

void SidebarView::handleSwipe(const SpaceSwipeDetector::Event& event)
{
    if (auto step = m_swipe.handle(event))
        m_host.spaceSwipe(*step);
}

void SidebarView::setupSwipe()
{
    auto motion = Gtk::EventControllerMotion::create();
    motion->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    motion->signal_motion().connect([this](double, double y) { m_pointerY = y; });
    motion->signal_enter().connect([this](double, double y) { m_pointerY = y; });
    motion->signal_leave().connect([this] { m_pointerY = -1; });
    add_controller(motion);

    auto scroll = Gtk::EventControllerScroll::create();
    scroll->set_flags(Gtk::EventControllerScroll::Flags::BOTH_AXES);
    scroll->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    scroll->signal_scroll_begin().connect([this] { m_swipeBegan = true; });
    scroll->signal_scroll_end().connect([this] { m_swipe.gestureEnded(); });
    Gtk::EventControllerScroll* raw = scroll.get();
    scroll->signal_scroll().connect(
        [this, raw](double dx, double dy) {
            auto current = raw->get_current_event();
            GdkEvent* event = current ? const_cast<GdkEvent*>(current->gobj()) : nullptr;
            if (!event)
                return false;
            // Only touchpads switch spaces: a mouse wheel's steps (also tilted or shifted) never do.
            GdkDevice* device = gdk_event_get_device(event);
            const bool touchpad = device && gdk_device_get_source(device) == GDK_SOURCE_TOUCHPAD;
            const GdkScrollUnit unit = gdk_scroll_event_get_unit(event);
            if (!touchpad && unit != GDK_SCROLL_UNIT_SURFACE)
                return false;
            // X11 reports touchpad motion in wheel steps; about ten pixels each.
            const double scale = unit == GDK_SCROLL_UNIT_WHEEL ? 10.0 : 1.0;
            SpaceSwipeDetector::Event e;
            e.dx = dx * scale;
            e.dy = dy * scale;
            e.phase = m_swipeBegan ? SpaceSwipeDetector::Phase::began : SpaceSwipeDetector::Phase::changed;
            m_swipeBegan = false;
            e.isOverView = m_pointerY >= 0;
            e.isSheetOpen = m_editor != nullptr;
            e.heightAboveBottom = m_pointerY >= 0 ? get_height() - m_pointerY : 0;
            e.time = gdk_event_get_time(event) / 1000.0;
            handleSwipe(e);
            return false; // the list still scrolls
        },
        false);
    add_controller(scroll);
}

void SidebarView::adoptSnapshotProvider(std::unique_ptr<TabSnapshotProvider> provider)
{
    m_ownSnapshots = std::move(provider);
    m_services.snapshots = m_ownSnapshots.get();
}

Gtk::Widget* makeSidebarView(AppContext& context, SidebarHost& host)
{
    return makeSidebarView(context, host, SidebarExtras{});
}

Gtk::Widget* makeSidebarView(AppContext& context, SidebarHost& host, SidebarExtras extras)
{
    SidebarServices services{context.state, context.appearance, context.notifications, context.http};
    services.library = &context.library;
    services.openQuickView = std::move(extras.openQuickView);
    services.accountButton = std::move(extras.accountButton);
    auto* view = Gtk::make_managed<SidebarView>(std::move(services), host);
    if (extras.pages)
        view->adoptSnapshotProvider(std::make_unique<WebSnapshotProvider>(*extras.pages));
    return view;
}

} // namespace kovi
