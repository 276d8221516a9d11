#pragma once

#include "ui/layouts/floating_sidebar.h"
#include "ui/design/motion.h"
#include "ui/design/window_chrome.h"

#include <gtkmm/box.h>
#include <gtkmm/overlay.h>
#include <sigc++/connection.h>

#include <functional>
#include <memory>
#include <vector>

namespace kovi {

struct AppContext;
class SidebarHost;

// The sidebar of the sidebar layout and where it sits beside the page area: docked as a
// resizable column, or floating over the page (FloatingSidebar). SidebarHost::isPinned chooses
// the form; the new form fades in. The window's own controls sit in a strip above the sidebar
// until the sidebar takes them into its top bar.
class SidebarDock : public Gtk::Box {
public:
    static constexpr int chromeStripHeight = 38;

    // `sidebar` may be nullptr (an empty column); `pageArea` is placed beside or under it.
    SidebarDock(AppContext& ctx, SidebarHost& host, Gtk::Widget* sidebar, Gtk::Widget& pageArea);
    ~SidebarDock() override;

    // `make` builds the window's controls (a new managed widget on every call).
    void setChromeStart(std::function<Gtk::Widget*()> make);

    // ---- Inspection, for tests ----
    Gtk::Widget& sidebarColumn() { return m_sidebarColumn; }
    Gtk::Widget& chromeStrip() { return m_chromeStrip; }
    Gtk::Widget* sidebarWidget() const { return m_sidebar; }
    SidebarResizeHandle& dockedResizeHandle() { return m_dockedHandle; }
    FloatingSidebar& floating() { return m_floating; }

private:
    void buildDocked();
    void applyForm();
    void refreshSidebarWidth();

    AppContext& m_ctx;
    SidebarHost& m_host;
    Gtk::Widget& m_pageArea;
    std::vector<sigc::connection> m_connections;

    // Sidebar column: the chrome strip (window controls, drag area), then the sidebar.
    Gtk::Box m_sidebarColumn{Gtk::Orientation::VERTICAL};
    Gtk::Box m_chromeStrip{Gtk::Orientation::HORIZONTAL};
    Gtk::Box m_chromeStartSlot{Gtk::Orientation::HORIZONTAL};
    Gtk::Box m_sidebarSlot{Gtk::Orientation::VERTICAL};
    Gtk::Widget* m_sidebar = nullptr;
    Gtk::Widget* m_chromeStart = nullptr;

    // Docked form.
    Gtk::Overlay m_docked;
    Gtk::Box m_dockedRow{Gtk::Orientation::HORIZONTAL};
    Gtk::Box m_dockedSidebarSlot{Gtk::Orientation::VERTICAL};
    Gtk::Box m_dockedPageSlot{Gtk::Orientation::VERTICAL};
    SidebarResizeHandle m_dockedHandle;

    FloatingSidebar m_floating;
    std::unique_ptr<MotionValue> m_formFade; // docked ↔ floating
};

} // namespace kovi
