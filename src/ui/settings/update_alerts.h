#pragma once

#include "core/settings/update_manager.h"

#include <sigc++/signal.h>

#include <functional>
#include <vector>

typedef struct _AdwMessageDialog AdwMessageDialog;
typedef struct _GObject GObject;

namespace Gtk {
class Window;
}

namespace kovi {

// Shows the update checker's alerts as message dialogs over the main window, asynchronously:
// the button the user picks is reported through the callback when the dialog answers.
class UpdateAlerts : public UpdateAlertPresenter {
public:
    // `parent` gives the window to put the alerts over (nullptr: none yet); `hold` shows an
    // alert when the user can take it (by default at once).
    explicit UpdateAlerts(std::function<Gtk::Window*()> parent,
                          std::function<void(std::function<void()>)> hold = {});
    ~UpdateAlerts() override;

    void present(const UpdateAlert& alert, std::function<void(std::size_t)> chosen) override;

    // Alerts now on screen, oldest first.
    const std::vector<AdwMessageDialog*>& openDialogs() const { return m_dialogs; }
    // Answers the newest alert with button `index`, as a click would.
    void respond(std::size_t index);
    sigc::signal<void(const UpdateAlert&)> alertPresented;

    // Opens an address in the desktop's default browser (the "Download" button).
    static void openInDefaultBrowser(const Url& url);

private:
    struct Pending;
    static void onResponse(AdwMessageDialog* dialog, const char* response, void* data);
    static void onDestroyed(void* data, GObject* dialog);

    void show(const UpdateAlert& alert, std::function<void(std::size_t)> chosen);

    std::function<Gtk::Window*()> m_parent;
    std::function<void(std::function<void()>)> m_hold;
    std::vector<AdwMessageDialog*> m_dialogs;
};

} // namespace kovi
