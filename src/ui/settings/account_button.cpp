#include "ui/settings/account_button.h"

#include "core/settings/auth_manager.h"
#include "core/settings/initials.h"
#include "ui/base/app_context.h"
#include "ui/design/styles.h"
#include "ui/settings/account_sheet.h"

#include <glibmm/main.h>

namespace kovi {

AccountButton::AccountButton(AppContext& ctx) : m_ctx(ctx)
{
    add_css_class("kovi-account-button");
    set_has_frame(false);
    set_focus_on_click(false);
    set_size_request(size, size);
    set_valign(Gtk::Align::CENTER);
    set_halign(Gtk::Align::END);
    m_initials.add_css_class("kovi-account-button-initials");
    // Initials are one or two characters, but a character can be wide (an emoji sequence).
    m_initials.set_ellipsize(Pango::EllipsizeMode::END);
    m_initials.set_max_width_chars(3);
    set_child(m_initials);
    signal_clicked().connect([this] { openSheet(); });
    m_connections.add(m_ctx.auth.currentUserChanged.connect([this] { refresh(); }));
    refresh();
}

AccountButton::~AccountButton()
{
    m_connections.clear();
    m_dropClosed.disconnect();
}

bool AccountButton::showAccountSettings() const
{
    return m_sheet && m_sheet->get_visible();
}

void AccountButton::refresh()
{
    const auto& user = m_ctx.auth.currentUser();
    m_initials.set_text(accountButtonInitials(user));
    set_tooltip_text(user ? user->displayName : "Account");
    setClass(*this, "guest", user && user->isGuest);
}

void AccountButton::openSheet()
{
    if (m_sheet) {
        m_sheet->present();
        return;
    }
    auto* parent = dynamic_cast<Gtk::Window*>(get_root());
    if (!parent)
        return;
    m_sheet = std::make_unique<AccountSheet>(m_ctx, *parent);
    m_sheet->signal_hide().connect([this] {
        // Dropped after the click or key that closed it has been handled.
        if (!m_sheet)
            return;
        m_closedSheets.push_back(std::move(m_sheet));
        if (!m_dropClosed.connected())
            m_dropClosed = Glib::signal_idle().connect([this] {
                m_closedSheets.clear();
                return false;
            });
    });
    m_sheet->present();
}

} // namespace kovi
