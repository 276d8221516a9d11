#include "ui/app/window_focus.h"

#include "core/state/browser_state.h"

#include <glibmm/main.h>
#include <gtkmm/eventcontrollerkey.h>
#include <gtkmm/windowcontrols.h>

#include <utility>

namespace kovi {

WindowFocus::WindowFocus(Gtk::Window& window, BrowserState& state, std::function<bool()> focusTypingTarget)
    : m_window(window), m_focusTypingTarget(std::move(focusTypingTarget))
{
    // Seen before the toolkit moves the focus for the key.
    auto keys = Gtk::EventControllerKey::create();
    keys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    keys->signal_key_pressed().connect(
        [this](guint keyval, guint, Gdk::ModifierType) {
            m_tabbing = keyval == GDK_KEY_Tab || keyval == GDK_KEY_ISO_Left_Tab || keyval == GDK_KEY_KP_Tab;
            return false;
        },
        false);
    m_window.add_controller(keys);

    m_connections.push_back(m_window.property_focus_widget().signal_changed().connect([this] { focusChanged(); }));
    m_connections.push_back(m_window.signal_map().connect([this] {
        m_showing = true;
        schedule();
    }));
    auto pageChanged = [this] {
        if (!m_window.get_focus())
            schedule();
    };
    m_connections.push_back(state.activeTabIdChanged.connect(pageChanged));
    m_connections.push_back(state.currentSpaceIdChanged.connect(pageChanged));
}

WindowFocus::~WindowFocus()
{
    for (auto& connection : m_connections)
        connection.disconnect();
    m_idle.disconnect();
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
    const bool byTab = m_tabbing;
    m_tabbing = false;
    Gtk::Widget* focus = m_window.get_focus();
    if (!focus || (isWindowControl(focus) && !byTab))
        schedule();
}

void WindowFocus::schedule()
{
    // Not from inside the toolkit's own focus change; once per turn of the loop.
    if (m_idle.connected())
        return;
    m_idle = Glib::signal_idle().connect([this] {
        place();
        return false;
    });
}

void WindowFocus::place()
{
    Gtk::Widget* focus = m_window.get_focus();
    // Just shown, the toolkit's own pick (the window's first button) gives way too.
    const bool showing = std::exchange(m_showing, false);
    if (focus && !showing && !isWindowControl(focus))
        return;
    if (m_focusTypingTarget && m_focusTypingTarget())
        return;
    // Nowhere to type yet: better no focus than the close button's.
    if (focus && isWindowControl(focus))
        m_window.unset_focus();
}

} // namespace kovi
