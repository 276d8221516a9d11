#include "ui/library/bookmark_strip.h"

#include "core/libraryviews/saved_page_actions.h"
#include "core/library/browser_library.h"
#include "core/state/browser_state.h"
#include "core/settings/preferences.h"
#include "ui/base/command_action.h"
#include "ui/design/symbols.h"

#include <gtkmm/image.h>
#include <gtkmm/label.h>

namespace kovi {

namespace {

// About 150 px of 11-px text.
constexpr int titleWidthChars = 24;

} // namespace

BookmarkStrip::BookmarkStrip(BrowserState& state, BrowserLibrary& library, Preferences& preferences)
    : Gtk::Box(Gtk::Orientation::VERTICAL), m_state(state), m_library(library), m_preferences(preferences)
{
    add_css_class("bookmark-strip");
    set_size_request(-1, height);
    set_vexpand(false); // a fixed strip above the page, however the page grows
    m_scroller.set_policy(Gtk::PolicyType::EXTERNAL, Gtk::PolicyType::NEVER);
    m_scroller.set_has_frame(false);
    m_scroller.set_size_request(-1, height);
    m_row.set_valign(Gtk::Align::CENTER);
    m_row.set_margin_start(12);
    m_row.set_margin_end(12);
    m_scroller.set_child(m_row);
    append(m_scroller);

    m_libraryButton.add_css_class("bookmark-strip-button");
    m_libraryButton.set_has_frame(false);
    m_libraryButton.set_focus_on_click(false);
    m_libraryButton.set_child(*makeSymbolImage("books.vertical", 13));
    m_libraryButton.set_tooltip_text("Open Library");
    m_libraryButton.set_action_name(appAction(commands::showLibrary));
    m_row.append(m_libraryButton);

    m_connections.push_back(m_preferences.changed(prefs::showBookmarksBar).connect([this] { refreshVisibility(); }));
    m_connections.push_back(m_library.archiveChanged.connect([this] {
        if (m_built)
            refreshButtons();
    }));
    refreshVisibility();
}

BookmarkStrip::~BookmarkStrip()
{
    for (auto& connection : m_connections)
        connection.disconnect();
}

void BookmarkStrip::refreshVisibility()
{
    const bool shown = m_preferences.get(prefs::showBookmarksBar);
    if (shown && !m_built) {
        m_built = true;
        refreshButtons();
    }
    set_visible(shown);
}

std::vector<Gtk::Button*> BookmarkStrip::bookmarkButtons() const
{
    std::vector<Gtk::Button*> buttons;
    for (const Uuid& id : m_order)
        buttons.push_back(m_entries.at(id).button);
    return buttons;
}

void BookmarkStrip::showPage(Gtk::Button& button, const SavedPage& page)
{
    auto* label = dynamic_cast<Gtk::Label*>(button.get_child()->get_last_child());
    if (label)
        label->set_text(page.title);
    button.set_tooltip_text(page.url.string());
}

Gtk::Button* BookmarkStrip::makeButton(const SavedPage& page)
{
    auto* button = Gtk::make_managed<Gtk::Button>();
    button->add_css_class("bookmark-strip-button");
    button->set_has_frame(false);
    button->set_focus_on_click(false);
    auto* content = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 4);
    content->append(*makeSymbolImage("star", 10));
    auto* label = Gtk::make_managed<Gtk::Label>();
    label->set_single_line_mode(true);
    label->set_ellipsize(Pango::EllipsizeMode::END);
    label->set_max_width_chars(titleWidthChars);
    content->append(*label);
    button->set_child(*content);
    const Uuid id = page.id;
    button->signal_clicked().connect([this, id] {
        auto it = m_entries.find(id);
        if (it != m_entries.end())
            openSavedPage(m_state, it->second.page);
    });
    showPage(*button, page);
    return button;
}

void BookmarkStrip::refreshButtons()
{
    // Buttons are kept by page id, so saving one bookmark adds one button.
    std::vector<SavedPage> pages = bookmarkedPages(m_library.archive());
    std::unordered_map<Uuid, Entry> next;
    std::vector<Uuid> order;
    Gtk::Widget* previous = &m_libraryButton;
    for (SavedPage& page : pages) {
        const Uuid id = page.id;
        if (next.count(id))
            continue; // a repeated id shows once
        Gtk::Button* button = nullptr;
        if (auto it = m_entries.find(id); it != m_entries.end()) {
            button = it->second.button;
            if (!(it->second.page == page))
                showPage(*button, page);
            m_entries.erase(it);
            m_row.reorder_child_after(*button, *previous);
        } else {
            button = makeButton(page);
            m_row.insert_child_after(*button, *previous);
        }
        previous = button;
        order.push_back(id);
        next.emplace(id, Entry{std::move(page), button});
    }
    for (auto& [id, gone] : m_entries)
        m_row.remove(*gone.button);
    m_entries = std::move(next);
    m_order = std::move(order);
}

} // namespace kovi
