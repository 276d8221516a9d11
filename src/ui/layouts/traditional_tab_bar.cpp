#include "ui/layouts/traditional_tab_bar.h"

#include "core/commands/command_ids.h"
#include "core/sidebar/sidebar_text.h"
#include "core/state/browser_state.h"
#include "ui/design/drag_preview.h"
#include "ui/design/favicon_decoder.h"
#include "ui/design/symbols.h"
#include "ui/layouts/bar_button.h"
#include "ui/layouts/traditional_pinned_tab.h"
#include "ui/layouts/traditional_tab.h"

#include <gdkmm/frameclock.h>
#include <gtkmm/adjustment.h>
#include <gtkmm/dragsource.h>
#include <gtkmm/eventcontrollerfocus.h>
#include <gtkmm/eventcontrollerscroll.h>
#include <gtkmm/droptarget.h>
#include <gtkmm/gestureclick.h>
#include <gtkmm/viewport.h>
#include <gtkmm/widgetpaintable.h>

#include <cmath>
#include <unordered_set>

namespace kovi {

namespace {

// Puts one widget per tab into `box` in the order of `tabs`: existing widgets are updated and
// moved, missing ones made, widgets of tabs that left are removed.
template <class Widget, class Make>
void syncChildren(Gtk::Box& box, const std::vector<Tab>& tabs, std::unordered_map<Uuid, Widget*>& widgets, Make make)
{
    std::unordered_set<Uuid> listed;
    listed.reserve(tabs.size());
    for (const Tab& tab : tabs)
        listed.insert(tab.id);
    for (auto it = widgets.begin(); it != widgets.end();) {
        if (listed.count(it->first)) {
            ++it;
            continue;
        }
        box.remove(*it->second);
        it = widgets.erase(it);
    }
    Gtk::Widget* previous = nullptr;
    for (const Tab& tab : tabs) {
        Widget* widget = nullptr;
        if (auto found = widgets.find(tab.id); found != widgets.end()) {
            widget = found->second;
            widget->update(tab);
        } else {
            widget = make(tab);
            widgets.emplace(tab.id, widget);
            box.append(*widget);
        }
        if (widget->get_prev_sibling() != previous) {
            if (previous)
                box.reorder_child_after(*widget, *previous);
            else
                box.reorder_child_at_start(*widget);
        }
        previous = widget;
    }
}

Glib::RefPtr<Gdk::ContentProvider> idPayload(const Uuid& id)
{
    Glib::Value<Glib::ustring> value;
    value.init(Glib::Value<Glib::ustring>::value_type());
    value.set(id.toString());
    return Gdk::ContentProvider::create(value);
}

} // namespace

TraditionalTabBar::TraditionalTabBar(BrowserState& state, std::function<void(const Tab&)> openQuickView)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 0), m_state(state), m_openQuickView(std::move(openQuickView)),
      m_drops([&state](const Uuid& tab, const Uuid& before) { state.reorderTab(tab, before); }), m_spaceMenu(state)
{
    add_css_class("kovi-hbar");
    add_css_class("kovi-chrome");
    set_size_request(-1, height);

    // The window buttons sit where the desktop puts them: the 78-px gap at the start holds the
    // start group, and shrinks to a margin while the desktop puts none there.
    m_gap.add_css_class("kovi-hbar-gap");
    m_gap.append(m_startControls);
    m_startControls.set_valign(Gtk::Align::CENTER);
    m_startControls.set_hexpand(true);
    auto fitGap = [this] { m_gap.set_size_request(m_startControls.get_empty() ? 12 : buttonGap, -1); };
    m_startControls.property_empty().signal_changed().connect(fitGap);
    fitGap();
    m_gapHandle.set_child(m_gap);
    append(m_gapHandle);
    append(m_spaceMenu);

    m_scroller.set_policy(Gtk::PolicyType::EXTERNAL, Gtk::PolicyType::NEVER);
    m_scroller.set_propagate_natural_width(true);
    m_scroller.set_has_frame(false);
    m_scroller.add_css_class("kovi-hbar-strip");
    m_strip.set_margin_start(4);
    m_strip.set_margin_end(4);
    m_strip.set_valign(Gtk::Align::CENTER);
    m_separator.set_size_request(-1, 20);
    m_separator.set_valign(Gtk::Align::CENTER);
    m_separator.set_margin_start(4);
    m_separator.set_margin_end(4);
    m_strip.append(m_pinned);
    m_strip.append(m_separator);
    m_strip.append(m_normal);
    m_stripHold.setChild(m_strip);
    m_scroller.set_child(m_stripHold);
    // A tab that takes the keys comes into view as the strip moves, by whole tabs.
    if (auto* viewport = dynamic_cast<Gtk::Viewport*>(m_scroller.get_child()))
        viewport->set_scroll_to_focus(false);
    // Ahead of the scroller's own handling, which moves nothing for a plain vertical wheel.
    auto wheel = Gtk::EventControllerScroll::create();
    wheel->set_flags(Gtk::EventControllerScroll::Flags::BOTH_AXES);
    wheel->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    wheel->signal_scroll().connect([this](double dx, double dy) { return scrollByWheel(dx, dy); }, false);
    m_scroller.add_controller(wheel);
    // New room (the first layout, a window resize) may leave the active tab out of view.
    m_stripArea.roomChanged.connect([this] { revealActiveSoon(true); });
    signal_realize().connect([this] {
        if (m_revealPending)
            revealActiveSoon();
    });
    signal_unrealize().connect([this] { stopRevealing(); });

    // Opens the command bar (all results); picking a result opens the tab.
    setUpBarButton(m_newTab, "plus", 12, "New Tab (Ctrl+T)", commands::newTab);
    m_spaceHandle.set_hexpand(true);
    append(m_stripArea);

    setUpBarButton(m_downloads, "arrow.down.circle", 14, "Downloads", commands::showDownloads);
    m_trailing.append(m_downloads);
    m_spinner.set_size_request(16, 16);
    m_spinner.set_valign(Gtk::Align::CENTER);
    m_trailing.append(m_spinner);
    m_trailing.set_margin_end(12);
    append(m_trailing);
    m_endControls.set_valign(Gtk::Align::CENTER);
    m_endControls.set_margin_end(6);
    append(m_endControls);

    // The order of tabs lives in their space.
    m_connections.add(state.tabsChanged.connect([this] { refresh(); }));
    m_connections.add(state.spacesChanged.connect([this] { refresh(); }));
    m_connections.add(state.currentSpaceIdChanged.connect([this] { refresh(); }));
    m_connections.add(state.activeTabIdChanged.connect([this] { refreshActive(); }));
    m_connections.add(state.downloadsChanged.connect([this] { refreshDownloads(); }));
    m_connections.add(m_drops.changed.connect([this] { refreshDragLook(); }));
    refresh();
    refreshDownloads();
}

