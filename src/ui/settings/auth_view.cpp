#include "ui/settings/auth_view.h"

#include "core/settings/auth_manager.h"
#include "ui/design/logo.h"
#include "ui/design/styles.h"

#include <gtkmm/image.h>
#include <gtkmm/label.h>

namespace kovi {

AuthView::AuthView(AuthManager& auth) : Gtk::Box(Gtk::Orientation::VERTICAL, 20), m_auth(auth)
{
    add_css_class("kovi-auth-view");
    set_size_request(minimumWidth, minimumHeight);
    set_hexpand(true);
    set_vexpand(true);
    set_halign(Gtk::Align::FILL);
    set_valign(Gtk::Align::FILL);

    auto* column = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 20);
    column->set_halign(Gtk::Align::CENTER);
    column->set_valign(Gtk::Align::CENTER);
    column->set_vexpand(true);

    column->append(*makeLogoImage(70));

    auto* title = Gtk::make_managed<Gtk::Label>("Welcome to Kovi");
    title->add_css_class("kovi-auth-title");
    column->append(*title);

    auto* tagline = Gtk::make_managed<Gtk::Label>("A space for every side of your day.");
    tagline->add_css_class("kovi-secondary");
    column->append(*tagline);

    auto* note = Gtk::make_managed<Gtk::Label>(
        "This beta saves your tabs, spaces, and library on this computer. Accounts and cloud sync are "
        "not available yet.");
    note->add_css_class("kovi-auth-note");
    note->add_css_class("kovi-secondary");
    note->set_wrap(true);
    note->set_justify(Gtk::Justification::CENTER);
    note->set_max_width_chars(48);
    note->set_size_request(-1, -1);
    column->append(*note);

    m_start.set_label("Start Browsing");
    applyButtonStyle(m_start, ButtonVariant::primary, ButtonSize::lg);
    m_start.set_halign(Gtk::Align::CENTER);
    m_start.signal_clicked().connect([this] { m_auth.continueAsGuest(); });
    column->append(m_start);

    append(*column);
}

} // namespace kovi
