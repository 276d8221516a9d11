#pragma once

#include "ui/app/main_browser_view.h"
#include "ui/app/typing_hold.h"
#include "ui/app/window_focus.h"
#include "ui/base/view_slots.h"

#include <giomm/menumodel.h>
#include <gtkmm/applicationwindow.h>
#include <gtkmm/menubutton.h>
#include <gtkmm/shortcutcontroller.h>

namespace kovi {

struct AppContext;
class CommandActions;

// The one browser window: client-side decorations with an empty title bar (the content runs to
// the top edge) and the root view. The window's own buttons (close, minimise, maximise) are the
// desktop's, in the bar of each layout (the horizontal tab bar, the sidebar's top row), so they
// come and go with the layout shown. The keyboard focus starts on the page, or on the start
// page's field, and stays in the newest panel while one is open (WindowFocus).
class MainWindow : public Gtk::ApplicationWindow {
public:
    MainWindow(AppContext& ctx, ViewSlots slots, const CommandActions& commands);
    ~MainWindow() override;

    MainBrowserView& rootView() { return m_root; }
    // What opens by itself waits here while the user types in the window.
    TypingHold& typingHold() { return m_hold; }
    // Whether the screen shown now shows the window's own buttons.
    bool windowButtonsVisible();
    // The pages are made (after the window's first paint): the shown one takes the keys, unless
    // they went somewhere since the window was shown.
    void pagesMade() { m_focus.placeIfStillUnplaced(); }

private:
    static constexpr const char* windowMenuClass = "kovi-window-menu";

    // The page, or the start page's search field; false when neither can take the focus now.
    bool focusTypingTarget();
    // Ctrl+L: the layout's address field takes the keys; false when there is none to take them.
    bool editAddress();
    // F10: the window's menu opens, wherever the layout keeps it.
    bool openWindowMenu();
    static Gtk::MenuButton* findWindowMenu(Gtk::Widget& root);

    AppContext& m_ctx;
    TypingHold m_hold;
    MainBrowserView m_root;
    WindowFocus m_focus;
    sigc::connection m_menuShown;
    sigc::connection m_menuClosed;
};

} // namespace kovi
