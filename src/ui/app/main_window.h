#pragma once

#include "ui/app/main_browser_view.h"
#include "ui/app/window_focus.h"
#include "ui/base/view_slots.h"

#include <giomm/menumodel.h>
#include <gtkmm/applicationwindow.h>

namespace kovi {

struct AppContext;
class CommandActions;

// The one browser window: client-side decorations with an empty title bar (the content runs to
// the top edge) and the root view. The window's own buttons (close, minimise, maximise) are the
// desktop's, in the bar of each layout (the horizontal tab bar, the sidebar's top row), so they
// come and go with the layout shown. The keyboard focus starts on the page, or on the start
// page's field.
class MainWindow : public Gtk::ApplicationWindow {
public:
    MainWindow(AppContext& ctx, ViewSlots slots, const CommandActions& commands);
    ~MainWindow() override;

    MainBrowserView& rootView() { return m_root; }
    // Whether the screen shown now shows the window's own buttons.
    bool windowButtonsVisible();

private:
    // The page, or the start page's search field; false when neither can take the focus now.
    bool focusTypingTarget();

    AppContext& m_ctx;
    MainBrowserView m_root;
    WindowFocus m_focus;
};

} // namespace kovi
