#include "ui/library/message_alert.h"

#include "ui/design/dialogs.h"

#include <adwaita.h>
#include <gtkmm/window.h>

namespace kovi {

MessageAlert::MessageAlert(Gtk::Window& parent, const std::string& heading, const std::string& body,
                           std::function<void()> onDismissed)
    : m_onDismissed(std::move(onDismissed))
{
    GtkWidget* dialog = adw_message_dialog_new(parent.gobj(), heading.c_str(), body.c_str());
    m_dialog = ADW_MESSAGE_DIALOG(dialog);
    adw_message_dialog_add_response(m_dialog, "ok", "OK");
    adw_message_dialog_set_default_response(m_dialog, "ok");
    adw_message_dialog_set_close_response(m_dialog, "ok");
    g_signal_connect(dialog, "response", G_CALLBACK(onResponse), this);
    presentOverParent(GTK_WINDOW(dialog));
}

MessageAlert::~MessageAlert()
{
    if (m_dialog) {
        g_signal_handlers_disconnect_by_data(m_dialog, this);
        gtk_window_destroy(GTK_WINDOW(m_dialog));
    }
}

void MessageAlert::setBody(const std::string& body)
{
    if (m_dialog)
        adw_message_dialog_set_body(m_dialog, body.c_str());
}

void MessageAlert::onResponse(AdwMessageDialog* dialog, const char*, void* self) noexcept
{
    auto* alert = static_cast<MessageAlert*>(self);
    g_signal_handlers_disconnect_by_data(dialog, self);
    closeDialogSoon(GTK_WINDOW(dialog));
    alert->m_dialog = nullptr;
    // Last, from a copy: the owner may destroy this alert from here.
    auto dismissed = alert->m_onDismissed;
    if (dismissed)
        dismissed();
}

} // namespace kovi
