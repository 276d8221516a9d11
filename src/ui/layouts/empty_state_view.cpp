#include "ui/layouts/empty_state_view.h"

#include "core/state/browser_state.h"
#include "ui/base/app_context.h"
#include "ui/base/command_action.h"
#include "ui/design/logo.h"
#include "ui/design/styles.h"
#include "ui/design/symbols.h"

#include <adwaita.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>

namespace kovi {

EmptyStateView::EmptyStateView(AppContext& ctx) : Gtk::Box(Gtk::Orientation::VERTICAL), m_ctx(ctx)
{
    add_css_class("kovi-start-page");
    set_hexpand(true);
    set_vexpand(true);

    auto* scroller = Gtk::make_managed<Gtk::ScrolledWindow>();
    scroller->set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    scroller->set_vexpand(true);
    scroller->set_hexpand(true);
    append(*scroller);

    auto* column = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 28);
    column->set_valign(Gtk::Align::CENTER);
    column->set_halign(Gtk::Align::FILL);

    // Wordmark.
    auto* wordmark = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 9);
    wordmark->add_css_class("kovi-wordmark");
    wordmark->append(*makeLogoImage(28));
    auto* kovi = Gtk::make_managed<Gtk::Label>("KOVI");
    kovi->add_css_class("kovi-wordmark-text");
    wordmark->append(*kovi);
    column->append(*wordmark);

    // Headline.
    auto* headline = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 10);
    auto* title = Gtk::make_managed<Gtk::Label>("A little room to explore.");
    title->add_css_class("kovi-start-title");
    title->set_wrap(true);
    title->set_xalign(0);
    auto* subtitle = Gtk::make_managed<Gtk::Label>("An idea, a question, somewhere new. Start here.");
    subtitle->add_css_class("kovi-start-subtitle");
    subtitle->set_wrap(true);
    subtitle->set_xalign(0);
    headline->append(*title);
    headline->append(*subtitle);
    column->append(*headline);

    // Search field.
    m_search = Gtk::make_managed<Gtk::Button>();
    m_search->add_css_class("kovi-start-search");
    m_search->set_has_frame(false);
    applyHoverStyle(*m_search, 14);
    auto* row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 12);
    row->append(*makeSymbolImage("magnifyingglass", 16));
    auto* prompt = Gtk::make_managed<Gtk::Label>("Search or enter a URL");
    prompt->set_hexpand(true);
    prompt->set_xalign(0);
    row->append(*prompt);
    auto* hint = Gtk::make_managed<Gtk::Label>("Ctrl+T");
    hint->add_css_class("kovi-start-hint");
    row->append(*hint);
    m_search->set_child(*row);
    gtk_accessible_update_property(GTK_ACCESSIBLE(m_search->gobj()), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                   "Open search or new tab", -1);
    m_search->set_action_name(appAction(commands::newTab));
    column->append(*m_search);

    // Quick links.
    auto* links = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 18);
    links->add_css_class("kovi-start-links");
    m_library = makeQuickLink("Library", "books.vertical");
    m_history = makeQuickLink("History", "clock.arrow.circlepath");
    m_downloads = makeQuickLink("Downloads", "arrow.down.circle");
    m_library->set_action_name(appAction(commands::showLibrary));
    // Unlike the menu's Show History and Show Downloads, these only ever open their panels.
    m_history->signal_clicked().connect([this] { m_ctx.state.setIsHistoryPanelVisible(true); });
    m_downloads->signal_clicked().connect([this] { m_ctx.state.setIsDownloadsPanelVisible(true); });
    links->append(*m_library);
    links->append(*m_history);
    links->append(*m_downloads);
    column->append(*links);

    // At most 510 wide plus 32 on each side, centred; shorter than the page: centred vertically.
    GtkWidget* clamp = adw_clamp_new();
    adw_clamp_set_maximum_size(ADW_CLAMP(clamp), 510 + 2 * 32);
    adw_clamp_set_tightening_threshold(ADW_CLAMP(clamp), 510 + 2 * 32);
    column->set_margin(32);
    adw_clamp_set_child(ADW_CLAMP(clamp), GTK_WIDGET(column->gobj()));
    gtk_widget_set_valign(clamp, GTK_ALIGN_CENTER);
    gtk_widget_set_vexpand(clamp, TRUE);
    scroller->set_child(*Glib::wrap(clamp));
}

Gtk::Button* EmptyStateView::makeQuickLink(const char* title, const char* symbol)
{
    auto* button = Gtk::make_managed<Gtk::Button>();
    button->set_has_frame(false);
    button->add_css_class("kovi-start-link");
    auto* box = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 6);
    box->append(*makeSymbolImage(symbol, 14));
    box->append(*Gtk::make_managed<Gtk::Label>(title));
    button->set_child(*box);
    return button;
}

} // namespace kovi
