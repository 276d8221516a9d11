#pragma once

#include "core/support/notification_center.h"
#include "core/support/main_loop_delayed_task.h"
#include "core/support/scoped_connections.h"
#include "core/windows/floating_page_state.h"
#include "core/windows/floating_window_kind.h"
#include "core/windows/load_watchdog.h"
#include "ui/web/standalone_web_view.h"
#include "ui/windows/nav_button.h"

#include <gtkmm/box.h>
#include <gtkmm/label.h>
#include <gtkmm/shortcutcontroller.h>
#include <gtkmm/window.h>
#include <gtkmm/windowhandle.h>

#include <optional>

namespace kovi {

class WebContent;

// A small browser window of one kind ("Little Kovi" or "Quick View"): a slim toolbar (back,
// forward, the page's title, reload or stop, open in the main window) above a page of its own
// in the session of the space it was opened from. Its buttons post the kind's commands with this
// window's id, and only this window obeys them. Ctrl+W closes it, also from its page's menu. A
// load that makes no progress for 60 s is stopped. The title follows the page after every load,
// also back and forward: its title, "Untitled" without one, empty for an empty one, and the
// failure for a load that failed or timed out. Main thread only.
class FloatingBrowserWindow : public Gtk::Window {
public:
    FloatingBrowserWindow(const FloatingWindowKind& kind, WebContent& web, NotificationCenter& notifications,
                          const Url& url, std::optional<Uuid> spaceId);
    ~FloatingBrowserWindow() override;

    const Uuid& id() const { return m_id; }
    const FloatingWindowKind& kind() const { return m_kind; }
    const FloatingPageState& pageState() const { return m_state; }
    StandaloneWebView& page() { return m_page; }
    // Stops the page and lets go of its view now; the window itself may go a moment later.
    void closePage();

    NavButton& backButton() { return m_back; }
    NavButton& forwardButton() { return m_forward; }
    NavButton& reloadButton() { return m_reload; }
    NavButton& openInMainButton() { return m_openInMain; }
    Gtk::Label& titleLabel() { return m_title; }
    Gtk::Widget* badge() const { return m_badge; }

private:
    void buildToolbar();
    // Its keys, for the window and for its page's popups: Ctrl+W and the application's quit key.
    Glib::RefPtr<Gtk::ShortcutController> makeKeys();
    void post(const char* name);
    void obey(const char* name, void (FloatingBrowserWindow::*action)());
    void goBack();
    void goForward();
    void reloadOrStop();
    void refreshTitle();
    void showTitle();
    void addressChanged();
    void loadingChanged();
    void historyChanged();

    const FloatingWindowKind& m_kind;
    NotificationCenter& m_notifications;
    Uuid m_id;
    FloatingPageState m_state;
    MainLoopDelayedTask m_watchdogTimer;
    LoadWatchdog m_watchdog;
    bool m_timedOut = false;
    unsigned m_titleQuery = 0; // the latest question about the page's title element

    Gtk::WindowHandle m_titlebar;
    Gtk::Box m_toolbar{Gtk::Orientation::HORIZONTAL, 8};
    Gtk::Widget* m_badge = nullptr; // managed, quick view only
    Gtk::Box m_history{Gtk::Orientation::HORIZONTAL, 2};
    NavButton m_back;
    NavButton m_forward;
    Gtk::Label m_title;
    NavButton m_reload;
    NavButton m_openInMain;
    Gtk::Box m_content{Gtk::Orientation::VERTICAL};
    StandaloneWebView m_page;
    ScopedConnections m_connections;
};

} // namespace kovi
