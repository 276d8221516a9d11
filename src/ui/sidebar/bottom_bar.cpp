#include "ui/sidebar/bottom_bar.h"

#include "core/settings/appearance_manager.h"
#include "core/sidebar/sidebar_text.h"
#include "core/state/browser_state.h"
#include "ui/base/command_action.h"
#include "ui/design/space_palette.h"
#include "ui/design/styles.h"
#include "ui/design/symbols.h"
#include "ui/sidebar/sidebar_support.h"

#include <giomm/menu.h>
#include <giomm/simpleactiongroup.h>
#include <gtkmm/eventcontrollermotion.h>
#include <gtkmm/gestureclick.h>

namespace kovi {

// ---- Bottom bar button -------------------------------------------------------------------------

BottomBarButton::BottomBarButton(const char* symbol, const char* tooltip, const std::string& actionName)
{
    add_css_class("sidebar-bottom-button-slot");
    m_button.add_css_class("sidebar-bottom-button");
    m_button.set_has_frame(false);
    m_button.set_focus_on_click(false);
    m_button.set_tooltip_text(tooltip);
    setSymbol(symbol);
    m_button.set_child(m_image);
    m_button.set_action_name(actionName);
    // The badge overhangs the tile's corner; the overlay's own margin leaves room for it.
    m_button.set_margin_top(4);
    m_button.set_margin_end(6);
    set_child(m_button);
    m_badge.add_css_class("sidebar-badge");
    m_badge.set_halign(Gtk::Align::END);
    m_badge.set_valign(Gtk::Align::START);
    m_badge.set_can_target(false);
    m_badge.set_visible(false);
    add_overlay(m_badge);
}

void BottomBarButton::setSymbol(const char* symbol)
{
    kovi::setSymbol(m_image, symbol, 12);
}

void BottomBarButton::setBadgeCount(int count)
{
    m_count = count;
    m_badge.set_visible(count >= 1);
    if (count >= 1)
        m_badge.set_text(std::to_string(count));
}

// ---- Bottom bar --------------------------------------------------------------------------------

SidebarBottomBar::SidebarBottomBar(BrowserState& state, AppearanceManager& appearance,
                                   std::function<void(std::optional<Space>)> editSpace,
                                   std::function<Gtk::Widget*()> accountButton)
    : Gtk::Box(Gtk::Orientation::VERTICAL, 12)
    , m_state(state)
    , m_appearance(appearance)
    , m_editSpace(std::move(editSpace))
    , m_history("clock.arrow.circlepath", "History (Ctrl+Y)", appAction(commands::showHistory))
    , m_downloads("arrow.down.circle", "Downloads (Ctrl+Alt+J)", appAction(commands::showDownloads))
    , m_library("books.vertical", "Library (Ctrl+Shift+B)", appAction(commands::showLibrary))
    , m_extensions("puzzlepiece.extension", "Page Extensions", appAction(commands::pageExtensions))
    , m_appearanceToggle("moon.fill", "", appAction(commands::appearance))
{
    add_css_class("sidebar-bottom");

    m_strip.set_policy(Gtk::PolicyType::AUTOMATIC, Gtk::PolicyType::NEVER);
    m_strip.set_overlay_scrolling(true);
    m_strip.set_size_request(-1, 32);
    m_strip.add_css_class("sidebar-space-strip");
    m_dots.set_spacing(8);
    m_dots.set_valign(Gtk::Align::CENTER);
    m_strip.set_child(m_dots);
    m_add.add_css_class("sidebar-add-space");
    m_add.set_has_frame(false);
    m_add.set_focus_on_click(false);
    m_add.set_tooltip_text("Add Space");
    m_add.set_valign(Gtk::Align::CENTER);
    m_add.set_icon_name(sidebarIconName("plus"));
    m_add.signal_clicked().connect([this] { m_editSpace(std::nullopt); });
    append(m_strip);

    m_buttons.set_spacing(6);
    m_buttons.add_css_class("sidebar-bottom-buttons");
    for (BottomBarButton* button : {&m_history, &m_downloads, &m_library, &m_extensions, &m_appearanceToggle})
        m_buttons.append(*button);
    auto* spacer = Gtk::make_managed<Gtk::Box>();
    spacer->set_hexpand(true);
    m_buttons.append(*spacer);
    if (accountButton) {
        if (Gtk::Widget* account = accountButton())
            m_buttons.append(*account);
    }
    append(m_buttons);

    auto group = Gio::SimpleActionGroup::create();
    group->add_action("edit", [this] {
        if (!m_menuSpace)
            return;
        if (auto space = m_state.space(*m_menuSpace))
            m_editSpace(space);
    });
    auto remove = group->add_action("delete", [this] {
        if (m_menuSpace && m_state.spaces().size() > 1)
            m_state.removeSpace(*m_menuSpace);
    });
    insert_action_group("space", group);
    auto refreshDelete = [this, remove] {
        std::dynamic_pointer_cast<Gio::SimpleAction>(remove)->set_enabled(m_state.spaces().size() >= 2);
    };
    refreshDelete();

    // Dots are rebuilt after the event that changed the spaces has finished (that event may
    // come from a dot or its menu); a plain switch only restyles them.
    m_connections.add(m_state.spacesChanged.connect([this, refreshDelete] {
        refreshDelete();
        // Spaces change on every tab switch (their last active tab): only what a dot shows counts.
        std::string shown;
        for (const Space& space : m_state.spaces())
            shown += space.id.toString() + space.name + '\x1f' + std::string(rawValue(space.color)) + space.icon + '\x1e';
        if (shown == m_shownSpaces)
            return;
        m_shownSpaces = shown;
        m_rebuild.start(0, [this] { rebuildDots(); });
    }));
    m_connections.add(m_state.currentSpaceIdChanged.connect([this] { refreshSelection(); }));
    m_connections.add(m_state.downloadsChanged.connect([this] { refreshBadge(); }));
    m_connections.add(m_appearance.isDarkModeChanged.connect([this] { refreshAppearance(); }));
    rebuildDots();
    refreshBadge();
    refreshAppearance();
}

SidebarBottomBar::~SidebarBottomBar()
{
    m_connections.clear();
    if (m_menu)
        m_menu->unparent();
}

Gtk::Button* SidebarBottomBar::dot(const Uuid& spaceId) const
{
    for (const auto& [id, button] : m_dotButtons) {
        if (id == spaceId)
            return button;
    }
    return nullptr;
}

void SidebarBottomBar::rebuildDots()
{
    if (m_menu && m_menu->get_visible())
        m_menu->popdown();
    if (m_menu) {
        m_menu->unparent();
        m_menu.reset();
    }
    for (auto& [id, button] : m_dotButtons)
        m_dots.remove(*button);
    m_dotButtons.clear();
    if (m_add.get_parent())
        m_dots.remove(m_add);

    const auto current = m_state.currentSpaceId();
    for (const Space& space : m_state.spaces()) {
        const bool selected = current == space.id;
        auto* button = Gtk::make_managed<Gtk::Button>();
        button->add_css_class("sidebar-space-dot");
        button->set_has_frame(false);
        button->set_focus_on_click(false);
        button->set_valign(Gtk::Align::CENTER);
        button->set_halign(Gtk::Align::START);
        button->set_hexpand(false);
        setClass(*button, "selected", selected);
        button->set_tooltip_text("Switch to " + space.name);
        auto* circle = Gtk::make_managed<Gtk::Box>();
        circle->add_css_class("sidebar-space-dot-circle");
        circle->set_halign(Gtk::Align::CENTER);
        circle->set_valign(Gtk::Align::CENTER);
        setSpaceColorClass(*circle, SpaceColorRole::fill, space.color);
        auto* icon = Gtk::make_managed<Gtk::Image>();
        setSymbol(*icon, space.icon, selected ? 12 : 10, "folder-symbolic");
        icon->set_halign(Gtk::Align::CENTER);
        icon->set_valign(Gtk::Align::CENTER);
        icon->set_hexpand(false);
        circle->set_homogeneous(true); // the one child gets the whole circle, centred
        circle->append(*icon);
        button->set_child(*circle);
        if (selected)
            button->set_state_flags(Gtk::StateFlags::SELECTED, false);
        const Uuid id = space.id;
        button->set_action_name(appAction(commands::switchToSpace));
        button->set_action_target_value(Glib::Variant<Glib::ustring>::create(id.toString()));
        auto right = Gtk::GestureClick::create();
        right->set_button(3);
        right->signal_pressed().connect([this, id](int, double, double) { showSpaceMenu(id); });
        button->add_controller(right);
        m_dots.append(*button);
        m_dotButtons.emplace_back(id, button);
    }
    m_dots.append(m_add);
}

void SidebarBottomBar::refreshSelection()
{
    const auto current = m_state.currentSpaceId();
    for (const auto& [id, button] : m_dotButtons) {
        const bool selected = current == id;
        setClass(*button, "selected", selected);
        if (selected)
            button->set_state_flags(Gtk::StateFlags::SELECTED, false);
        else
            button->unset_state_flags(Gtk::StateFlags::SELECTED);
        if (auto space = m_state.space(id)) {
            if (auto* icon = dynamic_cast<Gtk::Image*>(button->get_child()->get_first_child()))
                setSymbol(*icon, space->icon, selected ? 12 : 10, "folder-symbolic");
        }
    }
}

void SidebarBottomBar::showSpaceMenu(const Uuid& spaceId)
{
    Gtk::Button* anchor = dot(spaceId);
    if (!anchor)
        return;
    m_menuSpace = spaceId;
    if (m_menu) {
        m_menu->unparent();
        m_menu.reset();
    }
    auto menu = Gio::Menu::create();
    auto edit = Gio::Menu::create();
    edit->append("Edit Space...", "space.edit");
    auto remove = Gio::Menu::create();
    remove->append("Delete Space", "space.delete");
    menu->append_section(edit);
    menu->append_section(remove);
    m_menu = std::make_unique<Gtk::PopoverMenu>(menu);
    m_menu->set_parent(*anchor);
    m_menu->set_has_arrow(false);
    m_menu->popup();
}

void SidebarBottomBar::refreshBadge()
{
    m_downloads.setBadgeCount(runningDownloadCount(m_state.downloads()));
}

void SidebarBottomBar::refreshAppearance()
{
    const bool dark = m_appearance.isDarkMode();
    // The symbol shows the current mode; the tooltip and the click offer the other one.
    m_appearanceToggle.setSymbol(dark ? "moon.fill" : "sun.max.fill");
    m_appearanceToggle.button().set_tooltip_text(dark ? "Switch to Light Mode" : "Switch to Dark Mode");
    m_appearanceToggle.button().set_action_target_value(Glib::Variant<Glib::ustring>::create(dark ? "light" : "dark"));
}

} // namespace kovi
