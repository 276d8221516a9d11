#pragma once

#include "core/commandbar/command_bar_result.h"

#include <gtkmm/box.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>

#include <string>
#include <string_view>

namespace kovi {

// One 52-px row of the command bar: icon tile, title and subtitle, and on the selected row the
// return hint. The list reuses its rows by position, so a row is refilled rather than rebuilt
// when the results change; the pointer's hover state stays with the row under it.
class CommandBarResultRow : public Gtk::Box {
public:
    static constexpr int height = 52;

    CommandBarResultRow();

    void setResult(const CommandBarResult& result);
    void setSelected(bool selected);

    bool isSelected() const { return m_isSelected; }
    bool isHovering() const { return m_isHovering; }
    const std::string& title() const { return m_titleText; }
    const std::string& iconName() const { return m_iconName; }
    bool hintShown() const;
    std::string hintText() const;

private:
    void setHovering(bool hovering);
    void refreshLook();

    Gtk::Box m_highlight{Gtk::Orientation::HORIZONTAL};
    Gtk::Box m_tile;
    Gtk::Image m_icon;
    Gtk::Box m_texts{Gtk::Orientation::VERTICAL};
    Gtk::Label m_title;
    Gtk::Label m_subtitle;
    Gtk::Box m_hint{Gtk::Orientation::HORIZONTAL};
    Gtk::Label m_hintWord;
    Gtk::Label m_hintGlyph;

    std::string m_titleText;
    std::string m_iconName;
    bool m_isSelected = false;
    bool m_isHovering = false;
};

} // namespace kovi
