#pragma once

#include "ui/app/main_browser_view.h"
#include "ui/app/window_focus.h"
#include "ui/base/view_parts.h"

#include <giomm/menumodel.h>
#include <gtkmm/applicationwindow.h>
#include <gtkmm/shortcutcontroller.h>
#include <sigc++/connection.h>

#include <vector>

namespace kovi {

struct AppContext;
class CommandActions;

// The one browser window: client-side decorations with an empty title bar (the content runs to
// the top edge) and the root view. The window's own buttons (close, minimise, maximise) are
// wanted only in the horizontal-tab layout, whose tab bar holds them; the wish follows the stored
// layout every time it changes, whoever changes it. The keyboard focus starts on the page, or on
// the start page's field, and stays in the newest panel while one is open (WindowFocus). The
// window's shortcuts come before the focused widget's own keys.
class MainWindow : public Gtk::ApplicationWindow {
public:
    MainWindow(AppContext& ctx, ViewParts parts, const CommandActions& commands);
    ~MainWindow() override;

    MainBrowserView& rootView() { return m_root; }
    bool windowButtonsVisible() const { return m_windowButtons; }
    // Re-reads "browserLayoutMode" from the settings: shown exactly for "traditional".
    void updateTrafficLights();

private:
    // The page, or the start page's search field; false when neither can take the focus now.
    bool focusTypingTarget();
    Glib::RefPtr<Gtk::ShortcutController> makeAddressKeyController();

    AppContext& m_ctx;
    MainBrowserView m_root;
    bool m_windowButtons = false;
    WindowFocus m_focus;
    std::vector<sigc::connection> m_connections;
};

} // namespace kovi
