#pragma once

#include <gtkmm/box.h>
#include <gtkmm/gesturedrag.h>
#include <gtkmm/window.h>
#include <gtkmm/windowhandle.h>
#include <sigc++/connection.h>

namespace kovi {

class BrowserState;

// An area that moves the window when pressed and dragged (the window has no title bar and does
// not move by its background). Works on X11 and Wayland through the toolkit's own move request.
class WindowDragHandle : public Gtk::WindowHandle {
public:
    WindowDragHandle();
};

// Leaves the title bar to the window's own heading (placed in a WindowDragHandle, so it moves
// the window): neither the desktop nor the toolkit adds a title bar and buttons of its own.
void useOwnTitleBar(Gtk::Window& window);
// The same for a window whose whole content is its title bar: `content`, at least `width` by
// `height` (-1: its own), becomes the window's child inside a WindowDragHandle, so the window
// moves by any part that is not a control. The size is the content's: the window's frame comes
// on top.
void useOwnTitleBar(Gtk::Window& window, Gtk::Widget& content, int width = -1, int height = -1);

// Stand-in for a behind-window material: GTK cannot blur what lies behind a widget, so this
// is a translucent fill tuned for dark ("hud") and light ("sidebar") use.
class VisualEffectBlur : public Gtk::Box {
public:
    enum class Material { hudWindow, sidebar };
    explicit VisualEffectBlur(Material material = Material::sidebar);
    void setMaterial(Material material);
    Material material() const { return m_material; }

private:
    Material m_material;
};

// The thin strip along the sidebar's trailing edge that changes BrowserState::sidebarWidth.
// The width follows the pointer: width at drag start + horizontal translation, clamped to
// 220…320; movements under 2 px change nothing. Nearly invisible (0.01) until hovered.
// The widget is 18 px wide: the 6-px strip with 6 px of hit area on either side.
class SidebarResizeHandle : public Gtk::Box {
public:
    static constexpr int handleWidth = 6;
    static constexpr int hitInset = 6;
    static constexpr double minimumDragDistance = 2;

    explicit SidebarResizeHandle(BrowserState& state);
    ~SidebarResizeHandle() override;

    bool isHovered() const { return m_isHovered; }
    bool isDragging() const { return m_isDragging; }

    // The drag steps, also used by tests: begin, offsets from the start, end.
    void beginDrag();
    void updateDrag(double offsetX, double offsetY);
    void endDrag();

private:
    void refreshLook();
    double xInWindow();

    BrowserState& m_state;
    Gtk::Box m_strip;
    Glib::RefPtr<Gtk::GestureDrag> m_drag;
    double m_widthAtStart = 0;
    double m_xInWindowAtStart = 0;
    bool m_isHovered = false;
    bool m_isDragging = false;
};

} // namespace kovi
