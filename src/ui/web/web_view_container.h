#pragma once

#include "core/model/tab.h"
#include "core/support/main_loop_delayed_task.h"
#include "core/support/scoped_connections.h"
#include "core/web/zoom_badge_model.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/overlay.h>

#include <memory>

namespace kovi {

class WebContent;
class WebViewRepresentable;

// The content of one tab: its live page; over it, while the tab's last load failed, an opaque
// overlay with the error and "Try Again"; and for a moment after each zoom change a badge with
// the zoom percentage in the top-right corner. Built for one tab; a container for another tab
// is a new container. Main thread only.
class WebViewContainer : public Gtk::Overlay {
public:
    WebViewContainer(WebContent& web, const Tab& tab);

    const Uuid& tabId() const { return m_tabId; }
    WebViewRepresentable& page() { return *m_page; }

    bool isErrorShown() const;
    std::string errorMessage() const;
    bool isZoomBadgeShown() const { return m_badge.isVisible(); }
    int zoomPercent() const { return m_badge.zoomPercent(); }

    // "Try Again": clears the tab's error and loads the address the tab holds now.
    void tryAgain();

private:
    void refreshError();
    void refreshBadge();

    WebContent& m_web;
    Uuid m_tabId; // only the id: the tab's address and title move on
    MainLoopDelayedTask m_badgeHide;
    ZoomBadgeModel m_badge;
    WebViewRepresentable* m_page = nullptr; // managed child
    Gtk::Box m_errorLayer;
    Gtk::Label m_errorTitle;
    Gtk::Label m_errorMessage;
    Gtk::Button m_tryAgain;
    Gtk::Label m_badgeLabel;
    ScopedConnections m_connections;
};

} // namespace kovi
