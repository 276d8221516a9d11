#include "ui/settings/settings_window_controller.h"

#include "core/settings/settings_tab.h"
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
    if (!m_window) {
        m_window = std::make_unique<SettingsWindow>(ctx);
        // The window reads the services the browser window's owner keeps: it must not outlive
        // that window.
        m_parentGone = parent.signal_destroy().connect([this] {
            m_parentGone.disconnect();
            m_parentHidden.disconnect();
            m_window.reset();
        });
        // Closing the browser window ends the application: this one closes with it (and so
        // leaves the application, which it would otherwise keep alive).
        m_parentHidden = parent.signal_hide().connect([this] { m_window->hide(); });
    } else if (!m_window->get_visible()) {
        // Closed: it comes back as a new window would, on the Profile tab.
        m_window->reset();
    }
    // Part of the application while shown, so the application's shortcuts work in it too.
    if (auto app = parent.get_application(); app && !m_window->get_application())
        app->add_window(*m_window);
    m_window->present();
}

} // namespace kovi
