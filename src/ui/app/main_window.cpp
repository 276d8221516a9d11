#include "ui/app/main_window.h"

#include "core/settings/preferences.h"
#include "core/state/browser_state.h"
#include "core/support/notification_center.h"
#include "core/support/notification_names.h"
#include "ui/app/command_actions.h"
#include "ui/layouts/page_area.h"
#include "ui/base/app_context.h"
#include "ui/design/theme.h"
#include "ui/layouts/empty_state_view.h"
#include "ui/layouts/traditional_browser_view.h"
#include "ui/app/kovi_application.h"

#include <gtkmm/menubutton.h>
#include <gtkmm/popover.h>

namespace kovi {

MainWindow::MainWindow(AppContext& ctx, ViewParts parts, const CommandActions& commands)
    : m_ctx(ctx),
      m_root(ctx, std::move(parts), *this, [&commands]() -> Gtk::Widget* {
          auto* button = Gtk::make_managed<Gtk::MenuButton>();
          button->set_icon_name("open-menu-symbolic");
          button->set_menu_model(commands.menu());
          // The open menu takes the keyboard: give it the shortcuts too.
          if (auto* popover = button->get_popover())
              popover->add_controller(commands.makeShortcutController());
          button->set_has_frame(false);
          button->set_primary(true);
          button->set_tooltip_text("Menu");
          button->add_css_class("kovi-window-menu");
          return button;
      }),
      m_focus(*this, ctx.state, [this] { return focusTypingTarget(); }, [this] { return m_root.topLayer(); })
{
    add_css_class("kovi-main-window");
    set_title("Kovi");
    set_icon_name(KoviApplication::applicationId);
    set_default_size(1280, 820);
    // An empty title bar: client-side decorations (shadow, resize edges) without a bar.
    auto* titlebar = Gtk::make_managed<Gtk::Box>();
    titlebar->set_visible(false);
    set_titlebar(*titlebar);

    set_child(m_root);

    m_ctx.theme.attach(*this);
    // The toolkit runs a widget's controllers newest first. Every shortcut runs before the focused
    // widget sees its keys (a toolkit window moves the focus on Ctrl+Tab, a page may keep
    // Alt+Left), so the window's shortcuts win wherever the focus is; ahead of them Ctrl+L
    // finds an address field, and ahead of all an open panel keeps the shortcuts.
    add_controller(commands.makeShortcutController());
    add_controller(makeAddressKeyController());
    add_controller(commands.makePanelKeyController());
    add_controller(commands.makePanelEscapeController());

    m_connections.push_back(m_ctx.notifications.observe(notifications::layoutModeChanged,
                                                        [this](const Notification&) { updateTrafficLights(); }));
    // Also on every write of the stored layout, whoever made it (menu, sheet, settings).
    m_connections.push_back(
        m_ctx.preferences.changed(prefs::browserLayoutMode).connect([this] { updateTrafficLights(); }));
    updateTrafficLights();
}

MainWindow::~MainWindow()
{
    for (auto& c : m_connections)
        c.disconnect();
}

bool MainWindow::focusTypingTarget()
{
    PageArea* area = m_root.screen() == MainBrowserView::Screen::browser ? m_root.pageArea() : nullptr;
    if (!area)
        return false;
    if (EmptyStateView* start = area->startPage())
        return start->searchButton().grab_focus();
    Gtk::Widget* page = area->shownPage();
    return page && page->child_focus(Gtk::DirectionType::TAB_FORWARD);
}

Glib::RefPtr<Gtk::ShortcutController> MainWindow::makeAddressKeyController()
{
    // Ctrl+L goes to the address: the horizontal layout has a field for it; elsewhere the key
    // runs its command (the command bar).
    auto controller = Gtk::ShortcutController::create();
    controller->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    auto toAddress = Gtk::CallbackAction::create([this](Gtk::Widget&, const Glib::VariantBase&) {
        TraditionalBrowserView* layout = m_root.traditionalView();
        if (!layout || m_root.topLayer())
            return false;
        Gtk::Entry& field = layout->navigationBar().addressField();
        if (!field.grab_focus())
            return false;
        field.select_region(0, -1);
        return true;
    });
    controller->add_shortcut(
        Gtk::Shortcut::create(Gtk::KeyvalTrigger::create(GDK_KEY_l, Gdk::ModifierType::CONTROL_MASK), toAddress));
    return controller;
}

void MainWindow::updateTrafficLights()
{
    // The horizontal layout's tab bar shows them; the sidebar layout has none.
    m_windowButtons = m_ctx.preferences.get(prefs::browserLayoutMode) == "traditional";
}

} // namespace kovi
