#pragma once

#include <gdk/gdk.h>
#include <gtkmm/eventcontrollerlegacy.h>
#include <gtkmm/eventcontrollermotion.h>
#include <gtkmm/widget.h>
#include <sigc++/connection.h>

namespace kovi {

// GTK picks the widget under the pointer only when the pointer moves or a button is released.
// When widgets move under a pointer held still (a row closed, a tab gone, a list rebound or
// scrolled, controls shown on hover), the widget that was there keeps the hover and receives the
// next press: the row that slid under the pointer shows no controls, and a click meant for its
// close button is lost or lands on the row. This keeps `area` honest: after each frame whose
// layout put another widget under the still pointer, the pointer's last motion over the area is
// played again, so the toolkit picks, hovers and delivers clicks as if the pointer had moved
// there. Nothing is played while a button is held (its release picks anew), nor after the pointer
// moved on (its own motion is on its way). Main thread only; `area` outlives this object.
class StillPointerHover {
public:
    explicit StillPointerHover(Gtk::Widget& area);
    ~StillPointerHover();
    StillPointerHover(const StillPointerHover&) = delete;
    StillPointerHover& operator=(const StillPointerHover&) = delete;

private:
    void remember(const GdkEvent* event);
    void forget();
    void setReplayed(GtkWidget* widget);
    void afterFrame();

    Gtk::Widget& m_area;
    Glib::RefPtr<Gtk::EventControllerMotion> m_controller;
    Glib::RefPtr<Gtk::EventControllerLegacy> m_late;
    sigc::connection m_unrealize;
    GdkEvent* m_motion = nullptr;   // a reference of our own
    GtkWidget* m_replayed = nullptr; // what the last replay was for; weak
    GdkFrameClock* m_clock = nullptr;
    gulong m_afterPaint = 0;
    int m_pressed = 0;        // buttons the toolkit holds down on the area
    bool m_replaying = false; // m_motion is on its way again
};

} // namespace kovi
