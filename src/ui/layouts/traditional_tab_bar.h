#pragma once

#include "core/layouts/tab_drop_controller.h"
#include "core/model/tab.h"
#include "core/support/scoped_connections.h"
#include "core/support/uuid.h"
#include "ui/design/held_length_bin.h"
#include "ui/design/still_pointer_hover.h"
#include "ui/layouts/space_menu_button.h"
#include "ui/layouts/tab_strip_area.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/separator.h>
#include <gtkmm/spinner.h>
#include <gtkmm/windowcontrols.h>
#include <gtkmm/windowhandle.h>

#include <functional>
#include <unordered_map>
#include <vector>

namespace kovi {

class BrowserState;
class TraditionalPinnedTab;
class TraditionalTab;

// The strip across the top of the horizontal-tab layout, 38 px high: the window buttons the
// desktop puts at the start, the space menu, the scrolling strip of pinned and normal tabs, the
// new-tab button, the downloads button with its spinner, and the window buttons of the end. The
// bar's empty parts move the window; the tabs do not (they are dragged themselves).
//
// One widget per tab, kept while the tab is in the shown space: a change of title, favicon,
// order or active tab updates or moves the existing widget, never rebuilds it (a drag must keep
// the widget it started from). Normal tabs are dragged onto each other to reorder them (the
// payload is the tab's id as plain text); the rules are TabDropController's.
//
// The strip scrolls by the wheel (either axis moves it sideways), showing whole tabs only
// (TabStripArea). It scrolls by itself only to bring the active tab into view, by the least
// distance, when the active tab changes or the strip's room does (first layout, window resize):
// a click on a tab in view never moves it, and page updates never undo the user's own
// scrolling. Main thread only; the state outlives the bar.
class TraditionalTabBar : public Gtk::Box {
public:
    static constexpr int height = 38;
    static constexpr int buttonGap = 78;

    // Without `openQuickView` the tabs' menus show "Open in Quick View" disabled.
    explicit TraditionalTabBar(BrowserState& state, std::function<void(const Tab&)> openQuickView = {});
    ~TraditionalTabBar() override;

    // ---- Inspection, for tests and benchmarks ----
    TabDropController& drops() { return m_drops; }
    SpaceMenuButton& spaceMenu() { return m_spaceMenu; }
    Gtk::ScrolledWindow& scroller() { return m_scroller; }
    Gtk::Separator& pinnedSeparator() { return m_separator; }
    Gtk::Button& newTabButton() { return m_newTab; }
    Gtk::Button& downloadsButton() { return m_downloads; }
    Gtk::Spinner& downloadsSpinner() { return m_spinner; }
    TraditionalTab* tabWidget(const Uuid& id) const;
    TraditionalPinnedTab* pinnedTabWidget(const Uuid& id) const;
    // The normal tabs as shown, first to last.
    std::vector<TraditionalTab*> shownTabs();
    // Brings the model's tabs into the strip now (the bar also does it on every change).
    void refresh();

private:
    void refreshActive();
    void refreshDragLook();
    void refreshDownloads();
    // After the next frame's layout (queued unless `inLayout`), bring the active tab into view.
    void revealActiveSoon(bool inLayout = false);
    void stopRevealing();
    void revealActive();
    // Brings a tab of the strip into view; false while it is not placed yet.
    bool reveal(Gtk::Widget& item);
    void revealOnFocus(Gtk::Widget& item);
    bool scrollByWheel(double dx, double dy);
    // Where the strip's items lie at their least widths.
    TabStripArea::Layout stripLayout() const;
    TraditionalTab* makeTab(const Tab& tab);
    TraditionalPinnedTab* makePinnedTab(const Tab& tab);

    BrowserState& m_state;
    std::function<void(const Tab&)> m_openQuickView;
    TabDropController m_drops;
    bool m_revealPending = false;
    GdkFrameClock* m_revealClock = nullptr; // while a reveal waits for a frame
    gulong m_afterPaint = 0;

    Gtk::WindowHandle m_gapHandle;
    Gtk::Box m_gap{Gtk::Orientation::HORIZONTAL, 0};
    Gtk::WindowHandle m_spaceHandle;
    Gtk::WindowControls m_startControls{Gtk::PackType::START};
    Gtk::WindowControls m_endControls{Gtk::PackType::END};
    SpaceMenuButton m_spaceMenu;
    Gtk::ScrolledWindow m_scroller;
    Gtk::Box m_strip{Gtk::Orientation::HORIZONTAL, 2};
    HeldLengthBin m_stripHold{Gtk::Orientation::HORIZONTAL, m_scroller}; // the strip, in the scroller
    Gtk::Box m_pinned{Gtk::Orientation::HORIZONTAL, 2};
    Gtk::Separator m_separator{Gtk::Orientation::VERTICAL};
    Gtk::Box m_normal{Gtk::Orientation::HORIZONTAL, 2};
    Gtk::Button m_newTab;
    TabStripArea m_stripArea{m_scroller, m_newTab, m_spaceHandle, [this] { return stripLayout(); }};
    Gtk::Box m_trailing{Gtk::Orientation::HORIZONTAL, 8};
    Gtk::Button m_downloads;
    Gtk::Spinner m_spinner;

    std::unordered_map<Uuid, TraditionalTab*> m_tabs;             // managed children of m_normal
    std::unordered_map<Uuid, TraditionalPinnedTab*> m_pinnedTabs; // managed children of m_pinned
    std::optional<Uuid> m_shownActive;
    // Tabs closing or moving under a still pointer hand it the tab now there.
    StillPointerHover m_stillPointer{*this};
    ScopedConnections m_connections;
};

} // namespace kovi
