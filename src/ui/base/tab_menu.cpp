#include "ui/base/tab_menu.h"

#include "core/sidebar/sidebar_drop.h"
#include "core/state/browser_state.h"
#include "core/support/text.h"
#include "ui/design/symbols.h"

#include <gdkmm/clipboard.h>
#include <giomm/menu.h>
#include <giomm/themedicon.h>

namespace kovi {

TabMenu::Place TabMenu::placeOf(const Tab& tab)
{
    if (tab.isPinned)
        return Place::pinned;
    if (tab.folderId)
        return Place::inFolder;
    return tab.isAutoArchiveExcluded ? Place::keep : Place::listed;
}

TabMenu::TabMenu(Gtk::Widget& owner, std::string prefix, BrowserState& state,
                 std::function<void(const Tab&)> openQuickView)
    : m_owner(owner), m_prefix(std::move(prefix)), m_state(state), m_openQuickView(std::move(openQuickView))
{
    // A managed owner is finalised before its members are destroyed: the menu leaves it while
    // it is disposed, not after.
    m_ownerGone = m_owner.signal_destroy().connect([this] { releasePopover(); });
}

TabMenu::~TabMenu()
{
    m_ownerGone.disconnect();
    releasePopover();
}

void TabMenu::releasePopover()
{
    if (m_popover && m_popover->get_parent())
        m_popover->unparent();
}

void TabMenu::withTab(const std::function<void(const Tab&)>& run) const
{
    if (auto tab = m_state.tab(m_tabId))
        run(*tab);
}

void TabMenu::buildActions()
{
    m_group = Gio::SimpleActionGroup::create();
    BrowserState& state = m_state;
    auto add = [this](const char* name, std::function<void(const Tab&)> run) {
        m_group->add_action(name, [this, run = std::move(run)] { withTab(run); });
    };
    add("pin", [&state](const Tab& tab) { state.pinTab(tab.id); });
    add("unpin", [&state](const Tab& tab) { state.unpinTab(tab.id); });
    add("keep", [&state](const Tab& tab) { state.toggleAutoArchiveExcluded(tab.id); });
    add("split", [&state](const Tab& tab) { state.openInSplitView(tab.id); });
    add("quick-view", [this](const Tab& tab) { m_openQuickView(tab); });
    std::dynamic_pointer_cast<Gio::SimpleAction>(m_group->lookup_action("quick-view"))
        ->set_enabled(static_cast<bool>(m_openQuickView));
    add("new-folder", [&state](const Tab& tab) { state.createFolder(newFolderName, {tab.id}); });
    add("remove-from-folder", [&state](const Tab& tab) { state.removeTabFromFolder(tab.id); });
    add("duplicate", [this, &state](const Tab& tab) {
        if (m_place == Place::keep) {
            // A kept tab's copy: no title, in the shown space.
            state.addTab(Tab(Uuid::random(), tab.url, std::nullopt, false, false, state.currentSpaceId(), std::nullopt));
        } else {
            state.addTab(Tab(Uuid::random(), tab.url, tab.title, false, false, tab.spaceId, std::nullopt));
        }
    });
    add("copy-url", [this](const Tab& tab) { m_owner.get_clipboard()->set_text(tab.url.string()); });
    add("close", [&state](const Tab& tab) { state.removeTab(tab.id); });
    auto move = Gio::SimpleAction::create("move-to-space", Glib::VariantType("s"));
    move->signal_activate().connect([this, &state](const Glib::VariantBase& parameter) {
        auto text = Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(parameter).get();
        if (auto space = Uuid::parse(text.raw()))
            withTab([&](const Tab& tab) { state.moveTabToSpace(tab.id, *space); });
    });
    m_group->add_action(move);
    m_owner.insert_action_group(m_prefix, m_group);
}

Glib::RefPtr<Gio::Menu> TabMenu::model(const Tab& tab, Place place) const
{
    const std::string p = m_prefix + ".";
    const char* keepLabel = tab.isAutoArchiveExcluded ? "Allow Auto-Archive" : "Keep in Sidebar";
    auto menu = Gio::Menu::create();
    auto section = [&menu] {
        auto s = Gio::Menu::create();
        menu->append_section(s);
        return s;
    };
    switch (place) {
    case Place::pinned:
        menu->append("Unpin", p + "unpin");
        menu->append("Close", p + "close");
        break;
    case Place::keep: {
        auto first = section();
        first->append("Pin to Favorites", p + "pin");
        first->append(keepLabel, p + "keep");
        section()->append("Duplicate Tab", p + "duplicate");
        section()->append("Close Tab", p + "close");
        break;
    }
    case Place::inFolder: {
        auto first = section();
        first->append("Remove from Folder", p + "remove-from-folder");
        first->append("Pin to Favorites", p + "pin");
        first->append(keepLabel, p + "keep");
        section()->append("Close", p + "close");
        break;
    }
    case Place::listed: {
        auto first = section();
        first->append("Pin to Favorites", p + "pin");
        first->append(keepLabel, p + "keep");
        auto views = section();
        views->append("Open in Split View", p + "split");
        views->append("Open in Quick View", p + "quick-view");
        const auto& spaces = m_state.spaces();
        if (spaces.size() >= 2) {
            auto targets = Gio::Menu::create();
            for (const Space& space : spaces) {
                if (tab.spaceId && space.id == *tab.spaceId)
                    continue;
                // A menu cannot cut a long name short itself.
                auto item = Gio::MenuItem::create(text::shortenedTo(space.name, 40), "");
                item->set_action_and_target(p + "move-to-space", Glib::Variant<Glib::ustring>::create(space.id.toString()));
                item->set_icon(Gio::ThemedIcon::create(iconNameForSymbol(space.icon, "folder-symbolic")));
                targets->append_item(item);
            }
            views->append_submenu("Move to Space", targets);
        }
        section()->append("New Folder with Tab", p + "new-folder");
        auto copy = section();
        copy->append("Duplicate Tab", p + "duplicate");
        copy->append("Copy URL", p + "copy-url");
        section()->append("Close", p + "close");
        break;
    }
    }
    return menu;
}

void TabMenu::popup(const Tab& tab, Place place, double x, double y)
{
    if (!m_group)
        buildActions();
    m_tabId = tab.id;
    m_place = place;
    if (!m_popover) {
        m_popover = std::make_unique<Gtk::PopoverMenu>();
        m_popover->set_parent(m_owner);
        m_popover->set_has_arrow(false);
    }
    m_popover->set_menu_model(model(tab, place));
    m_popover->set_pointing_to(Gdk::Rectangle(static_cast<int>(x), static_cast<int>(y), 1, 1));
    m_popover->popup();
}

} // namespace kovi
