#pragma once

#include "core/model/tab.h"
#include "core/support/uuid.h"

#include <giomm/menu.h>
#include <giomm/simpleactiongroup.h>
#include <gtkmm/popovermenu.h>

#include <functional>
#include <memory>
#include <string>

namespace kovi {

class BrowserState;

// The context menu of a tab, the same wherever the tab is shown: the sidebar's rows and
// favourite tiles, the horizontal strip's tabs and pinned tabs. Its entries follow where the
// tab stands (Place); they act on the tab as it is when one is chosen, and do nothing once it is
// gone. The actions live on the owner as "<prefix>.<name>" (pin, unpin, keep, split, quick-view,
// move-to-space, new-folder, remove-from-folder, duplicate, copy-url, close), made on the first
// popup. Main thread only; the owner and the state outlive it.
class TabMenu {
public:
    enum class Place {
        keep,     // the sidebar's "Keep" section
        listed,   // the top level of the space's list
        inFolder, // inside a folder
        pinned,   // a favourite
    };
    // Where the sidebar shows the tab.
    static Place placeOf(const Tab& tab);

    // Without `openQuickView` the entry is shown disabled.
    TabMenu(Gtk::Widget& owner, std::string prefix, BrowserState& state,
            std::function<void(const Tab&)> openQuickView = {});
    ~TabMenu();
    TabMenu(const TabMenu&) = delete;
    TabMenu& operator=(const TabMenu&) = delete;

    // Shows the entries for `tab` at `place`, pointing at (x, y) of the owner.
    void popup(const Tab& tab, Place place, double x, double y);
    // The menu as last shown (none before the first popup).
    Gtk::PopoverMenu* popover() const { return m_popover.get(); }

private:
    void buildActions();
    void releasePopover();
    Glib::RefPtr<Gio::Menu> model(const Tab& tab, Place place) const;
    void withTab(const std::function<void(const Tab&)>& run) const;

    Gtk::Widget& m_owner;
    std::string m_prefix;
    BrowserState& m_state;
    std::function<void(const Tab&)> m_openQuickView;
    Uuid m_tabId;
    Place m_place = Place::listed;
    Glib::RefPtr<Gio::SimpleActionGroup> m_group;
    std::unique_ptr<Gtk::PopoverMenu> m_popover;
    sigc::connection m_ownerGone;
};

} // namespace kovi
