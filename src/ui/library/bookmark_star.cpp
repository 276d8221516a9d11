#include "ui/library/bookmark_star.h"

#include "core/libraryviews/saved_page_actions.h"
#include "core/library/browser_library.h"
#include "core/state/browser_state.h"
#include "ui/base/command_action.h"
#include "ui/design/styles.h"
#include "ui/design/symbols.h"

#include <gtk/gtk.h>

namespace kovi {

BookmarkStar::BookmarkStar(BrowserState& state, BrowserLibrary& library) : m_state(state), m_library(library)
{
    add_css_class("bookmark-star");
    set_focus_on_click(false);
    set_child(m_image);
    applyIconButtonStyle(*this, size);
    set_tooltip_text("Bookmark this page (Ctrl+D)");
    gtk_accessible_update_property(GTK_ACCESSIBLE(gobj()), GTK_ACCESSIBLE_PROPERTY_LABEL, "Bookmark this page", -1);
    // The command is enabled only for a web page; the button follows it.
    set_action_name(appAction(commands::toggleBookmark));

    for (auto* signal : {&m_state.activeTabIdChanged, &m_state.tabsChanged})
        m_connections.add(signal->connect([this] { activePageMayHaveChanged(); }));
    m_connections.add(m_library.archiveChanged.connect([this] { refresh(); }));
    activePageMayHaveChanged();
}

void BookmarkStar::activePageMayHaveChanged()
{
    auto tab = m_state.activeTab();
    std::optional<Url> url = tab ? std::optional<Url>(tab->url) : std::nullopt;
    if (m_drawn && url == m_pageUrl)
        return;
    m_pageUrl = std::move(url);
    refresh();
}

void BookmarkStar::refresh()
{
    const bool filled = isActivePageBookmarked(m_state, m_library);
    if (m_drawn && filled == m_filled)
        return;
    m_drawn = true;
    m_filled = filled;
    m_image.set_from_icon_name(iconNameForSymbol(filled ? "star.fill" : "star"));
    setClass(*this, "filled", filled);
}

} // namespace kovi
