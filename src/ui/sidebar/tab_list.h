#pragma once

#include "core/sidebar/sidebar_sections.h"
#include "ui/sidebar/collapsing_bin.h"
#include "ui/sidebar/favourites_grid.h"
#include "ui/sidebar/folder_row.h"
#include "ui/sidebar/sidebar_rows.h"

#include <gtkmm/box.h>
#include <gtkmm/label.h>

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kovi {

class SidebarEnvironment;

// The three groups of the shown space: the favourites grid, the "Keep" section and the list
// with its headers, rows and drop zones. refresh() brings them in line with the state while
// keeping every widget whose entry still exists (a title change touches one label; a move
// reorders widgets without rebuilding them).
class SidebarTabList {
public:
    explicit SidebarTabList(SidebarEnvironment& env);
    ~SidebarTabList();

    FavouritesGrid& pinnedGrid() { return m_pinned; }
    Gtk::Box& keepSection() { return m_keep; }
    Gtk::Box& list() { return m_list; }

    // Returns whether another space is shown than at the last refresh (false the first time).
    bool refresh();

    // Look-ups for tests and the preview.
    SidebarTabRow* topLevelRow(const Uuid& tabId) const;
    SidebarTabRow* keepRow(const Uuid& tabId) const;
    FolderRow* folderRow(const Uuid& folderId) const;
    DropZone* dropZone(int index) const;
    PinnedTabIcon* pinnedTile(const Uuid& tabId) const;
    // Keep rows closed by their own button, still playing their way out.
    const std::vector<CollapsingBin*>& leavingKeepRows() const { return m_leavingKeepRows; }
    int refreshCount() const { return m_refreshCount; }

    // A drag from one of the rows ended: rows parked during the drag can go now.
    std::function<void()> onDragFinished;

private:
    void refreshPinned(bool sameSpace);
    void refreshKeep(const std::vector<Tab>& keepTabs, bool sameSpace);
    void refreshList(const SidebarSections& sections);
    void startLeaving(SidebarTabRow& row);
    void finishLeaving(CollapsingBin* bin);
    void dragFinished();

    SidebarEnvironment& m_env;
    FavouritesGrid m_pinned;
    Gtk::Box m_keep;
    Gtk::Label m_keepHeader;
    Gtk::Box m_keepRows;
    Gtk::Box m_list;

    std::vector<Uuid> m_pinnedOrder;
    std::unordered_map<Uuid, PinnedTabIcon*> m_pinnedTiles;
    std::unordered_map<Uuid, SidebarTabRow*> m_keepRowsById;
    std::vector<CollapsingBin*> m_leavingKeepRows;
    std::optional<Uuid> m_shownSpaceId; // at the last refresh
    std::unordered_map<std::string, Gtk::Widget*> m_entries; // by entry key
    std::unordered_map<Uuid, SidebarTabRow*> m_tabRows;
    std::unordered_map<Uuid, FolderRow*> m_folderRows;
    std::unordered_map<int, DropZone*> m_zones;
    int m_refreshCount = 0;
};

} // namespace kovi
