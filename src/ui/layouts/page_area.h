#pragma once

#include "core/support/uuid.h"
#include "ui/base/view_slots.h"
#include "ui/design/overlay_layer.h"
#include "ui/design/page_transition.h"
#include "ui/design/styles.h"
#include "ui/design/window_chrome.h"

#include <gtkmm/box.h>
#include <gtkmm/overlay.h>
#include <sigc++/connection.h>

#include <optional>
#include <unordered_map>
#include <vector>

namespace kovi {

struct AppContext;
class EmptyStateView;
struct Tab;

// Where a browser layout shows pages: the split toolbar's row while split view is on (a row of
// its own, so it never covers the panes' headers), then one frame (rounded with the bezel on)
// holding the bookmarks bar above the page (split view, the active tab's page, or the start page)
// with the find bar in its top-right corner. A space change slides the new page in from the side
// of the last space step; other changes swap at once.
//
// A tab's page is built the first time the tab is shown here and kept, hidden, while the tab is
// open and in the same space, so that going back to the tab never takes its page out of the
// window (see PageTransition). Views plug in through ViewSlots: tabContent, splitView,
// splitViewToolbar, findBar, bookmarkStrip.
class PageArea : public Gtk::Box {
public:
    PageArea(AppContext& ctx, ViewSlots slots);
    ~PageArea() override;

    // The last space step (-1 or +1): the next space change slides in from that side.
    void setSpaceStep(int step) { m_spaceStep = step; }
    int spaceStep() const { return m_spaceStep; }

    // ---- Inspection, for tests ----
    Gtk::Widget* shownPage() const { return m_pages.shownPage(); }
    EmptyStateView* startPage() const;
    PageTransition& pages() { return m_pages; }
    BrowserSurface& browserSurface() { return m_surface; }
    OverlayLayer& findBarLayer() { return m_findLayer; }
    Gtk::Widget& dragStripWhenBezelOff() { return m_bezelOffDrag; }
    Gtk::Widget& splitToolbarRow() { return m_splitToolbarRow; }

private:
    enum class PageKind { none, start, tab, split };
    struct KeptPage {
        Gtk::Widget* page;
        std::optional<Uuid> spaceId; // the tab's space when the page was built
    };

    void refreshPage();
    Gtk::Widget* makePage(PageKind kind, const std::optional<Tab>& tab);
    void dropTabPage(const Uuid& tabId);
    void refreshSplitToolbar();
    void refreshBezel();
    void refreshFindBar();

    AppContext& m_ctx;
    ViewSlots m_slots;
    std::vector<sigc::connection> m_connections;

    BrowserSurface m_surface;
    Gtk::Box m_framed{Gtk::Orientation::VERTICAL}; // the bookmarks bar above the page
    Gtk::Box m_bookmarkSlot{Gtk::Orientation::VERTICAL};
    WindowDragHandle m_splitToolbarRow; // the free part of the row moves the window
    Gtk::Box m_splitToolbarSlot{Gtk::Orientation::HORIZONTAL};
    Gtk::Overlay m_pageOverlay;
    PageTransition m_pages;
    WindowDragHandle m_bezelOffDrag;
    OverlayLayer m_findLayer;

    PageKind m_pageKind = PageKind::none;
    std::optional<Uuid> m_pageTabId;
    std::optional<Uuid> m_pageSpaceId;
    int m_spaceStep = 0;
    std::unordered_map<Uuid, KeptPage> m_tabPages;
};

} // namespace kovi
