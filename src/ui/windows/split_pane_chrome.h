#pragma once

#include "core/model/tab.h"
#include "ui/windows/nav_button.h"

#include <gtkmm/box.h>
#include <gtkmm/label.h>

#include <functional>

namespace kovi {

class NotificationCenter;

// The header at the top of a split pane, above its page: back, forward and reload-or-stop for the
// pane's own tab, and where its page comes from. The buttons post the page commands with the
// pane's tab as the object, so only that tab's page obeys, whichever tab is active. Its border
// shows whether the pane is the active one. Main thread only.
class SplitPaneChrome : public Gtk::Box {
public:
    SplitPaneChrome(NotificationCenter& notifications, const Tab& tab, bool isActive);

    // Shows this copy of the pane's tab; only what differs is touched.
    void update(const Tab& tab, bool isActive);

    NavButton& backButton() { return m_back; }
    NavButton& forwardButton() { return m_forward; }
    NavButton& reloadButton() { return m_reload; }
    Gtk::Label& titleLabel() { return m_title; }
    bool isActive() const { return m_isActive; }

private:
    void post(const char* name);

    NotificationCenter& m_notifications;
    Tab m_tab;
    bool m_isActive = false;
    Gtk::Box m_buttons{Gtk::Orientation::HORIZONTAL, 6};
    NavButton m_back;
    NavButton m_forward;
    NavButton m_reload;
    Gtk::Label m_title;
};

} // namespace kovi
