#pragma once

#include "core/support/scoped_connections.h"
#include "ui/library/bookmark_strip_row.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>

#include <vector>

namespace kovi {

class BrowserLibrary;
class BrowserState;
class Preferences;

// The bookmarks bar above the page: a button that opens the library, then the pages of
// "Bookmarks" in the library's order, as many as fit, and a menu of the rest. A click opens the
// page in a new tab of the shown space. It takes no room while the setting "showBookmarksBar"
// is off and is built only once it is shown. The references must outlive it.
class BookmarkStrip : public Gtk::Box {
public:
    static constexpr int height = 32;

    BookmarkStrip(BrowserState& state, BrowserLibrary& library, Preferences& preferences);

    Gtk::Button& libraryButton() { return m_libraryButton; }
    BookmarkStripRow& bookmarks() { return m_bookmarks; }
    // The bookmark buttons shown, in order.
    std::vector<BookmarkButton*> bookmarkButtons() const { return m_bookmarks.shownButtons(); }

private:
    void refreshVisibility();
    void refreshPages();

    BrowserLibrary& m_library;
    Preferences& m_preferences;
    Gtk::Box m_row{Gtk::Orientation::HORIZONTAL, BookmarkStripRow::spacing};
    Gtk::Button m_libraryButton;
    BookmarkStripRow m_bookmarks;
    bool m_built = false;
    ScopedConnections m_connections;
};

} // namespace kovi
