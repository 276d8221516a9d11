#include "ui/sidebar/folder_row.h"

#include "core/sidebar/sidebar_drop.h"
#include "core/state/browser_state.h"
#include "ui/design/drag_preview.h"
#include "ui/design/styles.h"
#include "ui/design/symbols.h"
#include "ui/sidebar/child_arrangement.h"
#include "ui/sidebar/sidebar_environment.h"

#include <giomm/menu.h>
#include <gtkmm/eventcontrollermotion.h>
#include <gtkmm/gestureclick.h>

namespace kovi {

FolderRow::FolderRow(SidebarEnvironment& env, const TabFolder& folder, int index)
    : Gtk::Box(Gtk::Orientation::VERTICAL), m_env(env), m_folder(folder), m_index(index)
{
    add_css_class("sidebar-folder");
    m_header.set_orientation(Gtk::Orientation::HORIZONTAL);
    m_header.set_spacing(8);
    m_header.add_css_class("sidebar-folder-header");

    m_chevron.set_has_frame(false);
    m_chevron.set_focus_on_click(false);
    m_chevron.add_css_class("sidebar-folder-chevron");
    m_chevron.signal_clicked().connect([this] { m_env.state.toggleFolderExpanded(m_folder.id); });
    m_header.append(m_chevron);

    setSymbol(m_folderIcon, "folder.fill", 14);
    m_folderIcon.add_css_class("sidebar-folder-icon");
    m_header.append(m_folderIcon);

    m_label.set_ellipsize(Pango::EllipsizeMode::END);
    m_label.set_xalign(0);
    m_label.add_css_class("sidebar-folder-name");
    m_entry.set_placeholder_text("Folder name");
    m_entry.add_css_class("sidebar-folder-entry");
    m_entry.signal_activate().connect([this] {
        // Committed as typed: an empty or blank name is the user's choice.
        m_env.state.renameFolder(m_folder.id, m_entry.get_text());
        m_isEditing = false;
        m_name.set_visible_child("label");
    });
    m_name.add(m_label, "label");
    m_name.add(m_entry, "entry");
    m_name.set_hexpand(true);
    m_header.append(m_name);

    m_badge.add_css_class("sidebar-folder-badge");
    m_badge.set_valign(Gtk::Align::CENTER);
    m_header.append(m_badge);
    append(m_header);

    m_children.set_orientation(Gtk::Orientation::VERTICAL);
    m_children.set_margin_start(20);
    m_reveal.set_transition_type(Gtk::RevealerTransitionType::SLIDE_DOWN);
    m_reveal.set_transition_duration(200);
    m_reveal.set_child(m_children);
    append(m_reveal);

    auto motion = Gtk::EventControllerMotion::create();
    motion->signal_enter().connect([this](double, double) { m_header.add_css_class("hovered"); });
    motion->signal_leave().connect([this] { m_header.remove_css_class("hovered"); });
    m_header.add_controller(motion);
    auto right = Gtk::GestureClick::create();
    right->set_button(3);
    right->signal_pressed().connect([this](int, double x, double y) { showMenu(x, y); });
    m_header.add_controller(right);

    attachDragSource(
        m_header, [this] { return std::optional<DraggedItem>(DraggedItem{m_folder.id, true}); },
        [this]() -> Glib::RefPtr<Gdk::Paintable> {
            return renderDragPreview(m_folder.name, {}, true, get_scale_factor());
        },
        [this](bool dragging) {
            m_isDragging = dragging;
            if (!dragging && onDragFinished)
                onDragFinished();
        });
    attachDropTarget(
        m_header,
        [this](const DraggedItem& item, double, double) {
            const Uuid folderId = m_folder.id;
            return m_env.performDrop(
                [&](const SidebarDropContext& c) { return decideFolderHeaderDrop(item, folderId, c); });
        },
        [this](bool targeted) { setClass(m_header, "targeted", targeted); });

    TabFolder initial = folder;
    m_folder.name = std::string(1, '\x01');
    m_folder.isExpanded = !folder.isExpanded;
    m_folder.tabIds.push_back(Uuid());
    update(initial, m_env.state.tabsInFolder(folder.id), m_env.state.activeTabId(), index);
}

FolderRow::~FolderRow()
{
    if (m_menu)
        m_menu->unparent();
}

SidebarTabRow* FolderRow::rowFor(const Uuid& tabId) const
{
    auto it = m_rows.find(tabId);
    return it == m_rows.end() ? nullptr : it->second;
}

DropZone* FolderRow::zoneAt(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_zones.size()))
        return nullptr;
    return m_zones[static_cast<std::size_t>(index)];
}

