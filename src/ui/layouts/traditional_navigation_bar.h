#pragma once

#include "core/layouts/navigation_bar_model.h"
#include "core/support/scoped_connections.h"
#include "ui/library/bookmark_star.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/image.h>

namespace kovi {

struct AppContext;

// The bar under the tab strip of the horizontal-tab layout: back, forward and reload, the
// address field (a lock for https pages; the click that gives it the keys selects the whole
// address; Return loads the text, or searches for it; Escape puts the page's address back; either
// hands the keys to the page), the page tools (bookmark star, page extensions, library and split
// view) and, last, the window's menu when the window gives it. Every button runs a command of
// the command table. Main thread only; the context outlives the bar.
class TraditionalNavigationBar : public Gtk::Box {
public:
    explicit TraditionalNavigationBar(AppContext& ctx);

    NavigationBarModel& model() { return m_model; }
    Gtk::Entry& addressField() { return m_entry; }
    Gtk::Button& backButton() { return m_back; }
    Gtk::Button& forwardButton() { return m_forward; }
    Gtk::Button& reloadButton() { return m_reload; }
    Gtk::Button& starButton() { return m_star; }
    Gtk::Button& extensionsButton() { return m_extensions; }
    Gtk::Button& libraryButton() { return m_library; }
    Gtk::Button& splitButton() { return m_split; }
    // Places the window's menu button (a managed widget; nullptr removes it) at the end.
    void setWindowMenu(Gtk::Widget* menu);
    Gtk::Widget* windowMenu() const { return m_windowMenu; }
    bool isLockShown() const { return m_lockShown; }
    // Back and Forward take clicks (their commands are always enabled; the bar's own rule
    // decides whether they look and act enabled).
    bool canGoBack() const { return m_backSlot.get_sensitive(); }
    bool canGoForward() const { return m_forwardSlot.get_sensitive(); }

private:
    void refreshPage();
    void refreshText();
    void refreshSplit();
    // Done with the address field by key (Return, Escape).
    void leaveField();

    AppContext& m_ctx;
    NavigationBarModel m_model;
    bool m_settingText = false;
    bool m_lockShown = false;

    Gtk::Box m_navigation{Gtk::Orientation::HORIZONTAL, 4};
    Gtk::Box m_backSlot, m_forwardSlot;
    Gtk::Button m_back, m_forward, m_reload;
    Gtk::Box m_address{Gtk::Orientation::HORIZONTAL, 8};
    Gtk::Image m_addressIcon;
    Gtk::Entry m_entry;
    Gtk::Box m_tools{Gtk::Orientation::HORIZONTAL, 4};
    BookmarkStar m_star;
    Gtk::Button m_extensions, m_library, m_split;
    Gtk::Widget* m_windowMenu = nullptr;
    ScopedConnections m_connections;
};

} // namespace kovi
