#include "ui/layouts/sidebar_dock.h"

#include "core/state/browser_state.h"
#include "ui/base/app_context.h"
#include "ui/base/sidebar_host.h"
#include "ui/design/kovi_design.h"

#include <algorithm>

namespace kovi {

namespace {

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

SidebarDock::SidebarDock(AppContext& ctx, SidebarHost& host, Gtk::Widget* sidebar, Gtk::Widget& pageArea)
    : m_ctx(ctx), m_host(host), m_pageArea(pageArea), m_sidebar(sidebar), m_dockedHandle(ctx.state),
      m_floating(ctx, host)
{
    set_hexpand(true);
    set_vexpand(true);

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
    if (m_sidebar) {
        m_sidebar->set_vexpand(true);
        m_sidebarSlot.append(*m_sidebar);
    }

    buildDocked();
    m_formFade = std::make_unique<MotionValue>(*this, 1.0, [this](double v) { set_opacity(v); });

    BrowserState& state = m_ctx.state;
    m_connections.push_back(state.sidebarWidthChanged.connect([this] { refreshSidebarWidth(); }));
    m_connections.push_back(m_host.isPinnedChanged.connect([this] {
        applyForm();
        // The new form fades in over a quarter of a second.
        m_formFade->jumpTo(0.35);
        m_formFade->animateTo(1.0, KoviDesign::Motion::easeInOut(0.25));
    }));
    m_connections.push_back(m_host.isSidebarVisibleChanged.connect([this] { m_floating.refreshVisibility(true); }));

    applyForm();
    refreshSidebarWidth();
    m_floating.refreshVisibility(false);
}

SidebarDock::~SidebarDock()
{
    for (auto& c : m_connections)
        c.disconnect();
    m_formFade.reset();
}

void SidebarDock::buildDocked()
{
    m_docked.add_css_class("kovi-docked");
    m_docked.set_hexpand(true);
    m_docked.set_vexpand(true);
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

void SidebarDock::setChromeStart(std::function<Gtk::Widget*()> make)
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

void SidebarDock::applyForm()
{
    removeFromParent(m_sidebarColumn);
    removeFromParent(m_pageArea);
    if (auto* child = get_first_child())
        remove(*child);
    if (m_host.isPinned()) {
        m_dockedSidebarSlot.append(m_sidebarColumn);
        m_dockedPageSlot.append(m_pageArea);
        m_sidebarColumn.remove_css_class("floating");
        append(m_docked);
    } else {
        m_floating.columnSlot().append(m_sidebarColumn);
        m_floating.pageSlot().append(m_pageArea);
        m_sidebarColumn.add_css_class("floating");
        append(m_floating);
        m_floating.refreshVisibility(false);
    }
}

void SidebarDock::refreshSidebarWidth()
{
    const int width = static_cast<int>(m_ctx.state.sidebarWidth());
    m_sidebarColumn.set_size_request(width, -1);
    m_dockedSidebarSlot.set_size_request(width, -1);
    m_docked.queue_allocate();
    m_floating.refreshWidth();
}

} // namespace kovi
