#pragma once

#include <gtkmm/box.h>
#include <gtkmm/overlay.h>
#include <sigc++/connection.h>

namespace Gtk {
class Button;
class Widget;
} // namespace Gtk

namespace kovi {

class AppearanceManager;

// The shared looks of the views. Each is a set of style classes of data/css/10-design.css put
// on an ordinary widget; hover and press feedback come from :hover and :active with transitions.

enum class ButtonVariant { primary, secondary, ghost, destructive };
enum class ButtonSize { sm, md, lg };

// Text button: font 12/13/14, horizontal padding 10/14/18, height 28/34/40, radius 8. Pressed:
// scale 0.97 and opacity 0.9; secondary and ghost also take a 0.12 fill; only secondary has a
// border at rest.
void applyButtonStyle(Gtk::Widget& button, ButtonVariant variant = ButtonVariant::primary,
                      ButtonSize size = ButtonSize::md);
// Square icon button of `size`: icon at 0.4 × size, radius 0.25 × size; fill pressed 0.12 >
// hovered 0.08 > active accent 0.15; accent foreground while active.
void applyIconButtonStyle(Gtk::Button& button, double size, bool isActive = false);
void setIconButtonActive(Gtk::Button& button, bool isActive);
// Card: padding on every edge (12 or 16), radius 12, control background, 1-px hairline.
void applyCardStyle(Gtk::Widget& widget, double padding);
// Input frame: padding 8 × 12, radius 10, hairline; a focused frame shows the accent ring.
void applyInputStyle(Gtk::Widget& widget);
void setInputFocused(Gtk::Widget& widget, bool focused);
// Hover highlight of 0.08 with the given radius.
void applyHoverStyle(Gtk::Widget& widget, double cornerRadius);
// Adds the style class when `on`, else removes it.
void setClass(Gtk::Widget& widget, const char* name, bool on);

// Background of the window chrome: an opaque colour, or with the glass setting the translucent
// substitute (tinted gradients and a hairline over a see-through fill; GTK cannot blur what lies
// behind a widget). The look follows the window's kovi-dark / kovi-glass classes, so no
// instance needs to watch the settings.
class ChromeSurface : public Gtk::Box {
public:
    ChromeSurface();
};

// The page area's frame: with the bezel on, the content is inset 8 px, clipped to radius 12 and
// outlined with a hairline that takes no clicks, and the 8-px strip above it moves the window.
// With the bezel off the content runs edge to edge.
class BrowserSurface : public Gtk::Overlay {
public:
    BrowserSurface();
    void setContent(Gtk::Widget* content);
    Gtk::Widget* content() const { return m_content; }
    void setBezelEnabled(bool enabled);
    bool bezelEnabled() const { return m_bezel; }

private:
    Gtk::Box m_clip;
    Gtk::Box m_stroke;
    Gtk::Widget* m_content = nullptr;
    Gtk::Widget* m_dragStrip = nullptr;
    bool m_bezel = true;
};

} // namespace kovi
