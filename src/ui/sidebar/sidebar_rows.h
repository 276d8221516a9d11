#pragma once

#include "core/model/dragged_item.h"
#include "core/model/tab.h"
#include "core/support/uuid.h"
#include "ui/base/tab_menu.h"
#include "ui/design/trailing_controls.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/overlay.h>
#include <gtkmm/spinner.h>

#include <functional>
#include <optional>

namespace kovi {

class SidebarEnvironment;

// A tab shown as a row: in the "Keep" section (plain), at the top level of the list
// (draggable, takes drops) or inside a folder. The widget stays while its tab's data changes:
// update() changes only what differs.
class SidebarTabRow : public Gtk::Box {
public:
    enum class Variant { keep, topLevel, inFolder };

    SidebarTabRow(SidebarEnvironment& env, Variant variant, const Tab& tab, bool isActive, int index,
                  std::optional<Uuid> folderId = std::nullopt);
    ~SidebarTabRow() override;

    void update(const Tab& tab, bool isActive, int index);
    const Tab& tab() const { return m_tab; }
    int index() const { return m_index; }
    bool isDragging() const { return m_isDragging; }
    bool isHovered() const { return m_isHovered; }
    // A keep row whose own close button closed its tab: the list plays the row out with the
    // spring (closing from the menu removes it at once).
    bool closedByItsButton() const { return m_closedByItsButton; }
    Gtk::Label& titleLabel() { return m_title; }
    // Shown while the row is hovered, over the title's end; always there to take clicks.
    Gtk::Button* closeButton() const { return m_close; }
    Gtk::Widget& actions() { return m_actions; }
    // The context menu as last shown (none before the first right click).
    Gtk::PopoverMenu* menu() const { return m_menu.popover(); }
    // Called when a drag from this row ends (the list may have deferred its removal).
    std::function<void()> onDragFinished;

private:
    void setHovered(bool hovered);
    void refreshActions();
    void makeActionButtons();
    bool handleDrop(const DraggedItem& item, double y);

    SidebarEnvironment& m_env;
    Variant m_variant;
    Tab m_tab;
    bool m_isActive = false;
    int m_index = 0;
    std::optional<Uuid> m_folderId;
    bool m_isHovered = false;
    bool m_isDragging = false;
    bool m_closedByItsButton = false;

    Gtk::Overlay m_iconStack;
    Gtk::Image m_icon;
    Gtk::Spinner* m_spinner = nullptr; // keep rows only
    Gtk::Label m_title;
    Gtk::Box m_actions;
    TrailingControls m_titleArea; // the buttons over the title's end
    Gtk::Button* m_pin = nullptr; // not in the "Keep" section
    Gtk::Button* m_close = nullptr;
    TabMenu m_menu;
};

// One tile of the favourites grid: the pinned tab's icon, or the first letter of its title.
class PinnedTabIcon : public Gtk::Box {
public:
    PinnedTabIcon(SidebarEnvironment& env, const Tab& tab, bool isActive);
    ~PinnedTabIcon() override;
    void update(const Tab& tab, bool isActive);
    const Tab& tab() const { return m_tab; }

private:
    void refreshIcon();

    SidebarEnvironment& m_env;
    Tab m_tab;
    bool m_isActive = false;
    Gtk::Image m_icon;
    Gtk::Label m_letter;
    TabMenu m_menu;
};

// The strip between two entries of the list (or two tabs of a folder) that takes drops.
class DropZone : public Gtk::Box {
public:
    // `drop(item)` decides and carries out a drop at this zone's index.
    DropZone(int idleHeight, int index, std::function<bool(const DraggedItem&, int index)> drop);
    void setIndex(int index) { m_index = index; }
    int index() const { return m_index; }
    bool isTargeted() const { return m_isTargeted; }

private:
    void setTargeted(bool targeted);

    int m_idleHeight;
    int m_index;
    Gtk::Box m_bar;
    bool m_isTargeted = false;
    std::function<bool(const DraggedItem&, int)> m_drop;
};

} // namespace kovi