TraditionalTabBar::~TraditionalTabBar()
{
    m_connections.clear();
    stopRevealing();
}

TraditionalTab* TraditionalTabBar::tabWidget(const Uuid& id) const
{
    auto it = m_tabs.find(id);
    return it == m_tabs.end() ? nullptr : it->second;
}

TraditionalPinnedTab* TraditionalTabBar::pinnedTabWidget(const Uuid& id) const
{
    auto it = m_pinnedTabs.find(id);
    return it == m_pinnedTabs.end() ? nullptr : it->second;
}

std::vector<TraditionalTab*> TraditionalTabBar::shownTabs()
{
    std::vector<TraditionalTab*> shown;
    for (auto* child = m_normal.get_first_child(); child; child = child->get_next_sibling())
        shown.push_back(static_cast<TraditionalTab*>(child));
    return shown;
}

void TraditionalTabBar::refresh()
{
    const std::vector<Tab> pinned = m_state.pinnedTabs();
    const std::vector<Tab> normal = m_state.unpinnedTabs();
    syncChildren(m_pinned, pinned, m_pinnedTabs, [this](const Tab& tab) { return makePinnedTab(tab); });
    syncChildren(m_normal, normal, m_tabs, [this](const Tab& tab) { return makeTab(tab); });
    m_separator.set_visible(!pinned.empty() && !normal.empty());
    refreshActive();
    refreshDragLook();
}

void TraditionalTabBar::refreshActive()
{
    // Every widget, as new ones need their look; the strip moves only when the active tab
    // changed.
    const auto active = m_state.activeTabId();
    for (auto& [id, tab] : m_tabs)
        tab->setActive(active && id == *active);
    for (auto& [id, tab] : m_pinnedTabs)
        tab->setActive(active && id == *active);
    if (active == m_shownActive)
        return;
    m_shownActive = active;
    revealActiveSoon();
}

