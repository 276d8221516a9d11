#include "ui/app/main_window.h"

#include "core/state/browser_state.h"
#include "ui/app/command_actions.h"
#include "ui/layouts/page_area.h"
#include "ui/base/app_context.h"
#include "ui/design/theme.h"
#include "ui/design/tooltips.h"
#include "ui/layouts/content_view.h"
#include "ui/layouts/empty_state_view.h"
#include "ui/layouts/traditional_browser_view.h"
#include "ui/app/kovi_application.h"

#include <gtkmm/menubutton.h>
#include <gtkmm/popover.h>
#include <gtkmm/windowcontrols.h>

#include <functional>

namespace kovi {

MainWindow::MainWindow(AppContext& ctx, ViewSlots slots, const CommandActions& commands)
    : m_ctx(ctx),
      m_root(ctx, std::move(slots), *this, [&commands]() -> Gtk::Widget* {
          auto* button = Gtk::make_managed<Gtk::MenuButton>();
          button->set_icon_name("open-menu-symbolic");
          button->set_menu_model(commands.menu());
          // The open menu takes the keyboard: give it the shortcuts too.
          if (auto* popover = button->get_popover())
              popover->add_controller(commands.makeShortcutController());
          button->set_has_frame(false);
          button->set_primary(true);
          button->set_tooltip_text("Menu");
          hideTooltipWhileMenuOpen(*button);
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
    // Ahead of the accelerators: Ctrl+L finds an address field, and an open panel keeps the
    // shortcuts.
    add_controller(makeAddressKeyController());
    add_controller(commands.makePanelKeyController());
    add_controller(commands.makePanelEscapeController());
}

MainWindow::~MainWindow() = default;

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
    // Ctrl+L goes to the address field of the layout: the sidebar's or the horizontal layout's.
    // Without one (a sidebar of no address field, a view open over the layout) the key runs its
    // command: the command bar.
    auto controller = Gtk::ShortcutController::create();
    controller->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    auto toAddress = Gtk::CallbackAction::create([this](Gtk::Widget&, const Glib::VariantBase&) {
        if (m_root.topLayer())
            return false;
        if (ContentView* content = m_root.contentView())
            return content->sidebarHost().editAddress();
        TraditionalBrowserView* layout = m_root.traditionalView();
        if (!layout)
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

bool MainWindow::windowButtonsVisible()
{
    std::function<bool(Gtk::Widget&)> shows = [&shows](Gtk::Widget& widget) {
        if (!widget.get_mapped())
            return false;
        if (auto* controls = dynamic_cast<Gtk::WindowControls*>(&widget))
            return !controls->get_empty();
        for (auto* child = widget.get_first_child(); child; child = child->get_next_sibling()) {
            if (shows(*child))
                return true;
        }
        return false;
    };
    return shows(m_root);
}

} // namespace kovi
