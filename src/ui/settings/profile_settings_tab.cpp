#include "ui/settings/profile_settings_tab.h"

#include "core/settings/auth_manager.h"
#include "ui/design/symbols.h"
#include "ui/settings/settings_section.h"

#include <gtkmm/image.h>

namespace kovi {

using namespace settings_ui;

namespace {

SettingsSection* makeLocalDataSection()
{
    auto* section = Gtk::make_managed<SettingsSection>();
    auto* title = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 6);
    title->append(*makeSymbolImage("internaldrive", 13));
    title->append(*makeLabel("Local beta", {"kovi-settings-13", "kovi-medium"}));
    section->add(*title);
    auto* text = makeLabel("Cloud sync is not available in this beta. Use Library \u2192 Export to back up bookmarks, "
                           "reading lists, and saved workspaces.",
                           {"kovi-settings-12", "kovi-secondary"});
    text->set_wrap(true);
    section->add(*text);
    return section;
}

SettingsSection* makeSharingSection(Gtk::Button* share)
{
    auto* section = Gtk::make_managed<SettingsSection>();
    share->add_css_class("kovi-settings-small-button");
    markUnavailable(*share);
    auto* content = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 4);
    content->append(*makeSymbolImage("qrcode", 12));
    content->append(*makeLabel("Share Kovi", {"kovi-settings-12", "kovi-medium"}));
    share->set_child(*content);
    section->add(*makeRow(*makeLabel("Gift Kovi to a Friend", {"kovi-settings-13", "kovi-medium"}), *share));
    section->add(*makeDivider());
    auto* text = makeLabel("", {"kovi-settings-12", "kovi-secondary"});
    text->set_markup("Share Kovi to unlock exclusive app icons! Click here or in the <b>Icon</b> tab in settings "
                     "for details.");
    text->set_wrap(true);
    section->add(*text);
    return section;
}

} // namespace

ProfileSettingsTab::ProfileSettingsTab(AuthManager& auth) : Gtk::Box(Gtk::Orientation::HORIZONTAL, 24), m_auth(auth)
{
    add_css_class("kovi-settings-page");
    set_margin(24);
    set_valign(Gtk::Align::START);
    append(m_card);

    auto* column = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 16);
    column->set_hexpand(true);

    auto* account = Gtk::make_managed<SettingsSection>();
    m_email.add_css_class("kovi-settings-13");
    m_email.add_css_class("kovi-secondary");
    m_email.set_ellipsize(Pango::EllipsizeMode::END);
    m_email.set_max_width_chars(18);
    m_menuButton.add_css_class("kovi-settings-more");
    m_menuButton.set_icon_name(iconNameForSymbol("ellipsis", "view-more-horizontal-symbolic"));
    m_menuButton.set_has_frame(false);
    m_menuButton.set_valign(Gtk::Align::CENTER);
    m_signOut.set_label("Sign Out");
    m_signOut.set_has_frame(false);
    m_signOut.add_css_class("kovi-destructive-item");
    // Signs out without asking, as the menu says.
    m_signOut.signal_clicked().connect([this] {
        m_menu.popdown();
        m_auth.signOut();
    });
    m_menu.set_child(m_signOut);
    m_menu.set_has_arrow(false);
    m_menuButton.set_popover(m_menu);
    auto* trailing = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
    trailing->append(m_email);
    trailing->append(m_menuButton);
    account->add(*makeRow(*makeLabel("Account", {"kovi-settings-13", "kovi-medium"}), *trailing));
    m_guestNote.append(*makeDivider());
    m_guestNote.append(*makeLabel("Your data is saved locally on this computer.", {"kovi-settings-12", "kovi-secondary"}));
    account->add(m_guestNote);
    column->append(*account);
    column->append(*makeLocalDataSection());
    column->append(*makeSharingSection(&m_share));
    append(*column);

    m_connections.add(m_auth.currentUserChanged.connect([this] { refresh(); }));
    refresh();
}

void ProfileSettingsTab::refresh()
{
    const auto& user = m_auth.currentUser();
    m_card.setUser(user);
    m_email.set_text(user ? user->email : "Not signed in");
    m_email.set_tooltip_text(m_email.get_text());
    m_guestNote.set_visible(user && user->isGuest);
}

} // namespace kovi
