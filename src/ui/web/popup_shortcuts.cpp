#include "ui/web/popup_shortcuts.h"

#include <glibmm/main.h>
#include <gtkmm/shortcutcontroller.h>

namespace kovi {

namespace {

constexpr const char* givenKey = "kovi-popup-shortcuts";

} // namespace

PopupShortcuts::PopupShortcuts(GtkWidget* view, Make make) : m_make(std::move(make))
{
    g_weak_ref_init(&m_view, view);
    // After: a handler that refuses the popup ends the request before these run.
    for (const char* request : {"context-menu", "show-option-menu"})
        g_signal_connect_after(view, request, G_CALLBACK(&PopupShortcuts::onPopupAsked), this);
}

PopupShortcuts::~PopupShortcuts()
{
    m_soon.disconnect();
    if (gpointer view = g_weak_ref_get(&m_view)) {
        g_signal_handlers_disconnect_by_data(view, this);
        g_object_unref(view);
    }
    g_weak_ref_clear(&m_view);
}

gboolean PopupShortcuts::onPopupAsked(GtkWidget*, gpointer, gpointer, gpointer self) noexcept
{
    // The engine makes and opens the popup once the request is answered; an idle of high
    // priority runs before the next key reaches it.
    auto* popups = static_cast<PopupShortcuts*>(self);
    if (!popups->m_soon.connected()) {
        popups->m_soon = Glib::signal_idle().connect(
            [popups] {
                popups->giveToPopups();
                return false;
            },
            G_PRIORITY_HIGH);
    }
    return FALSE; // the engine shows it
}

void PopupShortcuts::giveToPopups()
{
    auto* view = static_cast<GtkWidget*>(g_weak_ref_get(&m_view));
    if (!view)
        return;
    for (GtkWidget* child = gtk_widget_get_first_child(view); child; child = gtk_widget_get_next_sibling(child)) {
        if (!GTK_IS_POPOVER(child) || g_object_get_data(G_OBJECT(child), givenKey))
            continue;
        Glib::RefPtr<Gtk::ShortcutController> keys = m_make ? m_make() : nullptr;
        if (!keys)
            break;
        gtk_widget_add_controller(child, GTK_EVENT_CONTROLLER(g_object_ref(keys->gobj())));
        g_object_set_data(G_OBJECT(child), givenKey, GINT_TO_POINTER(1));
    }
    g_object_unref(view);
}

} // namespace kovi
