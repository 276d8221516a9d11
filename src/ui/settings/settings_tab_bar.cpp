#include "ui/settings/settings_tab_bar.h"

#include "ui/design/styles.h"
#include "ui/design/symbols.h"

namespace kovi {

SettingsTabButton::SettingsTabButton(SettingsTab tab, std::function<void()> action) : m_tab(tab)
{
    add_css_class("kovi-settings-tab-button");
    set_has_frame(false);
    set_focus_on_click(false);
    set_size_request(width, -1);

    m_tile.add_css_class("kovi-settings-tab-tile");
    m_tile.set_size_request(36, 28);
    m_tile.set_halign(Gtk::Align::CENTER);
    setSymbol(m_image, symbolName(tab), 18);
    m_image.set_hexpand(true);
    m_tile.append(m_image);
    m_title.add_css_class("kovi-settings-tab-title");
    // A long user name must not widen the bar.
    m_title.set_ellipsize(Pango::EllipsizeMode::END);
    m_title.set_max_width_chars(9);
    m_title.set_width_chars(1);
    m_column.append(m_tile);
    m_column.append(m_title);
    set_child(m_column);
    setCustomTitle(std::nullopt);
    signal_clicked().connect([action = std::move(action)] { action(); });
}

void SettingsTabButton::setSelected(bool selected)
{
    m_selected = selected;
    setClass(*this, "selected", selected);
}

void SettingsTabButton::setCustomTitle(const std::optional<std::string>& title)
{
    m_title.set_text(title ? *title : std::string(rawValue(m_tab)));
    set_tooltip_text(m_title.get_text());
}

SettingsTabBar::SettingsTabBar(std::function<void(SettingsTab)> choose) : Gtk::Box(Gtk::Orientation::HORIZONTAL, 0)
{
    add_css_class("kovi-settings-tab-bar");
    set_halign(Gtk::Align::CENTER);
    set_margin_start(20);
    set_margin_end(20);
    set_margin_top(8);
    set_margin_bottom(8);
    for (SettingsTab tab : allSettingsTabs) {
        auto* button = Gtk::make_managed<SettingsTabButton>(tab, [choose, tab] { choose(tab); });
        m_buttons[static_cast<std::size_t>(tab)] = button;
        append(*button);
    }
}

void SettingsTabBar::setSelectedTab(SettingsTab tab)
{
    for (SettingsTabButton* button : m_buttons)
        button->setSelected(button->tab() == tab);
}

void SettingsTabBar::setUserName(const std::string& name)
{
    button(SettingsTab::profile).setCustomTitle(name);
}

} // namespace kovi
