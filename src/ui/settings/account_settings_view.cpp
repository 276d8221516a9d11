#include "ui/settings/account_settings_view.h"

#include "core/settings/auth_manager.h"
#include "ui/base/app_context.h"
#include "ui/design/dialogs.h"
#include "ui/design/styles.h"
#include "ui/design/symbols.h"
#include "ui/design/theme.h"
#include "ui/settings/account_card.h"
#include "ui/settings/privacy_info_view.h"

#include <adwaita.h>
#include <glibmm/main.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/separator.h>

#include <cstring>

namespace kovi {

namespace {

// A full-width row button of the panel: symbol, text, then space.
Gtk::Button* makeRowButton(const char* symbol, const char* text, const char* cssClass, Gtk::Widget* trailing = nullptr)
{
    auto* button = Gtk::make_managed<Gtk::Button>();
    button->add_css_class("kovi-account-row");
    button->add_css_class(cssClass);
    button->set_has_frame(false);
    auto* row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
    row->append(*makeSymbolImage(symbol, 14));
    auto* label = Gtk::make_managed<Gtk::Label>(text);
    label->set_xalign(0);
    label->set_hexpand(true);
    row->append(*label);
    if (trailing)
        row->append(*trailing);
    button->set_child(*row);
    return button;
}

Gtk::Widget* makeGuestNote()
{
    auto* card = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 8);
    applyCardStyle(*card, 16);
    card->add_css_class("kovi-account-guest-note");
    auto* title = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 6);
    title->append(*makeSymbolImage("internaldrive", 14));
    auto* heading = Gtk::make_managed<Gtk::Label>("Saved on this computer");
    heading->add_css_class("kovi-account-note-title");
    title->append(*heading);
    card->append(*title);
    auto* text = Gtk::make_managed<Gtk::Label>(
        "Accounts and cloud sync are not available in this beta. Export your Library to keep a backup of your saved "
        "pages and workspaces.");
    text->add_css_class("kovi-settings-12");
    text->add_css_class("kovi-secondary");
    text->set_wrap(true);
    text->set_xalign(0);
    card->append(*text);
    return card;
}

} // namespace

AccountSettingsView::AccountSettingsView(AppContext& ctx, std::function<void()> dismiss)
    : Gtk::Box(Gtk::Orientation::VERTICAL, 0), m_ctx(ctx), m_dismiss(std::move(dismiss))
{
    add_css_class("kovi-account-view");
    set_size_request(width, height);
    set_halign(Gtk::Align::CENTER);
    set_valign(Gtk::Align::CENTER);

    auto* titleBar = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
    titleBar->set_margin(20);
    auto* title = Gtk::make_managed<Gtk::Label>("Account");
    title->add_css_class("kovi-account-title");
    title->set_xalign(0);
    title->set_hexpand(true);
    titleBar->append(*title);
    m_close.add_css_class("kovi-account-close");
    m_close.set_has_frame(false);
    m_close.set_size_request(24, 24);
    m_close.set_valign(Gtk::Align::CENTER);
    m_close.set_child(*makeSymbolImage("xmark", 12));
    m_close.set_tooltip_text("Close");
    m_close.signal_clicked().connect([this] { m_dismiss(); });
    titleBar->append(m_close);
    append(*titleBar);
    append(*Gtk::make_managed<Gtk::Separator>(Gtk::Orientation::HORIZONTAL));

    m_scroller.set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    m_scroller.set_vexpand(true);
    m_scroller.set_propagate_natural_height(false);
    append(m_scroller);

    m_connections.add(m_ctx.auth.currentUserChanged.connect([this] { refresh(); }));
    m_connections.add(m_ctx.auth.authStateChanged.connect([this] { refresh(); }));
    refresh();
}

AccountSettingsView::~AccountSettingsView()
{
    m_connections.clear();
    m_dropClosed.disconnect();
    closeConfirmation();
}

