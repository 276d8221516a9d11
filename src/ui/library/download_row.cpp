#include "ui/library/download_row.h"

#include "core/libraryviews/download_row_texts.h"
#include "ui/design/styles.h"
#include "ui/design/symbols.h"

#include <giomm/menu.h>
#include <gtkmm/eventcontrollermotion.h>
#include <gtkmm/gestureclick.h>

namespace kovi {

namespace {

constexpr const char* statusStyles[] = {"secondary", "blue", "orange", "green", "red"};

} // namespace

DownloadRow::DownloadRow(const Actions& actions) : Gtk::Box(Gtk::Orientation::HORIZONTAL, 12), m_actions(actions)
{
    add_css_class("download-row");
    m_tile.add_css_class("download-tile");
    m_tile.set_size_request(36, 36);
    m_tile.set_valign(Gtk::Align::CENTER);
    m_tile.set_hexpand(false); // the symbol's centring must not widen the row's tile
    m_tile.set_vexpand(false);
    m_symbol.set_pixel_size(16);
    m_symbol.set_hexpand(true);
    m_symbol.set_vexpand(true);
    m_tile.append(m_symbol);
    append(m_tile);

    m_name.set_xalign(0);
    m_name.set_single_line_mode(true);
    m_name.set_ellipsize(Pango::EllipsizeMode::MIDDLE);
    m_name.add_css_class("download-name");
    m_texts.append(m_name);
    m_status.add_css_class("download-status");
    m_statusLine.append(m_status);
    m_size.add_css_class("download-size");
    m_statusLine.append(m_size);
    m_texts.append(m_statusLine);
    m_progress.add_css_class("download-progress");
    m_texts.append(m_progress);
    m_texts.set_valign(Gtk::Align::CENTER);

    m_reveal.set_child(*makeSymbolImage("folder", 11));
    m_reveal.set_tooltip_text("Show in Folder");
    m_reveal.add_css_class("download-reveal");
    m_reveal.signal_clicked().connect([this] { act(m_actions.showInFolder); });
    m_remove.set_child(*makeSymbolImage("xmark", 9));
    m_remove.set_tooltip_text("Remove from List");
    m_remove.add_css_class("download-remove");
    m_remove.signal_clicked().connect([this] { act(m_actions.remove); });
    for (Gtk::Button* button : {&m_reveal, &m_remove}) {
        button->set_has_frame(false);
        button->set_focus_on_click(false);
        button->set_valign(Gtk::Align::CENTER);
        m_buttons.append(*button);
    }
    append(m_body);

    auto motion = Gtk::EventControllerMotion::create();
    motion->signal_enter().connect([this](double, double) { setHovered(true); });
    motion->signal_leave().connect([this] { setHovered(false); });
    add_controller(motion);
    auto click = Gtk::GestureClick::create();
    click->set_button(1);
    click->signal_pressed().connect([this](int presses, double, double) {
        if (presses == 2 && m_item && m_item->status == DownloadStatus::completed)
            act(m_actions.open);
    });
    add_controller(click);
    auto secondary = Gtk::GestureClick::create();
    secondary->set_button(3);
    secondary->signal_pressed().connect([this](int, double x, double y) { showMenu(x, y); });
    add_controller(secondary);

    m_group = Gio::SimpleActionGroup::create();
    m_group->add_action("open", [this] { act(m_actions.open); });
    m_group->add_action("reveal", [this] { act(m_actions.showInFolder); });
    m_group->add_action("remove", [this] { act(m_actions.remove); });
    insert_action_group("download", m_group);
}

DownloadRow::~DownloadRow()
{
    if (m_menu)
        m_menu->unparent();
}

void DownloadRow::bind(const DownloadItem& item)
{
    if (m_item == item)
        return;
    m_item = item;
    refresh();
}

void DownloadRow::act(const std::function<void(const DownloadItem&)>& action)
{
    // A copy: the action may change the list and bind this row to another download.
    if (m_item)
        action(DownloadItem(*m_item));
}

void DownloadRow::refresh()
{
    const DownloadItem& item = *m_item;
    m_symbol.set_from_icon_name(iconNameForSymbol(downloadSymbol(item.filename), "text-x-generic-symbolic"));
    m_name.set_text(item.filename);
    m_status.set_text(std::string(downloadStatusText(item.status)));
    for (const char* style : statusStyles)
        m_status.remove_css_class(style);
    m_status.add_css_class(std::string(downloadStatusStyle(item.status)));
    auto size = downloadSizeText(item);
    m_size.set_visible(size.has_value());
    m_size.set_text(size.value_or(""));
    const bool running = item.status == DownloadStatus::downloading;
    // The bar keeps its room when hidden: rows are one height.
    m_progress.set_opacity(running ? 1 : 0);
    if (running)
        m_progress.set_fraction(downloadProgress(item));
    m_reveal.set_visible(item.status == DownloadStatus::completed);
    m_body.setShown(m_body.isShown()); // the buttons' room follows the reveal button
}

void DownloadRow::setHovered(bool hovered)
{
    m_body.setShown(hovered);
    setClass(*this, "hovered", hovered);
}

void DownloadRow::showMenu(double x, double y)
{
    // Built for the status at the time: a finished download offers more.
    auto menu = Gio::Menu::create();
    if (m_item && m_item->status == DownloadStatus::completed) {
        auto top = Gio::Menu::create();
        top->append("Open", "download.open");
        top->append("Show in Folder", "download.reveal");
        menu->append_section(top);
    }
    auto bottom = Gio::Menu::create();
    bottom->append("Remove from List", "download.remove");
    menu->append_section(bottom);
    if (!m_menu) {
        m_menu = std::make_unique<Gtk::PopoverMenu>();
        m_menu->set_parent(*this);
        m_menu->set_has_arrow(false);
    }
    m_menu->set_menu_model(menu);
    m_menu->set_pointing_to(Gdk::Rectangle(static_cast<int>(x), static_cast<int>(y), 1, 1));
    m_menu->popup();
}

} // namespace kovi
