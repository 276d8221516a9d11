#pragma once

#include "core/support/scoped_connections.h"
#include "core/support/url.h"

#include <gtkmm/button.h>
#include <gtkmm/image.h>

#include <optional>

namespace kovi {

class BrowserLibrary;
class BrowserState;

// The star that bookmarks the active tab's page or removes its bookmark (the command table's
// toggle-bookmark, so it is disabled with it, without an active web page): filled in the accent
// colour while the page is in "Bookmarks". It changes only when the library does, so a refused
// save leaves it as it was. The state and the library must outlive it.
class BookmarkStar : public Gtk::Button {
public:
    static constexpr double size = 26;

    BookmarkStar(BrowserState& state, BrowserLibrary& library);

    bool isFilled() const { return m_filled; }

private:
    // Title, progress and icon reports of the active tab come as tab changes too: the library is
    // searched again only when the shown page's address is another one.
    void activePageMayHaveChanged();
    void refresh();

    BrowserState& m_state;
    BrowserLibrary& m_library;
    Gtk::Image m_image;
    std::optional<Url> m_pageUrl;
    bool m_filled = false;
    bool m_drawn = false;
    ScopedConnections m_connections;
};

} // namespace kovi
