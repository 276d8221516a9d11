#pragma once

#include <sigc++/connection.h>

#include <memory>

namespace Gtk {
class Window;
}

namespace kovi {

struct AppContext;
class SettingsWindow;

// Keeps the one settings window of the browser window `parent`. Opening brings the window to
// the front when it is shown (also from minimised, never a second one); after it was closed, a
// new one opens on the Profile tab. The window goes with the browser window.
class SettingsWindowController {
public:
    SettingsWindowController();
    ~SettingsWindowController();
    SettingsWindowController(const SettingsWindowController&) = delete;
    SettingsWindowController& operator=(const SettingsWindowController&) = delete;

    void openSettings(AppContext& ctx, Gtk::Window& parent);
    SettingsWindow* window() const { return m_window.get(); }

private:
    std::unique_ptr<SettingsWindow> m_window;
    sigc::connection m_parentGone;
    sigc::connection m_parentHidden;
};

} // namespace kovi
