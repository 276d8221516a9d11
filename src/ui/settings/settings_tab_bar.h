#pragma once

#include "core/settings/settings_tab.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace kovi {

// One button of the settings tab bar: the tab's picture on a rounded tile above its title, 70 px
// wide; blue with a tinted tile while selected.
class SettingsTabButton : public Gtk::Button {
public:
    static constexpr int width = 70;

    SettingsTabButton(SettingsTab tab, std::function<void()> action);
    SettingsTab tab() const { return m_tab; }
    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }
    // Replaces the tab's title (the Profile button shows the user's name); nullopt restores it.
    void setCustomTitle(const std::optional<std::string>& title);
    Gtk::Label& titleLabel() { return m_title; }

private:
    SettingsTab m_tab;
    bool m_selected = false;
    Gtk::Box m_column{Gtk::Orientation::VERTICAL, 4};
    Gtk::Box m_tile;
    Gtk::Image m_image;
    Gtk::Label m_title;
};

// The strip of the eight tab buttons under the settings window's title.
class SettingsTabBar : public Gtk::Box {
public:
    explicit SettingsTabBar(std::function<void(SettingsTab)> choose);
    void setSelectedTab(SettingsTab tab);
    // The Profile button's label.
    void setUserName(const std::string& name);
    SettingsTabButton& button(SettingsTab tab) { return *m_buttons[static_cast<std::size_t>(tab)]; }

private:
    std::array<SettingsTabButton*, allSettingsTabs.size()> m_buttons{};
};

} // namespace kovi
