#pragma once

#include "core/model/download_item.h"
#include "ui/design/trailing_controls.h"

#include <giomm/simpleactiongroup.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/popovermenu.h>
#include <gtkmm/progressbar.h>

#include <functional>
#include <memory>
#include <optional>

namespace kovi {

// One row of the downloads panel's lazy list: a file-type tile, the name, the coloured status
// word, sizes, a progress bar while it runs; on hover "Show in Folder" (finished only) and
// remove over the end of the texts; a double click opens a finished file; a context menu. A row
// is made once and bound to whichever download is at its place; its buttons act on the one
// bound last. Rows are one height whether or not the bar shows, so nothing below moves when a
// download finishes.
class DownloadRow : public Gtk::Box {
public:
    struct Actions {
        std::function<void(const DownloadItem&)> open;
        std::function<void(const DownloadItem&)> showInFolder;
        std::function<void(const DownloadItem&)> remove;
    };

    explicit DownloadRow(const Actions& actions);
    ~DownloadRow() override;

    void bind(const DownloadItem& item);
    // The download bound last; a row is bound before it shows.
    const DownloadItem& item() const { return *m_item; }

    Gtk::Label& nameLabel() { return m_name; }
    Gtk::Label& statusLabel() { return m_status; }
    Gtk::Label& sizeLabel() { return m_size; }
    Gtk::ProgressBar& progressBar() { return m_progress; }
    Gtk::Image& symbol() { return m_symbol; }
    bool buttonsShown() const { return m_body.isShown(); }
    Gtk::Button& revealButton() { return m_reveal; }
    Gtk::Button& removeButton() { return m_remove; }
    Gtk::PopoverMenu* menu() const { return m_menu.get(); }
    // As the pointer entering or leaving the row does.
    void setHovered(bool hovered);
    // Opens the context menu at (x, y) of the row, as a right click does.
    void showMenu(double x, double y);

private:
    void refresh();
    void act(const std::function<void(const DownloadItem&)>& action);

    const Actions& m_actions;
    std::optional<DownloadItem> m_item;
    Gtk::Box m_tile;
    Gtk::Image m_symbol;
    Gtk::Box m_texts{Gtk::Orientation::VERTICAL, 4};
    Gtk::Label m_name;
    Gtk::Box m_statusLine{Gtk::Orientation::HORIZONTAL, 8};
    Gtk::Label m_status;
    Gtk::Label m_size;
    Gtk::ProgressBar m_progress;
    Gtk::Box m_buttons{Gtk::Orientation::HORIZONTAL, 4};
    Gtk::Button m_reveal;
    Gtk::Button m_remove;
    TrailingControls m_body{m_texts, m_buttons, 12}; // the buttons over the texts' end
    Glib::RefPtr<Gio::SimpleActionGroup> m_group;
    std::unique_ptr<Gtk::PopoverMenu> m_menu;
};

} // namespace kovi
