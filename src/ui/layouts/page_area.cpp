#include "ui/layouts/page_area.h"

#include "core/state/browser_state.h"
#include "ui/base/app_context.h"
#include "ui/design/kovi_design.h"
#include "ui/layouts/empty_state_view.h"

namespace kovi {

namespace {

// The page area follows a space change on this spring.
constexpr KoviDesign::Motion spaceSlideAnimation = KoviDesign::Motion::springOf(0.3, 0.9);

} // namespace

PageArea::PageArea(AppContext& ctx, ViewSlots slots)
    : Gtk::Box(Gtk::Orientation::VERTICAL), m_ctx(ctx), m_slots(std::move(slots)), m_pages(spaceSlideAnimation),
      m_findLayer(false, {}, 1.0)
{
    add_css_class("kovi-page-area");
    set_hexpand(true);
    set_vexpand(true);
    // The bookmarks bar and the page share the frame: with the bezel on, both lie inside the
    // rounded card. The page's own overlays (drag strip, find bar) are placed on the page, below
    // the bar.
    if (m_slots.bookmarkStrip) {
        if (auto* strip = m_slots.bookmarkStrip(m_ctx))
            m_bookmarkSlot.append(*strip);
    }
    // The split toolbar's row of its own above the frame, so it never covers the panes' headers.
    m_splitToolbarSlot.set_halign(Gtk::Align::END);
    m_splitToolbarSlot.set_margin_top(6);
    m_splitToolbarRow.set_child(m_splitToolbarSlot);
    m_splitToolbarRow.set_visible(false);
    append(m_splitToolbarRow);
    m_framed.append(m_bookmarkSlot);

    m_pages.add_css_class("kovi-content-bg");
    m_pages.set_hexpand(true);
    m_pages.set_vexpand(true);
    m_pageOverlay.set_child(m_pages);
    m_pageOverlay.set_vexpand(true);
    m_bezelOffDrag.set_valign(Gtk::Align::START);
    m_bezelOffDrag.set_size_request(-1, 6);
    m_pageOverlay.add_overlay(m_bezelOffDrag);
    m_findLayer.set_halign(Gtk::Align::END);
    m_findLayer.set_valign(Gtk::Align::START);
    m_pageOverlay.add_overlay(m_findLayer);
    m_framed.append(m_pageOverlay);
    m_surface.setContent(&m_framed);
    m_surface.set_vexpand(true);
    append(m_surface);

    BrowserState& state = m_ctx.state;
    m_connections.add(state.activeTabIdChanged.connect([this] { refreshPage(); }));
    m_connections.add(state.currentSpaceIdChanged.connect([this] { refreshPage(); }));
    m_connections.add(state.splitViewConfigChanged.connect([this] { refreshPage(); }));
    m_connections.add(state.tabClosed.connect([this](const Uuid& id) {
        dropTabPage(id);
        if (!m_pages.shownPage())
            refreshPage(); // never left without a page
    }));
    m_connections.add(state.isBrowserBezelEnabledChanged.connect([this] { refreshBezel(); }));
    m_connections.add(state.isFindInPageVisibleChanged.connect([this] {
        refreshFindBar();
        refreshBezel();
    }));

    refreshBezel();
    refreshPage();
    refreshFindBar(); // the flag belongs to the state: the bar may be open already
}

EmptyStateView* PageArea::startPage() const
{
    return dynamic_cast<EmptyStateView*>(shownPage());
}

void PageArea::refreshPage()
{
    const BrowserState& state = m_ctx.state;
    PageKind kind = PageKind::start;
    std::optional<Tab> tab;
    if (state.splitViewConfig().isEnabled)
        kind = PageKind::split;
    else if ((tab = state.activeTab()))
        kind = PageKind::tab;
    const std::optional<Uuid> tabId = tab ? std::optional<Uuid>(tab->id) : std::nullopt;
    const std::optional<Uuid> spaceId = state.currentSpaceId();
    const bool spaceChanged = m_pageKind != PageKind::none && spaceId != m_pageSpaceId;
    if (kind == m_pageKind && tabId == m_pageTabId && !spaceChanged)
        return;

    Gtk::Widget* page = nullptr;
    if (kind == PageKind::tab) {
        auto kept = m_tabPages.find(tab->id);
        // A tab moved to another space needs a page of that space.
        if (kept != m_tabPages.end() && kept->second.spaceId != tab->spaceId)
            dropTabPage(tab->id);
        else if (kept != m_tabPages.end())
            page = kept->second.page;
    }
    const bool built = !page;
    if (built)
        page = makePage(kind, tab);
    const bool keep = kind == PageKind::tab && m_slots.tabContent;
    if (keep && built)
        m_tabPages.emplace(tab->id, KeptPage{page, tab->spaceId});

    // A space change slides the whole page area: from the trailing side for a step forward
    // (and for changes made by other means before any step), from the leading side back.
    m_pages.show(*page, spaceChanged ? (m_spaceStep < 0 ? -1 : 1) : 0, keep);

    m_pageKind = kind;
    m_pageTabId = tabId;
    m_pageSpaceId = spaceId;
    refreshSplitToolbar();
}

Gtk::Widget* PageArea::makePage(PageKind kind, const std::optional<Tab>& tab)
{
    Gtk::Widget* page = nullptr;
    switch (kind) {
    case PageKind::split:
        if (m_slots.splitView)
            page = m_slots.splitView(m_ctx);
        break;
    case PageKind::tab:
        if (m_slots.tabContent)
            page = m_slots.tabContent(m_ctx, *tab);
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
    return page;
}

void PageArea::dropTabPage(const Uuid& tabId)
{
    auto kept = m_tabPages.find(tabId);
    if (kept == m_tabPages.end())
        return;
    Gtk::Widget* page = kept->second.page;
    m_tabPages.erase(kept);
    if (page == m_pages.shownPage()) {
        m_pageKind = PageKind::none;
        m_pageTabId.reset();
    }
    m_pages.remove(*page);
}

void PageArea::refreshSplitToolbar()
{
    // The split toolbar stands at the end of its row while split view is on.
    if (auto* old = m_splitToolbarSlot.get_first_child())
        m_splitToolbarSlot.remove(*old);
    if (m_pageKind == PageKind::split && m_slots.splitViewToolbar) {
        if (auto* toolbar = m_slots.splitViewToolbar(m_ctx))
            m_splitToolbarSlot.append(*toolbar);
    }
    m_splitToolbarRow.set_visible(m_pageKind == PageKind::split && m_splitToolbarSlot.get_first_child());
}

void PageArea::refreshBezel()
{
    const bool bezel = m_ctx.state.isBrowserBezelEnabled();
    m_surface.setBezelEnabled(bezel);
    m_bezelOffDrag.set_visible(!bezel);
    // The toolbar's end lines up with the frame's (inset by the bezel padding with the bezel on);
    // the frame's own inset gives the gap below it.
    m_splitToolbarSlot.set_margin_end(8);
    m_splitToolbarSlot.set_margin_bottom(bezel ? 0 : 6);
    // Inside the frame, which is inset by the bezel padding already: 20 and 20 from the
    // frame's outer edges with the bezel, 12 and 16 without.
    m_findLayer.set_margin_top(12);
    m_findLayer.set_margin_end(bezel ? 12 : 16);
}

void PageArea::refreshFindBar()
{
    const bool visible = m_ctx.state.isFindInPageVisible();
    if (visible == m_findLayer.isPresented())
        return;
    if (!visible) {
        m_findLayer.dismiss();
        return;
    }
    Gtk::Widget* bar = m_slots.findBar ? m_slots.findBar(m_ctx) : nullptr;
    if (!bar)
        return; // nothing to show yet; the flag still belongs to the state
    bar->set_halign(Gtk::Align::END);
    bar->set_valign(Gtk::Align::START);
    m_findLayer.present(bar);
    m_findLayer.giveKeys();
}

} // namespace kovi
