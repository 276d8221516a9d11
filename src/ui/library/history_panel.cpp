#include "ui/library/history_panel.h"

#include "core/libraryviews/display_format.h"
#include "core/state/browser_state.h"
#include "ui/design/symbols.h"

#include <gdkmm/clipboard.h>
#include <gtkmm/label.h>
#include <gtkmm/separator.h>

namespace kovi {

HistoryPanel::HistoryPanel(BrowserState& state)
    : Gtk::Box(Gtk::Orientation::VERTICAL), m_model(state),
      m_list({[this](std::size_t index) { return m_model.rows().at(index).isHeader ? 0 : 1; },
              [this](int) -> Gtk::Widget* { return Gtk::make_managed<HistoryRow>(m_actions, m_favicons); },
              [this](Gtk::Widget& widget, std::size_t index) {
                  auto& row = static_cast<HistoryRow&>(widget);
                  const auto& entry = m_model.rows().at(index);
                  if (entry.isHeader) {
                      row.bindHeader(entry.header);
                      return;
                  }
                  const HistoryItem& visit = m_model.itemAt(entry);
                  row.bindItem(visit, display::historyTime(visit.visitedAt, Date::now()));
              }},
             0, 8)
{
    add_css_class("library-panel");
    add_css_class("history-panel");
    set_size_request(width, height);
    set_halign(Gtk::Align::CENTER);
    set_valign(Gtk::Align::CENTER);
    set_overflow(Gtk::Overflow::HIDDEN);

    m_actions.open = [this](const HistoryItem& item) {
        m_model.open(item);
        m_model.close();
    };
    m_actions.openInNewTab = [this](const HistoryItem& item) { m_model.open(item); };
    m_actions.copyUrl = [this](const HistoryItem& item) { get_clipboard()->set_text(item.url.string()); };
    m_actions.remove = [this](const HistoryItem& item) { m_model.remove(item.id); };

    auto* header = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
    header->add_css_class("library-panel-header");
    auto* title = Gtk::make_managed<Gtk::Label>("History");
    title->add_css_class("library-panel-title");
    title->set_hexpand(true);
    title->set_xalign(0);
    header->append(*title);
    m_clear.set_label("Clear Space");
    m_clear.set_has_frame(false);
    m_clear.add_css_class("library-panel-text-button");
    m_clear.signal_clicked().connect([this] { m_model.clearSpace(); });
    header->append(m_clear);
    m_close.set_child(*makeSymbolImage("xmark", 11));
    m_close.add_css_class("library-panel-close");
    m_close.set_tooltip_text("Close");
    m_close.signal_clicked().connect([this] { m_model.close(); });
    header->append(m_close);
    append(*header);

    auto* field = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
    field->add_css_class("history-search");
    auto* glass = makeSymbolImage("magnifyingglass", 12);
    glass->add_css_class("kovi-secondary");
    field->append(*glass);
    m_search.set_placeholder_text("Search history...");
    m_search.set_has_frame(false);
    m_search.set_hexpand(true);
    m_search.signal_changed().connect([this] { m_model.setSearchText(m_search.get_text()); });
    field->append(m_search);
    append(*field);

    auto* divider = Gtk::make_managed<Gtk::Separator>(Gtk::Orientation::HORIZONTAL);
    divider->add_css_class("library-panel-divider");
    append(*divider);

    m_list.set_vexpand(true);
    m_list.add_css_class("history-list");
    append(m_list);

    m_connections.add(m_model.rowsChanged.connect([this] { m_list.setCount(m_model.rows().size()); }));
    m_list.setCount(m_model.rows().size());
    // Typing right after the panel opens searches the history.
    m_connections.add(signal_map().connect([this] { m_search.grab_focus(); }));
}

std::vector<HistoryRow*> HistoryPanel::shownRows() const
{
    std::vector<HistoryRow*> rows;
    for (Gtk::Widget* row : m_list.shownRows())
        rows.push_back(static_cast<HistoryRow*>(row));
    return rows;
}

HistoryRow* HistoryPanel::rowFor(const Uuid& itemId)
{
    for (HistoryRow* row : shownRows()) {
        if (row->item() && row->item()->id == itemId && row->get_mapped())
            return row;
    }
    return nullptr;
}

} // namespace kovi
