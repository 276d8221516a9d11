#include "ui/settings/icon_settings_tab.h"

#include "core/settings/settings_options.h"
#include "ui/design/styles.h"
#include "ui/design/symbols.h"
#include "ui/settings/settings_section.h"

#include <gtkmm/flowbox.h>
#include <gtkmm/image.h>
#include <gtkmm/overlay.h>

namespace kovi {

using namespace settings_ui;

IconOption::IconOption(const std::string& id, const std::string& name, const std::string& color) : m_id(id)
{
    add_css_class("kovi-icon-option");
    set_has_frame(false);
    set_focus_on_click(false);
    // Choosing would not change the application's icon.
    markUnavailable(*this);

    auto* column = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 8);
    auto* tile = Gtk::make_managed<Gtk::Box>();
    tile->add_css_class("kovi-icon-tile");
    tile->add_css_class(color);
    tile->set_size_request(48, 48);
    tile->set_halign(Gtk::Align::CENTER);
    auto* initial = Gtk::make_managed<Gtk::Label>("K");
    initial->add_css_class("kovi-icon-initial");
    initial->set_hexpand(true);
    tile->append(*initial);
    column->append(*tile);
    m_caption.set_text(name);
    m_caption.add_css_class("kovi-icon-caption");
    column->append(m_caption);
    set_child(*column);
    setSelected(false);
}

void IconOption::setSelected(bool selected)
{
    m_selected = selected;
    setClass(*this, "selected", selected);
}

IconSettingsTab::IconSettingsTab() : Gtk::Box(Gtk::Orientation::VERTICAL, 20)
{
    add_css_class("kovi-settings-page");
    set_margin(24);

    auto* icons = Gtk::make_managed<SettingsSection>();
    addHeading(*icons, "App Icon");
    // As many columns of at least 80 px as fit.
    auto* grid = Gtk::make_managed<Gtk::FlowBox>();
    grid->set_selection_mode(Gtk::SelectionMode::NONE);
    grid->set_homogeneous(true);
    grid->set_max_children_per_line(static_cast<guint>(appIconOptions.size()));
    grid->set_row_spacing(16);
    grid->set_halign(Gtk::Align::FILL);
    for (const AppIconOption& option : appIconOptions) {
        const std::string id(option.id);
        auto* choice = Gtk::make_managed<IconOption>(id, std::string(option.name), std::string(option.color));
        choice->set_size_request(80, -1);
        m_options.push_back(choice);
        grid->append(*choice);
    }
    icons->add(*grid);
    append(*icons);

    auto* banner = Gtk::make_managed<SettingsSection>();
    auto* gift = makeSymbolImage("gift", 20);
    gift->add_css_class("kovi-purple");
    auto* texts = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 2);
    texts->append(*makeLabel("Unlock More Icons", {"kovi-settings-13", "kovi-medium"}));
    texts->append(*makeLabel("Share Kovi with friends to unlock exclusive icons", {"kovi-settings-12", "kovi-secondary"}));
    texts->set_hexpand(true);
    m_share.set_label("Share Kovi");
    m_share.add_css_class("kovi-settings-small-button");
    markUnavailable(m_share);
    auto* row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 12);
    row->append(*gift);
    row->append(*makeRow(*texts, m_share));
    row->get_last_child()->set_hexpand(true);
    banner->add(*row);
    append(*banner);

    for (IconOption* option : m_options)
        option->setSelected(option->id() == m_selectedIcon);
}

} // namespace kovi
