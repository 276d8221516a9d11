#include "ui/app/typing_hold.h"

#include <glibmm/main.h>
#include <gtkmm/window.h>

namespace kovi {

TypingHold::TypingHold(Gtk::Window& window) : m_window(window)
{
    m_connections.add(m_window.property_focus_widget().signal_changed().connect([this] { check(); }));
    m_connections.add(m_window.property_is_active().signal_changed().connect([this] { check(); }));
    m_connections.add(m_window.signal_map().connect([this] { check(); }));
}

TypingHold::~TypingHold()
{
    m_connections.clear();
    m_release.disconnect();
}

bool TypingHold::isTyping() const
{
    Gtk::Widget* focus = m_window.get_focus();
    if (!focus || !m_window.is_active() || !focus->get_mapped())
        return false;
    GtkWidget* widget = focus->gobj();
    if (GTK_IS_TEXT(widget))
        return gtk_editable_get_editable(GTK_EDITABLE(widget));
    if (GTK_IS_TEXT_VIEW(widget))
        return gtk_text_view_get_editable(GTK_TEXT_VIEW(widget));
    return false;
}

void TypingHold::whenNotTyping(const std::string& name, std::function<void()> open)
{
    if (m_waiting.empty() && !isTyping()) {
        open();
        return;
    }
    cancel(name);
    m_waiting.emplace_back(name, std::move(open));
    check();
}

void TypingHold::cancel(const std::string& name)
{
    std::erase_if(m_waiting, [&name](const auto& waiting) { return waiting.first == name; });
}

void TypingHold::check()
{
    // Not from inside the toolkit's focus change: what opens takes the keys.
    if (m_waiting.empty() || isTyping() || m_release.connected())
        return;
    m_release = Glib::signal_idle().connect([this] {
        release();
        return false;
    });
}

void TypingHold::release()
{
    while (!m_waiting.empty() && !isTyping()) {
        auto open = std::move(m_waiting.front().second);
        m_waiting.erase(m_waiting.begin());
        open();
    }
}

} // namespace kovi
