#pragma once

#include "core/commandbar/url_parser.h"
#include "core/support/scoped_connections.h"
#include "core/support/url.h"

#include <sigc++/signal.h>

#include <optional>
#include <string>

namespace kovi {

class BrowserState;
class NotificationCenter;

// What the horizontal layout's navigation bar shows and does, apart from its widgets: the
// address text, which follows every address change of the active tab (even while the user
// types, as a switch of tab must show that tab's address), the lock for https pages, and the
// submission of typed text. Main thread only; the state and the centre must outlive it.
class NavigationBarModel {
public:
    enum class Outcome { nothing, navigated, openedTab };

    NavigationBarModel(BrowserState& state, NotificationCenter& notifications);
    NavigationBarModel(const NavigationBarModel&) = delete;
    NavigationBarModel& operator=(const NavigationBarModel&) = delete;

    const std::string& urlText() const { return m_urlText; }
    // What the user typed; no signal (the field already shows it).
    void setUrlText(std::string text) { m_urlText = std::move(text); }
    // Puts the active tab's address (none: nothing) back in place of what was typed
    // (urlTextChanged).
    void revert();
    // The text was replaced from the active tab.
    sigc::signal<void()> urlTextChanged;
    // The active tab, its address or its history changed: re-read the getters below.
    sigc::signal<void()> pageChanged;

    // The active tab's address has the scheme exactly "https".
    bool isSecure() const;
    bool canGoBack() const;
    bool canGoForward() const;

    // Submits the text: blanks do nothing; an address loads in the active tab, or opens a new
    // tab when none is active; any other text (javascript: included) is searched for.
    Outcome navigate();

private:
    void follow();

    BrowserState& m_state;
    NotificationCenter& m_notifications;
    URLParser m_parser;
    std::string m_urlText;
    std::optional<Url> m_shownUrl; // the active tab's address last seen
    ScopedConnections m_connections;
};

} // namespace kovi