void AccountSettingsView::refresh()
{
    auto* content = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 20);
    content->set_margin(20);
    const auto& user = m_ctx.auth.currentUser();
    m_card = nullptr;
    if (user) {
        m_card = Gtk::make_managed<AccountCard>(*user);
        content->append(*m_card);
    }
    auto* rows = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 12);
    m_guestNote = nullptr;
    m_signOutRow = nullptr;
    if (user && user->isGuest) {
        m_guestNote = makeGuestNote();
        rows->append(*m_guestNote);
    } else {
        m_signOutRow = makeRowButton("rectangle.portrait.and.arrow.right", "Sign Out", "sign-out");
        m_signOutRow->signal_clicked().connect([this] { askToSignOut(); });
        rows->append(*m_signOutRow);
    }
    auto* chevron = makeSymbolImage("chevron.right", 12);
    chevron->add_css_class("kovi-tertiary");
    m_privacyRow = makeRowButton("hand.raised.fill", "Privacy & Data", "privacy", chevron);
    m_privacyRow->signal_clicked().connect([this] { showPrivacyInfo(); });
    rows->append(*m_privacyRow);
    content->append(*rows);
    m_scroller.set_child(*content);
}

void AccountSettingsView::askToSignOut()
{
    if (m_confirmation) {
        gtk_window_present(GTK_WINDOW(m_confirmation));
        return;
    }
    auto* parent = dynamic_cast<Gtk::Window*>(get_root());
    GtkWidget* dialog = adw_message_dialog_new(parent ? parent->gobj() : nullptr, "Sign Out",
                                               "Are you sure you want to sign out? You can sign back in anytime.");
    auto* alert = ADW_MESSAGE_DIALOG(dialog);
    adw_message_dialog_add_responses(alert, "cancel", "Cancel", "sign-out", "Sign Out", nullptr);
    adw_message_dialog_set_response_appearance(alert, "sign-out", ADW_RESPONSE_DESTRUCTIVE);
    adw_message_dialog_set_default_response(alert, "cancel");
    adw_message_dialog_set_close_response(alert, "cancel");
    g_signal_connect(dialog, "response", G_CALLBACK(&AccountSettingsView::onConfirmationResponse), this);
    g_object_weak_ref(G_OBJECT(dialog), &AccountSettingsView::onConfirmationGone, this);
    m_confirmation = alert;
    presentOverParent(GTK_WINDOW(dialog));
}

void AccountSettingsView::onConfirmationResponse(AdwMessageDialog* dialog, const char* response, void* data)
{
    auto* self = static_cast<AccountSettingsView*>(data);
    closeDialogSoon(GTK_WINDOW(dialog));
    if (response && std::strcmp(response, "sign-out") == 0) {
        self->m_ctx.auth.signOut();
        self->m_dismiss();
    }
}

void AccountSettingsView::onConfirmationGone(void* data, GObject*)
{
    static_cast<AccountSettingsView*>(data)->m_confirmation = nullptr;
}

void AccountSettingsView::closeConfirmation()
{
    if (!m_confirmation)
        return;
    GtkWindow* dialog = GTK_WINDOW(m_confirmation);
    g_signal_handlers_disconnect_by_data(dialog, this);
    g_object_weak_unref(G_OBJECT(dialog), &AccountSettingsView::onConfirmationGone, this);
    m_confirmation = nullptr;
    gtk_window_destroy(dialog);
}

void AccountSettingsView::showPrivacyInfo()
{
    if (m_privacySheet) {
        m_privacySheet->present();
        return;
    }
    auto* parent = dynamic_cast<Gtk::Window*>(get_root());
    if (!parent)
        return;
    m_privacySheet = std::make_unique<PrivacyInfoView>(m_ctx.auth, *parent);
    m_ctx.theme.attach(*m_privacySheet);
    // Closed ("Got it!", "Continue as Guest" or the window's own close): dropped after the
    // click that closed it has finished.
    m_privacySheet->signal_hide().connect([this] {
        if (!m_privacySheet)
            return;
        m_closedSheets.push_back(std::move(m_privacySheet));
        if (!m_dropClosed.connected())
            m_dropClosed = Glib::signal_idle().connect([this] {
                m_closedSheets.clear();
                return false;
            });
    });
    m_privacySheet->present();
}

} // namespace kovi
