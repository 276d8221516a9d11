#pragma once

#include "core/libraryviews/history_panel_model.h"
#include "core/support/scoped_connections.h"
#include "ui/library/favicon_texture.h"
#include "ui/library/history_row.h"
#include "ui/library/recycler_list.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <sigc++/connection.h>

#include <vector>

namespace kovi {

// The history panel: a card of the shown space's visits by day, a search over them, and per
// visit open, "Open in New Tab", "Copy URL" and delete; "Clear Space" empties the space's
// history. Headers scroll with the list (GTK's lists have no pinned headers). The search field
// takes the keyboard when the panel shows. What it shows is HistoryPanelModel's. The state must
// outlive it.
class HistoryPanel : public Gtk::Box {
public:
    static constexpr int width = 380;
    static constexpr int height = 500;

    explicit HistoryPanel(BrowserState& state);

    HistoryPanelModel& model() { return m_model; }
    Gtk::Entry& searchEntry() { return m_search; }
    Gtk::Button& clearButton() { return m_clear; }
    Gtk::Button& closeButton() { return m_close; }
    RecyclerList& list() { return m_list; }
    // The rows in view, top to bottom.
    std::vector<HistoryRow*> shownRows() const;
    // The row showing this visit, if it is on screen.
    HistoryRow* rowFor(const Uuid& itemId);

private:

    HistoryPanelModel m_model;
    FaviconTextures m_favicons;
    HistoryRow::Actions m_actions;
    Gtk::Button m_clear;
    Gtk::Button m_close;
    Gtk::Entry m_search;
    RecyclerList m_list;
    ScopedConnections m_connections; // last: dropped before the members its slots use
};

} // namespace kovi
