#include "ui/layouts/traditional_browser_view.h"

#include "ui/base/app_context.h"

namespace kovi {

namespace {

std::function<void(const Tab&)> quickView(AppContext& ctx, const ViewSlots& slots)
{
    if (!slots.openQuickView || !ctx.floatingWindows)
        return {};
    return [&ctx, open = slots.openQuickView](const Tab& tab) { open(ctx, tab); };
}

} // namespace

TraditionalBrowserView::TraditionalBrowserView(AppContext& ctx, const ViewSlots& slots)
    : m_tabBar(ctx.state, quickView(ctx, slots)), m_navigationBar(ctx), m_pageArea(ctx, slots), m_panels(ctx, slots, *this)
{
    add_css_class("kovi-traditional-view");
    add_css_class("kovi-chrome");
    set_size_request(minimumWidth, minimumHeight);
    set_hexpand(true);
    set_vexpand(true);
    m_column.append(m_tabBar);
    m_column.append(m_navigationBar);
    m_column.append(m_pageArea);
    set_child(m_column);
}

TraditionalBrowserView::~TraditionalBrowserView() = default;

void TraditionalBrowserView::setWindowMenu(const std::function<Gtk::Widget*()>& make)
{
    m_navigationBar.setWindowMenu(make ? make() : nullptr);
}

} // namespace kovi
