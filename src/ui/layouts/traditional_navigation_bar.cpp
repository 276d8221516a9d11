#include "ui/layouts/traditional_navigation_bar.h"

#include "core/commands/command_ids.h"
#include "core/library/browser_library.h"
#include "core/state/browser_state.h"
#include "ui/base/app_context.h"
#include "ui/design/select_on_first_click.h"
#include "ui/design/symbols.h"
#include "ui/layouts/bar_button.h"

#include <gtkmm/accelerator.h>
#include <gtkmm/eventcontrollerkey.h>
#include <gtkmm/root.h>

namespace kovi {

TraditionalNavigationBar::TraditionalNavigationBar(AppContext& ctx)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 8)
    , m_ctx(ctx)
    , m_model(ctx.state, ctx.notifications)
    , m_star(ctx.state, ctx.library)
{
    add_css_class("kovi-navbar");
    add_css_class("kovi-chrome");

    // Back and Forward run their commands; the slot around each decides whether it can be used.
    setUpBarButton(m_back, "chevron.left", 14, "Back (Ctrl+[)", commands::goBack);
    setUpBarButton(m_forward, "chevron.right", 14, "Forward (Ctrl+])", commands::goForward);
    setUpBarButton(m_reload, "arrow.clockwise", 13, "Reload (Ctrl+R)", commands::reload);
    m_backSlot.append(m_back);
    m_forwardSlot.append(m_forward);
    m_navigation.append(m_backSlot);
    m_navigation.append(m_forwardSlot);
    m_navigation.append(m_reload);
    append(m_navigation);

    m_address.add_css_class("kovi-navbar-address");
    m_address.set_hexpand(true);
    m_addressIcon.set_pixel_size(11);
    m_addressIcon.add_css_class("kovi-secondary");
    m_address.append(m_addressIcon);
    m_entry.set_placeholder_text("Search or enter URL");
    m_entry.set_has_frame(false);
    m_entry.set_hexpand(true);
    m_entry.add_css_class("kovi-navbar-entry");
    selectAllOnFirstClick(m_entry);
    m_entry.signal_changed().connect([this] {
        if (!m_settingText)
            m_model.setUrlText(m_entry.get_text());
    });
    m_entry.signal_activate().connect([this] {
        m_model.navigate();
        leaveField();
    });
    // Escape gives up what was typed: the page's address again, and the keys to the page.
    auto escape = Gtk::EventControllerKey::create();
    escape->signal_key_pressed().connect(
        [this](guint keyval, guint, Gdk::ModifierType modifiers) {
            if (keyval != GDK_KEY_Escape || (modifiers & Gtk::Accelerator::get_default_mod_mask()) != Gdk::ModifierType{})
                return false;
            m_model.revert();
            leaveField();
            return true;
        },
        false);
    m_entry.add_controller(escape);
    m_address.append(m_entry);
    append(m_address);

    m_star.add_css_class("kovi-hbar-button");
    m_star.set_valign(Gtk::Align::CENTER);
    setUpBarButton(m_extensions, "puzzlepiece.extension", 13, "Page Extensions", commands::pageExtensions);
    setUpBarButton(m_library, "books.vertical", 13, "Library", commands::showLibrary);
    setUpBarButton(m_split, "rectangle.split.2x1", 13, "Split View (Ctrl+Alt+D)", commands::toggleSplitView);
    for (Gtk::Button* tool : std::initializer_list<Gtk::Button*>{&m_star, &m_extensions, &m_library, &m_split})
        m_tools.append(*tool);
    append(m_tools);

    BrowserState& state = ctx.state;
    m_connections.add(m_model.urlTextChanged.connect([this] { refreshText(); }));
    m_connections.add(m_model.pageChanged.connect([this] { refreshPage(); }));
    m_connections.add(state.splitViewConfigChanged.connect([this] { refreshSplit(); }));
    refreshText();
    refreshPage();
    refreshSplit();
}

void TraditionalNavigationBar::leaveField()
{
    // The keys go to the page, as after the sidebar's address field.
    if (auto* root = get_root())
        root->unset_focus();
}

void TraditionalNavigationBar::setWindowMenu(Gtk::Widget* menu)
{
    if (m_windowMenu)
        m_tools.remove(*m_windowMenu);
    m_windowMenu = menu;
    if (menu) {
        menu->set_valign(Gtk::Align::CENTER);
        m_tools.append(*menu);
    }
}

void TraditionalNavigationBar::refreshText()
{
    // Replaces what is typed too: a tab switch shows that tab's address.
    m_settingText = true;
    m_entry.set_text(m_model.urlText());
    m_settingText = false;
}

void TraditionalNavigationBar::refreshPage()
{
    m_backSlot.set_sensitive(m_model.canGoBack());
    m_forwardSlot.set_sensitive(m_model.canGoForward());
    m_lockShown = m_model.isSecure();
    m_addressIcon.set_from_icon_name(iconNameForSymbol(m_lockShown ? "lock.fill" : "globe", "web-browser-symbolic"));
}

void TraditionalNavigationBar::refreshSplit()
{
    const bool on = m_ctx.state.splitViewConfig().isEnabled;
    setSymbol(m_split, on ? "rectangle" : "rectangle.split.2x1");
}

} // namespace kovi
