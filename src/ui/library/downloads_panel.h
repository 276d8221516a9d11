#pragma once

#include "core/support/scoped_connections.h"
#include "ui/library/download_row.h"
#include "ui/library/message_alert.h"
#include "ui/library/recycler_list.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/stack.h>

#include <memory>
#include <vector>

namespace kovi {

class BrowserState;

// The downloads panel: a card listing the browser state's downloads newest first, with "Clear
// Completed" while one has finished and "No Downloads" when the list is empty. The rows in view
// are bound again in place as transfers progress. A finished file that has been moved or
// deleted is reported instead of being handed to the desktop. The state must outlive it.
class DownloadsPanel : public Gtk::Box {
public:
    static constexpr int width = 380;
    static constexpr int height = 420;

    explicit DownloadsPanel(BrowserState& state);

    Gtk::Button& clearButton() { return m_clear; }
    Gtk::Button& closeButton() { return m_close; }
    bool isShowingEmptyState() const;
    // The rows in view, in shown order.
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
    // Where each shown row's download is in the state's list (a repeated id shows once).
    std::vector<std::size_t> m_order;
    RecyclerList m_list;
    std::unique_ptr<MessageAlert> m_alert;
    ScopedConnections m_connections;
};

} // namespace kovi
