#pragma once

#include "core/state/browser_state.h"
#include "core/support/scoped_connections.h"

#include <memory>
#include <string>
#include <vector>

namespace Gtk {
class Window;
}

namespace kovi {

class MessageAlert;
class TypingHold;

// Tells the user over the browser window that their tabs, history or downloads could not be
// saved: once for each file whose saves start to fail (the state tries again at each change),
// listing every save failing at the time. While the user types in the window the alert waits
// until they stop, so it neither takes their keys nor goes with them. Main thread only.
class SaveFailureAlert {
public:
    // Shows what failed before it was made (at start-up). All three must outlive it.
    SaveFailureAlert(BrowserState& state, Gtk::Window& window, TypingHold& hold);
    ~SaveFailureAlert();
    SaveFailureAlert(const SaveFailureAlert&) = delete;
    SaveFailureAlert& operator=(const SaveFailureAlert&) = delete;

    MessageAlert* alert() const { return m_alert.get(); }

    static std::string body(const std::vector<BrowserState::SaveFailure>& failures);

private:
    void show();
    void present();

    BrowserState& m_state;
    Gtk::Window& m_window;
    TypingHold& m_hold;
    std::unique_ptr<MessageAlert> m_alert;
    ScopedConnections m_connections;
};

} // namespace kovi
