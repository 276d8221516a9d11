#include "ui/library/history_panel.h"

#include "core/libraryviews/display_format.h"
#include "core/state/browser_state.h"
#include "ui/design/symbols.h"

#include <gdkmm/clipboard.h>
#include <gtkmm/label.h>
#include <gtkmm/separator.h>
#include <gtkmm/signallistitemfactory.h>

namespace kovi {

HistoryPanel::HistoryPanel(BrowserState& state) : Gtk::Box(Gtk::Orientation::VERTICAL), m_model(state)
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

    auto factory = Gtk::SignalListItemFactory::create();
    factory->signal_setup().connect([this](const Glib::RefPtr<Gtk::ListItem>& item) {
        item->set_child(*Gtk::make_managed<HistoryRow>(m_actions, m_favicons));
        item->set_activatable(false);
    });
    factory->signal_bind().connect([this](const Glib::RefPtr<Gtk::ListItem>& item) {
        auto* row = dynamic_cast<HistoryRow*>(item->get_child());
        const guint position = item->get_position();
        const auto& rows = m_model.rows();
        if (!row || position >= rows.size())
            return;
        const auto& entry = rows[position];
        if (entry.isHeader) {
            row->bindHeader(entry.header);
        } else {
            const HistoryItem& visit = m_model.itemAt(entry);
            row->bindItem(visit, display::historyTime(visit.visitedAt, Date::now()));
        }
    });
    m_list.set_model(m_rowsModel.selectionModel());
    m_list.set_factory(factory);
    m_list.add_css_class("history-list");
    m_scroller.set_child(m_list);
    m_scroller.set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    m_scroller.set_vexpand(true);
    append(m_scroller);

    m_connections.push_back(m_model.rowsChanged.connect([this] { refreshRows(); }));
    refreshRows();
}

HistoryPanel::~HistoryPanel()
{
    for (auto& connection : m_connections)
        connection.disconnect();
}

void HistoryPanel::refreshRows()
{
    m_rowsModel.reset(static_cast<unsigned>(m_model.rows().size()));
}

std::vector<HistoryRow*> HistoryPanel::shownRows()
{
    // The list's rows hold ours as their only child.
    std::vector<HistoryRow*> rows;
    for (Gtk::Widget* row = m_list.get_first_child(); row; row = row->get_next_sibling()) {
        if (auto* child = dynamic_cast<HistoryRow*>(row->get_first_child()))
            rows.push_back(child);
    }
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
