#include "ui/layouts/space_menu_button.h"

#include "core/state/browser_state.h"
#include "ui/base/command_action.h"
#include "ui/design/space_palette.h"
#include "ui/design/symbols.h"
#include "ui/design/tooltips.h"

#include <gtkmm/button.h>
#include <gtkmm/separator.h>

namespace kovi {

SpaceMenuButton::SpaceMenuButton(BrowserState& state)
    : m_state(state)
{
    add_css_class("kovi-space-menu");
    set_has_frame(false);
    set_valign(Gtk::Align::CENTER);
    set_margin_end(8);
    set_tooltip_text("Spaces");
    m_icon.set_pixel_size(11);
    m_name.add_css_class("kovi-space-menu-name");
    m_name.set_ellipsize(Pango::EllipsizeMode::END);
    m_name.set_max_width_chars(18);
    m_label.append(m_icon);
    m_label.append(m_name);
    m_label.append(*makeSymbolImage("chevron.down", 8));
    m_label.add_css_class("kovi-space-capsule");
    set_child(m_label);
    m_items.add_css_class("kovi-space-menu-items");
    m_popover.set_child(m_items);
    m_popover.set_has_arrow(false);
    set_popover(m_popover);
    hideTooltipWhileMenuOpen(*this);

    m_connections.add(state.spacesChanged.connect([this] { refresh(); }));
    m_connections.add(state.currentSpaceIdChanged.connect([this] { refresh(); }));
    refresh();
}

std::vector<std::string> SpaceMenuButton::itemLabels() const
{
    return m_itemLabels;
}

void SpaceMenuButton::refresh()
{
    const auto& spaces = m_state.spaces();
    const auto current = m_state.currentSpaceId();
    const Space* shown = nullptr;
    for (const Space& space : spaces) {
        if (current && space.id == *current) {
            shown = &space;
            break;
        }
    }
    set_visible(shown != nullptr);
    if (shown) {
        m_icon.set_from_icon_name(iconNameForSymbol(shown->icon, "folder-symbolic"));
        m_name.set_text(shown->name);
        setSpaceColorClass(m_label, SpaceColorRole::fill, shown->color);
    }

    while (auto* child = m_items.get_first_child())
        m_items.remove(*child);
    m_itemLabels.clear();
    auto addItem = [this](Gtk::Widget& content, const std::string& action, const Glib::VariantBase* target) {
        auto* button = Gtk::make_managed<Gtk::Button>();
        button->set_has_frame(false);
        button->add_css_class("kovi-space-menu-item");
        button->set_child(content);
        button->set_action_name(appAction(action.c_str()));
        if (target)
            button->set_action_target_value(*target);
        // The menu closes once the item has run.
        button->signal_clicked().connect([this] { m_popover.popdown(); }, true);
        m_items.append(*button);
    };
    for (const Space& space : spaces) {
        const bool isCurrent = current && space.id == *current;
        auto* row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
        auto* icon = Gtk::make_managed<Gtk::Image>();
        icon->set_from_icon_name(iconNameForSymbol(space.icon, "folder-symbolic"));
        row->append(*icon);
        auto* name = Gtk::make_managed<Gtk::Label>(space.name);
        name->set_xalign(0);
        name->set_hexpand(true);
        name->set_ellipsize(Pango::EllipsizeMode::END);
        name->set_max_width_chars(30);
        row->append(*name);
        if (isCurrent)
            row->append(*makeSymbolImage("checkmark", 14));
        const auto target = Glib::Variant<Glib::ustring>::create(space.id.toString());
        addItem(*row, commands::switchToSpace, &target);
        m_itemLabels.push_back(space.name + (isCurrent ? " \u2713" : ""));
    }
    m_items.append(*Gtk::make_managed<Gtk::Separator>());
    auto* newSpace = Gtk::make_managed<Gtk::Label>("New Space...");
    newSpace->set_xalign(0);
    addItem(*newSpace, commands::newSpace, nullptr);
    m_itemLabels.push_back("New Space...");
}

} // namespace kovi
