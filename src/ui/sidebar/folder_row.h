#pragma once

#include "core/model/tab_folder.h"
#include "ui/sidebar/sidebar_rows.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/popovermenu.h>
#include <gtkmm/revealer.h>
#include <gtkmm/stack.h>

#include <memory>
#include <optional>
#include <unordered_map>

namespace kovi {

class SidebarEnvironment;

// A folder in the sidebar's list: a header (disclosure, name or rename field, tab count) and,
// while expanded, its tabs between drop zones. Tab rows are kept by id across updates.
class FolderRow : public Gtk::Box {
public:
    FolderRow(SidebarEnvironment& env, const TabFolder& folder, int index);
    ~FolderRow() override;

    // `tabs` are the folder's existing tabs in order.
    void update(const TabFolder& folder, const std::vector<Tab>& tabs, const std::optional<Uuid>& activeTabId,
                int index);
    const TabFolder& folder() const { return m_folder; }
    bool isEditing() const { return m_isEditing; }
    bool isDragging() const { return m_isDragging; }
    Gtk::Widget& header() { return m_header; }
    Gtk::Entry& nameEntry() { return m_entry; }
    Gtk::Button& chevron() { return m_chevron; }
    // Whether the folder's tabs are shown (or on their way in).
    bool isShowingTabs() const { return m_reveal.get_reveal_child(); }
    Gtk::Label& badge() { return m_badge; }
    SidebarTabRow* rowFor(const Uuid& tabId) const;
    DropZone* zoneAt(int index) const;
    std::function<void()> onDragFinished;

    void beginRename();

private:
    void showMenu(double x, double y);

    SidebarEnvironment& m_env;
    TabFolder m_folder;
    int m_index = 0;
    bool m_isEditing = false;
    bool m_isDragging = false;

    Gtk::Box m_header;
    Gtk::Button m_chevron;
    Gtk::Image m_folderIcon;
    Gtk::Stack m_name;
    Gtk::Label m_label;
    Gtk::Entry m_entry;
    Gtk::Label m_badge;
    Gtk::Revealer m_reveal;
    Gtk::Box m_children;
    std::unordered_map<Uuid, SidebarTabRow*> m_rows;
    std::vector<DropZone*> m_zones;
    std::unique_ptr<Gtk::PopoverMenu> m_menu;
    Glib::RefPtr<Gio::SimpleActionGroup> m_group;
};

} // namespace kovi