void FolderRow::update(const TabFolder& folder, const std::vector<Tab>& tabs, const std::optional<Uuid>& activeTabId,
                       int index)
{
    m_index = index;
    if (folder.name != m_folder.name)
        m_label.set_text(folder.name);
    if (folder.tabIds.size() != m_folder.tabIds.size())
        m_badge.set_text(std::to_string(folder.tabIds.size()));
    const bool firstUpdate = m_folder.tabIds.size() == folder.tabIds.size() + 1 && m_folder.tabIds.back().isNil();
    if (folder.isExpanded != m_folder.isExpanded) {
        m_chevron.set_icon_name(sidebarIconName(folder.isExpanded ? "chevron.down" : "chevron.right"));
        // Slides open and shut; the first showing takes no animation.
        m_reveal.set_transition_duration(firstUpdate ? 0 : 200);
        m_reveal.set_reveal_child(folder.isExpanded);
    }
    m_folder = folder;

    // A folder that was never open has no rows to keep up to date.
    if (!folder.isExpanded && m_rows.empty() && m_zones.empty())
        return;

    const Uuid folderId = folder.id;
    auto makeZone = [this, folderId](int i) {
        return Gtk::make_managed<DropZone>(6, i, [this, folderId](const DraggedItem& item, int zoneIndex) {
            return m_env.performDrop([&](const SidebarDropContext& c) {
                return decideFolderZoneDrop(item, folderId, zoneIndex, c);
            });
        });
    };
    const int count = static_cast<int>(tabs.size());
    while (static_cast<int>(m_zones.size()) < count + 1)
        m_zones.push_back(makeZone(static_cast<int>(m_zones.size())));
    m_zones.resize(static_cast<std::size_t>(count + 1));

    std::unordered_map<Uuid, SidebarTabRow*> rows;
    std::vector<Gtk::Widget*> desired{m_zones[0]};
    for (int i = 0; i < count; ++i) {
        const Tab& tab = tabs[static_cast<std::size_t>(i)];
        const bool active = activeTabId == tab.id;
        SidebarTabRow* row = rowFor(tab.id);
        if (row) {
            row->update(tab, active, i);
            m_rows.erase(tab.id);
        } else {
            row = Gtk::make_managed<SidebarTabRow>(m_env, SidebarTabRow::Variant::inFolder, tab, active, i, folderId);
            row->onDragFinished = [this] {
                if (onDragFinished)
                    onDragFinished();
            };
        }
        rows[tab.id] = row;
        desired.push_back(row);
        desired.push_back(m_zones[static_cast<std::size_t>(i + 1)]);
    }
    // A row that left the folder while being dragged waits, hidden, for its drag to end.
    for (auto& [id, row] : m_rows) {
        if (row->isDragging()) {
            row->set_visible(false);
            desired.push_back(row);
            rows[id] = row;
        }
    }
    m_rows = std::move(rows);
    arrangeChildren(m_children, desired);
}

void FolderRow::beginRename()
{
    m_entry.set_text(m_folder.name);
    m_isEditing = true;
    m_name.set_visible_child("entry");
    m_entry.grab_focus();
}

void FolderRow::showMenu(double x, double y)
{
    if (!m_group) {
        m_group = Gio::SimpleActionGroup::create();
        m_group->add_action("rename", [this] { beginRename(); });
        m_group->add_action("delete", [this] { m_env.state.deleteFolder(m_folder.id); });
        insert_action_group("folder", m_group);
        m_menu = std::make_unique<Gtk::PopoverMenu>();
        m_menu->set_parent(m_header);
        m_menu->set_has_arrow(false);
        auto menu = Gio::Menu::create();
        auto first = Gio::Menu::create();
        first->append("Rename", "folder.rename");
        auto second = Gio::Menu::create();
        second->append("Delete Folder", "folder.delete");
        menu->append_section(first);
        menu->append_section(second);
        m_menu->set_menu_model(menu);
    }
    m_menu->set_pointing_to(Gdk::Rectangle(static_cast<int>(x), static_cast<int>(y), 1, 1));
    m_menu->popup();
}

} // namespace kovi
