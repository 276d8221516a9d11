#include "ui/settings/update_alerts.h"

#include "ui/design/dialogs.h"

#include <adwaita.h>
#include <giomm/appinfo.h>
#include <gtkmm/window.h>

#include <algorithm>
#include <iostream>
#include <string>

namespace kovi {

struct UpdateAlerts::Pending {
    UpdateAlerts* owner;
    std::function<void(std::size_t)> chosen;
};

UpdateAlerts::UpdateAlerts(std::function<Gtk::Window*()> parent, std::function<void(std::function<void()>)> hold)
    : m_parent(std::move(parent)), m_hold(std::move(hold))
{
}

UpdateAlerts::~UpdateAlerts()
{
    for (auto* dialog : std::vector<AdwMessageDialog*>(m_dialogs)) {
        g_object_weak_unref(G_OBJECT(dialog), &UpdateAlerts::onDestroyed, this);
        gtk_window_destroy(GTK_WINDOW(dialog));
    }
}

void UpdateAlerts::present(const UpdateAlert& alert, std::function<void(std::size_t)> chosen)
{
    if (!m_hold) {
        show(alert, std::move(chosen));
        return;
    }
    m_hold([this, alert, chosen = std::move(chosen)]() mutable { show(alert, std::move(chosen)); });
}

void UpdateAlerts::show(const UpdateAlert& alert, std::function<void(std::size_t)> chosen)
{
    Gtk::Window* parent = m_parent ? m_parent() : nullptr;
    GtkWidget* widget = adw_message_dialog_new(parent ? parent->gobj() : nullptr, alert.title.c_str(),
                                               alert.message.c_str());
    auto* dialog = ADW_MESSAGE_DIALOG(widget);
    for (std::size_t i = 0; i < alert.buttons.size(); ++i) {
        const std::string id = std::to_string(i);
        adw_message_dialog_add_response(dialog, id.c_str(), alert.buttons[i].c_str());
    }
    if (!alert.buttons.empty()) {
        adw_message_dialog_set_default_response(dialog, "0");
        adw_message_dialog_set_response_appearance(dialog, "0", ADW_RESPONSE_SUGGESTED);
        // Escape or closing counts as the last button ("OK" or "Later").
        const std::string last = std::to_string(alert.buttons.size() - 1);
        adw_message_dialog_set_close_response(dialog, last.c_str());
    }
    auto* pending = new Pending{this, std::move(chosen)};
    g_signal_connect_data(dialog, "response", G_CALLBACK(&UpdateAlerts::onResponse), pending,
                          +[](gpointer data, GClosure*) { delete static_cast<Pending*>(data); }, GConnectFlags(0));
    g_object_weak_ref(G_OBJECT(dialog), &UpdateAlerts::onDestroyed, this);
    m_dialogs.push_back(dialog);
    presentOverParent(GTK_WINDOW(dialog));
    alertPresented.emit(alert);
}

void UpdateAlerts::onResponse(AdwMessageDialog* dialog, const char* response, void* data)
{
    closeDialogSoon(GTK_WINDOW(dialog));
    auto* pending = static_cast<Pending*>(data);
    if (!pending->chosen)
        return;
    try {
        const std::size_t index = std::stoul(response ? response : "");
        auto chosen = std::move(pending->chosen);
        pending->chosen = nullptr;
        chosen(index);
    } catch (const std::exception&) {
        // Not one of our responses: nothing to report.
    }
}

void UpdateAlerts::onDestroyed(void* data, GObject* dialog)
{
    auto* self = static_cast<UpdateAlerts*>(data);
    auto& dialogs = self->m_dialogs;
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), reinterpret_cast<AdwMessageDialog*>(dialog)),
                  dialogs.end());
}

void UpdateAlerts::respond(std::size_t index)
{
    if (m_dialogs.empty())
        return;
    adw_message_dialog_response(m_dialogs.back(), std::to_string(index).c_str());
}

void UpdateAlerts::openInDefaultBrowser(const Url& url)
{
    try {
        Gio::AppInfo::launch_default_for_uri(url.string());
    } catch (const Glib::Error& error) {
        std::cout << "Failed to open " << url.string() << ": " << error.what() << std::endl;
    }
}

} // namespace kovi
