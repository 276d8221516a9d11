#include "ui/app/window_focus.h"

#include "core/state/browser_state.h"
#include "ui/design/overlay_layer.h"

#include <glibmm/main.h>
#include <gtkmm/eventcontrollerkey.h>
#include <gtkmm/windowcontrols.h>

#include <utility>

namespace kovi {

WindowFocus::WindowFocus(Gtk::Window& window, BrowserState& state, std::function<bool()> focusTypingTarget,
                         std::function<OverlayLayer*()> topLayer)
    : m_window(window), m_focusTypingTarget(std::move(focusTypingTarget)), m_topLayer(std::move(topLayer))
{
    g_weak_ref_init(&m_menu, nullptr);
    // Seen before the toolkit moves the focus for the key. Ctrl+Tab is a shortcut, not a move.
    auto keys = Gtk::EventControllerKey::create();
    keys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    keys->signal_key_pressed().connect(
        [this](guint keyval, guint, Gdk::ModifierType modifiers) {
            const bool tab = keyval == GDK_KEY_Tab || keyval == GDK_KEY_ISO_Left_Tab || keyval == GDK_KEY_KP_Tab;
            m_tabbing.reset();
            if (tab && (modifiers & Gdk::ModifierType::CONTROL_MASK) == Gdk::ModifierType{}) {
                const bool back = keyval == GDK_KEY_ISO_Left_Tab ||
                                  (modifiers & Gdk::ModifierType::SHIFT_MASK) != Gdk::ModifierType{};
                m_tabbing = back ? Gtk::DirectionType::TAB_BACKWARD : Gtk::DirectionType::TAB_FORWARD;
            }
            return false;
        },
        false);
    keys->signal_key_released().connect([this](guint, guint, Gdk::ModifierType) { m_tabbing.reset(); });
    m_window.add_controller(keys);

    m_connections.add(m_window.property_focus_widget().signal_changed().connect([this] { focusChanged(); }));
    m_connections.add(m_window.signal_map().connect([this] {
        m_showing = true;
        schedule();
    }));
    // Before the toolkit lets go of the window's frame clock, which drops every handler on it.
    m_connections.add(m_window.signal_unrealize().connect([this] { disconnectClock(); }, false));
    auto pageChanged = [this] {
        if (!m_window.get_focus())
            schedule();
    };
    m_connections.add(state.activeTabIdChanged.connect(pageChanged));
    m_connections.add(state.currentSpaceIdChanged.connect(pageChanged));
}

WindowFocus::~WindowFocus()
{
    m_connections.clear();
    m_idle.disconnect();
    m_unmapped.disconnect();
    m_menuCheck.disconnect();
    g_weak_ref_clear(&m_menu);
    disconnectClock();
}

bool WindowFocus::isWindowControl(Gtk::Widget* widget)
{
    for (; widget; widget = widget->get_parent()) {
        if (GTK_IS_WINDOW_CONTROLS(widget->gobj()))
            return true;
    }
    return false;
}

void WindowFocus::focusChanged()
{
    const auto tab = std::exchange(m_tabbing, std::nullopt);
    // Not the toolkit's own move at the end of a frame: someone placed the focus.
    if (!m_painting)
        m_lost = false;
    Gtk::Widget* focus = m_window.get_focus();
    watch(focus);
    m_reachedByTab = tab ? focus : nullptr;
    if (focus != m_toolkitPick)
        m_unplaced = false; // the user or the program chose a place since
    // An open menu takes the keyboard, over any layer.
    if (inOpenMenu(focus)) {
        g_weak_ref_set(&m_menu, menuOf(focus));
        return;
    }
    closeMenuLeftBehind();
    OverlayLayer* top = m_topLayer ? m_topLayer() : nullptr;
    if (top && top->contains(focus)) {
        top->rememberFocus(*focus);
        return;
    }
    if (top && focus && tab)
        m_tabbedOut = tab; // wraps around inside the layer
    if (misplaced(focus, top))
        schedule();
}

bool WindowFocus::misplaced(Gtk::Widget* focus, OverlayLayer* top) const
{
    if (!focus || !focus->get_mapped())
        return true;
    if (inOpenMenu(focus))
        return false;
    if (top)
        return !top->contains(focus);
    return isWindowControl(focus) && focus != m_reachedByTab;
}

GtkPopover* WindowFocus::menuOf(Gtk::Widget* widget)
{
    for (; widget; widget = widget->get_parent()) {
        if (GTK_IS_POPOVER(widget->gobj()))
            return GTK_POPOVER(widget->gobj());
    }
    return nullptr;
}

bool WindowFocus::inOpenMenu(Gtk::Widget* widget)
{
    GtkPopover* menu = menuOf(widget);
    return menu && gtk_widget_get_mapped(GTK_WIDGET(menu));
}

void WindowFocus::watch(Gtk::Widget* focus)
{
    m_unmapped.disconnect();
    if (focus)
        m_unmapped = focus->signal_unmap().connect([this, focus] { focusWidgetUnmapped(focus); });
}

void WindowFocus::focusWidgetUnmapped(Gtk::Widget* widget)
{
    // A hidden window's widgets all go: it is placed again when the window shows.
    if (widget != m_window.get_focus() || !m_window.get_mapped())
        return;
    // Inside a menu that stays open (a submenu in place of its page), the menu moves the focus.
    for (Gtk::Widget* w = widget; w; w = w->get_parent()) {
        if (GTK_IS_POPOVER(w->gobj())) {
            if (w->get_mapped())
                return;
            closeMenuLeftBehind();
            break;
        }
    }
    m_lost = true;
    // The toolkit moves the focus of a widget that went away once the next frame is painted: it
    // is placed again right after that, over the toolkit's choice. A focus given in between by
    // anyone else stands.
    auto clock = m_window.get_frame_clock();
    if (!clock) {
        schedule();
        return;
    }
    if (clock != m_clock) {
        disconnectClock();
        m_clock = clock;
        m_paint = g_signal_connect(m_clock->gobj(), "paint", G_CALLBACK(+[](GdkFrameClock*, gpointer self) {
                                       auto* focus = static_cast<WindowFocus*>(self);
                                       focus->m_painting = focus->m_lost;
                                   }),
                                   this);
        m_afterPaint = g_signal_connect(m_clock->gobj(), "after-paint", G_CALLBACK(+[](GdkFrameClock*, gpointer self) {
                                            auto* focus = static_cast<WindowFocus*>(self);
                                            focus->m_painting = false;
                                            if (focus->m_lost)
                                                focus->place(true);
                                        }),
                                        this);
    }
    m_clock->request_phase(Gdk::FrameClock::Phase::PAINT | Gdk::FrameClock::Phase::AFTER_PAINT);
}

void WindowFocus::closeMenuLeftBehind()
{
    auto* menu = static_cast<GObject*>(g_weak_ref_get(&m_menu));
    if (!menu)
        return;
    g_object_unref(menu);
    // Not from inside the toolkit's focus change or unmapping.
    if (m_menuCheck.connected())
        return;
    m_menuCheck = Glib::signal_idle().connect([this] {
        // A menu whose place went away while it was open (its button left with the layout) keeps
        // its hold on the window's keys and pointer until it is closed: nothing would work.
        auto* left = static_cast<GtkWidget*>(g_weak_ref_get(&m_menu));
        if (!left)
            return false;
        // A menu that is shown but not drawn yet while its button is on screen is opening (the
        // toolkit maps it with the next frame): it stays.
        GtkWidget* place = gtk_widget_get_parent(left);
        const bool opening = gtk_widget_get_visible(left) && place && gtk_widget_get_mapped(place);
        if (!gtk_widget_get_mapped(left) && !opening) {
            if (gtk_widget_get_visible(left))
                gtk_popover_popdown(GTK_POPOVER(left));
            g_weak_ref_set(&m_menu, nullptr);
        }
        g_object_unref(left);
        return false;
    });
}

void WindowFocus::disconnectClock()
{
    if (!m_clock)
        return;
    g_signal_handler_disconnect(m_clock->gobj(), m_paint);
    g_signal_handler_disconnect(m_clock->gobj(), m_afterPaint);
    m_clock.reset();
}

void WindowFocus::schedule()
{
    // Not from inside the toolkit's own focus change; once per turn of the loop.
    if (m_idle.connected())
        return;
    m_idle = Glib::signal_idle().connect([this] {
        place(false);
        return false;
    });
}

void WindowFocus::place(bool lost)
{
    const bool wasLost = std::exchange(m_lost, false) || lost;
    m_idle.disconnect();
    if (!m_window.get_mapped())
        return;
    const auto tabbedOut = std::exchange(m_tabbedOut, std::nullopt);
    Gtk::Widget* focus = m_window.get_focus();
    OverlayLayer* top = m_topLayer ? m_topLayer() : nullptr;
    // Just shown, the toolkit's own pick (the window's first button) gives way too.
    const bool showing = std::exchange(m_showing, false);
    if (!wasLost && !showing && !misplaced(focus, top))
        return;
    bool placed = false;
    if (top)
        placed = top->takeFocus(tabbedOut);
    else if (m_focusTypingTarget)
        placed = m_focusTypingTarget();
    // Placed by us, not by the user's Tab: no focus ring.
    if (placed && !tabbedOut)
        m_window.set_focus_visible(false);
    // Nowhere to put it: better no focus (keys go to the window) than a dead or window control.
    if (!placed && (focus = m_window.get_focus()) && (!focus->get_mapped() || isWindowControl(focus)))
        m_window.unset_focus();
    if (showing && !placed && !top) {
        m_unplaced = true;
        m_toolkitPick = m_window.get_focus();
    }
}

void WindowFocus::placeIfStillUnplaced()
{
    if (!std::exchange(m_unplaced, false) || m_window.get_focus() != m_toolkitPick)
        return;
    m_showing = true;
    schedule();
}

} // namespace kovi
