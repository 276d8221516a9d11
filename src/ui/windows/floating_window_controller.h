#pragma once

#include "core/support/scoped_connections.h"
#include "core/support/url.h"
#include "core/support/uuid.h"
#include "core/windows/floating_window_kind.h"
#include "core/windows/floating_window_placement.h"
#include "ui/design/icon_keeper.h"
#include "ui/windows/floating_browser_window.h"

#include <sigc++/connection.h>
#include <sigc++/trackable.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace Gtk {
class Window;
}

namespace kovi {

struct AppContext;

// The open floating windows of one kind. Each open makes a new window, transient for the main
// window (the toolkit offers no always-on-top or all-desktops request; this keeps it above the
// browser window), placed at the pointer or in the middle of the screen on X11 and where the
// compositor decides elsewhere. A window the user closes is destroyed at once with its page.
// "Open in main window" opens the page as a new tab of the shown space. Main thread only.
class FloatingWindowController : public sigc::trackable {
public:
    // `parent` gives the main window (or nothing); `ctx.web` must be there.
    FloatingWindowController(const FloatingWindowKind& kind, AppContext& ctx, std::function<Gtk::Window*()> parent);
    ~FloatingWindowController();
    FloatingWindowController(const FloatingWindowController&) = delete;
    FloatingWindowController& operator=(const FloatingWindowController&) = delete;

    // A new window on `url`, in the session of the space of the tab it comes from, or of the
    // shown space when it comes from no tab.
    FloatingBrowserWindow& open(const Url& url, std::optional<Uuid> fromTabId = std::nullopt);
    // Closes every window of this kind, newest first.
    void closeAll();

    std::size_t size() const { return m_windows.size(); }
    FloatingBrowserWindow* window(std::size_t index) const { return index < m_windows.size() ? m_windows[index].get() : nullptr; }
    FloatingBrowserWindow* find(const Uuid& id) const;

private:
    std::optional<Uuid> spaceFor(const std::optional<Uuid>& tabId) const;
    void place(FloatingBrowserWindow& window, std::optional<ScreenPoint> pointer);
    bool closeRequested(FloatingBrowserWindow& window);
    void openInMain(const Notification& note);
    bool reap();
    void watchParent(Gtk::Window* parent);

    const FloatingWindowKind& m_kind;
    AppContext& m_ctx;
    std::function<Gtk::Window*()> m_parent;
    std::vector<std::unique_ptr<FloatingBrowserWindow>> m_windows;
    // Closed windows whose page is gone, deleted on the next turn of the main loop: never inside
    // their own close handler.
    std::vector<std::unique_ptr<FloatingBrowserWindow>> m_closed;
    sigc::connection m_reap;
    sigc::connection m_openInMain;
    // The main window whose closing closes every window (closing destroys it without hiding).
    Gtk::Window* m_watchedParent = nullptr;
    IconKeeper m_icons;
    ScopedConnections m_parentWatch;
};

} // namespace kovi
