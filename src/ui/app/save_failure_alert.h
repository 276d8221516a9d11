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

// Tells the user over the browser window that their tabs, history or downloads could not be
// saved: once for each file whose saves start to fail (the state tries again at each change),
// listing every save failing at the time. Main thread only.
class SaveFailureAlert {
public:
    // Shows at once what failed before it was made (at start-up). Both must outlive it.
    SaveFailureAlert(BrowserState& state, Gtk::Window& window);
    ~SaveFailureAlert();
    SaveFailureAlert(const SaveFailureAlert&) = delete;
    SaveFailureAlert& operator=(const SaveFailureAlert&) = delete;

    MessageAlert* alert() const { return m_alert.get(); }

    static std::string body(const std::vector<BrowserState::SaveFailure>& failures);

private:
    void show();

    BrowserState& m_state;
    Gtk::Window& m_window;
    std::unique_ptr<MessageAlert> m_alert;
    ScopedConnections m_connections;
};

} // namespace kovi
