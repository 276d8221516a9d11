#include "ui/library/bookmark_button.h"

#include "core/support/text.h"
#include "ui/design/symbols.h"
#include "ui/design/tooltips.h"

#include <gtkmm/image.h>

#include <gtkmm/box.h>

namespace kovi {

BookmarkButton::BookmarkButton(int titleWidthChars)
{
    add_css_class("bookmark-strip-button");
    set_has_frame(false);
    set_focus_on_click(false);
    auto* content = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 4);
    content->append(*makeSymbolImage("star", 10));
    m_title.set_single_line_mode(true);
    m_title.set_ellipsize(Pango::EllipsizeMode::END);
    m_title.set_max_width_chars(titleWidthChars);
    m_title.set_xalign(0);
    content->append(m_title);
    set_child(*content);
}

void BookmarkButton::bind(const SavedPage& page, std::size_t index)
{
    m_index = index;
    m_title.set_text(text::shownText(page.title));
    setTextTooltip(*this, page.url.string());
}

} // namespace kovi
