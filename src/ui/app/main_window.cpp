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
#include <sigc++/adaptors/track_obj.h>
#include <gtkmm/popover.h>
#include <gtkmm/windowcontrols.h>

#include <functional>

namespace kovi {

MainWindow::MainWindow(AppContext& ctx, ViewSlots slots, const CommandActions& commands)
    : m_ctx(ctx), m_hold(*this),
      m_root(ctx, std::move(slots), *this, m_hold, [&commands]() -> Gtk::Widget* {
          auto* button = Gtk::make_managed<Gtk::MenuButton>();
          button->set_icon_name("open-menu-symbolic");
          button->set_menu_model(commands.menu());
          // The open menu takes the keyboard: give it the shortcuts too.
          if (auto* popover = button->get_popover())
              popover->add_controller(commands.makeShortcutController());
          // A menu left open when its button goes out of sight (the layout switched from the
          // open menu, the floating sidebar slid away) takes every key of the window once
          // another menu has come and gone: it closes with its button.
          button->signal_unmap().connect([button] {
              if (Gtk::Popover* popover = button->get_popover(); popover && popover->get_visible())
                  popover->popdown();
          });
          button->set_has_frame(false);
          button->set_primary(true);
          button->set_tooltip_text("Menu");
          hideTooltipWhileMenuOpen(*button);
          button->add_css_class(windowMenuClass);
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
    // Ctrl+L finds an address field before it opens the command bar; F10 finds the menu.
    add_controller(commands.makeWindowKeyController({
        {CommandActions::accelerator({Shortcut::control, "l", {}}), [this] { return editAddress(); }},
        {CommandActions::accelerator({0, "F10", {}}), [this] { return openWindowMenu(); }},
    }));
    add_controller(commands.makePanelEscapeController());
}

MainWindow::~MainWindow()
{
    m_menuShown.disconnect();
    m_menuClosed.disconnect();
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

bool MainWindow::editAddress()
{
    // The address field of the layout: the sidebar's or the horizontal layout's. Without one (a
    // sidebar of no address field, a view open over the layout) the key runs its command: the
    // command bar.
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
}

bool MainWindow::openWindowMenu()
{
    Gtk::Widget* layout = m_root.screen() == MainBrowserView::Screen::browser ? m_root.layoutWidget() : nullptr;
    Gtk::MenuButton* button = layout ? findWindowMenu(*layout) : nullptr;
    if (!button)
        return false;
    m_menuShown.disconnect();
    m_menuClosed.disconnect();
    if (button->get_mapped()) {
        button->popup();
        return true;
    }
    // Out of sight in the hidden floating sidebar: the sidebar slides in and stays while the
    // menu is open; once it closes the sidebar goes as after the pointer left it.
    ContentView* content = m_root.contentView();
    if (!content)
        return false;
    SidebarHost& host = content->sidebarHost();
    FloatingSidebar& floating = content->dock().floating();
    m_menuShown = button->signal_map().connect([this, button, &host, &floating] {
        m_menuShown.disconnect();
        // Once the sidebar has slid in: a menu placed while it moves has no screen to go to.
        button->add_tick_callback(sigc::track_obj(
            [this, button, &host, &floating](const Glib::RefPtr<Gdk::FrameClock>&) {
                if (!host.isSidebarVisible()) {
                    host.setIsInteractionLocked(false);
                    return false;
                }
                if (floating.offset() < -0.5)
                    return true;
                if (Gtk::Popover* popover = button->get_popover())
                    m_menuClosed = popover->signal_closed().connect([this, &host] {
                        m_menuClosed.disconnect();
                        host.setIsInteractionLocked(false);
                    });
                button->popup();
                return false;
            },
            *this));
    });
    host.setIsInteractionLocked(true);
    host.setIsSidebarVisible(true);
    return true;
}

Gtk::MenuButton* MainWindow::findWindowMenu(Gtk::Widget& root)
{
    auto* button = dynamic_cast<Gtk::MenuButton*>(&root);
    if (button && button->has_css_class(windowMenuClass))
        return button;
    for (Gtk::Widget* child = root.get_first_child(); child; child = child->get_next_sibling()) {
        if (Gtk::MenuButton* found = findWindowMenu(*child))
            return found;
    }
    return nullptr;
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
