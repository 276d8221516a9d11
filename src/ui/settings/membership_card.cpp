#include "ui/settings/membership_card.h"

#include "core/settings/account_dates.h"
#include "core/settings/auth_manager.h"
#include "ui/design/drawing.h"
#include "ui/design/symbols.h"
#include "ui/settings/settings_section.h"

#include <gtkmm/image.h>

#include <gtkmm/button.h>

namespace kovi {

namespace {

Gtk::Label* fixedLabel(const char* text, const char* cssClass)
{
    auto* label = Gtk::make_managed<Gtk::Label>(text);
    label->add_css_class(cssClass);
    return label;
}

// A button below the card: a symbol on a tile. It has no action yet, so it shows as unavailable.
Gtk::Button* makeCardActionButton(const char* symbol)
{
    auto* button = Gtk::make_managed<Gtk::Button>();
    button->add_css_class("kovi-card-action");
    button->set_has_frame(false);
    button->set_focus_on_click(false);
    button->set_size_request(32, 32);
    auto* image = makeSymbolImage(symbol, 14);
    image->add_css_class("kovi-secondary");
    button->set_child(*image);
    settings_ui::markUnavailable(*button);
    return button;
}

} // namespace

MembershipCard::MembershipCard() : Gtk::Box(Gtk::Orientation::VERTICAL, 0)
{
    add_css_class("kovi-membership");
    set_size_request(width, -1);
    set_hexpand(false);
    set_valign(Gtk::Align::START);

    auto* card = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 16);
    card->add_css_class("kovi-membership-card");
    card->set_overflow(Gtk::Overflow::HIDDEN);

    m_artwork.set_content_height(artworkHeight);
    m_artwork.set_margin_start(16);
    m_artwork.set_margin_end(16);
    m_artwork.set_margin_top(16);
    m_artwork.set_draw_func([](const Cairo::RefPtr<Cairo::Context>& cr, int w, int h) {
        addRoundedRect(cr, 0, 0, w, h, 8);
        cr->clip();
        drawHill(cr, w, h);
    });
    card->append(m_artwork);

    auto* names = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 4);
    m_name.add_css_class("kovi-membership-name");
    m_name.set_ellipsize(Pango::EllipsizeMode::END);
    m_name.set_max_width_chars(8); // a natural width inside the card; it shows as much as fits
    m_name.set_margin_start(16);
    m_name.set_margin_end(16);
    m_subtitle.add_css_class("kovi-membership-subtitle");
    names->append(m_name);
    names->append(m_subtitle);
    card->append(*names);

    auto* spacer = Gtk::make_managed<Gtk::Box>();
    spacer->set_size_request(-1, 8);
    spacer->set_vexpand(true);
    card->append(*spacer);

    auto* footer = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL);
    footer->set_margin_start(16);
    footer->set_margin_end(16);
    footer->set_margin_bottom(16);
    auto* badge = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 0);
    badge->add_css_class("kovi-membership-badge");
    badge->set_overflow(Gtk::Overflow::HIDDEN);
    badge->set_valign(Gtk::Align::CENTER);
    badge->set_hexpand(true);
    badge->set_halign(Gtk::Align::START);
    badge->append(*fixedLabel("KOVI", "kovi-membership-badge-name"));
    m_memberSince.add_css_class("kovi-membership-badge-date");
    badge->append(m_memberSince);
    footer->append(*badge);
    auto* mark = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 0);
    mark->add_css_class("kovi-membership-mark");
    mark->set_valign(Gtk::Align::CENTER);
    mark->append(*fixedLabel("KOVI", "kovi-membership-mark-name"));
    mark->append(*fixedLabel("BROWSER", "kovi-membership-mark-browser"));
    footer->append(*mark);
    card->append(*footer);
    append(*card);

    auto* actions = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 20);
    actions->set_halign(Gtk::Align::CENTER);
    actions->set_margin_top(16);
    for (const char* symbol : {"square.and.arrow.up", "hand.thumbsup", "doc.on.doc"}) {
        m_actions.push_back(makeCardActionButton(symbol));
        actions->append(*m_actions.back());
    }
    append(*actions);

    setUser(std::nullopt);
}

void MembershipCard::setUser(const std::optional<KoviUser>& user)
{
    // With nobody signed in the card names nobody: a guest's name there would look like the
    // account that was just signed out.
    m_name.set_text(user ? user->displayName : "Not signed in");
    m_name.set_tooltip_text(m_name.get_text());
    m_subtitle.set_text(user && user->isGuest ? "Guest User" : "Early Adopter");
    m_subtitle.set_visible(user.has_value());
    std::string since = user ? shortMemberSinceText(user->createdAt) : "";
    m_memberSince.set_text(since.empty() ? "---" : since);
}

void MembershipCard::drawHill(const Cairo::RefPtr<Cairo::Context>& cr, double w, double h)
{
    // The quadratic curve from (0, 0.7h) over the control point (0.5w, 0) to (w, 0.7h), as the
    // cubic cairo draws: each control point lies two thirds of the way towards the quadratic's.
    const double baseY = 0.7 * h;
    cr->move_to(0, h);
    cr->line_to(0, baseY);
    cr->curve_to(2.0 / 3.0 * 0.5 * w, baseY / 3.0, w - 2.0 / 3.0 * 0.5 * w, baseY / 3.0, w, baseY);
    cr->line_to(w, h);
    cr->close_path();
    auto gradient = Cairo::LinearGradient::create(0, 0, 0, h);
    gradient->add_color_stop_rgb(0.0, 0.95, 0.6, 0.3);
    gradient->add_color_stop_rgb(0.5, 0.9, 0.4, 0.5);
    gradient->add_color_stop_rgb(1.0, 0.7, 0.3, 0.7);
    cr->set_source(gradient);
    cr->fill();
}

} // namespace kovi
