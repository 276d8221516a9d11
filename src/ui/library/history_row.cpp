#include "ui/library/history_row.h"

#include "core/libraryviews/history_panel_model.h"
#include "ui/design/symbols.h"
#include "ui/library/favicon_texture.h"

#include <giomm/menu.h>
#include <gtkmm/gestureclick.h>

namespace kovi {

HistoryRow::HistoryRow(const Actions& actions, FaviconTextures& favicons)
    : Gtk::Box(Gtk::Orientation::VERTICAL), m_actions(actions), m_favicons(favicons)
{
    add_css_class("history-row");
    m_header.add_css_class("history-header");
    m_header.set_xalign(0);
    append(m_header);

    m_visit.add_css_class("history-visit");
    m_icon.set_size_request(16, 16);
    m_icon.set_pixel_size(16);
    m_icon.add_css_class("history-icon");
    m_visit.append(m_icon);
    for (Gtk::Label* label : {&m_title, &m_subtitle}) {
        label->set_xalign(0);
        label->set_single_line_mode(true);
        label->set_ellipsize(Pango::EllipsizeMode::END);
        m_texts.append(*label);
    }
    m_title.add_css_class("history-title");
    m_subtitle.add_css_class("history-subtitle");
    m_texts.set_hexpand(true);
    m_texts.set_valign(Gtk::Align::CENTER);
    m_visit.append(m_texts);
    m_time.add_css_class("history-time");
    m_visit.append(m_time);
    m_delete.set_child(*makeSymbolImage("xmark", 8));
    m_delete.add_css_class("history-delete");
    m_delete.set_has_frame(false);
    m_delete.set_focus_on_click(false);
    m_delete.set_valign(Gtk::Align::CENTER);
    m_delete.set_tooltip_text("Delete");
    m_delete.signal_clicked().connect([this] {
        if (m_item)
            m_actions.remove(HistoryItem(*m_item));
    });
    m_visit.append(m_delete);
    append(m_visit);

    auto click = Gtk::GestureClick::create();
    click->set_button(1);
    click->signal_released().connect([this](int presses, double x, double y) {
        // The delete button handles its own clicks.
        for (Gtk::Widget* w = m_visit.pick(x, y); w; w = w->get_parent()) {
            if (w == &m_delete)
                return;
        }
        if (presses == 1 && m_item)
            m_actions.open(HistoryItem(*m_item));
    });
    m_visit.add_controller(click);
    auto secondary = Gtk::GestureClick::create();
    secondary->set_button(3);
    secondary->signal_pressed().connect([this](int, double x, double y) { showMenu(x, y); });
    m_visit.add_controller(secondary);

    // Copies of the visit: an action may rebuild the list and rebind this row.
    m_group = Gio::SimpleActionGroup::create();
    m_group->add_action("open", [this] {
        if (m_item)
            m_actions.openInNewTab(HistoryItem(*m_item));
    });
    m_group->add_action("copy", [this] {
        if (m_item)
            m_actions.copyUrl(HistoryItem(*m_item));
    });
    m_group->add_action("delete", [this] {
        if (m_item)
            m_actions.remove(HistoryItem(*m_item));
    });
    insert_action_group("history", m_group);
}

HistoryRow::~HistoryRow()
{
    if (m_menu)
        m_menu->unparent();
}

void HistoryRow::bindHeader(const std::string& title)
{
    m_item.reset();
    m_header.set_text(title);
    m_header.set_visible(true);
    m_visit.set_visible(false);
}

void HistoryRow::bindItem(const HistoryItem& item, const std::string& time)
{
    m_item = item;
    m_header.set_visible(false);
    m_visit.set_visible(true);
    m_title.set_text(historyRowTitle(item));
    m_subtitle.set_text(historyRowSubtitle(item));
    m_time.set_text(time);
    auto texture = m_favicons.texture(item.favicon);
    m_showsFavicon = static_cast<bool>(texture);
    if (texture) {
        m_icon.set(texture);
        m_icon.remove_css_class("globe");
    } else {
        m_icon.set_from_icon_name(iconNameForSymbol("globe"));
        m_icon.add_css_class("globe");
    }
}

void HistoryRow::showMenu(double x, double y)
{
    if (!m_item)
        return;
    if (!m_menu) {
        auto menu = Gio::Menu::create();
        auto first = Gio::Menu::create();
        first->append("Open in New Tab", "history.open");
        first->append("Copy URL", "history.copy");
        menu->append_section(first);
        auto last = Gio::Menu::create();
        last->append("Delete", "history.delete");
        menu->append_section(last);
        m_menu = std::make_unique<Gtk::PopoverMenu>(menu);
        m_menu->set_parent(m_visit);
        m_menu->set_has_arrow(false);
    }
    m_menu->set_pointing_to(Gdk::Rectangle(static_cast<int>(x), static_cast<int>(y), 1, 1));
    m_menu->popup();
}

} // namespace kovi
