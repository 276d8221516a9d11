#pragma once

#include "ui/windows/floating_window_controller.h"

#include <functional>

namespace kovi {

struct AppContext;

// The application's small floating windows, both kinds: "Little Kovi", which a tab's menu opens
// ("Open in Quick View"), and the quick-view window placed at the pointer. Owned by the
// application after the page layer and destroyed before it; closing the main window closes them
// all. Main thread only.
class FloatingWindows {
public:
    FloatingWindows(AppContext& ctx, std::function<Gtk::Window*()> mainWindow);

    FloatingBrowserWindow& openSmallWindow(const Url& url, std::optional<Uuid> fromTabId = std::nullopt)
    {
        return m_smallWindow.open(url, fromTabId);
    }
    FloatingBrowserWindow& openQuickView(const Url& url, std::optional<Uuid> fromTabId = std::nullopt)
    {
        return m_quickView.open(url, fromTabId);
    }
    void closeAll();

    FloatingWindowController& smallWindow() { return m_smallWindow; }
    FloatingWindowController& quickView() { return m_quickView; }

private:
    FloatingWindowController m_smallWindow;
    FloatingWindowController m_quickView;
};

} // namespace kovi
