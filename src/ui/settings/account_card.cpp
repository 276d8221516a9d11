#include "ui/settings/account_card.h"

#include "core/settings/account_dates.h"
#include "core/settings/initials.h"
#include "ui/design/drawing.h"
#include "ui/design/symbols.h"

#include <gtkmm/image.h>

namespace kovi {

namespace {

Gtk::Widget* makeAvatar(const KoviUser& user, const std::string& initials)
{
    auto* avatar = Gtk::make_managed<Gtk::Box>();
    avatar->add_css_class("kovi-account-avatar");
    avatar->add_css_class(user.isGuest ? "guest" : "member");
    avatar->set_size_request(72, 72);
    avatar->set_halign(Gtk::Align::CENTER);
    avatar->set_homogeneous(true);
    if (user.isGuest) {
        avatar->append(*makeSymbolImage("person.crop.circle.badge.questionmark", 28));
    } else {
        auto* letters = Gtk::make_managed<Gtk::Label>(initials);
        letters->add_css_class("kovi-account-initials");
        avatar->append(*letters);
    }
    return avatar;
}

// One statistic: a symbol over a label over the value.
Gtk::Box* makeStat(const char* symbol, const char* label, const std::string& value, Gtk::Label*& valueLabel)
{
    auto* stat = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 6);
    auto* image = makeSymbolImage(symbol, 16);
    image->add_css_class("kovi-secondary");
    stat->append(*image);
    auto* caption = Gtk::make_managed<Gtk::Label>(label);
    caption->add_css_class("kovi-account-stat-label");
    caption->add_css_class("kovi-tertiary");
    stat->append(*caption);
    valueLabel = Gtk::make_managed<Gtk::Label>(value);
    valueLabel->add_css_class("kovi-account-stat-value");
    stat->append(*valueLabel);
    return stat;
}

} // namespace

AccountCard::AccountCard(const KoviUser& user) : m_initials(accountCardInitials(user.displayName))
{
    add_css_class("kovi-account-card");
    add_css_class(user.isGuest ? "guest" : "member");
    set_hexpand(true);

    m_column.set_margin(24);
    m_column.append(*makeAvatar(user, m_initials));

    auto* texts = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 4);
    m_name.set_text(user.displayName);
    m_name.add_css_class("kovi-account-name");
    m_name.set_ellipsize(Pango::EllipsizeMode::END);
    m_name.set_max_width_chars(24);
    m_name.set_tooltip_text(user.displayName);
    texts->append(m_name);
    if (!user.email.empty()) {
        m_email = Gtk::make_managed<Gtk::Label>(user.email);
        m_email->add_css_class("kovi-settings-13");
        m_email->add_css_class("kovi-secondary");
        m_email->set_ellipsize(Pango::EllipsizeMode::END);
        m_email->set_max_width_chars(32);
        texts->append(*m_email);
    }
    if (user.isGuest) {
        auto* badge = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 4);
        badge->add_css_class("kovi-account-guest-badge");
        badge->set_halign(Gtk::Align::CENTER);
        badge->set_margin_top(4);
        badge->append(*makeSymbolImage("info.circle", 12));
        badge->append(*Gtk::make_managed<Gtk::Label>("Guest Account"));
        texts->append(*badge);
        m_guestBadge = badge;
    }
    m_column.append(*texts);
    if (!user.isGuest) {
        auto* stats = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 24);
        stats->set_halign(Gtk::Align::CENTER);
        stats->set_margin_top(8);
        stats->append(*makeStat("calendar", "Member since", longDateText(user.createdAt), m_memberSince));
        m_column.append(*stats);
    }
    set_child(m_column);

    // The outline runs from the top-left colour to the bottom-right one.
    const bool guest = user.isGuest;
    m_border.set_can_target(false);
    m_border.set_draw_func([guest](const Cairo::RefPtr<Cairo::Context>& cr, int w, int h) {
        auto gradient = Cairo::LinearGradient::create(0, 0, w, h);
        if (guest) {
            gradient->add_color_stop_rgba(0, 0.56, 0.56, 0.58, 0.3);
            gradient->add_color_stop_rgba(1, 0.56, 0.56, 0.58, 0.1);
        } else {
            gradient->add_color_stop_rgba(0, 0.0, 0.48, 1.0, 0.3);
            gradient->add_color_stop_rgba(1, 0.69, 0.32, 0.87, 0.1);
        }
        addRoundedRect(cr, 0.5, 0.5, w - 1, h - 1, 15.5);
        cr->set_source(gradient);
        cr->set_line_width(1);
        cr->stroke();
    });
    add_overlay(m_border);
}

} // namespace kovi
