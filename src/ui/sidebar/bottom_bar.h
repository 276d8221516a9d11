#pragma once

#include "core/model/space.h"
#include "core/support/main_loop_delayed_task.h"
#include "core/support/scoped_connections.h"
#include "ui/sidebar/sidebar_support.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/overlay.h>
#include <gtkmm/popovermenu.h>
#include <gtkmm/scrolledwindow.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kovi {

class AppearanceManager;
class BrowserState;

// A square icon button of the bottom row that runs a command (its action name), with an
// optional count badge past its top-right corner (shown from 1 up).
class BottomBarButton : public Gtk::Overlay {
public:
    BottomBarButton(const char* symbol, const char* tooltip, const std::string& actionName);
    void setBadgeCount(int count);
    int badgeCount() const { return m_count; }
    Gtk::Button& button() { return m_button; }
    Gtk::Label& badge() { return m_badge; }
    void setSymbol(const char* symbol);

private:
    Gtk::Button m_button;
    Gtk::Image m_image;
    Gtk::Label m_badge;
    int m_count = 0;
};

// The foot of the sidebar: one dot per space (switch; edit or delete from its menu), the
// add-space button, and the panel, library, extension and appearance buttons. The dots and
// buttons run the menu's commands.
class SidebarBottomBar : public Gtk::Box {
public:
    // `editSpace(space)` opens the space editor (nullopt: a new space); `accountButton` builds
    // the account control placed last in the row (none when empty).
    SidebarBottomBar(BrowserState& state, AppearanceManager& appearance,
                     std::function<void(std::optional<Space>)> editSpace, std::function<Gtk::Widget*()> accountButton);
    ~SidebarBottomBar() override;

    Gtk::Button* dot(const Uuid& spaceId) const;
    Gtk::Button& addSpaceButton() { return m_add; }
    BottomBarButton& downloadsButton() { return m_downloads; }
    BottomBarButton& historyButton() { return m_history; }
    BottomBarButton& libraryButton() { return m_library; }
    BottomBarButton& extensionsButton() { return m_extensions; }
    BottomBarButton& appearanceToggle() { return m_appearanceToggle; }
    // Opens a dot's menu as a right click would (tests use it too).
    void showSpaceMenu(const Uuid& spaceId);

private:
    void rebuildDots();
    void refreshSelection();
    void refreshBadge();
    void refreshAppearance();

    BrowserState& m_state;
    AppearanceManager& m_appearance;
    std::function<void(std::optional<Space>)> m_editSpace;

    Gtk::ScrolledWindow m_strip;
    Gtk::Box m_dots;
    Gtk::Button m_add;
    std::vector<std::pair<Uuid, Gtk::Button*>> m_dotButtons;
    std::unique_ptr<Gtk::PopoverMenu> m_menu;
    std::optional<Uuid> m_menuSpace;

    Gtk::Box m_buttons;
    BottomBarButton m_history;
    BottomBarButton m_downloads;
    BottomBarButton m_library;
    BottomBarButton m_extensions;
    BottomBarButton m_appearanceToggle;
    MainLoopDelayedTask m_rebuild;
    std::string m_shownSpaces;
    ScopedConnections m_connections;
};

} // namespace kovi
