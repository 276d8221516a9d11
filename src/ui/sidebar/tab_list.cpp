#include "ui/sidebar/tab_list.h"

#include "core/sidebar/sidebar_drop.h"
#include "core/sidebar/sidebar_text.h"
#include "core/state/browser_state.h"
#include "ui/sidebar/child_arrangement.h"
#include "ui/sidebar/sidebar_environment.h"

#include <algorithm>
#include <unordered_set>

namespace kovi {

namespace {

// Changes of the favourites grid (tiles joining, leaving, moving) run on this spring.
constexpr KoviDesign::Motion pinnedGridAnimation = KoviDesign::Motion::springOf(0.26, 0.84);

} // namespace

SidebarTabList::SidebarTabList(SidebarEnvironment& env) : m_env(env), m_pinned(pinnedGridAnimation)
{
    m_pinned.add_css_class("sidebar-pinned-grid");

    m_keep.set_orientation(Gtk::Orientation::VERTICAL);
    m_keep.add_css_class("sidebar-keep");
    m_keepHeader.set_text(sectionHeaderText("Keep"));
    m_keepHeader.set_xalign(0);
    m_keepHeader.add_css_class("sidebar-section-header");
    m_keepHeader.set_margin_start(18);
    m_keepHeader.set_margin_end(18);
    m_keepHeader.set_margin_bottom(6);
    m_keep.append(m_keepHeader);
    m_keepRows.set_orientation(Gtk::Orientation::VERTICAL);
    m_keepRows.set_margin_bottom(10);
    m_keep.append(m_keepRows);

    m_list.set_orientation(Gtk::Orientation::VERTICAL);
    m_list.add_css_class("sidebar-list");
}

SidebarTabList::~SidebarTabList() = default;

void SidebarTabList::dragFinished()
{
    if (onDragFinished)
        onDragFinished();
}

bool SidebarTabList::refresh()
{
    ++m_refreshCount;
    SidebarSections sections = buildSidebarSections(m_env.state, Date::now());
    m_env.shownItems = sections.shownItems;
    // Within one space changes play out; a space switch animates the whole column instead.
    const auto space = m_env.state.currentSpaceId();
    const bool sameSpace = m_refreshCount > 1 && space == m_shownSpaceId;
    m_shownSpaceId = space;
    refreshPinned(sameSpace);
    refreshKeep(sections.keepTabs, sameSpace);
    refreshList(sections);
    return m_refreshCount > 1 && !sameSpace;
}

void SidebarTabList::refreshPinned(bool sameSpace)
{
    const auto pinned = m_env.state.pinnedTabs();
    const auto active = m_env.state.activeTabId();
    std::vector<Uuid> order;
    for (const Tab& tab : pinned)
        order.push_back(tab.id);
    if (order == m_pinnedOrder) {
        for (const Tab& tab : pinned)
            m_pinnedTiles.at(tab.id)->update(tab, active == tab.id);
        return;
    }
    // The set or order changed: the grid rearranges, on its spring within the shown space.
    std::unordered_map<Uuid, PinnedTabIcon*> tiles;
    std::vector<Gtk::Widget*> desired;
    for (const Tab& tab : pinned) {
        PinnedTabIcon* tile = pinnedTile(tab.id);
        if (tile) {
            tile->update(tab, active == tab.id);
        } else {
            tile = Gtk::make_managed<PinnedTabIcon>(m_env, tab, active == tab.id);
        }
        tiles[tab.id] = tile;
        desired.push_back(tile);
    }
    m_pinnedTiles = std::move(tiles);
    m_pinned.setTiles(desired, sameSpace);
    m_pinnedOrder = std::move(order);
}

void SidebarTabList::refreshKeep(const std::vector<Tab>& keepTabs, bool sameSpace)
{
    const auto active = m_env.state.activeTabId();
    // Another space's section has nothing to play out.
    if (!sameSpace)
        m_leavingKeepRows.clear();
    std::unordered_map<Uuid, SidebarTabRow*> rows;
    std::vector<Gtk::Widget*> desired;
    for (const Tab& tab : keepTabs) {
        SidebarTabRow* row = keepRow(tab.id);
        if (row) {
            row->update(tab, active == tab.id, 0);
            m_keepRowsById.erase(tab.id);
        } else {
            row = Gtk::make_managed<SidebarTabRow>(m_env, SidebarTabRow::Variant::keep, tab, active == tab.id, 0);
            row->set_margin_start(8);
            row->set_margin_end(8);
        }
        rows[tab.id] = row;
        desired.push_back(row);
    }
    for (auto& [id, row] : m_keepRowsById) {
        if (row->closedByItsButton() && row->get_mapped())
            startLeaving(*row);
    }
    // Leaving rows stay where they stood, after the nearest row above them that remains.
    const std::unordered_set<Gtk::Widget*> staying(desired.begin(), desired.end());
    for (CollapsingBin* bin : m_leavingKeepRows) {
        Gtk::Widget* above = bin->get_prev_sibling();
        while (above && !staying.contains(above))
            above = above->get_prev_sibling();
        auto at = above ? std::find(desired.begin(), desired.end(), above) + 1 : desired.begin();
        while (at != desired.end() && dynamic_cast<CollapsingBin*>(*at))
            ++at;
        desired.insert(at, bin);
    }
    m_keepRowsById = std::move(rows);
    m_keep.set_visible(!desired.empty());
    arrangeChildren(m_keepRows, desired);
}

void SidebarTabList::startLeaving(SidebarTabRow& row)
{
    // The row moves into a bin at its own place; the extra reference carries it across.
    Gtk::Widget* above = row.get_prev_sibling();
    row.reference();
    m_keepRows.remove(row);
    auto* bin = Gtk::make_managed<CollapsingBin>(row);
    row.unreference();
    if (above)
        m_keepRows.insert_child_after(*bin, *above);
    else
        m_keepRows.prepend(*bin);
    m_leavingKeepRows.push_back(bin);
    bin->collapse(KoviDesign::Animation::spring, [this, bin] { finishLeaving(bin); });
}

void SidebarTabList::finishLeaving(CollapsingBin* bin)
{
    auto it = std::find(m_leavingKeepRows.begin(), m_leavingKeepRows.end(), bin);
    if (it == m_leavingKeepRows.end())
        return;
    m_leavingKeepRows.erase(it);
    m_keepRows.remove(*bin);
    m_keep.set_visible(m_keepRows.get_first_child() != nullptr);
}

void SidebarTabList::refreshList(const SidebarSections& sections)
{
    const auto active = m_env.state.activeTabId();
    const auto& tabs = m_env.state.tabs();
    const auto& folders = m_env.state.folders();
    std::unordered_map<std::string, Gtk::Widget*> entries;
    std::unordered_map<Uuid, SidebarTabRow*> tabRows;
    std::unordered_map<Uuid, FolderRow*> folderRows;
    std::unordered_map<int, DropZone*> zones;
    std::vector<Gtk::Widget*> desired;
    desired.reserve(sections.entries.size());

    auto reuse = [this](const std::string& key) -> Gtk::Widget* {
        auto it = m_entries.find(key);
        if (it == m_entries.end())
            return nullptr;
        Gtk::Widget* widget = it->second;
        m_entries.erase(it);
        return widget;
    };

    for (const SidebarEntry& entry : sections.entries) {
        Gtk::Widget* widget = reuse(entry.key);
        switch (entry.kind) {
        case SidebarEntry::Kind::emptyMessage:
            if (!widget) {
                auto* box = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 5);
                box->add_css_class("sidebar-empty");
                auto* title = Gtk::make_managed<Gtk::Label>("A fresh space");
                title->add_css_class("sidebar-empty-title");
                auto* detail = Gtk::make_managed<Gtk::Label>("Your tabs will appear here.");
                detail->add_css_class("sidebar-empty-detail");
                for (Gtk::Label* label : {title, detail}) {
                    label->set_xalign(0);
                    box->append(*label);
                }
                widget = box;
            }
            break;
        case SidebarEntry::Kind::header:
            if (!widget) {
                auto* label = Gtk::make_managed<Gtk::Label>(sectionHeaderText(entry.title));
                label->set_xalign(0);
                label->add_css_class("sidebar-section-header");
                label->add_css_class(entry.title == "Today" ? "today" : "earlier");
                widget = label;
            }
            break;
        case SidebarEntry::Kind::dropZone: {
            auto* zone = static_cast<DropZone*>(widget);
            if (!zone) {
                zone = Gtk::make_managed<DropZone>(8, entry.index, [this](const DraggedItem& item, int index) {
                    return m_env.performDrop(
                        [&](const SidebarDropContext& c) { return decideDropZoneDrop(item, index, c); });
                });
            }
            zones[entry.index] = zone;
            widget = zone;
            break;
        }
        case SidebarEntry::Kind::tabRow: {
            const Tab& tab = tabs.at(*entry.id);
            auto* row = static_cast<SidebarTabRow*>(widget);
            if (row) {
                row->update(tab, active == tab.id, entry.index);
            } else {
                row = Gtk::make_managed<SidebarTabRow>(m_env, SidebarTabRow::Variant::topLevel, tab,
                                                       active == tab.id, entry.index);
                row->onDragFinished = [this] { dragFinished(); };
            }
            row->set_visible(true);
            tabRows[tab.id] = row;
            widget = row;
            break;
        }
        case SidebarEntry::Kind::folderRow: {
            const TabFolder& folder = folders.at(*entry.id);
            auto* row = static_cast<FolderRow*>(widget);
            if (!row) {
                row = Gtk::make_managed<FolderRow>(m_env, folder, entry.index);
                row->onDragFinished = [this] { dragFinished(); };
            } else {
                row->update(folder, m_env.state.tabsInFolder(folder.id), active, entry.index);
            }
            row->set_visible(true);
            folderRows[folder.id] = row;
            widget = row;
            break;
        }
        }
        entries[entry.key] = widget;
        desired.push_back(widget);
    }

