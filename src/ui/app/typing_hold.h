#pragma once

#include "core/support/scoped_connections.h"

#include <sigc++/connection.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace Gtk {
class Window;
}

namespace kovi {

// Holds back what opens by itself (the downloads panel when a download starts, an alert) while
// the user types in the window: the keys are in a text field of it (the command bar, the find
// bar, an address field, the AI chat) and the window is active. It comes once the keys have left
// the field, so it never takes them from a field being typed in nor covers it. Main thread only;
// the window outlives it.
class TypingHold {
public:
    explicit TypingHold(Gtk::Window& window);
    ~TypingHold();
    TypingHold(const TypingHold&) = delete;
    TypingHold& operator=(const TypingHold&) = delete;

    // Runs `open` now when the user is not typing, else once they have stopped. A waiting one of
    // the same name is replaced (it shows what is current when it comes).
    void whenNotTyping(const std::string& name, std::function<void()> open);
    // Drops what waits under that name (its owner goes).
    void cancel(const std::string& name);

private:
    bool isTyping() const;
    void check();
    void release();

    Gtk::Window& m_window;
    std::vector<std::pair<std::string, std::function<void()>>> m_waiting; // oldest first
    sigc::connection m_release;
    ScopedConnections m_connections;
};

} // namespace kovi
