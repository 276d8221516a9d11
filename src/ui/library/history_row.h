#pragma once

#include "core/model/history_item.h"

#include <giomm/simpleactiongroup.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/popovermenu.h>

#include <functional>
#include <memory>
#include <optional>

namespace kovi {

class FaviconTextures;

// One row of the history panel's lazy list: a section header, or a visit with its icon, title,
// host and time, a delete button shown on hover, a click that opens it and a context menu.
// Rows are made once and bound to whatever the list shows in their place.
class HistoryRow : public Gtk::Box {
public:
    struct Actions {
        std::function<void(const HistoryItem&)> open;        // a click: open, then close the panel
        std::function<void(const HistoryItem&)> openInNewTab; // from the menu: the panel stays
        std::function<void(const HistoryItem&)> copyUrl;
        std::function<void(const HistoryItem&)> remove;
    };

    HistoryRow(const Actions& actions, FaviconTextures& favicons);
    ~HistoryRow() override;

    void bindHeader(const std::string& title);
    void bindItem(const HistoryItem& item, const std::string& time);

    bool isHeader() const { return !m_item; }
    const std::optional<HistoryItem>& item() const { return m_item; }
    Gtk::Label& headerLabel() { return m_header; }
    Gtk::Label& titleLabel() { return m_title; }
    Gtk::Label& subtitleLabel() { return m_subtitle; }
    Gtk::Label& timeLabel() { return m_time; }
    Gtk::Image& icon() { return m_icon; }
    bool showsFavicon() const { return m_showsFavicon; }
    Gtk::Button& deleteButton() { return m_delete; }
    Gtk::Widget& visit() { return m_visit; }
    Gtk::PopoverMenu* menu() const { return m_menu.get(); }
    // Opens the context menu at the point (x, y) of the row, as a right click does.
    void showMenu(double x, double y);

private:
    const Actions& m_actions;
    FaviconTextures& m_favicons;
    std::optional<HistoryItem> m_item;
    bool m_showsFavicon = false;
    Gtk::Label m_header;
    Gtk::Box m_visit{Gtk::Orientation::HORIZONTAL, 10};
    Gtk::Image m_icon;
    Gtk::Box m_texts{Gtk::Orientation::VERTICAL, 2};
    Gtk::Label m_title;
    Gtk::Label m_subtitle;
    Gtk::Label m_time;
    Gtk::Button m_delete;
    Glib::RefPtr<Gio::SimpleActionGroup> m_group;
    std::unique_ptr<Gtk::PopoverMenu> m_menu;
};

} // namespace kovi
