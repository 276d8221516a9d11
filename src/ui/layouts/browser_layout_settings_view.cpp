#include "ui/layouts/browser_layout_settings_view.h"

#include "core/state/browser_state.h"
#include "ui/design/dialogs.h"
#include "ui/design/window_chrome.h"

#include <gtkmm/box.h>
#include <gtkmm/label.h>

namespace kovi {

BrowserLayoutSettingsView::BrowserLayoutSettingsView(BrowserState& state, Gtk::Window& parent) : m_state(state)
{
    joinApplication(*this);
    add_css_class("kovi-sheet");
    set_transient_for(parent);
    set_modal(true);
    set_hide_on_close(true);
    set_resizable(false);
    set_title("Browser Layout");
    set_default_size(500, -1);

    auto* root = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 24);
    root->set_margin(32);
    root->set_size_request(500 - 64, -1);
    auto* title = Gtk::make_managed<Gtk::Label>("Browser Layout");
    title->add_css_class("heading");
    root->append(*title);

    auto* cards = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 20);
    cards->set_halign(Gtk::Align::CENTER);
    m_vertical = Gtk::make_managed<LayoutOptionCard>(
        BrowserLayoutMode::vertical, false, "Vertical Tabs", "Modern sidebar layout", "sidebar.left",
        [this] { m_state.setLayoutMode(BrowserLayoutMode::vertical); });
    m_traditional = Gtk::make_managed<LayoutOptionCard>(
        BrowserLayoutMode::traditional, false, "Horizontal Tabs", "Classic horizontal tabs", "rectangle.split.1x2",
        [this] { m_state.setLayoutMode(BrowserLayoutMode::traditional); });
    cards->append(*m_vertical);
    cards->append(*m_traditional);
    root->append(*cards);

    m_done.set_label("Done");
    m_done.add_css_class("suggested-action");
    m_done.set_halign(Gtk::Align::CENTER);
    m_done.signal_clicked().connect([this] { close(); });
    root->append(m_done);
    useOwnTitleBar(*this, *root);

    m_connections.add(m_state.layoutModeChanged.connect([this] { refresh(); }));
    refresh();
}

void BrowserLayoutSettingsView::refresh()
{
    m_vertical->setSelected(m_state.layoutMode() == BrowserLayoutMode::vertical);
    m_traditional->setSelected(m_state.layoutMode() == BrowserLayoutMode::traditional);
}

} // namespace kovi
