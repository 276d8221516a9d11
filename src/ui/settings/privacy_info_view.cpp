#include "ui/settings/privacy_info_view.h"

#include "core/settings/auth_manager.h"
#include "ui/design/dialogs.h"
#include "ui/design/symbols.h"
#include "ui/design/window_chrome.h"

#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/separator.h>
#include <gtkmm/shortcutcontroller.h>

namespace kovi {

PrivacyPoint::PrivacyPoint(const std::string& icon, const std::string& colorClass, const std::string& title,
                           const std::string& description)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 12)
{
    add_css_class("kovi-privacy-point");
    auto* image = makeSymbolImage(icon, 20);
    image->add_css_class(colorClass);
    image->set_size_request(32, -1);
    image->set_valign(Gtk::Align::START);
    append(*image);

    auto* texts = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 4);
    texts->set_hexpand(true);
    auto* titleLabel = Gtk::make_managed<Gtk::Label>(title);
    titleLabel->add_css_class("kovi-privacy-title");
    titleLabel->set_xalign(0);
    auto* descriptionLabel = Gtk::make_managed<Gtk::Label>(description);
    descriptionLabel->add_css_class("kovi-privacy-description");
    descriptionLabel->add_css_class("kovi-secondary");
    descriptionLabel->set_xalign(0);
    descriptionLabel->set_wrap(true);
    descriptionLabel->set_max_width_chars(40);
    texts->append(*titleLabel);
    texts->append(*descriptionLabel);
    append(*texts);
}

PrivacyInfoView::PrivacyInfoView(AuthManager& auth, Gtk::Window& parent) : m_auth(auth)
{
    joinApplication(*this);
    add_css_class("kovi-sheet");
    set_transient_for(parent);
    set_modal(true);
    set_hide_on_close(true);
    set_resizable(false);
    set_title("Privacy");

    auto* root = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 24);
    root->set_margin(32);

    auto* header = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 12);
    auto* shield = makeSymbolImage("lock.shield.fill", 48);
    shield->add_css_class("kovi-privacy-shield");
    header->append(*shield);
    auto* title = Gtk::make_managed<Gtk::Label>("Your Privacy Matters");
    title->add_css_class("kovi-privacy-heading");
    header->append(*title);
    root->append(*header);
    root->append(*Gtk::make_managed<Gtk::Separator>());

    // What the statements say must be true of this browser: nothing leaves this computer
    // unless the user sends it, and there is no sync.
    auto* points = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 16);
    points->set_margin_top(8);
    points->set_margin_bottom(8);
    points->append(*Gtk::make_managed<PrivacyPoint>(
        "xmark.shield.fill", "kovi-red", "We never sell your data",
        "Your personal information stays private. We don't sell, share, or monetize your data with third parties."));
    points->append(*Gtk::make_managed<PrivacyPoint>(
        "icloud.fill", "kovi-blue", "Kept on this computer",
        "Your bookmarks, tabs, and settings are stored on this computer. Kovi does not sync them to other devices."));
    points->append(*Gtk::make_managed<PrivacyPoint>(
        "person.crop.circle.fill", "kovi-purple", "Personalized experience",
        "We use your name to personalize your browsing experience and make Kovi feel like home."));
    points->append(*Gtk::make_managed<PrivacyPoint>(
        "lock.fill", "kovi-green", "Your data stays with you",
        "Your account and your browsing history are stored only on this computer, never on our servers."));
    root->append(*points);
    root->append(*Gtk::make_managed<Gtk::Separator>());

    auto* buttons = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 12);
    m_gotIt.set_label("Got it!");
    m_gotIt.add_css_class("kovi-got-it");
    m_gotIt.set_hexpand(true);
    m_gotIt.signal_clicked().connect([this] { close(); });
    m_continue.set_label("Continue as Guest");
    m_continue.set_has_frame(false);
    m_continue.add_css_class("kovi-plain-secondary");
    m_continue.set_halign(Gtk::Align::CENTER);
    m_continue.signal_clicked().connect([this] {
        m_auth.continueAsGuest();
        close();
    });
    buttons->append(m_gotIt);
    buttons->append(m_continue);
    root->append(*buttons);

    useOwnTitleBar(*this, *root, width);

    // Escape and Ctrl+W dismiss it, as "Got it!" does.
    auto keys = Gtk::ShortcutController::create();
    keys->add_shortcut(Gtk::Shortcut::create(
        Gtk::AlternativeTrigger::create(Gtk::KeyvalTrigger::create(GDK_KEY_Escape, Gdk::ModifierType{}),
                                        Gtk::KeyvalTrigger::create(GDK_KEY_w, Gdk::ModifierType::CONTROL_MASK)),
        Gtk::NamedAction::create("window.close")));
    add_controller(keys);
}

} // namespace kovi
