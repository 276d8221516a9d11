#include "ui/layouts/content_view.h"

#include "core/state/browser_state.h"
#include "ui/base/app_context.h"

namespace kovi {

namespace {

Gtk::Widget* makeSidebar(AppContext& ctx, const ViewSlots& slots, SidebarHost& host)
{
    return slots.sidebar ? slots.sidebar(ctx, host) : nullptr;
}

} // namespace

ContentView::ContentView(AppContext& ctx, ViewSlots slots)
    : m_ctx(ctx), m_pageArea(ctx, slots), m_dock(ctx, m_host, makeSidebar(ctx, slots, m_host), m_pageArea),
      m_panels(ctx, slots, *this)
{
    add_css_class("kovi-content-view");
    add_css_class("kovi-chrome");
    set_size_request(minimumWidth, minimumHeight);
    set_hexpand(true);
    set_vexpand(true);
    m_host.onSpaceSwipe = [this](int step) { switchToAdjacentSpace(step); };
    set_child(m_dock);
}

ContentView::~ContentView() = default;

void ContentView::switchToAdjacentSpace(int step)
{
    const Date now = Clock::current().now();
    if (!(now.secondsSince(m_lastSpaceSwipeAt) > swipeInterval))
        return;
    // The page transition reads the direction when the shown space changes.
    m_pageArea.setSpaceStep(step);
    if (!m_ctx.state.switchSpace(step))
        return;
    m_lastSpaceSwipeAt = now;
    m_lastSpaceSwipeStep = step;
}

} // namespace kovi
