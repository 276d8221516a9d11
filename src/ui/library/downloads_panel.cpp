#include "ui/library/downloads_panel.h"

#include "core/libraryviews/download_row_texts.h"
#include "core/state/browser_state.h"
#include "ui/design/symbols.h"

#include <gtkmm/label.h>
#include <gtkmm/separator.h>
#include <gtkmm/window.h>

#include <unordered_set>

namespace kovi {

DownloadsPanel::DownloadsPanel(BrowserState& state)
    : Gtk::Box(Gtk::Orientation::VERTICAL), m_state(state),
      m_list({nullptr, [this](int) -> Gtk::Widget* { return Gtk::make_managed<DownloadRow>(m_actions); },
              [this](Gtk::Widget& row, std::size_t index) {
                  static_cast<DownloadRow&>(row).bind(m_state.downloads().at(m_order.at(index)));
              }},
             0, 8)
{
    add_css_class("library-panel");
    add_css_class("downloads-panel");
    set_size_request(width, height);
    set_halign(Gtk::Align::CENTER);
    set_valign(Gtk::Align::CENTER);
    set_overflow(Gtk::Overflow::HIDDEN);

    m_actions.open = [this](const DownloadItem& item) {
        withFile(item, [this](const Uuid& id) { m_state.openDownload(id); });
    };
    m_actions.showInFolder = [this](const DownloadItem& item) {
        withFile(item, [this](const Uuid& id) { m_state.showDownloadInFinder(id); });
    };
    m_actions.remove = [this](const DownloadItem& item) { m_state.removeDownload(item.id); };

    auto* header = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
    header->add_css_class("library-panel-header");
    auto* title = Gtk::make_managed<Gtk::Label>("Downloads");
    title->add_css_class("library-panel-title");
    title->set_hexpand(true);
    title->set_xalign(0);
    header->append(*title);
    m_clear.set_label("Clear Completed");
    m_clear.set_has_frame(false);
    m_clear.add_css_class("library-panel-text-button");
    m_clear.signal_clicked().connect([this] { m_state.clearCompletedDownloads(); });
    header->append(m_clear);
    m_close.set_child(*makeSymbolImage("xmark", 11));
    m_close.add_css_class("library-panel-close");
    m_close.set_tooltip_text("Close");
    m_close.signal_clicked().connect([this] { m_state.setIsDownloadsPanelVisible(false); });
    header->append(m_close);
    append(*header);
    auto* divider = Gtk::make_managed<Gtk::Separator>(Gtk::Orientation::HORIZONTAL);
    divider->add_css_class("library-panel-divider");
    append(*divider);

    auto* empty = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 12);
    empty->set_valign(Gtk::Align::CENTER);
    auto* symbol = makeSymbolImage("arrow.down.circle", 40);
    symbol->add_css_class("kovi-tertiary");
    empty->append(*symbol);
    auto* label = Gtk::make_managed<Gtk::Label>("No Downloads");
    label->add_css_class("downloads-empty-label");
    empty->append(*label);
    m_content.add(*empty, "empty");
    m_list.add_css_class("downloads-list");
    m_content.add(m_list, "list");
    m_content.set_vexpand(true);
    append(m_content);

    m_connections.add(m_state.downloadsChanged.connect([this] { refresh(); }));
    refresh();
}

bool DownloadsPanel::isShowingEmptyState() const
{
    return m_content.get_visible_child_name() == "empty";
}

std::vector<DownloadRow*> DownloadsPanel::rows() const
{
    std::vector<DownloadRow*> out;
    for (Gtk::Widget* row : m_list.shownRows())
        out.push_back(static_cast<DownloadRow*>(row));
    return out;
}

DownloadRow* DownloadsPanel::rowFor(const Uuid& id) const
{
    for (DownloadRow* row : rows()) {
        if (row->item().id == id)
            return row;
    }
    return nullptr;
}

void DownloadsPanel::refresh()
{
    const auto& downloads = m_state.downloads();
    std::unordered_set<Uuid> seen;
    m_order.clear();
    for (std::size_t i = 0; i < downloads.size(); ++i) {
        if (seen.insert(downloads[i].id).second)
            m_order.push_back(i);
    }
    m_list.setCount(m_order.size());
    m_clear.set_visible(hasCompletedDownload(downloads));
    m_content.set_visible_child(downloads.empty() ? "empty" : "list");
}

void DownloadsPanel::withFile(const DownloadItem& item, const std::function<void(const Uuid&)>& action)
{
    if (!isDownloadedFileMissing(item)) {
        action(item.id);
        return;
    }
    auto* window = dynamic_cast<Gtk::Window*>(get_root());
    if (!window)
        return;
    m_alert = std::make_unique<MessageAlert>(
        *window, "File Not Found",
        "\u201C" + item.filename + "\u201D is no longer where it was downloaded. It may have been moved or deleted.",
        [this] { m_alert.reset(); });
}

} // namespace kovi
