#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>

#include <string>
#include <vector>

namespace kovi {

// One choice of the icon grid: a coloured tile with the product's initial above its name; the
// selected one has an accent border and a primary caption. Shown as unavailable.
class IconOption : public Gtk::Button {
public:
    IconOption(const std::string& id, const std::string& name, const std::string& color);
    const std::string& id() const { return m_id; }
    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }
    Gtk::Label& caption() { return m_caption; }

private:
    std::string m_id;
    bool m_selected = false;
    Gtk::Label m_caption;
};

// The Icon tab: six icon choices with the default one chosen, and a banner with a sharing
// button; the application's icon cannot be changed yet, so the choices and the button are shown
// as unavailable.
class IconSettingsTab : public Gtk::Box {
public:
    IconSettingsTab();
    const std::string& selectedIcon() const { return m_selectedIcon; }
    const std::vector<IconOption*>& options() const { return m_options; }
    Gtk::Button& shareButton() { return m_share; }

private:
    const std::string m_selectedIcon = "default";
    std::vector<IconOption*> m_options;
    Gtk::Button m_share;
};

} // namespace kovi
