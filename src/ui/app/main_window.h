#pragma once

#include "ui/app/main_browser_view.h"
#include "ui/app/window_focus.h"
#include "ui/base/view_parts.h"

#include <giomm/menumodel.h>
#include <gtkmm/applicationwindow.h>
#include <gtkmm/box.h>
#include <gtkmm/overlay.h>
#include <gtkmm/windowcontrols.h>
#include <sigc++/connection.h>

#include <vector>

namespace kovi {

struct AppContext;
class CommandActions;

// The one browser window: client-side decorations with an empty title bar (the content runs to
// the top edge), the root view, and the window's own buttons (close, minimise, maximise) shown
// only in the horizontal-tab layout. The buttons follow the stored layout every time it changes,
// whoever changes it. The keyboard focus starts on the page, or on the start page's field.
class MainWindow : public Gtk::ApplicationWindow {
public:
    MainWindow(AppContext& ctx, ViewParts parts, const CommandActions& commands);
    ~MainWindow() override;

    MainBrowserView& rootView() { return m_root; }
    bool windowButtonsVisible() const { return m_buttons.get_visible(); }
    // Re-reads "browserLayoutMode" from the settings: shown exactly for "traditional".
    void updateTrafficLights();

private:
    // The page, or the start page's search field; false when neither can take the focus now.
    bool focusTypingTarget();

    AppContext& m_ctx;
    Gtk::Overlay m_overlay;
    MainBrowserView m_root;
    Gtk::Box m_buttons{Gtk::Orientation::HORIZONTAL};
    Gtk::WindowControls m_startControls{Gtk::PackType::START};
    Gtk::WindowControls m_endControls{Gtk::PackType::END};
    WindowFocus m_focus;
    std::vector<sigc::connection> m_connections;
};

} // namespace kovi