void TraditionalTabBar::refreshDragLook()
{
    const auto dragged = m_drops.draggedTabId();
    const auto target = m_drops.currentDropTarget();
    for (auto& [id, tab] : m_tabs) {
        tab->setDragged(dragged && id == *dragged);
        tab->setDragTarget(target && id == *target);
    }
}

void TraditionalTabBar::refreshDownloads()
{
    bool running = false;
    for (const DownloadItem& item : m_state.downloads())
        running = running || item.status == DownloadStatus::downloading;
    m_spinner.set_visible(running);
    m_spinner.set_spinning(running);
}

void TraditionalTabBar::revealActiveSoon(bool inLayout)
{
    m_revealPending = true;
    if (m_revealClock || !get_realized())
        return; // on its way, or when the bar is realized
    // Once a frame has been laid out and drawn, every tab has its place.
    m_revealClock = get_frame_clock()->gobj();
    m_afterPaint = g_signal_connect_swapped(m_revealClock, "after-paint",
                                            G_CALLBACK(+[](TraditionalTabBar* self) { self->revealActive(); }), this);
    if (!inLayout)
        queue_allocate();
}

void TraditionalTabBar::stopRevealing()
{
    if (m_revealClock)
        g_signal_handler_disconnect(m_revealClock, m_afterPaint);
    m_revealClock = nullptr;
    m_afterPaint = 0;
}

void TraditionalTabBar::revealActive()
{
    const auto active = m_state.activeTabId();
    Gtk::Widget* widget = active ? tabWidget(*active) : nullptr;
    if (!widget && active)
        widget = pinnedTabWidget(*active);
    if (widget && !reveal(*widget))
        return; // not placed yet: a later frame places it
    m_revealPending = false;
    stopRevealing();
}

bool TraditionalTabBar::reveal(Gtk::Widget& item)
{
    graphene_rect_t bounds;
    if (item.get_width() == 0 || !gtk_widget_compute_bounds(item.gobj(), GTK_WIDGET(m_stripHold.gobj()), &bounds))
        return false;
    m_stripArea.reveal(bounds.origin.x, bounds.origin.x + bounds.size.width);
    return true;
}

void TraditionalTabBar::revealOnFocus(Gtk::Widget& item)
{
    // In whole tabs, where the toolkit would scroll it into view by the pixel.
    auto focus = Gtk::EventControllerFocus::create();
    focus->signal_enter().connect([this, &item] { reveal(item); }); // the item owns the controller
    item.add_controller(focus);
}

bool TraditionalTabBar::scrollByWheel(double dx, double dy)
{
    const double delta = std::abs(dx) > std::abs(dy) ? dx : dy;
    // The toolkit's own step for one notch of the wheel.
    return delta != 0 && m_stripArea.scrollBy(delta * std::pow(m_stripArea.room(), 2.0 / 3.0));
}

TabStripArea::Layout TraditionalTabBar::stripLayout() const
{
    auto least = [](const Gtk::Widget& widget) {
        int minimum = 0, natural = 0, b1 = -1, b2 = -1;
        widget.measure(Gtk::Orientation::HORIZONTAL, -1, minimum, natural, b1, b2);
        return static_cast<double>(minimum);
    };
    // As a box lays out its children given its least width: each at its least width, the box's
    // spacing after each visible one (an empty group too).
    auto eachChild = [&least](const Gtk::Box& box, double x, auto&& place) {
        for (const Gtk::Widget* child = box.get_first_child(); child; child = child->get_next_sibling()) {
            if (!child->get_visible())
                continue;
            const double width = least(*child);
            place(*child, x, width);
            x += width + box.get_spacing();
        }
    };
    TabStripArea::Layout layout;
    layout.items.reserve(m_tabs.size() + m_pinnedTabs.size() + 1);
    auto item = [&layout](const Gtk::Widget&, double x, double width) { layout.items.push_back({x, x + width}); };
    eachChild(m_strip, m_strip.get_margin_start(), [&](const Gtk::Widget& part, double x, double width) {
        if (&part == &m_separator)
            item(part, x, width);
        else
            eachChild(static_cast<const Gtk::Box&>(part), x, item);
    });
    layout.length = least(m_strip);
    return layout;
}

