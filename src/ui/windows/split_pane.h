#pragma once

#include "core/model/split_view_config.h"
#include "core/model/tab.h"
#include "ui/windows/split_pane_chrome.h"

#include <gtkmm/box.h>
#include <gtkmm/droptarget.h>
#include <gtkmm/gestureclick.h>
#include <gtkmm/overlay.h>

namespace kovi {

struct AppContext;

// One pane of the split view: its header, then the tab's page below it (its pooled view, moved
// here without a reload), the border that marks the active pane and the highlight of a drag over
// it. The header takes its own room: it never hides the top of the page.
// A press anywhere makes it the active pane, and a tab dragged from the sidebar onto it replaces
// its tab. Both are handled on the way down to the page without claiming the press, so the page
// still gets its clicks; a sidebar drag never reaches the page, so its "tab:" text is never typed
// into it, while text from other programs still is. Main thread only.
class SplitPane : public Gtk::Overlay {
public:
    SplitPane(AppContext& ctx, SplitViewSide side, const Tab& tab, bool isActive);
    ~SplitPane() override;

    const Uuid& tabId() const { return m_tab.id; }
    SplitViewSide side() const { return m_side; }
    void setSide(SplitViewSide side) { m_side = side; }
    void update(const Tab& tab, bool isActive);

    bool isActive() const { return m_isActive; }
    bool isDropTargeted() const { return m_isDropTargeted; }
    SplitPaneChrome& chrome() { return m_chrome; }
    Gtk::Widget* page() const { return m_page; }
    Glib::RefPtr<Gtk::DropTarget> dropTarget() const { return m_dropTarget; }

private:
    void pressed(double x, double y);
    void setDropTargeted(bool targeted);

    AppContext& m_ctx;
    SplitViewSide m_side;
    Tab m_tab;
    bool m_isActive = false;
    bool m_isDropTargeted = false;
    Gtk::Box m_column{Gtk::Orientation::VERTICAL};
    SplitPaneChrome m_chrome;
    Gtk::Widget* m_page = nullptr; // managed child
    Gtk::Box m_border;
    Gtk::Box m_dropHighlight;
    Glib::RefPtr<Gtk::GestureClick> m_click;
    Glib::RefPtr<Gtk::DropTarget> m_dropTarget;
};

} // namespace kovi
