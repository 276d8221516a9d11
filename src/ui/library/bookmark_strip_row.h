#pragma once

#include "core/library/library_archive.h"
#include "ui/library/bookmark_button.h"
#include "ui/library/bookmark_overflow_menu.h"

#include <gtkmm/menubutton.h>
#include <gtkmm/widget.h>

#include <cstddef>
#include <vector>

namespace kovi {

class BrowserState;

// The bookmark buttons of the bookmarks bar: as many as fit the width, each at its natural width
// (titles up to about 150 px), in the order of the pages; the pages that do not fit are listed
// by a "»" menu at the end. Buttons are made only when they first fit and are then bound to
// whichever page is at their place, so a bar of thousands of bookmarks builds a screenful. A
// click opens the page in a new tab of the shown space. The state must outlive it.
class BookmarkStripRow : public Gtk::Widget {
public:
    static constexpr int spacing = 12;

    explicit BookmarkStripRow(BrowserState& state);
    ~BookmarkStripRow() override;

    void setPages(std::vector<SavedPage> pages);
    const std::vector<SavedPage>& pages() const { return m_pages; }

    // The buttons that fit at the last layout, in order.
    std::vector<BookmarkButton*> shownButtons() const;
    // Every button made so far, shown or not.
    std::size_t builtButtonCount() const { return m_buttons.size(); }
    Gtk::MenuButton& overflowButton() { return m_overflow; }
    // Made the first time the menu opens.
    BookmarkOverflowMenu* overflowMenu() const { return m_menu; }

protected:
    Gtk::SizeRequestMode get_request_mode_vfunc() const override { return Gtk::SizeRequestMode::CONSTANT_SIZE; }
    void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural, int& minimumBaseline,
                       int& naturalBaseline) const override;
    void size_allocate_vfunc(int width, int height, int baseline) override;

private:
    BookmarkButton& buttonAt(std::size_t index);
    void open(std::size_t index);
    void prepareMenu();

    BrowserState& m_state;
    std::vector<SavedPage> m_pages;
    std::vector<BookmarkButton*> m_buttons; // button i shows page i
    std::size_t m_shown = 0;
    Gtk::MenuButton m_overflow;
    BookmarkOverflowMenu* m_menu = nullptr;
};

} // namespace kovi
