#include "ui/library/bookmark_strip.h"

#include "core/libraryviews/saved_page_actions.h"
#include "core/library/browser_library.h"
#include "core/settings/preferences.h"
#include "ui/base/command_action.h"
#include "ui/design/symbols.h"

#include <gtkmm/image.h>

#include <unordered_set>

namespace kovi {

BookmarkStrip::BookmarkStrip(BrowserState& state, BrowserLibrary& library, Preferences& preferences)
    : Gtk::Box(Gtk::Orientation::VERTICAL), m_library(library), m_preferences(preferences), m_bookmarks(state)
{
    add_css_class("bookmark-strip");
    set_size_request(-1, height);
    set_vexpand(false); // a fixed strip above the page, however the page grows
    m_row.set_vexpand(true);
    m_row.set_margin_start(12);
    m_row.set_margin_end(12);
    append(m_row);

    m_libraryButton.add_css_class("bookmark-strip-button");
    m_libraryButton.set_has_frame(false);
    m_libraryButton.set_focus_on_click(false);
    m_libraryButton.set_valign(Gtk::Align::CENTER);
    m_libraryButton.set_child(*makeSymbolImage("books.vertical", 13));
    m_libraryButton.set_tooltip_text("Open Library");
    m_libraryButton.set_action_name(appAction(commands::showLibrary));
    m_row.append(m_libraryButton);
    m_row.append(m_bookmarks);

    m_connections.add(m_preferences.changed(prefs::showBookmarksBar).connect([this] { refreshVisibility(); }));
    m_connections.add(m_library.archiveChanged.connect([this] {
        if (m_built)
            refreshPages();
    }));
    refreshVisibility();
}

void BookmarkStrip::refreshVisibility()
{
    const bool shown = m_preferences.get(prefs::showBookmarksBar);
    if (shown && !m_built) {
        m_built = true;
        refreshPages();
    }
    set_visible(shown);
}

void BookmarkStrip::refreshPages()
{
    std::vector<SavedPage> pages = bookmarkedPages(m_library.archive());
    // A repeated id shows once.
    std::unordered_set<Uuid> seen;
    std::erase_if(pages, [&](const SavedPage& page) { return !seen.insert(page.id).second; });
    m_bookmarks.setPages(std::move(pages));
}

} // namespace kovi
