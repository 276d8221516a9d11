#include "ui/design/window_chrome.h"

#include "core/state/browser_state.h"
#include "ui/design/kovi_design.h"
#include "ui/design/styles.h"

#include <gtkmm/eventcontrollermotion.h>
#include <gtkmm/root.h>

#include <cmath>

namespace kovi {

WindowDragHandle::WindowDragHandle()
{
    add_css_class("kovi-window-drag");
    set_hexpand(true);
}

void useOwnTitleBar(Gtk::Window& window)
{
    // A title bar of the window's own makes it draw its frame itself; an empty one shows nothing.
    auto* none = Gtk::make_managed<Gtk::Box>();
    none->set_visible(false);
    window.set_titlebar(*none);
}

void useOwnTitleBar(Gtk::Window& window, Gtk::Widget& content, int width, int height)
{
    useOwnTitleBar(window);
    auto* handle = Gtk::make_managed<WindowDragHandle>();
    handle->set_size_request(width, height);
    handle->set_child(content);
    window.set_child(*handle);
}

VisualEffectBlur::VisualEffectBlur(Material material) : m_material(material)
{
    add_css_class("kovi-material");
    set_can_target(false);
    setMaterial(material);
}

void VisualEffectBlur::setMaterial(Material material)
{
    m_material = material;
    remove_css_class("hud");
    remove_css_class("sidebar");
    add_css_class(material == Material::hudWindow ? "hud" : "sidebar");
}

SidebarResizeHandle::SidebarResizeHandle(BrowserState& state) : m_state(state)
{
    add_css_class("kovi-resize-handle");
    set_size_request(handleWidth + 2 * hitInset, -1);
    set_vexpand(true);
    m_strip.add_css_class("kovi-resize-strip");
    m_strip.set_size_request(handleWidth, -1);
    m_strip.set_hexpand(false);
    m_strip.set_halign(Gtk::Align::CENTER);
    m_strip.set_vexpand(true);
    m_strip.set_can_target(false);
    append(m_strip);

    auto motion = Gtk::EventControllerMotion::create();
    motion->signal_enter().connect([this](double, double) {
        m_isHovered = true;
        refreshLook();
    });
    motion->signal_leave().connect([this] {
        m_isHovered = false;
        refreshLook();
    });
    add_controller(motion);

    m_drag = Gtk::GestureDrag::create();
    m_drag->signal_drag_begin().connect([this](double, double) {
        m_xInWindowAtStart = xInWindow();
        beginDrag();
    });
    // The gesture measures from the handle, which moves with the edge it drags: add the handle's
    // own shift so the offset is the pointer's, and the edge stays under it.
    m_drag->signal_drag_update().connect(
        [this](double x, double y) { updateDrag(x + (xInWindow() - m_xInWindowAtStart), y); });
    m_drag->signal_drag_end().connect([this](double, double) { endDrag(); });
    add_controller(m_drag);
    refreshLook();
}

SidebarResizeHandle::~SidebarResizeHandle() = default;

void SidebarResizeHandle::beginDrag()
{
    m_widthAtStart = m_state.sidebarWidth();
    m_isDragging = false;
}

void SidebarResizeHandle::updateDrag(double offsetX, double offsetY)
{
    if (!m_isDragging && std::hypot(offsetX, offsetY) < minimumDragDistance)
        return;
    if (!m_isDragging) {
        m_isDragging = true;
        refreshLook();
    }
    // From the width at the start of the drag, so the edge stays under the pointer.
    double width = KoviDesign::clampSidebarWidth(m_widthAtStart + offsetX);
    if (width != m_state.sidebarWidth())
        m_state.setSidebarWidth(width);
}

void SidebarResizeHandle::endDrag()
{
    if (!m_isDragging)
        return;
    m_isDragging = false;
    refreshLook();
}

double SidebarResizeHandle::xInWindow()
{
    auto* root = dynamic_cast<Gtk::Widget*>(get_root());
    graphene_point_t origin = GRAPHENE_POINT_INIT(0, 0), at;
    if (!root || !gtk_widget_compute_point(GTK_WIDGET(gobj()), root->gobj(), &origin, &at))
        return 0;
    return at.x;
}

void SidebarResizeHandle::refreshLook()
{
    setClass(m_strip, "shown", m_isHovered || m_isDragging);
    setClass(m_strip, "dragging", m_isDragging);
}

} // namespace kovi
