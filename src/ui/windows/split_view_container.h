#pragma once

#include "core/model/split_view_config.h"
#include "core/support/scoped_connections.h"
#include "core/windows/split_divider_drag.h"
#include "core/windows/split_layout.h"
#include "ui/windows/split_pane.h"
#include "ui/windows/split_view_divider.h"

#include <gtkmm/gesturedrag.h>
#include <gtkmm/widget.h>
#include <sigc++/connection.h>

#include <memory>
#include <optional>

namespace kovi {

struct AppContext;

// The page area while split view is on: the two panes side by side and the divider between
// them (our own container rather than a paned widget: the ratio stays within 0.2…0.8, and the
// divider's hit area lies over the panes' edges). Everything it shows comes from the browser
// state: which tab each pane shows, the ratio and the active pane. A change of ratio resizes the
// panes at once; a pane is built anew only for a tab it did not show before (a swap exchanges
// the two panes as they are). Main thread only.
class SplitViewContainer : public Gtk::Widget {
public:
    explicit SplitViewContainer(AppContext& ctx);
    ~SplitViewContainer() override;

    SplitPane* pane(SplitViewSide side) const { return side == SplitViewSide::left ? m_left.get() : m_right.get(); }
    SplitViewDivider& divider() { return m_divider; }
    // The layout of the last allocation.
    const SplitLayout& layout() const { return m_layout; }
    // Applies a pending change of the panes' tabs now (it otherwise waits for the next turn of
    // the main loop, so a pane is never destroyed inside its own event handlers).
    void flushPanes();

protected:
    Gtk::SizeRequestMode get_request_mode_vfunc() const override;
    void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                       int& minimumBaseline, int& naturalBaseline) const override;
    void size_allocate_vfunc(int width, int height, int baseline) override;

private:
    void configChanged();
    void scheduleRebuild();
    void rebuildPanes();
    void refreshPanes();
    void releaseAll();
    void dragBegan(double x, double y);
    void dragUpdated(double offsetX, double offsetY);
    void dragEnded();

    AppContext& m_ctx;
    std::unique_ptr<SplitPane> m_left;
    std::unique_ptr<SplitPane> m_right;
    SplitViewDivider m_divider;
    SplitDividerDrag m_drag;
    Glib::RefPtr<Gtk::GestureDrag> m_dragGesture;
    SplitLayout m_layout;
    sigc::connection m_rebuild;
    ScopedConnections m_connections;
};

} // namespace kovi
