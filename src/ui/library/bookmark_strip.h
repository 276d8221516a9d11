#pragma once

#include "core/library/library_archive.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/scrolledwindow.h>
#include <sigc++/connection.h>

#include <unordered_map>
#include <vector>

namespace kovi {

class BrowserLibrary;
class BrowserState;
class Preferences;

// The bookmarks bar above the page: a button that opens the library, then one button per page of
// "Bookmarks" in the library's order, scrolled sideways when they do not fit. A click opens the
// page in a new tab of the shown space. It takes no room while the setting "showBookmarksBar"
// is off and is built only once it is shown. The references must outlive it.
class BookmarkStrip : public Gtk::Box {
public:
    static constexpr int height = 32;

    BookmarkStrip(BrowserState& state, BrowserLibrary& library, Preferences& preferences);
    ~BookmarkStrip() override;

    Gtk::Button& libraryButton() { return m_libraryButton; }
    // The bookmark buttons in shown order.
    std::vector<Gtk::Button*> bookmarkButtons() const;

private:
    struct Entry {
        SavedPage page;
        Gtk::Button* button = nullptr;
    };

    void refreshVisibility();
    void refreshButtons();
    Gtk::Button* makeButton(const SavedPage& page);
    static void showPage(Gtk::Button& button, const SavedPage& page);

    BrowserState& m_state;
    BrowserLibrary& m_library;
    Preferences& m_preferences;
    Gtk::ScrolledWindow m_scroller;
    Gtk::Box m_row{Gtk::Orientation::HORIZONTAL, 12};
    Gtk::Button m_libraryButton;
    std::unordered_map<Uuid, Entry> m_entries;
    std::vector<Uuid> m_order;
    bool m_built = false;
    std::vector<sigc::connection> m_connections;
};

} // namespace kovi
