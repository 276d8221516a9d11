#include "ui/library/bookmark_overflow_menu.h"

#include "ui/library/bookmark_button.h"

namespace kovi {

namespace {

// The menu is wider than the bar's buttons: titles show about 40 characters here.
constexpr int titleWidthChars = 40;
constexpr int width = 300;
constexpr int maximumHeight = 420;

} // namespace

BookmarkOverflowMenu::BookmarkOverflowMenu(Pages pages)
    : m_pages(std::move(pages)),
      m_list({nullptr,
              [this](int) -> Gtk::Widget* {
                  auto* row = Gtk::make_managed<BookmarkButton>(titleWidthChars);
                  row->add_css_class("bookmark-overflow-row");
                  row->signal_clicked().connect([this, row] {
                      popdown();
                      m_pages.open(row->index());
                  });
                  return row;
              },
              [this](Gtk::Widget& row, std::size_t index) {
                  static_cast<BookmarkButton&>(row).bind(m_pages.at(index), index);
              }},
             0, 4)
{
    add_css_class("bookmark-overflow-menu");
    set_has_arrow(false);
    m_list.set_size_request(width, -1);
    m_list.set_propagate_natural_height(true);
    m_list.set_max_content_height(maximumHeight);
    set_child(m_list);
}

} // namespace kovi
