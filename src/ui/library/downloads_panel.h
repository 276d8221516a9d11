#pragma once

#include "ui/library/download_row.h"
#include "ui/library/message_alert.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/stack.h>
#include <sigc++/connection.h>

#include <memory>
#include <unordered_map>
#include <vector>

namespace kovi {

class BrowserState;

// The downloads panel: a card listing the browser state's downloads newest first, with "Clear
// Completed" while one has finished and "No Downloads" when the list is empty. Rows are kept by
// download id and updated in place as transfers progress. A finished file that has been moved
// or deleted is reported instead of being handed to the desktop. The state must outlive it.
class DownloadsPanel : public Gtk::Box {
public:
    static constexpr int width = 380;
    static constexpr int height = 420;

    explicit DownloadsPanel(BrowserState& state);
    ~DownloadsPanel() override;

    Gtk::Button& clearButton() { return m_clear; }
    Gtk::Button& closeButton() { return m_close; }
    bool isShowingEmptyState() const;
    // The rows in shown order.
    std::vector<DownloadRow*> rows() const;
    DownloadRow* rowFor(const Uuid& id) const;
    MessageAlert* alert() const { return m_alert.get(); }

private:
    void refresh();
    // Runs `action` unless the file is gone, which is said in an alert instead.
    void withFile(const DownloadItem& item, const std::function<void(const Uuid&)>& action);

    BrowserState& m_state;
    DownloadRow::Actions m_actions;
    Gtk::Button m_clear;
    Gtk::Button m_close;
    Gtk::Stack m_content;
    Gtk::ScrolledWindow m_scroller;
    Gtk::Box m_list{Gtk::Orientation::VERTICAL, 0};
    std::unordered_map<Uuid, DownloadRow*> m_rows;
    std::vector<Uuid> m_order;
    std::unique_ptr<MessageAlert> m_alert;
    std::vector<sigc::connection> m_connections;
};

} // namespace kovi
