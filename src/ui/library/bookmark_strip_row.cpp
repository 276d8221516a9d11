#include "ui/library/bookmark_strip_row.h"

#include "core/libraryviews/saved_page_actions.h"

#include <gtkmm/label.h>

#include <algorithm>

namespace kovi {

namespace {

// About 150 px of 11-px text.
constexpr int titleWidthChars = 24;

int naturalSize(const Gtk::Widget& widget, Gtk::Orientation orientation)
{
    int minimum = 0, natural = 0, b1 = 0, b2 = 0;
    widget.measure(orientation, -1, minimum, natural, b1, b2);
    return std::max(minimum, natural);
}

} // namespace

BookmarkStripRow::BookmarkStripRow(BrowserState& state) : m_state(state)
{
    set_hexpand(true);
    set_overflow(Gtk::Overflow::HIDDEN);
    // A label of its own, not set_label(), which adds a drop-down arrow.
    m_overflow.set_child(*Gtk::make_managed<Gtk::Label>("\u00BB"));
    m_overflow.set_has_frame(false);
    m_overflow.set_focus_on_click(false);
    m_overflow.set_tooltip_text("More Bookmarks");
    m_overflow.add_css_class("bookmark-strip-overflow");
    // The menu is made, and bound to the pages that do not fit, as it opens.
    m_overflow.set_create_popup_func([this] { prepareMenu(); });
    m_overflow.set_parent(*this);
    m_overflow.set_child_visible(false);
}

BookmarkStripRow::~BookmarkStripRow()
{
    m_overflow.unparent();
    for (BookmarkButton* button : m_buttons)
        button->unparent();
}

void BookmarkStripRow::setPages(std::vector<SavedPage> pages)
{
    m_pages = std::move(pages);
    for (std::size_t i = 0; i < m_buttons.size() && i < m_pages.size(); ++i)
        m_buttons[i]->bind(m_pages[i], i);
    if (m_menu && m_menu->get_visible())
        m_menu->popdown();
    queue_resize();
}

std::vector<BookmarkButton*> BookmarkStripRow::shownButtons() const
{
    return {m_buttons.begin(), m_buttons.begin() + static_cast<std::ptrdiff_t>(m_shown)};
}

BookmarkButton& BookmarkStripRow::buttonAt(std::size_t index)
{
    while (m_buttons.size() <= index) {
        auto* button = Gtk::make_managed<BookmarkButton>(titleWidthChars);
        button->signal_clicked().connect([this, button] { open(button->index()); });
        button->set_parent(*this);
        button->set_child_visible(false);
        button->bind(m_pages[m_buttons.size()], m_buttons.size());
        m_buttons.push_back(button);
    }
    return *m_buttons[index];
}

void BookmarkStripRow::measure_vfunc(Gtk::Orientation orientation, int, int& minimum, int& natural,
                                     int& minimumBaseline, int& naturalBaseline) const
{
    minimumBaseline = naturalBaseline = -1;
    if (orientation == Gtk::Orientation::HORIZONTAL) {
        // Whatever width it gets, it shows what fits there: it asks for none.
        minimum = natural = 0;
        return;
    }
    minimum = natural = naturalSize(m_overflow, orientation);
    for (const BookmarkButton* button : m_buttons)
        minimum = natural = std::max(natural, naturalSize(*button, orientation));
}

void BookmarkStripRow::size_allocate_vfunc(int width, int height, int)
{
    const int overflowWidth = naturalSize(m_overflow, Gtk::Orientation::HORIZONTAL);
    auto place = [height](Gtk::Widget& widget, int x, int w) {
        const int h = std::min(height, naturalSize(widget, Gtk::Orientation::VERTICAL));
        widget.size_allocate(Gtk::Allocation(x, (height - h) / 2, w, h), -1);
    };
    // Buttons are laid out in order until the next one would not leave room for the menu
    // button (not needed after the last page).
    std::size_t shown = 0;
    int x = 0;
    while (shown < m_pages.size()) {
        BookmarkButton& button = buttonAt(shown);
        const int w = naturalSize(button, Gtk::Orientation::HORIZONTAL);
        const bool last = shown + 1 == m_pages.size();
        const int room = width - (last ? 0 : overflowWidth + spacing);
        if (x + w > room)
            break;
        button.set_child_visible(true);
        place(button, x, w);
        x += w + spacing;
        ++shown;
    }
    for (std::size_t i = shown; i < m_buttons.size(); ++i)
        m_buttons[i]->set_child_visible(false);
    // The open menu lists what did not fit before.
    if (shown != m_shown && m_menu && m_menu->get_visible())
        m_menu->popdown();
    m_shown = shown;
    const bool overflowing = shown < m_pages.size();
    m_overflow.set_child_visible(overflowing);
    if (overflowing)
        place(m_overflow, std::max(0, width - overflowWidth), overflowWidth);
}

void BookmarkStripRow::open(std::size_t index)
{
    // A copy: opening a tab may change the library and with it the pages.
    if (index < m_pages.size())
        openSavedPage(m_state, SavedPage(m_pages[index]));
}

void BookmarkStripRow::prepareMenu()
{
    if (!m_menu) {
        m_menu = Gtk::make_managed<BookmarkOverflowMenu>(BookmarkOverflowMenu::Pages{
            [this](std::size_t index) -> const SavedPage& { return m_pages.at(m_shown + index); },
            [this](std::size_t index) { open(m_shown + index); }});
        m_overflow.set_popover(*m_menu);
    }
    m_menu->setCount(m_pages.size() - m_shown);
}

} // namespace kovi
