#include "ui/windows/split_view_container.h"

#include "core/state/browser_state.h"
#include "ui/base/app_context.h"

#include <glibmm/main.h>

#include <algorithm>
#include <cmath>

namespace kovi {

namespace {

// The tab a side should show: one the state holds, and not the other side's (one view cannot be
// in two places).
std::optional<Tab> wantedTab(const BrowserState& state, SplitViewSide side)
{
    const SplitViewConfig& config = state.splitViewConfig();
    const std::optional<Uuid>& id = side == SplitViewSide::left ? config.leftTabId : config.rightTabId;
    if (!id || (side == SplitViewSide::right && config.leftTabId == id))
        return std::nullopt;
    return state.tab(*id);
}

int minimumWidth(const Gtk::Widget* widget)
{
    if (!widget || !widget->get_visible())
        return 0;
    int min = 0, natural = 0, minBaseline = 0, naturalBaseline = 0;
    widget->measure(Gtk::Orientation::HORIZONTAL, -1, min, natural, minBaseline, naturalBaseline);
    return min;
}

} // namespace

SplitViewContainer::SplitViewContainer(AppContext& ctx)
    : Glib::ObjectBase("KoviSplitViewContainer"), m_ctx(ctx), m_divider(ctx.state)
{
    add_css_class("kovi-split-view");
    set_hexpand(true);
    set_vexpand(true);
    set_overflow(Gtk::Overflow::HIDDEN);
    m_divider.set_parent(*this);
    // Disposed before this object is deleted when its container drops it: the children must be
    // let go while the widget is still whole.
    signal_destroy().connect([this] { releaseAll(); });

    // Followed here, where the coordinates stay put while the divider moves. On the way down, so
    // a press on the divider's edge over a pane is seen too; anything else is left alone.
    m_dragGesture = Gtk::GestureDrag::create();
    m_dragGesture->set_button(GDK_BUTTON_PRIMARY);
    m_dragGesture->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    m_dragGesture->signal_drag_begin().connect(sigc::mem_fun(*this, &SplitViewContainer::dragBegan));
    m_dragGesture->signal_drag_update().connect(sigc::mem_fun(*this, &SplitViewContainer::dragUpdated));
    m_dragGesture->signal_drag_end().connect([this](double, double) { dragEnded(); });
    add_controller(m_dragGesture);

    BrowserState& state = ctx.state;
    m_connections.add(state.splitViewConfigChanged.connect(sigc::mem_fun(*this, &SplitViewContainer::configChanged)));
    m_connections.add(state.activeSplitSideChanged.connect(sigc::mem_fun(*this, &SplitViewContainer::refreshPanes)));
    m_connections.add(state.tabsChanged.connect([this] {
        // A pane whose tab has gone is taken away; the others show their tab's news.
        for (SplitPane* pane : {m_left.get(), m_right.get()}) {
            if (pane && !m_ctx.state.tab(pane->tabId()))
                scheduleRebuild();
        }
        refreshPanes();
    }));
    rebuildPanes();
}

SplitViewContainer::~SplitViewContainer()
{
    m_connections.clear();
    m_rebuild.disconnect();
    releaseAll();
}

void SplitViewContainer::releaseAll()
{
    m_rebuild.disconnect();
    for (auto* pane : {m_left.get(), m_right.get()}) {
        if (pane && pane->get_parent())
            pane->unparent();
    }
    m_left.reset();
    m_right.reset();
    if (m_divider.get_parent())
        m_divider.unparent();
}

void SplitViewContainer::configChanged()
{
    const SplitViewConfig& config = m_ctx.state.splitViewConfig();
    const std::optional<Uuid> left = m_left ? std::optional<Uuid>(m_left->tabId()) : std::nullopt;
    const std::optional<Uuid> right = m_right ? std::optional<Uuid>(m_right->tabId()) : std::nullopt;
    if (config.leftTabId != left || config.rightTabId != right)
        scheduleRebuild();
    queue_allocate();
}

void SplitViewContainer::scheduleRebuild()
{
    if (m_rebuild.connected())
        return;
    m_rebuild = Glib::signal_idle().connect([this] {
        rebuildPanes();
        return false;
    });
}

void SplitViewContainer::flushPanes()
{
    if (!m_rebuild.connected())
        return;
    m_rebuild.disconnect();
    rebuildPanes();
}

void SplitViewContainer::rebuildPanes()
{
    m_rebuild.disconnect();
    if (!m_divider.get_parent())
        return; // disposed
    const BrowserState& state = m_ctx.state;
    const std::optional<Tab> wanted[2] = {wantedTab(state, SplitViewSide::left), wantedTab(state, SplitViewSide::right)};
    std::unique_ptr<SplitPane> old[2] = {std::move(m_left), std::move(m_right)};
    std::unique_ptr<SplitPane> kept[2];
    // A pane that shows a wanted tab stays, on whichever side it now belongs.
    for (int side = 0; side < 2; ++side) {
        if (!wanted[side])
            continue;
        for (auto& pane : old) {
            if (pane && pane->tabId() == wanted[side]->id) {
                kept[side] = std::move(pane);
                break;
            }
        }
    }
    for (auto& pane : old) {
        if (pane)
            pane->unparent();
    }
    for (int side = 0; side < 2; ++side) {
        if (!wanted[side])
            continue;
        const auto which = side == 0 ? SplitViewSide::left : SplitViewSide::right;
        if (!kept[side]) {
            kept[side] = std::make_unique<SplitPane>(m_ctx, which, *wanted[side], state.activeSplitSide() == which);
            kept[side]->insert_before(*this, m_divider); // below the divider's hit area
        }
        kept[side]->setSide(which);
    }
    m_left = std::move(kept[0]);
    m_right = std::move(kept[1]);
    refreshPanes();
    queue_allocate();
}

void SplitViewContainer::refreshPanes()
{
    const BrowserState& state = m_ctx.state;
    for (SplitPane* pane : {m_left.get(), m_right.get()}) {
        if (!pane)
            continue;
        if (auto tab = state.tab(pane->tabId()))
            pane->update(*tab, state.activeSplitSide() == pane->side());
    }
}

Gtk::SizeRequestMode SplitViewContainer::get_request_mode_vfunc() const
{
    return Gtk::SizeRequestMode::CONSTANT_SIZE;
}

void SplitViewContainer::measure_vfunc(Gtk::Orientation orientation, int, int& minimum, int& natural,
                                       int& minimumBaseline, int& naturalBaseline) const
{
    minimumBaseline = naturalBaseline = -1;
    const int frame = static_cast<int>(2 * SplitLayout::padding);
    if (orientation == Gtk::Orientation::HORIZONTAL) {
        minimum = frame + static_cast<int>(SplitLayout::dividerColumn) + minimumWidth(m_left.get())
            + minimumWidth(m_right.get());
    } else {
        minimum = static_cast<int>(SplitLayout::capsuleHeight + 2 * SplitLayout::hitOutset);
        for (const SplitPane* pane : {m_left.get(), m_right.get()}) {
            if (!pane)
                continue;
            int min = 0, nat = 0, minBaseline = 0, natBaseline = 0;
            pane->measure(Gtk::Orientation::VERTICAL, -1, min, nat, minBaseline, natBaseline);
            minimum = std::max(minimum, min + frame);
        }
    }
    natural = minimum;
}

void SplitViewContainer::size_allocate_vfunc(int width, int height, int)
{
    // Neither pane gets narrower than what the wider of their headers needs.
    const int leastPane = std::max(minimumWidth(m_left.get()), minimumWidth(m_right.get()));
    m_layout = SplitLayout::compute(width, height, m_ctx.state.splitViewConfig().splitRatio, leastPane);
    auto place = [](Gtk::Widget& child, const SplitLayout::Rect& rect) {
        const int w = std::max(minimumWidth(&child), static_cast<int>(std::lround(rect.width)));
        child.size_allocate(Gtk::Allocation(static_cast<int>(std::lround(rect.x)), static_cast<int>(std::lround(rect.y)),
                                            w, static_cast<int>(std::lround(rect.height))),
                            -1);
    };
    // Panes without a tab are not drawn; the other pane keeps its share.
    if (m_left)
        place(*m_left, m_layout.left);
    if (m_right)
        place(*m_right, m_layout.right);
    place(m_divider, m_layout.dividerHit);
}

void SplitViewContainer::dragBegan(double x, double y)
{
    if (!m_layout.dividerHit.contains(x, y)) {
        m_dragGesture->set_state(Gtk::EventSequenceState::DENIED);
        return;
    }
    m_drag.begin(x, y);
}

void SplitViewContainer::dragUpdated(double offsetX, double offsetY)
{
    const bool wasDragging = m_drag.isDragging();
    const std::optional<double> ratio = m_drag.update(offsetX, offsetY, get_width());
    if (m_drag.isDragging() && !wasDragging) {
        // From here on the press belongs to the divider: nothing under it sees a click.
        m_dragGesture->set_state(Gtk::EventSequenceState::CLAIMED);
        m_divider.setDragging(true);
    }
    if (ratio)
        m_ctx.state.setSplitRatio(*ratio);
}

void SplitViewContainer::dragEnded()
{
    m_drag.end();
    m_divider.setDragging(false);
}

} // namespace kovi
