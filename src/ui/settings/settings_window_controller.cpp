#include "ui/settings/settings_window_controller.h"

#include "ui/settings/settings_window.h"

#include <gtkmm/application.h>

namespace kovi {

SettingsWindowController::SettingsWindowController() = default;

SettingsWindowController::~SettingsWindowController()
{
    m_parentGone.disconnect();
    m_parentHidden.disconnect();
}

void SettingsWindowController::openSettings(AppContext& ctx, Gtk::Window& parent)
{
    // Shown, minimised too: to the front, as it is.
    if (m_window && m_window->get_visible()) {
        m_window->present();
        return;
    }
    // Closed: a new window on the Profile tab. The closed one is not shown again: the toolkit took
    // it out of the application when it was hidden, and put back it kept its title bar's buttons
    // greyed out.
    m_window = std::make_unique<SettingsWindow>(ctx);
    // Attached to the browser window, so the desktop opens it over that window's middle.
    m_window->set_transient_for(parent);
    if (!m_parentGone.connected()) {
        // The window reads the services the browser window's owner keeps: it must not outlive
        // that window.
        m_parentGone = parent.signal_destroy().connect([this] {
            m_parentGone.disconnect();
            m_parentHidden.disconnect();
            m_window.reset();
        });
        // Closing the browser window ends the application: this one closes with it (and so
        // leaves the application, which it would otherwise keep alive).
        m_parentHidden = parent.signal_hide().connect([this] {
            if (m_window)
                m_window->hide();
        });
    }
    // Part of the application while shown, so the application's shortcuts work in it too.
    if (auto app = parent.get_application())
        app->add_window(*m_window);
    m_window->present();
}

} // namespace kovi
