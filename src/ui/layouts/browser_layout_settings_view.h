#pragma once

#include "core/support/scoped_connections.h"
#include "ui/layouts/layout_option_card.h"

#include <gtkmm/button.h>
#include <gtkmm/window.h>

namespace kovi {

class BrowserState;

// The "Browser Layout" sheet: the two layout cards side by side and "Done". A card click
// switches BrowserState::layoutMode at once (stored; no notification); "Done" closes the sheet.
class BrowserLayoutSettingsView : public Gtk::Window {
public:
    BrowserLayoutSettingsView(BrowserState& state, Gtk::Window& parent);

    LayoutOptionCard& verticalCard() { return *m_vertical; }
    LayoutOptionCard& traditionalCard() { return *m_traditional; }
    Gtk::Button& doneButton() { return m_done; }

private:
    void refresh();

    BrowserState& m_state;
    LayoutOptionCard* m_vertical = nullptr;
    LayoutOptionCard* m_traditional = nullptr;
    Gtk::Button m_done;
    ScopedConnections m_connections;
};

} // namespace kovi
