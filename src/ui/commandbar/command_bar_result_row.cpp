#include "ui/commandbar/command_bar_result_row.h"

#include "core/commandbar/command_bar_panel_model.h"
#include "core/support/text.h"
#include "ui/design/symbols.h"

#include <gtkmm/eventcontrollermotion.h>

namespace kovi {

CommandBarResultRow::CommandBarResultRow()
{
    add_css_class("kovi-commandbar-row");
    set_size_request(-1, height);
    set_hexpand(true);
    set_focusable(false);

    m_highlight.add_css_class("highlight");
    m_highlight.set_hexpand(true);
    m_highlight.set_spacing(12);
    append(m_highlight);

    m_tile.add_css_class("tile");
    m_tile.set_size_request(28, 28);
    m_tile.set_valign(Gtk::Align::CENTER);
    m_tile.set_hexpand(false); // the icon's expansion centres it; it must not widen the tile
    m_icon.set_pixel_size(12);
    m_icon.set_hexpand(true);
    m_icon.set_halign(Gtk::Align::CENTER);
    m_icon.set_valign(Gtk::Align::CENTER);
    m_tile.append(m_icon);
    m_highlight.append(m_tile);

    m_texts.set_spacing(2);
    m_texts.set_valign(Gtk::Align::CENTER);
    m_texts.set_hexpand(true);
    m_title.add_css_class("title");
    m_subtitle.add_css_class("subtitle");
    for (Gtk::Label* label : {&m_title, &m_subtitle}) {
        label->set_xalign(0);
        label->set_single_line_mode(true);
        label->set_ellipsize(Pango::EllipsizeMode::END);
        m_texts.append(*label);
    }
    m_highlight.append(m_texts);

    m_hint.add_css_class("hint");
    m_hint.set_spacing(4);
    m_hint.set_valign(Gtk::Align::CENTER);
    m_hintWord.add_css_class("word");
    m_hintGlyph.add_css_class("glyph");
    m_hintGlyph.set_text("\u21B5");
    m_hint.append(m_hintWord);
    m_hint.append(m_hintGlyph);
    m_hint.set_visible(false);
    m_highlight.append(m_hint);

    // Hover only tints the row; it never moves the selection.
    auto motion = Gtk::EventControllerMotion::create();
    motion->signal_enter().connect([this](double, double) { setHovering(true); });
    motion->signal_leave().connect([this] { setHovering(false); });
    add_controller(motion);
}

void CommandBarResultRow::setResult(const CommandBarResult& result)
{
    m_titleText = result.title;
    m_title.set_text(text::shownText(result.title));
    m_subtitle.set_visible(result.subtitle.has_value());
    m_subtitle.set_text(text::shownText(result.subtitle.value_or("")));
    m_iconName = iconNameForSymbol(result.icon, "image-missing-symbolic");
    m_icon.set_from_icon_name(m_iconName);
    m_hintWord.set_text(CommandBarPanelModel::hintWord(result.action));
}

void CommandBarResultRow::setSelected(bool selected)
{
    if (selected == m_isSelected)
        return;
    m_isSelected = selected;
    m_hint.set_visible(selected);
    gtk_accessible_update_state(GTK_ACCESSIBLE(gobj()), GTK_ACCESSIBLE_STATE_SELECTED, selected ? TRUE : FALSE, -1);
    refreshLook();
}

void CommandBarResultRow::setHovering(bool hovering)
{
    if (hovering == m_isHovering)
        return;
    m_isHovering = hovering;
    refreshLook();
}

void CommandBarResultRow::refreshLook()
{
    switch (CommandBarPanelModel::rowHighlight(m_isSelected, m_isHovering)) {
    case CommandBarPanelModel::RowHighlight::selected:
        add_css_class("selected");
        remove_css_class("hovered");
        break;
    case CommandBarPanelModel::RowHighlight::hovered:
        add_css_class("hovered");
        remove_css_class("selected");
        break;
    case CommandBarPanelModel::RowHighlight::none:
        remove_css_class("selected");
        remove_css_class("hovered");
        break;
    }
}

bool CommandBarResultRow::hintShown() const
{
    return m_hint.get_visible();
}

std::string CommandBarResultRow::hintText() const
{
    return m_hintWord.get_text();
}

} // namespace kovi