TraditionalPinnedTab* TraditionalTabBar::makePinnedTab(const Tab& tab)
{
    auto* widget = Gtk::make_managed<TraditionalPinnedTab>(m_state, tab);
    revealOnFocus(*widget);
    // Pinned tabs can be dragged out as text, but they are never recorded as a tab drag, so
    // they reorder nothing here.
    auto source = Gtk::DragSource::create();
    source->set_actions(Gdk::DragAction::COPY | Gdk::DragAction::MOVE);
    const Uuid id = tab.id;
    source->signal_prepare().connect([id](double, double) { return idPayload(id); }, false);
    // The tab's card, as the sidebar shows it, rather than the payload's text.
    source->signal_drag_begin().connect([this, id, widget, source = source.get()](const Glib::RefPtr<Gdk::Drag>&) {
        const std::optional<Tab> dragged = m_state.tab(id);
        if (!dragged)
            return;
        Glib::RefPtr<Gdk::Texture> favicon;
        if (dragged->favicon && !dragged->favicon->empty())
            favicon = FaviconDecoder::decode(dragged->favicon->data(), dragged->favicon->size());
        source->set_icon(renderDragPreview(sidebarDisplayTitle(*dragged), favicon, false, widget->get_scale_factor()),
                         24, 18);
    });
    widget->add_controller(source);
    return widget;
}

TraditionalTab* TraditionalTabBar::makeTab(const Tab& tab)
{
    const Uuid id = tab.id;
    auto* widget = Gtk::make_managed<TraditionalTab>(tab, [this, id] { m_state.removeTab(id); });
    revealOnFocus(*widget);

    auto click = Gtk::GestureClick::create();
    click->set_button(GDK_BUTTON_PRIMARY);
    click->signal_released().connect([this, id](int, double, double) { m_state.setActiveTabId(id); });
    widget->add_controller(click);

    // The menu the tab's row has in the sidebar.
    widget->setMenu(std::make_unique<TabMenu>(*widget, "row", m_state, m_openQuickView));
    auto secondary = Gtk::GestureClick::create();
    secondary->set_button(GDK_BUTTON_SECONDARY);
    secondary->signal_pressed().connect([this, id, widget](int, double x, double y) {
        if (auto tab = m_state.tab(id))
            widget->menu()->popup(*tab, TabMenu::placeOf(*tab), x, y);
    });
    widget->add_controller(secondary);

    auto source = Gtk::DragSource::create();
    source->set_actions(Gdk::DragAction::MOVE);
    source->signal_prepare().connect([id](double, double) { return idPayload(id); }, false);
    source->signal_drag_begin().connect([this, id, widget, source = source.get()](const Glib::RefPtr<Gdk::Drag>&) {
        source->set_icon(Gtk::WidgetPaintable::create(widget->body()), 20, 14);
        m_drops.beginDrag(id);
    });
    // Dropped anywhere or cancelled: no record of the drag stays behind.
    source->signal_drag_end().connect([this, id](const Glib::RefPtr<Gdk::Drag>&, bool) { m_drops.endDrag(id); });
    widget->add_controller(source);

    auto target = Gtk::DropTarget::create(Glib::Value<Glib::ustring>::value_type(), Gdk::DragAction::MOVE);
    target->signal_accept().connect([this, id](const Glib::RefPtr<Gdk::Drop>&) { return m_drops.validateDrop(id); },
                                    false);
    target->signal_enter().connect([this, id](double, double) {
        return m_drops.dropEntered(id) ? Gdk::DragAction::MOVE : Gdk::DragAction(0);
    }, false);
    target->signal_motion().connect([this, id](double, double) {
        return m_drops.qualifies(id) ? Gdk::DragAction::MOVE : Gdk::DragAction(0);
    }, false);
    target->signal_leave().connect([this, id] { m_drops.dropExited(id); });
    target->signal_drop().connect([this, id](const Glib::ValueBase& value, double, double) {
        std::string text;
        if (G_VALUE_HOLDS_STRING(value.gobj()))
            if (const char* s = g_value_get_string(value.gobj()))
                text = s;
        return m_drops.performDrop(id, text);
    }, false);
    widget->add_controller(target);
    return widget;
}

} // namespace kovi