    // Rows whose entry is gone while they are being dragged stay, hidden, until the drag ends:
    // destroying a drag's source in the middle of its drop is not safe.
    for (auto& [key, widget] : m_entries) {
        auto* row = dynamic_cast<SidebarTabRow*>(widget);
        auto* folder = dynamic_cast<FolderRow*>(widget);
        if ((row && row->isDragging()) || (folder && folder->isDragging())) {
            widget->set_visible(false);
            desired.push_back(widget);
            entries[key] = widget;
        }
    }

    m_entries = std::move(entries);
    m_tabRows = std::move(tabRows);
    m_folderRows = std::move(folderRows);
    m_zones = std::move(zones);
    arrangeChildren(m_list, desired);
}

SidebarTabRow* SidebarTabList::topLevelRow(const Uuid& tabId) const
{
    auto it = m_tabRows.find(tabId);
    return it == m_tabRows.end() ? nullptr : it->second;
}

SidebarTabRow* SidebarTabList::keepRow(const Uuid& tabId) const
{
    auto it = m_keepRowsById.find(tabId);
    return it == m_keepRowsById.end() ? nullptr : it->second;
}

FolderRow* SidebarTabList::folderRow(const Uuid& folderId) const
{
    auto it = m_folderRows.find(folderId);
    return it == m_folderRows.end() ? nullptr : it->second;
}

DropZone* SidebarTabList::dropZone(int index) const
{
    auto it = m_zones.find(index);
    return it == m_zones.end() ? nullptr : it->second;
}

PinnedTabIcon* SidebarTabList::pinnedTile(const Uuid& tabId) const
{
    auto it = m_pinnedTiles.find(tabId);
    return it == m_pinnedTiles.end() ? nullptr : it->second;
}

} // namespace kovi
