#pragma once

#include "core/library/library_archive.h"
#include "ui/library/recycler_list.h"

#include <gtkmm/popover.h>

#include <cstddef>
#include <functional>

namespace kovi {

// The bookmarks bar's menu of the bookmarks that do not fit: one row per page, in the bar's
// order, built only for the rows in view however many there are. A click opens the page and
// closes the menu.
class BookmarkOverflowMenu : public Gtk::Popover {
public:
    struct Pages {
        std::function<const SavedPage&(std::size_t index)> at;
        std::function<void(std::size_t index)> open;
    };

    explicit BookmarkOverflowMenu(Pages pages);

    // Shows `count` pages; the rows in view are bound again.
    void setCount(std::size_t count) { m_list.setCount(count); }
    RecyclerList& list() { return m_list; }

private:
    Pages m_pages;
    RecyclerList m_list;
};

} // namespace kovi
