#pragma once

#include "core/library/library_archive.h"

#include <gtkmm/button.h>
#include <gtkmm/label.h>

#include <cstddef>

namespace kovi {

// A bookmark as a flat button: the star, then the page's title on one line, ellipsized past
// `titleWidthChars`; the tooltip is the page's address. Bound to whichever page is at its place
// (`index`, in the list of its owner).
class BookmarkButton : public Gtk::Button {
public:
    explicit BookmarkButton(int titleWidthChars);
    void bind(const SavedPage& page, std::size_t index);

    std::size_t index() const { return m_index; }
    Gtk::Label& titleLabel() { return m_title; }

private:
    Gtk::Label m_title;
    std::size_t m_index = 0;
};

} // namespace kovi
