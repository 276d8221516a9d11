#pragma once

#include <gdkmm/frameclock.h>
#include <gtkmm/window.h>
#include <sigc++/connection.h>

#include <functional>
#include <optional>
#include <vector>

#include "core/support/scoped_connections.h"

namespace kovi {

class BrowserState;
class OverlayLayer;

// Keeps the keyboard focus of a window where its keys work and typing is expected: in the top
// layer (the newest open panel) while one is shown, else on the page or the start page's field
// (`focusTypingTarget`).
//
// The toolkit leaves the focus on a widget that went away (a closed tab's page, an item of a
// closed menu, the old layout after a switch) until its next frame, and then hands it to
// whatever it finds first, which may be inside the closed menu, where keys reach nothing, or a
// control that shows a focus ring. So the focus is placed again when its widget goes away, when
// nothing holds it, when it lands on a window control other than by Tab, and when it is outside
// the top layer (Tab out of a panel wraps around inside it), and when the window is shown (the
// toolkit picks its first button). An open menu keeps the keyboard, also over a layer; a menu
// whose place went away while it was open is closed. Window controls are the buttons inside a
// Gtk::WindowControls. Main thread only.
class WindowFocus {
public:
    // `focusTypingTarget` returns whether it placed the focus; `topLayer` returns the layer that
    // holds the keyboard now, if any.
    WindowFocus(Gtk::Window& window, BrowserState& state, std::function<bool()> focusTypingTarget,
                std::function<OverlayLayer*()> topLayer);
    ~WindowFocus();
    WindowFocus(const WindowFocus&) = delete;
    WindowFocus& operator=(const WindowFocus&) = delete;

    static bool isWindowControl(Gtk::Widget* widget);
    // The typing target can come after the window is shown (the pages are made once it has
    // painted): if the focus is still where the toolkit put it at the show, it goes there now.
    void placeIfStillUnplaced();

private:
    void focusChanged();
    void watch(Gtk::Widget* focus);
    void focusWidgetUnmapped(Gtk::Widget* widget);
    void disconnectClock();
    // Closes the menu the keys were in last if it is still open but out of sight.
    void closeMenuLeftBehind();
    void schedule();
    void place(bool lost);
    bool misplaced(Gtk::Widget* focus, OverlayLayer* top) const;
    static GtkPopover* menuOf(Gtk::Widget* widget);
    // Whether `widget` is inside a menu (a popover) that is open.
    static bool inOpenMenu(Gtk::Widget* widget);

    Gtk::Window& m_window;
    std::function<bool()> m_focusTypingTarget;
    std::function<OverlayLayer*()> m_topLayer;
    std::optional<Gtk::DirectionType> m_tabbing; // the key being handled is Tab, this way
    std::optional<Gtk::DirectionType> m_tabbedOut; // Tab left the top layer this way
    const Gtk::Widget* m_reachedByTab = nullptr; // compared only, never used
    bool m_lost = false; // its widget went away; placed after the next frame
    bool m_painting = false; // between the paint and the end of a frame while lost
    bool m_showing = false; // the window was just shown
    bool m_unplaced = false; // the show found no typing target; the toolkit's pick stays
    const Gtk::Widget* m_toolkitPick = nullptr; // compared only, never used
    sigc::connection m_idle;
    sigc::connection m_menuCheck;
    GWeakRef m_menu; // the menu the keys were in last
    sigc::connection m_unmapped;
    Glib::RefPtr<Gdk::FrameClock> m_clock;
    gulong m_paint = 0;
    gulong m_afterPaint = 0;
    ScopedConnections m_connections; // last: dropped before the members its slots use
};

} // namespace kovi
